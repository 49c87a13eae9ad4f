// The grid's live checks against the report itself: every sample
// and generated files of every book type and unit system are opened book by
// book, and the rows the grid marks must be the tickets the report lists as
// errors, for the same reasons; and the way back
// from a line of the report to the grid row of its ticket.
#include <gtest/gtest.h>

#include "../report/report_test_support.h"
#include "../test_files.h"
#include "entry_fixture.h"
#include "data/data_file.h"
#include "data/session.h"
#include "entry/book_checks.h"
#include "entry/book_grid.h"
#include "entry/report_ticket.h"
#include "io/line_reader.h"
#include "report/tonnage_run.h"
#include "text/fixed_width.h"

namespace tonnage {
namespace {

using namespace testing;

// Only the tickets seen are compared here: the lines go nowhere.
struct Discard final : report::LineSink, report::MainReportSink {
  void WriteLine(std::string_view) override {}
  void WriteLine(std::string_view, bool) override {}
};

// Opens `path`, checks every book in the grid and compares with the report
// run over the same data. Returns the number of tickets compared.
int CompareWithReport(const std::string& path) {
  ScratchFolder work;
  Session session;
  session.keepHistory = false;  // the samples are only read: no store beside them
  EXPECT_TRUE(session.Start(".", work.path()).ok());
  if (!session.Open(path)) {
    session.Cleanup();
    return 0;  // refused files have no report to agree with
  }
  EXPECT_TRUE(session.WriteWorkFile().ok());
  std::vector<report::TicketSeen> seen;
  const std::string workText = ReadFile(session.workFolder().File(kWorkFileName));
  io::StringLineSource source(workText);
  Discard lines;
  report::ComputeTonnageReport(source, "V", {"01/01/2026", "00:00:00"}, lines, lines,
                               [&](const report::TicketSeen& t) { seen.push_back(t); });

  std::size_t next = 0;
  for (int book = 1; book <= kMaxBooks && session.Book(book).InUse(); ++book) {
    BookGrid grid;
    SetGridColumns(session, book, grid);
    LoadBookIntoGrid(session, book, grid);
    const BookCheck check = CheckBookRows(grid.rows(), session.index.unitSystem, session.Book(book).dataType,
                                          FormatBookHeaderLine(session.Book(book)));
    for (int row = 0; row < kMaxRows; ++row) {
      const RowCheck& r = check.rows[static_cast<std::size_t>(row)];
      if (!r.kept) continue;
      EXPECT_LT(next, seen.size()) << path << " book " << book;
      if (next >= seen.size()) return 0;
      const report::TicketSeen& t = seen[next++];
      EXPECT_EQ(t.book, book);
      // The date table is the whole file's; the grid of one book cannot know it is full.
      if (t.errors & report::kErrorTableFull) continue;
      EXPECT_EQ(std::tuple(r.errors, r.page), std::tuple(t.errors, t.pageNo))
          << path << " book " << book << " row " << row + 1 << " page " << t.pageNo;
      EXPECT_TRUE(!(t.errors & report::kErrorTheoKpMismatch) || (r.theo == t.theo && r.kp == t.kp)) << path;
      for (const auto& [bit, says] : {std::pair(report::kErrorPageOrder, "Page order"),
                                      std::pair(report::kErrorGrossLessThanTare, " is less than "),
                                      std::pair(report::kErrorTheoKpMismatch, "THEO = ")})
        EXPECT_EQ((r.errors & bit) != 0, r.reason.find(says) != std::string::npos) << r.reason;
    }
  }
  EXPECT_EQ(next, seen.size()) << path << ": tickets the grid never showed";
  session.Cleanup();
  return static_cast<int>(next);
}

TEST(BookChecks, TheGridMarksExactlyTheTicketsTheReportFindsInSamplesAndGeneratedFiles) {
  int tickets = 0;
  for (const char* name : testing::kSampleFiles) tickets += CompareWithReport(testing::SamplePath(name));
  EXPECT_GT(tickets, 50);
  ScratchFolder dir;
  const std::vector<std::string> cases = report::testing::GeneratedCases(40, 1717, dir.path());
  if (cases.empty()) GTEST_SKIP() << "*** the generated files were NOT checked ***";
  for (const std::string& base : cases) tickets += CompareWithReport(base + ".K81");
  EXPECT_GT(tickets, 850);
}

TEST(BookChecks, APageUsedTwiceIsMarkedOnBothRowsAndTotalsFollowTheDate) {
  BookRows rows;
  auto put = [&](int row, std::array<std::string, 9> cells) { rows[static_cast<std::size_t>(row - 1)].cells = cells; };
  // Page order restarts after 1205, so the second 1202 goes unseen by it.
  put(1, {"1205", "09/28/2026", "77756", "30056", "47700", "", "", "", ""});
  put(2, {"1202", "09/28/2026", "20000", "5000", "15000", "5.000", "Y", "", ""});
  put(3, {"1203", "09/29/2026", "20000", "5000", "15000", "", "", "", ""});
  put(4, {"1204", "09/29/2026", "20000", "5000", "15000", "", "", "Y", ""});  // void: not counted
  put(5, {"1205", "09/29/2026", "1000", "", "1000", "", "", "", ""});
  put(6, {"1206", "09/29/2026", "", "", "", "", "", "", ""});  // no weight: not kept
  const BookCheck check = CheckBookRows(rows, "E", "0", "* 0 0.0000 HOT MIX");
  EXPECT_EQ(std::pair(check.rows[0].samePageRow, check.rows[4].samePageRow), std::pair(5, 1));
  EXPECT_EQ(check.rows[4].reason, "Page 1205 is also on row 1");
  EXPECT_EQ(check.rows[1].reason, "Page order: page 1202 does not follow page 1205");
  EXPECT_FALSE(check.rows[2].Marked() || check.rows[5].kept);
  EXPECT_EQ(std::pair(check.totals.tickets, check.totals.voids), std::pair(5, 1));
  EXPECT_EQ(FormatGridTotals(check.totals, DateWeight(rows, check, "09/29/2026"), "09/29/2026"),
            "5 tickets (1 void)   Net 78700 LBS = 39.350 TONS   09/29/2026: 8.000 TONS   Bitumen 88 GALS");
}

// From a line of a real report to the grid row of its ticket.

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
      const char* net = row == 5 ? "47600" : row > 20 && row % 2 == 1 ? "47710" : "47700";
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
    ASSERT_TRUE(SaveGridToBook(session, 5, small).ok() && session.WriteWorkFile().ok());
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
  BookGrid big;
  OpenBook(2, "SURFACE COURSE SP 12.5 NB LANES", "0", big);
  big.DeleteRows(1, 70);
  ASSERT_TRUE(SaveGridToBook(session, 2, big).ok());
  EXPECT_NE(Place(Line(" *** ERROR *** THEO")).error.find("older than the books"), std::string::npos);
}

}  // namespace
}  // namespace tonnage
