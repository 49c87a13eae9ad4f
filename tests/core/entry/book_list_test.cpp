#include "entry/book_list.h"

#include <gtest/gtest.h>

#include "entry/index_record_form.h"
#include "entry_fixture.h"

namespace tonnage {
namespace {

using namespace testing;

using BookListTest = EntryTest;

std::string Fields(const BookHeader& h) { return h.comments + "|" + h.dataType + "|" + h.specificGravity; }

TEST_F(BookListTest, EntriesNumberEverySlotAndTheSelectionFollowsTheChoice) {
  session.Book(7).comments = "HOT MIX";
  const std::vector<std::string> entries = ListBooks(session.books);
  ASSERT_EQ(entries.size(), 500u);
  EXPECT_EQ(entries[6] + "|" + entries[499], "Book  7 HOT MIX|Book  500 ");
  // Enter with nothing selected chooses nothing; slot 500 stays selected.
  EXPECT_EQ(std::tuple(ChosenSlot(-1), ChosenSlot(499), ChosenSlot(500)), std::tuple(std::nullopt, 500, std::nullopt));
  EXPECT_EQ(std::pair(SelectionAfter(3), SelectionAfter(500)), std::pair(3, 499));
}

TEST_F(BookListTest, ADeletedBookKeepsItsTicketsUntilTheSlotIsSetUpAgain) {
  BookGrid grid;
  OpenBook(3, "HOT MIX", "1", grid);
  session.Book(3).specificGravity = "2.65";
  Type(grid, 1, {"1", "06/01/2026", "38.880", "14.975", "23.905", "5.5"});
  ASSERT_TRUE(SaveGridToBook(session, 3, grid).ok());

  ASSERT_TRUE(DeleteBook(session, 3).ok());
  EXPECT_EQ(Fields(session.Book(3)) + session.rows[0][TicketField::PageNo], "||") << "rows in memory cleared";
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
  EXPECT_EQ(std::pair(fields.ChosenTypeIndex, fields.typeFixed), std::pair(-1, true));
  ContinueBookSetup(odd, fields);
  EXPECT_EQ(odd.dataType, "7");
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
