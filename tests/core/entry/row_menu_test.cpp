#include "entry/row_menu.h"

#include <gtest/gtest.h>

#include "entry_fixture.h"

namespace tonnage {
namespace {

using testing::EntryTest;

class RowMenuTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    OpenBook(1, "HOT MIX", "0", grid);
    for (int row = 1; row <= 30; ++row)
      Type(grid, row, {std::to_string(1200 + row), "09/28/2026", std::to_string(77000 + row), "30056",
                       std::to_string(46944 + row), "5.6", row % 7 == 0 ? "Y" : "", "", row % 5 == 0 ? "Y" : ""});
  }
  // Whole rows first..last selected from the row headers.
  std::optional<RowMenuItems> Select(int first, int last) { return OpenRowMenu(state, grid, 0, first, 0, last); }

  BookGrid grid;
  RowMenuState state;
  std::string clipboard;
  int questions = 0;
  std::function<bool()> answer(bool yes) {
    return [this, yes] {
      ++questions;
      return yes;
    };
  }
  void Run(const RowOperation& op) {
    if (op.setClipboard) clipboard = op.clipboardText;
  }
};

TEST_F(RowMenuTest, OnlyWholeRowSelectionsAboveRow200OpenTheMenu) {
  EXPECT_FALSE(OpenRowMenu(state, grid, 1, 5, 9, 7)) << "cells inside the grid";
  EXPECT_FALSE(Select(190, 200));
  EXPECT_EQ(state.SelFirstRow, 0);
  const auto items = Select(5, 7);
  ASSERT_TRUE(items);
  EXPECT_EQ(state.SelFirstRow, 5);
  EXPECT_EQ(state.SelLastRow, 7);
  EXPECT_TRUE(items->insertBlank);
  EXPECT_TRUE(items->cut && items->copy && items->cancel);
  EXPECT_FALSE(items->paste) << "nothing cut or copied yet in this run";
  EXPECT_FALSE(items->clipInsert);
}

TEST_F(RowMenuTest, EnablingLooksAtTheRowsReallyTouched) {
  grid.SetCell(198, 1, "99");
  auto items = Select(10, 12);
  EXPECT_FALSE(items->insertBlank);
  EXPECT_FALSE(items->paste);
  items = Select(10, 10);
  EXPECT_TRUE(items->insertBlank) << "row 200 is free";

  Run(CopyRows(state, grid));
  items = Select(10, 10);
  EXPECT_TRUE(items->paste && items->clipInsert) << "one row on the clipboard, row 200 free";
  grid.SetCell(198, 1, "");

  Select(5, 7);
  Run(CopyRows(state, grid));
  grid.SetCell(198, 1, "99");
  items = Select(10, 10);
  EXPECT_TRUE(items->insertBlank);
  EXPECT_FALSE(items->clipInsert) << "three inserted rows would push row 198 out";
  EXPECT_FALSE(items->paste);
  grid.SetCell(198, 1, "");
  items = Select(199, 199);
  EXPECT_FALSE(items->paste) << "three rows from 199 reach past row 200";
  EXPECT_FALSE(items->clipInsert);
  items = Select(198, 198);
  EXPECT_TRUE(items->paste);

  Select(40, 40);
  Run(InsertBlankRows(state, grid));
  EXPECT_EQ(state.ClipRowCount, 0);
  items = Select(10, 10);
  EXPECT_FALSE(items->paste) << "after Insert Blank Row(s) there is nothing to paste";
  EXPECT_FALSE(items->clipInsert);
}

TEST_F(RowMenuTest, CopyThenPasteOverUsedRowsAsksWithNoAsDefault) {
  const TicketRow r5 = grid.Row(5), r6 = grid.Row(6), r7 = grid.Row(7);
  Select(5, 7);
  Run(CopyRows(state, grid));
  EXPECT_EQ(state.ClipRowCount, 3);
  EXPECT_EQ(grid.activeRow, 5);
  EXPECT_EQ(grid.activeColumn, 1);

  const BookRows before = grid.rows();
  Select(20, 20);
  Run(PasteRows(state, grid, clipboard, answer(false)));
  EXPECT_EQ(questions, 1);
  EXPECT_EQ(grid.rows(), before) << "No leaves every row as it was";
  EXPECT_EQ(state.SelLastRow, 22);

  Run(PasteRows(state, grid, clipboard, answer(true)));
  EXPECT_EQ(grid.Row(20), r5);
  EXPECT_EQ(grid.Row(21), r6);
  EXPECT_EQ(grid.Row(22), r7);
  EXPECT_EQ(grid.Row(23), before[22]);

  questions = 0;
  Select(50, 50);
  Run(PasteRows(state, grid, clipboard, answer(false)));
  EXPECT_EQ(questions, 0) << "free rows are pasted without a question";
  EXPECT_EQ(grid.Row(52), r7);
}

TEST_F(RowMenuTest, CutAndInsertShiftTheRows) {
  const BookRows before = grid.rows();
  Select(5, 7);
  Run(CutRows(state, grid));
  EXPECT_EQ(grid.Row(5), before[7]) << "row 8 moves up to row 5";
  EXPECT_EQ(grid.Cell(27, 1), "1230");
  EXPECT_FALSE(grid.RowUsed(198) || grid.RowUsed(199) || grid.RowUsed(200));

  Select(20, 20);
  Run(InsertRowsFromClipboard(state, grid, clipboard));
  EXPECT_EQ(grid.Row(20), before[4]);
  EXPECT_EQ(grid.Row(22), before[6]);
  EXPECT_EQ(grid.Cell(23, 1), "1223") << "old row 20 (page 1223) moves to row 23";
  EXPECT_EQ(grid.Cell(30, 1), "1230");

  Select(2, 3);
  Run(InsertBlankRows(state, grid));
  EXPECT_EQ(grid.Cell(2, 1), "");
  EXPECT_EQ(grid.Cell(4, 1), "1202");
  EXPECT_EQ(grid.activeRow, 2);
}

TEST_F(RowMenuTest, ClipboardTextIsTabSeparatedLinesAndRoundTrips) {
  grid.SetCell(2, 2, " 1/ 5/2027");  // as an old file may hold it
  Select(1, 2);
  Run(CopyRows(state, grid));
  EXPECT_EQ(clipboard,
            "1201\t09/28/2026\t77001\t30056\t46945\t5.6\t\t\t\n"
            "1202\t 1/ 5/2027\t77002\t30056\t46946\t5.6\t\t\t\n");
  const BookRows before = grid.rows();
  Select(100, 100);
  Run(PasteRows(state, grid, clipboard, answer(true)));
  EXPECT_EQ(grid.Row(100), before[0]);
  EXPECT_EQ(grid.Row(101), before[1]) << "the run's own rows come back unchanged";
}

TEST_F(RowMenuTest, RowsCopiedInOneBookPasteIntoAnother) {
  Select(5, 7);
  Run(CopyRows(state, grid));
  const TicketRow r6 = grid.Row(6);
  ASSERT_TRUE(SaveGridToBook(session, 1, grid).ok());

  BookGrid other;
  OpenBook(2, "LEVELING COURSE", "2", other);
  EXPECT_TRUE(OpenRowMenu(state, other, 0, 1, 0, 1)->paste);
  Run(PasteRows(state, other, clipboard, answer(true)));
  EXPECT_EQ(other.Row(2), r6);
  ASSERT_TRUE(SaveGridToBook(session, 2, other).ok());
  BookGrid reopened;
  LoadBookIntoGrid(session, 2, reopened);
  EXPECT_EQ(reopened.Cell(2, 1), "001206");
  EXPECT_EQ(reopened.Cell(2, 3), "77006");

  // Whole pounds fit the three-decimal cells of a tons book.
  BookGrid tons;
  OpenBook(3, "TONS", "1", tons);
  OpenRowMenu(state, tons, 0, 1, 0, 1);
  Run(PasteRows(state, tons, clipboard, answer(true)));
  EXPECT_EQ(tons.Cell(1, 3), "77005");
}

TEST_F(RowMenuTest, TextThatDoesNotFitIsRefusedAndTheGridKept) {
  Select(5, 5);
  Run(CopyRows(state, grid));  // ClipRowCount 1
  const BookRows before = grid.rows();
  struct Case {
    const char* text;
    const char* says;
  };
  const Case cases[] = {
      {"1300\t09/28/2026\t812.6\t\t\t\t\t\t\n", "Gross Weight"},
      {"1300\t9/28/2026\t77000\n", "Date"},
      {"1300\t09/28/2026\t77000\t\t\t100.5\n", "Pct. Bitum. accepts 0 to 99.999"},
      {"1300\t09/28/2026\t77000\t\t\t\tYES\n", "Priv Waste"},
      {"1\t\t\t\t\t\t\t\t\tx\n", "more than nine cells"},
      {"1\n2\n", "2 rows"},
      {"", "no rows"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Select(40, 40);
    const RowOperation op = PasteRows(state, grid, c.text, answer(true));
    EXPECT_FALSE(op.changed);
    EXPECT_NE(op.message.find(c.says), std::string::npos) << op.message;
    EXPECT_EQ(grid.rows(), before);
    Select(40, 40);
    EXPECT_FALSE(InsertRowsFromClipboard(state, grid, c.text).message.empty());
    EXPECT_EQ(grid.rows(), before);
  }
}

TEST_F(RowMenuTest, SpreadsheetRowsPasteWhenTheyFit) {
  Select(1, 2);
  Run(CopyRows(state, grid));
  // CR LF line ends, blanks around cells, trailing empty cells left out.
  const std::string sheet = "1400\t10/02/2026\t 76880 \t29950\t46930\t5.8\r\n1401\t10/02/2026\t\t\t\t\t\tY\r\n";
  Select(60, 60);
  Run(PasteRows(state, grid, sheet, answer(true)));
  EXPECT_EQ(grid.Cell(60, 3), "76880");
  EXPECT_EQ(grid.Cell(60, 6), "5.8");
  EXPECT_EQ(grid.Cell(60, 9), "");
  EXPECT_EQ(grid.Cell(61, 8), "Y");

  const ClipboardRows one = ParseClipboardRows("7\t06/01/2026\t23.5\n", SetGridColumns("E", "1"), 1);
  ASSERT_EQ(one.rows.size(), 1u);
  EXPECT_EQ(one.rows[0][TicketField::Gross], "23.5");
  EXPECT_FALSE(ParseClipboardRows("7\t06/01/2026\t23.5\n", SetGridColumns("E", "0"), 1).error.empty());
}

TEST_F(RowMenuTest, PasteItemsDoNothingWithoutClipboardRows) {
  const BookRows before = grid.rows();
  Select(3, 3);
  grid.activeRow = 9;
  const RowOperation op = PasteRows(state, grid, "1\n", answer(true));
  EXPECT_FALSE(op.changed);
  EXPECT_EQ(op.message, "");
  EXPECT_EQ(grid.activeRow, 9) << "not even the move of the active cell";
  InsertRowsFromClipboard(state, grid, "1\n");
  EXPECT_EQ(grid.rows(), before);
  CancelRowMenu(state, grid);
  EXPECT_EQ(grid.activeRow, 3);
}

}  // namespace
}  // namespace tonnage
