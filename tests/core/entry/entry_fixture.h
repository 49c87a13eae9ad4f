// A started session in a scratch folder, for the data-entry tests.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "../test_files.h"
#include "data/session.h"
#include "entry/book_grid.h"

namespace tonnage::testing {

class EntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session.Start(".", scratch.path()).ok());
    session.New();
    session.ChooseUnits("E");
  }
  void TearDown() override { session.Cleanup(); }

  // Sets up `book` as Book Setup's Continue would and opens its grid.
  void OpenBook(int book, const std::string& comments, const std::string& type, BookGrid& grid) {
    session.Book(book).comments = comments;
    session.Book(book).dataType = type;
    SetGridColumns(session, book, grid);
    LoadBookIntoGrid(session, book, grid);
  }

  static void Type(BookGrid& grid, int row, std::initializer_list<std::string> cells) {
    int column = 1;
    for (const std::string& cell : cells) grid.SetCell(row, column++, cell);
  }

  std::string Section(int book) const { return ReadFile(session.SectionPath(book)); }

  ScratchFolder scratch;
  Session session;
};

}  // namespace tonnage::testing
