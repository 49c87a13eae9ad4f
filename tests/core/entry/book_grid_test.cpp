#include "entry/book_grid.h"

#include <gtest/gtest.h>

#include "data/section_file.h"
#include "entry_fixture.h"

namespace tonnage {
namespace {

using namespace testing;

using BookGridTest = EntryTest;

TEST_F(BookGridTest, FirstOpeningIsEmptyAndACommentlessBookIgnoresItsOldFile) {
  BookGrid grid;
  grid.SetCell(4, 3, "left over");
  EXPECT_EQ((OpenBook(3, "HOT MIX", "0", grid), grid.Cell(4, 3)), "");
  EXPECT_FALSE(Exists(session.SectionPath(3)));

  WriteFile(session.SectionPath(5), "001201 09/28/2026 77756     30056     47700      5.600      \r\n");
  BookGrid other;
  OpenBook(5, "", "0", other);
  EXPECT_EQ(other.Cell(1, 1), "") << "a free slot shows none of a deleted book's tickets";
  ASSERT_TRUE(SaveGridToBook(session, 5, other).ok());
  EXPECT_EQ(Section(5), "") << "closing rewrites the file from the empty grid";
  EXPECT_EQ(session.Book(5).comments, "");
}

TEST_F(BookGridTest, SavingDropsRowsWithoutGrossNetOrVoidAndClosesUp) {
  BookGrid grid;
  OpenBook(2, "SURFACE COURSE", "0", grid);
  Type(grid, 1, {"1201", "09/28/2026", "77756", "30056", "47700", "5.6"});
  Type(grid, 2, {"1202", "09/28/2026", "", "30010", "", "5.4", "x", "", "n"});  // dropped
  Type(grid, 5, {"1203", "09/29/2026", "", "", "", "", "", "v"});                // void only: kept
  Type(grid, 7, {"", "09/29/2026"});                                            // dropped
  ASSERT_TRUE(SaveGridToBook(session, 2, grid).ok());
  EXPECT_EQ(Section(2),
            "001201 09/28/2026 77756     30056     47700      5.600      \r\n"
            "001203 09/29/2026" + std::string(40, ' ') + "Y  \r\n");
  EXPECT_EQ(session.rows[1][TicketField::Note], "Y") << "marks are kept as Y in memory";
  EXPECT_EQ(session.rows[1][TicketField::PrivWaste], "Y");

  BookGrid again;
  EXPECT_EQ(LoadBookIntoGrid(session, 2, again), "SURFACE COURSE");
  EXPECT_EQ(again.Cell(1, 1), "001201");
  EXPECT_EQ(again.Cell(2, 1), "001203") << "rows 1 and 5 come back as rows 1 and 2";
  EXPECT_EQ(again.Cell(2, 8), "Y");
  EXPECT_EQ(again.Cell(3, 1), "");
  EXPECT_EQ(again.activeRow, 1);
  EXPECT_EQ(again.activeColumn, 1);
  // Saved again unchanged, the file is the same.
  const std::string before = Section(2);
  ASSERT_TRUE(SaveGridToBook(session, 2, again).ok());
  EXPECT_EQ(Section(2), before);
}

TEST_F(BookGridTest, WeightFormatsOfEveryTypeAndUnitSystem) {
  struct Case {
    const char* units;
    const char* type;
    const char* typed;
    const char* stored;
  };
  // English pounds whole, halves to even; tons, unknown types and metric
  // books with three decimals, halves away from zero.
  const Case cases[] = {
      {"E", "0", "54320", "54320     "}, {"E", "0", "812.6", "  813     "}, {"E", "2", "812.5", "  812     "},
      {"E", "0", "813.5", "  814     "}, {"E", "1", "23.45", "   23.450 "}, {"E", "1", "12.5", "   12.500 "},
      {"E", "1", "38.0005", "   38.001 "}, {"E", "", "24.5", "   24.500 "}, {"M", "0", "24500", "24500.000 "},
      {"M", "1", "24.5", "   24.500 "},  {"M", "2", "24500", "24500.000 "},
  };
  int book = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.units) + "/" + c.type + " " + c.typed);
    session.index.unitSystem = c.units;
    BookGrid grid;
    OpenBook(book, "BINDER", c.type, grid);
    Type(grid, 1, {"12", "04/20/2026", c.typed, "", c.typed});
    ASSERT_TRUE(SaveGridToBook(session, book, grid).ok());
    const std::string line = Section(book);
    ASSERT_GE(line.size(), 48u);
    EXPECT_EQ(line.substr(0, 7), "000012 ");
    EXPECT_EQ(line.substr(18, 30), c.stored + std::string(10, ' ') + c.stored) << "an empty tare keeps its columns";
    ++book;
  }
}

TEST_F(BookGridTest, UnnamedBookWithPagesIsNamedAfterItsNumber) {
  BookGrid grid;
  OpenBook(7, "", "0", grid);
  Type(grid, 3, {"12"});
  ASSERT_TRUE(SaveGridToBook(session, 7, grid).ok());
  EXPECT_EQ(session.Book(7).comments, "BOOK NUMBER  7");

  BookGrid empty;
  OpenBook(3, "", "0", empty);
  Type(empty, 3, {"", "", "", "", "", "", "", "Y"});
  ASSERT_TRUE(SaveGridToBook(session, 3, empty).ok());
  EXPECT_EQ(session.Book(3).comments, "") << "no page number: the slot stays free";

  BookGrid big;
  OpenBook(123, "", "1", big);
  Type(big, 1, {" 4 "});
  ASSERT_TRUE(SaveGridToBook(session, 123, big).ok());
  EXPECT_EQ(session.Book(123).comments, "BOOK NUMBER  123");
}

// The window tests see the refusal itself; blanks around a date do not count.
TEST_F(BookGridTest, LeavingTheDateCellNeedsTenCharacters) {
  BookGrid grid;
  OpenBook(1, "HOT MIX", "0", grid);
  grid.SetCell(3, 2, " 03/15/2004 ");
  EXPECT_FALSE(LeaveCell(grid, 2, 3, 2, 4).cancel);
  grid.SetCell(3, 2, "3/15/2004");
  EXPECT_TRUE(LeaveCell(grid, 2, 3, 3, 3).cancel);
}

TEST_F(BookGridTest, MovingOnPastNoteCarriesPageAndDate) {
  BookGrid grid;
  OpenBook(1, "HOT MIX", "0", grid);
  Type(grid, 4, {"12", "03/15/2004", "77756", "30056", "47700", "5.6", "", "", ""});
  CellLeave leave = LeaveCell(grid, 9, 4, 1, 5);
  EXPECT_EQ(grid.Cell(5, 1), "13");
  EXPECT_EQ(grid.Cell(5, 2), "03/15/2004");
  EXPECT_EQ(leave.moveRow, 5);
  EXPECT_EQ(leave.moveColumn, 3);
  EXPECT_EQ(grid.activeColumn, 3);

  // Cells that hold text are left alone.
  grid.SetCell(6, 1, "20");
  LeaveCell(grid, 9, 5, 1, 6);
  EXPECT_EQ(grid.Cell(6, 1), "20");
  EXPECT_EQ(grid.Cell(6, 2), "03/15/2004");

  // An empty page gives 1; moving up or within a row, or leaving another
  // column, fills nothing.
  LeaveCell(grid, 9, 10, 1, 11);
  EXPECT_EQ(grid.Cell(11, 1), "1");
  EXPECT_EQ(grid.Cell(11, 2), "");
  leave = LeaveCell(grid, 9, 5, 1, 4);
  EXPECT_EQ(leave.moveRow, 0);
  LeaveCell(grid, 8, 20, 9, 20);
  LeaveCell(grid, 5, 20, 1, 21);
  EXPECT_EQ(grid.Cell(21, 1), "");
  // A page that would need seven digits is not carried.
  grid.SetCell(30, 1, "999999");
  LeaveCell(grid, 9, 30, 1, 31);
  EXPECT_EQ(grid.Cell(31, 1), "");
}

TEST(BookGridRows, InsertPushesOffTheBottomAndDeletePullsInEmptyRows) {
  BookGrid grid;
  for (int row = 1; row <= kGridRows; ++row) grid.SetCell(row, 1, std::to_string(row));
  grid.InsertBlankRows(20, 3);
  EXPECT_EQ(grid.Cell(19, 1), "19");
  EXPECT_EQ(grid.Cell(20, 1), "");
  EXPECT_EQ(grid.Cell(22, 1), "");
  EXPECT_EQ(grid.Cell(23, 1), "20");
  EXPECT_EQ(grid.Cell(200, 1), "197");
  grid.DeleteRows(20, 3);
  EXPECT_EQ(grid.Cell(20, 1), "20");
  EXPECT_EQ(grid.Cell(197, 1), "197");
  EXPECT_EQ(grid.Cell(198, 1), "");
  EXPECT_EQ(grid.Cell(200, 1), "");
  EXPECT_FALSE(grid.RowUsed(200));
  EXPECT_TRUE(grid.RowUsed(197));
}

}  // namespace
}  // namespace tonnage
