// From a line of a real report to the grid row of its ticket.
#include "entry/report_ticket.h"

#include <gtest/gtest.h>

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
      Type(big, row,
           {std::to_string(Page(row)), row <= 40 ? "09/28/2026" : "09/29/2026", row == 9 ? "30056" : "77756",
            row == 9 ? "77756" : "30056", net, "5.600"});
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
    spool = io::SplitLines(
        report::MakeReportSpool(ReadFile(session.workFolder().File("WORK.TMP")), "V 4.2", {"10/01/2026", "07:15:00"}));
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

TEST_F(ReportTicket, ErrorAndTicketLinesLeadToTheirRowAndCellOtherLinesToNone) {
  ASSERT_GE(std::count(spool.begin(), spool.end(), "    ERROR REPORT"), 2);
  // Spool line, then book, row and column of the ticket (book 0: none).
  // clang-format off
  const std::tuple<std::size_t, int, int, int> cases[] = {
      {Line(" *** ERROR *** THEO"), 2, 5, 5}, {Line(" *** ERROR *** THEO") + 1, 2, 5, 5} /* the ticket echo */,
      {Line(" *** ERROR *** GROSS LESS THAN TARE"), 2, 9, 3}, {Line(" *** ERROR *** THEO", 2), 2, 9, 5},
      {Line(" *** ERROR *** PAGE ORDER ERROR"), 2, 60, 1},
      {Line(" *** ERROR *** THEO", 28), 5, 2, 5},  // on the second error page
      {Line(Detail(1201, "09/28/2026")), 2, 1, 1},
      {Line(Detail(Page(70), "09/29/2026")), 2, 70, 1},  // second main page of the book
      {Line(Detail(302, "09/30/2026")), 5, 2, 1}, {Line(" -------- NOTE"), 5, 3, 1}, {Line(" -------- VOID"), 5, 4, 1},
      {Line(" DATA IS IN "), 0, 0, 1}, {Line("  SURFACE COURSE"), 0, 0, 1} /* the error report's book line */,
      {Line("                  BOOK TOTAL"), 0, 0, 1}, {Line("    TOTAL"), 0, 0, 1}, {spool.size(), 0, 0, 1}};
  // clang-format on
  for (const auto& [at, book, row, column] : cases) {
    const TicketRowPlace place = Place(at);
    EXPECT_EQ(std::tuple(place.found(), place.book, place.row, place.column), std::tuple(book != 0, book, row, column))
        << (at < spool.size() ? spool[at] : "(end)") << ": " << place.error;
  }
}

TEST_F(ReportTicket, AReportOlderThanTheBooksIsTold) {
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
