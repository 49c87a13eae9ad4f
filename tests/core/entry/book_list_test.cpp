#include "entry/book_list.h"

#include <gtest/gtest.h>

#include "entry/index_record_form.h"
#include "entry_fixture.h"

namespace tonnage {
namespace {

using testing::EntryTest;
using testing::Exists;

using BookListTest = EntryTest;

TEST_F(BookListTest, EntriesNumberEverySlot) {
  const std::vector<std::string> fresh = ListBooks(session.books);
  ASSERT_EQ(fresh.size(), 500u);
  EXPECT_EQ(fresh[0], "Book  1 ");
  EXPECT_EQ(fresh[499], "Book  500 ");
  session.Book(7).comments = "HOT MIX";
  EXPECT_EQ(ListBooks(session.books)[6], "Book  7 HOT MIX");
}

TEST_F(BookListTest, SelectionAfterChoosingOrDeleting) {
  EXPECT_EQ(ChosenSlot(-1), std::nullopt) << "Enter with nothing selected chooses nothing";
  EXPECT_EQ(ChosenSlot(0), 1);
  EXPECT_EQ(ChosenSlot(499), 500);
  EXPECT_EQ(ChosenSlot(500), std::nullopt);
  EXPECT_EQ(SelectionAfter(3), 3) << "slot 4's entry";
  EXPECT_EQ(SelectionAfter(499), 499);
  EXPECT_EQ(SelectionAfter(500), 499) << "slot 500 stays selected";
}

TEST_F(BookListTest, ADeletedBookKeepsItsTicketsUntilTheSlotIsSetUpAgain) {
  BookGrid grid;
  OpenBook(3, "HOT MIX", "1", grid);
  session.Book(3).specificGravity = "2.65";
  Type(grid, 1, {"1", "06/01/2026", "38.880", "14.975", "23.905", "5.5"});
  ASSERT_TRUE(SaveGridToBook(session, 3, grid).ok());

  DeleteBook(session, 3);
  EXPECT_EQ(session.Book(3).comments, "");
  EXPECT_EQ(session.Book(3).dataType, "");
  EXPECT_EQ(session.Book(3).specificGravity, "");
  EXPECT_EQ(session.rows[0][TicketField::PageNo], "") << "rows in memory cleared";
  EXPECT_TRUE(Exists(session.SectionPath(3)));

  BookGrid empty;
  LoadBookIntoGrid(session, 3, empty);
  EXPECT_EQ(empty.Cell(1, 1), "") << "a free slot shows an empty grid";

  BookSetupFields fields = OpenBookSetup(session.Book(3));
  fields.comments = "HOT MIX AGAIN";
  ContinueBookSetup(session.Book(3), fields);
  BookGrid back;
  LoadBookIntoGrid(session, 3, back);
  EXPECT_EQ(back.Cell(1, 3), "38.880");
}

TEST(BookSetup, TypeIsChosenOnceAndThenFixed) {
  BookHeader header;
  BookSetupFields fields = OpenBookSetup(header);
  EXPECT_EQ(fields.ChosenTypeIndex, -1);
  EXPECT_FALSE(fields.typeFixed);
  fields.comments = "SURFACE";
  fields.specificGravity = "2.640";
  ContinueBookSetup(header, fields);
  EXPECT_EQ(header.dataType, "") << "Continue without a type leaves the code empty";
  EXPECT_EQ(header.specificGravity, "2.640");

  fields = OpenBookSetup(header);
  fields.ChosenTypeIndex = 1;
  ContinueBookSetup(header, fields);
  EXPECT_EQ(header.dataType, "1");
  fields = OpenBookSetup(header);
  EXPECT_EQ(fields.ChosenTypeIndex, 1);
  EXPECT_TRUE(fields.typeFixed);
  EXPECT_EQ(fields.comments, "SURFACE");

  BookHeader odd{"HAND EDITED", "7", ""};
  fields = OpenBookSetup(odd);
  EXPECT_TRUE(fields.typeFixed);
  EXPECT_EQ(fields.ChosenTypeIndex, -1);
  ContinueBookSetup(odd, fields);
  EXPECT_EQ(odd.dataType, "7");
}

TEST(BookSetup, SpecificGravityStaysBelowTen) {
  EXPECT_EQ(CheckSpecificGravity("2.65").state, GravityInput::Acceptable);
  EXPECT_EQ(CheckSpecificGravity("9.9999").state, GravityInput::Acceptable);
  EXPECT_EQ(CheckSpecificGravity("").state, GravityInput::Acceptable);
  EXPECT_EQ(CheckSpecificGravity(".").state, GravityInput::Intermediate);
  const GravityCheck ten = CheckSpecificGravity("10");
  EXPECT_EQ(ten.state, GravityInput::Invalid);
  EXPECT_EQ(ten.reason, "Specific Gravity accepts 0 to 9.9999");
  EXPECT_EQ(CheckSpecificGravity("2.65001").state, GravityInput::Invalid);
  EXPECT_EQ(CheckSpecificGravity("2,65").state, GravityInput::Invalid);
}

TEST(IndexRecordForm, NewFileShowsTodayOthersTheStoredDate) {
  IndexRecord index{"CST81", "4471", "NH-0094-07", "", "P. LINDQVIST", "E"};
  const CalendarDate today{2026, 3, 7};
  EXPECT_EQ(FormatCalendarDate(today), "03/07/2026");
  EXPECT_EQ(OpenIndexRecord(index, kNoName, today).date, "03/07/2026");
  index.date = "09/30/2025";
  EXPECT_EQ(OpenIndexRecord(index, kNoName, today).date, "03/07/2026") << "every opening";
  EXPECT_EQ(OpenIndexRecord(index, "/jobs/NH0094.K81", today).date, "09/30/2025");
  index.date.clear();
  EXPECT_EQ(OpenIndexRecord(index, "/jobs/NH0094.K81", today).date, "") << "stored, even empty";

  IndexFields fields = OpenIndexRecord(index, kNoName, today);
  EXPECT_EQ(fields.refNo, "4471");
  EXPECT_EQ(fields.projectNo, "NH-0094-07");
  fields.engineer = "m. okafor";
  StoreIndexRecord(index, fields);
  EXPECT_EQ(index.engineer, "m. okafor") << "stored as typed";
  EXPECT_EQ(index.date, "03/07/2026");
  EXPECT_EQ(index.unitSystem, "E");
}

}  // namespace
}  // namespace tonnage
