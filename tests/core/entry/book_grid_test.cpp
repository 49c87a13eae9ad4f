#include <gtest/gtest.h>

#include "entry_fixture.h"
#include "data/grid_journal.h"
#include "data/section_file.h"
#include "entry/book_grid.h"
#include "entry/book_list.h"
#include "entry/index_record_form.h"

namespace tonnage {
namespace {

using namespace testing;

using BookGridTest = EntryTest;

TEST_F(BookGridTest, FirstOpeningIsEmptyAndACommentlessBookIgnoresItsOldFile) {
  BookGrid grid;
  grid.SetCell(4, 3, "left over");
  OpenBook(3, "HOT MIX", "0", grid);
  EXPECT_EQ(std::tuple(grid.Cell(4, 3), grid.activeRow, Exists(session.SectionPath(3))), std::tuple("", 1, false));

  WriteFile(session.SectionPath(5), "001201 09/28/2026 77756     30056     47700      5.600      \r\n");
  BookGrid other;
  OpenBook(5, "", "0", other);
  EXPECT_EQ(other.Cell(1, 1), "") << "a free slot shows none of a deleted book's tickets";
  ASSERT_TRUE(SaveGridToBook(session, 5, other).ok());
  EXPECT_EQ(Section(5) + session.Book(5).comments, "") << "closing rewrites the file from the empty grid";
}

TEST_F(BookGridTest, SavingDropsRowsWithoutGrossNetOrVoidClosesUpAndFindsPages) {
  BookGrid grid;
  OpenBook(2, "SURFACE COURSE", "0", grid);
  Type(grid, 1, {"1201", "09/28/2026", "77756", "30056", "47700", "5.6"});
  Type(grid, 2, {"1202", "09/28/2026", "", "30010", "", "5.4", "x", "", "n"});  // dropped
  Type(grid, 5, {"1203", "09/29/2026", "", "", "", "", "", "v"});               // void only: kept
  Type(grid, 7, {"", "09/29/2026"});                                            // dropped
  grid.SetCell(9, 9, "Y");
  EXPECT_EQ(FirstEmptyRow(grid), 10) << "a row with only a mark is not empty";
  ASSERT_TRUE(SaveGridToBook(session, 2, grid).ok());
  EXPECT_EQ(Section(2),
            "001201 09/28/2026 77756     30056     47700      5.600      \r\n"
            "001203 09/29/2026" +
                std::string(40, ' ') + "Y  \r\n");
  EXPECT_EQ(session.rows[1][TicketField::Note] + session.rows[1][TicketField::PrivWaste], "YY") << "marks kept as Y";

  BookGrid again;
  EXPECT_EQ(LoadBookIntoGrid(session, 2, again), "SURFACE COURSE");
  EXPECT_EQ(again.Cell(1, 1) + "|" + again.Cell(2, 1) + "|" + again.Cell(2, 8) + "|" + again.Cell(3, 1), "1201|1203|Y|")
      << "pages as typed; rows 1 and 5 come back as rows 1 and 2";
  EXPECT_EQ(std::pair(again.activeRow, again.activeColumn), std::pair(3, 1)) << "the first empty row";
  EXPECT_EQ(std::tuple(FindPageRow(again, " 1203"), FindPageRow(again, "1202")), std::tuple(2, 0));
  // Saved again unchanged, the file is the same.
  const std::string before = Section(2);
  ASSERT_TRUE(SaveGridToBook(session, 2, again).ok());
  EXPECT_EQ(Section(2), before);
}

// English pounds whole, halves to even; tons, unknown types and metric books
// with three decimals, halves away from zero. An unnamed book with a page is
// named after its number.
TEST_F(BookGridTest, WeightFormatsOfEveryTypeAndUnitSystemAndUnnamedBooks) {
  // Units, book type, typed, stored.
  const std::tuple<const char*, const char*, const char*, std::string> cases[] = {
      {"E", "0", "54320", "54320     "}, {"E", "0", "812.6", "  813     "}, {"E", "2", "812.5", "  812     "},
      {"E", "0", "813.5", "  814     "}, {"E", "1", "23.45", "   23.450 "}, {"E", "1", "38.0005", "   38.001 "},
      {"E", "", "24.5", "   24.500 "},   {"M", "0", "24500", "24500.000 "},
  };
  int book = 1;
  for (const auto& [units, type, typed, stored] : cases) {
    SCOPED_TRACE(std::string(units) + "/" + type + " " + typed);
    session.index.unitSystem = units;
    BookGrid grid;
    OpenBook(book, book == 1 ? "" : "BINDER", type, grid);
    Type(grid, 1, {" 12 ", "04/20/2026", typed, "", typed});
    ASSERT_TRUE(SaveGridToBook(session, book, grid).ok());
    EXPECT_EQ(Section(book).substr(0, 48), "000012 04/20/2026 " + stored + std::string(10, ' ') + stored)
        << "an empty tare keeps its columns";
    ++book;
  }
  EXPECT_EQ(session.Book(1).comments, "BOOK NUMBER  1");
  // No page number: the slot stays free.
  BookGrid more;
  OpenBook(30, "", "0", more);
  Type(more, 3, {"", "", "", "", "", "", "", "Y"});
  ASSERT_TRUE(SaveGridToBook(session, 30, more).ok());
  EXPECT_EQ(session.Book(30).comments, "");
}

// A date that is no date is kept for correcting, with the reason; the
// cursor is never held.
TEST_F(BookGridTest, LeavingACellKeepsWhatItHoldsAndSaysWhy) {
  BookGrid grid;
  OpenBook(1, "HOT MIX", "0", grid);
  grid.SetCell(3, 2, "13/45/2026");
  EXPECT_EQ(LeaveCell(grid, 2, 3, 3, 3).message, "Date takes mm/dd/yyyy, from 01/01/1990 to 12/31/2100");
  EXPECT_EQ(std::tuple(grid.Cell(3, 2), grid.activeColumn), std::tuple(std::string("13/45/2026"), 3));
}

TEST_F(BookGridTest, MovingOnPastTheMarksCarriesPageAndDate) {
  BookGrid grid;
  OpenBook(1, "HOT MIX", "0", grid);
  Type(grid, 4, {"12", "03/15/2004", "77756", "30056", "47700", "5.600", "", "", ""});
  // Skipping the marks ends the row at the percent and carries it too.
  CellLeave leave = LeaveCell(grid, 6, 4, 7, 4, {true, true});
  EXPECT_EQ(std::pair(leave.moveRow, leave.moveColumn), std::pair(5, 3));
  EXPECT_EQ(grid.rows()[4].cells, (std::array<std::string, 9>{"13", "03/15/2004", "", "", "", "5.600", "", "", ""}));
  // Without the options the percent stays and the marks come next.
  EXPECT_EQ(LeaveCell(grid, 6, 5, 7, 5).moveRow, 0);
  leave = LeaveCell(grid, 9, 5, 1, 6, {false, false});
  EXPECT_EQ(std::tuple(leave.moveRow, leave.moveColumn, grid.activeColumn), std::tuple(6, 3, 3));
  EXPECT_EQ(grid.Cell(6, 1) + " " + grid.Cell(6, 2) + "|" + grid.Cell(6, 6), "14 03/15/2004|");
  // Cells that hold text are left alone.
  grid.SetCell(7, 1, "20");
  LeaveCell(grid, 9, 6, 1, 7);
  EXPECT_EQ(grid.Cell(7, 1) + " " + grid.Cell(7, 2), "20 03/15/2004");
  // Moving up, or leaving another column, fills nothing; a page that would
  // need seven digits is not carried.
  EXPECT_EQ(LeaveCell(grid, 9, 5, 1, 4).moveRow, 0);
  LeaveCell(grid, 5, 20, 1, 21);
  grid.SetCell(30, 1, "999999");
  LeaveCell(grid, 9, 30, 1, 31);
  EXPECT_EQ(grid.Cell(21, 1) + grid.Cell(31, 1), "");
}

TEST(BookGridRows, InsertPushesOffTheBottomAndDeletePullsInEmptyRows) {
  BookGrid grid;
  for (int row = 1; row <= kGridRows; ++row) grid.SetCell(row, 1, std::to_string(row));
  grid.InsertBlankRows(20, 3);
  EXPECT_EQ(
      grid.Cell(19, 1) + "|" + grid.Cell(20, 1) + grid.Cell(22, 1) + "|" + grid.Cell(23, 1) + "|" + grid.Cell(200, 1),
      "19||20|197");
  grid.DeleteRows(20, 3);
  EXPECT_EQ(grid.Cell(20, 1) + "|" + grid.Cell(197, 1) + "|" + grid.Cell(198, 1) + grid.Cell(200, 1), "20|197|");
  EXPECT_TRUE(!grid.RowUsed(200) && grid.RowUsed(197));
}

TEST_F(BookGridTest, KeptRowsComeBackWhenTheRunDiesWithTheGridOpen) {
  // Closing a grid stores its rows and its journal goes.
  BookGrid closed, grid;
  OpenBook(5, "HOT MIX", "0", closed);
  Type(closed, 1, {"7", "09/28/2026", "77756", "30056", "47700"});
  ASSERT_TRUE(KeepGridRows(session, 5, closed).ok() && Exists(session.workFolder().File(GridJournalName(5))));
  ASSERT_TRUE(SaveGridToBook(session, 5, closed).ok() && !Exists(session.workFolder().File(GridJournalName(5))));

  OpenBook(4, "", "1", grid);
  Type(grid, 1, {"1201", "09/28/2026", "38.878", "15.028", "23.850"});
  Type(grid, 3, {"1202", "09/28/2026", "", "", "", "", "", "Y"});
  ASSERT_TRUE(KeepGridRows(session, 4, grid).ok());
  ScratchFolder other;
  Session next;
  ASSERT_TRUE(next.Start(".", other.path()).ok() && next.Recover(session.workFolder().path()).ok());
  EXPECT_EQ(next.Book(4).comments, "BOOK NUMBER  4");
  BookRows back;
  ASSERT_TRUE(ReadSectionFile(next.SectionPath(4), back));
  EXPECT_EQ(back[0][TicketField::Net] + " " + back[1][TicketField::PageNo] + " " + back[1][TicketField::Void],
            "23.850 001202 Y");
  EXPECT_TRUE(back[2] == TicketRow{} && !Exists(next.workFolder().File(GridJournalName(4))));
  next.Cleanup();
}

using BookListTest = EntryTest;

std::string Fields(const BookHeader& h) { return h.comments + "|" + h.dataType + "|" + h.specificGravity; }

TEST_F(BookListTest, EntriesNumberEverySlotAndTheSelectionFollowsTheChoice) {
  session.Book(7).comments = "HOT MIX";
  const std::vector<std::string> entries = ListBooks(session.books);
  ASSERT_TRUE(entries.size() == 500u && entries[6] + "|" + entries[499] == "Book  7 HOT MIX|Book  500 ");
  // Enter with nothing selected chooses nothing; slot 500 stays selected.
  EXPECT_EQ(std::tuple(ChosenSlot(-1), ChosenSlot(499), ChosenSlot(500)), std::tuple(std::nullopt, 500, std::nullopt));
  EXPECT_EQ(std::pair(SelectionAfter(3), SelectionAfter(500)), std::pair(3, 499));
}

TEST_F(BookListTest, ADeletedBookLosesHeaderAndRowsButKeepsItsFile) {
  BookGrid grid;
  OpenBook(3, "HOT MIX", "1", grid);
  session.Book(3).specificGravity = "2.65";
  Type(grid, 1, {"1", "06/01/2026", "38.880", "14.975", "23.905", "5.5"});
  ASSERT_TRUE(SaveGridToBook(session, 3, grid).ok());

  ASSERT_TRUE(DeleteBook(session, 3).ok());
  EXPECT_TRUE(Fields(session.Book(3)) + session.rows[0][TicketField::PageNo] == "||" && Exists(session.SectionPath(3)))
      << "rows in memory cleared, the file kept for a book set up in the slot again";
}

TEST(BookSetup, TypeIsChosenOnceAndThenFixed) {
  BookHeader header;
  BookSetupFields fields = OpenBookSetup(header);
  EXPECT_FALSE(fields.typeFixed);
  std::tie(fields.comments, fields.specificGravity) = std::pair("SURFACE", "2.640");
  ContinueBookSetup(header, fields);
  EXPECT_EQ(Fields(header), "SURFACE||2.640") << "Continue without a type leaves the code empty";

  fields = OpenBookSetup(header);
  fields.ChosenTypeIndex = 1;
  ContinueBookSetup(header, fields);
  fields = OpenBookSetup(header);
  EXPECT_EQ(std::tuple(header.dataType, fields.ChosenTypeIndex, fields.typeFixed), std::tuple("1", 1, true));

  BookHeader odd{"HAND EDITED", "7", ""};
  fields = OpenBookSetup(odd);
  ContinueBookSetup(odd, fields);
  EXPECT_EQ(std::tuple(fields.ChosenTypeIndex, fields.typeFixed, odd.dataType), std::tuple(-1, true, "7"));
}

TEST(BookSetup, SpecificGravityStaysBelowTen) {
  for (const char* ok : {"2.65", "9.9999", ""}) EXPECT_EQ(CheckSpecificGravity(ok).state, GravityInput::Acceptable);
  EXPECT_EQ(CheckSpecificGravity(".").state, GravityInput::Intermediate);
  for (const char* bad : {"10", "2.65001", "2,65"}) EXPECT_EQ(CheckSpecificGravity(bad).state, GravityInput::Invalid);
  EXPECT_EQ(CheckSpecificGravity("10").reason, "Specific Gravity accepts 0 to 9.9999");
}

// Today for a new file at every opening; a saved file's own date, even empty.
TEST(IndexRecordForm, NewFileShowsTodayOthersTheStoredDate) {
  IndexRecord index{"CST81", "4471", "NH-0094-07", "09/30/2025", "P. LINDQVIST", "E"};
  const CalendarDate today{2026, 3, 7};
  const std::string saved = OpenIndexRecord(index, "/jobs/NH0094.K81", today).date;
  EXPECT_EQ(OpenIndexRecord(index, kNoName, today).date + "|" + saved, "03/07/2026|09/30/2025");
  index.date.clear();
  EXPECT_EQ(OpenIndexRecord(index, "/jobs/NH0094.K81", today).date, "");
}

}  // namespace
}  // namespace tonnage
