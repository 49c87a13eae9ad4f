// From a line of a real report to the grid row of its ticket.
#include "entry/report_ticket.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "entry_fixture.h"
#include "io/line_reader.h"
#include "report/tonnage_run.h"
#include "text/fixed_width.h"

namespace tonnage::testing {
namespace {

// Book 2 runs over two main pages and fills two error pages; book 5 is short,
// with a note ticket and a void one.
class ReportTicket : public EntryTest {
 protected:
  static long Page(int row) { return 1200 + row + (row >= 60 ? 1 : 0); }  // 1260 is missing

  void SetUp() override {
    EntryTest::SetUp();
    BookGrid big;
    OpenBook(2, "SURFACE COURSE SP 12.5 NB LANES", "0", big);
    for (int row = 1; row <= 70; ++row) {
      std::string net = row > 20 && row % 2 == 1 ? "47710" : "47700";
      if (row == 5) net = "47600";
      Type(big, row, {std::to_string(Page(row)), row <= 40 ? "09/28/2026" : "09/29/2026",
                      row == 9 ? "30056" : "77756", row == 9 ? "77756" : "30056", net, "5.600"});
    }
    ASSERT_TRUE(SaveGridToBook(session, 2, big).ok());
    BookGrid small;
    OpenBook(5, "BINDER COURSE SP 19.0", "0", small);
    Type(small, 1, {"301", "09/30/2026", "68720", "30060", "38660"});
    Type(small, 2, {"302", "09/30/2026", "68720", "30060", "38000"});
    Type(small, 3, {"303", "09/30/2026", "70200", "29900", "40300", "", "", "", "Y"});
    Type(small, 4, {"304", "09/30/2026", "", "", "", "", "", "Y"});
    ASSERT_TRUE(SaveGridToBook(session, 5, small).ok());
    ASSERT_TRUE(session.WriteWorkFile().ok());
    spool = io::SplitLines(report::MakeReportSpool(ReadFile(session.workFolder().File("WORK.TMP")), "V 4.2",
                                                   {"10/01/2026", "07:15:00"}));
  }

  // The line of the `n`-th (from 1) occurrence of `prefix`.
  std::size_t Line(const std::string& prefix, int n = 1) const {
    for (std::size_t i = 0; i < spool.size(); ++i)
      if (spool[i].rfind(prefix, 0) == 0 && --n == 0) return i;
    ADD_FAILURE() << "no line " << prefix;
    return spool.size();
  }
  static std::string Detail(long page, const char* date) {
    return " " + PadText(std::to_string(page), 6, PadSide::Left) + "  " + date;
  }
  TicketRowPlace Place(std::size_t line) const {
    return FindTicketRow(session, report::LocateSpoolTicket(spool, line));
  }

  std::vector<std::string> spool;
};

TEST_F(ReportTicket, ErrorAndTicketLinesLeadToTheirRowAndCell) {
  ASSERT_GE(std::count(spool.begin(), spool.end(), "    ERROR REPORT"), 2);
  const struct {
    std::size_t line;
    int book, row, column;
  } cases[] = {
      {Line(" *** ERROR *** THEO"), 2, 5, 5},
      {Line(" *** ERROR *** THEO") + 1, 2, 5, 5},  // the ticket echo
      {Line(" *** ERROR *** GROSS LESS THAN TARE"), 2, 9, 3},
      {Line(" *** ERROR *** THEO", 2), 2, 9, 5},
      {Line(" *** ERROR *** PAGE ORDER ERROR"), 2, 60, 1},
      {Line(" *** ERROR *** THEO", 28), 5, 2, 5},
      {Line(Detail(1201, "09/28/2026")), 2, 1, 1},
      {Line(Detail(Page(70), "09/29/2026")), 2, 70, 1},  // second main page of the book
      {Line(Detail(302, "09/30/2026")), 5, 2, 1},
      {Line(" -------- NOTE"), 5, 3, 1},
      {Line(" -------- VOID"), 5, 4, 1},
  };
  for (const auto& c : cases) {
    const TicketRowPlace place = Place(c.line);
    EXPECT_TRUE(place.found()) << spool[c.line] << ": " << place.error;
    EXPECT_EQ(std::tie(place.book, place.row, place.column), std::tie(c.book, c.row, c.column)) << spool[c.line];
  }
}

TEST_F(ReportTicket, EveryTicketOfTheReportIsPlacedOnceAndEveryErrorOnARowOfItsPage) {
  std::map<int, std::set<int>> detailRows;
  std::set<std::pair<int, int>> errorRows;
  for (std::size_t i = 0; i < spool.size(); ++i) {
    const report::SpoolTicket ticket = report::LocateSpoolTicket(spool, i);
    if (!ticket.found()) continue;
    const TicketRowPlace place = FindTicketRow(session, ticket);
    ASSERT_TRUE(place.found()) << spool[i] << ": " << place.error;
    const auto section = io::SplitLines(Section(place.book));
    EXPECT_EQ(ParseLeadingNumber(Columns(section.at(static_cast<std::size_t>(place.row - 1)), 1, 6)), ticket.page)
        << spool[i];
    if (!ticket.echo.empty()) {
      errorRows.insert({place.book, place.row});
    } else if (spool[i].rfind(" --", 0) != 0) {
      EXPECT_TRUE(detailRows[place.book].insert(place.row).second) << spool[i];
    }
  }
  EXPECT_EQ(detailRows[2].size(), 70u);
  EXPECT_EQ(detailRows[5].size(), 4u);
  EXPECT_EQ(errorRows.size(), 29u);  // rows 5, 9, 60, 21..69 odd, and page 302
}

TEST_F(ReportTicket, LinesOfNoTicketAndAReportOlderThanTheBooksAreTold) {
  for (const std::string& prefix : {std::string(" DATA IS IN "), std::string("  SURFACE COURSE"),
                                    std::string("                  BOOK TOTAL"), std::string("    TOTAL")})
    EXPECT_NE(Place(Line(prefix)).error.find("Not a ticket"), std::string::npos) << prefix;
  EXPECT_FALSE(Place(spool.size()).found());

  const std::size_t binder = Line(Detail(302, "09/30/2026"));
  session.Book(5).comments = "BINDER COURSE SP 19.0 SB";
  EXPECT_NE(Place(binder).error.find("older than the books"), std::string::npos);
  session.Book(2).comments.clear();
  EXPECT_NE(Place(binder).error.find("no longer in the file"), std::string::npos);
  session.Book(2).comments = "SURFACE COURSE SP 12.5 NB LANES";
  BookGrid big;
  OpenBook(2, session.Book(2).comments, "0", big);
  big.DeleteRows(1, 70);
  ASSERT_TRUE(SaveGridToBook(session, 2, big).ok());
  EXPECT_NE(Place(Line(" *** ERROR *** THEO")).error.find("older than the books"), std::string::npos);
}

}  // namespace
}  // namespace tonnage::testing
