// The grid's live checks and totals against the report itself: every sample
// and generated files of every book type and unit system are opened book by
// book, and the rows the grid marks must be the tickets the report lists as
// errors, for the same reasons, with the same book totals.
#include <gtest/gtest.h>

#include "data/data_file.h"
#include "data/session.h"
#include "entry/book_checks.h"
#include "entry/book_grid.h"
#include "io/line_reader.h"
#include "report/tonnage_run.h"
#include "text/fixed_width.h"
#include "../report/report_test_support.h"
#include "../test_files.h"

namespace tonnage {
namespace {

using testing::ReadFile;
using testing::ScratchFolder;

struct Seen {
  int book;
  long page;
  unsigned errors;
  double theo, kp;
};

class NoMain final : public report::MainReportSink {
 public:
  void WriteLine(std::string_view, bool) override {}
};

class Lines final : public report::LineSink {
 public:
  void WriteLine(std::string_view line) override { text += std::string(line) + "\n"; }
  std::string text;
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
  std::vector<Seen> seen;
  const std::string workText = ReadFile(session.workFolder().File(kWorkFileName));
  io::StringLineSource source(workText);
  NoMain main;
  Lines spool;
  report::ComputeTonnageReport(source, "V", {"01/01/2026", "00:00:00"}, spool, main, [&](const report::TicketSeen& t) {
    seen.push_back({t.book, t.pageNo, t.errors, t.theo, t.kp});
  });
  const std::string mainText = report::MakeReportSpool(workText, "V", {"01/01/2026", "00:00:00"});
  std::vector<std::string> reportTotals;
  for (const std::string& line : io::SplitLines(mainText))
    if (line.find("BOOK TOTAL") != std::string::npos) reportTotals.push_back(line);

  std::size_t next = 0;
  std::vector<std::string> gridTotals;
  for (int book = 1; book <= kMaxBooks && session.Book(book).InUse(); ++book) {
    BookGrid grid;
    SetGridColumns(session, book, grid);
    LoadBookIntoGrid(session, book, grid);
    const BookCheck check = CheckBookRows(grid.rows(), session.index.unitSystem, session.Book(book).dataType,
                                          FormatBookHeaderLine(session.Book(book)));
    bool tableFull = false;
    for (int row = 0; row < kMaxRows; ++row) {
      const RowCheck& r = check.rows[static_cast<std::size_t>(row)];
      if (!r.kept) continue;
      EXPECT_LT(next, seen.size()) << path << " book " << book;
      if (next >= seen.size()) return 0;
      const Seen& t = seen[next++];
      EXPECT_EQ(t.book, book);
      // The date table is the whole file's; the grid of one book cannot know it is full.
      if (t.errors & report::kErrorTableFull) {
        tableFull = true;
        continue;
      }
      EXPECT_EQ(std::tuple(r.errors, r.page), std::tuple(t.errors, t.page))
          << path << " book " << book << " row " << row + 1 << " page " << t.page;
      EXPECT_TRUE(!(t.errors & report::kErrorTheoKpMismatch) || (r.theo == t.theo && r.kp == t.kp)) << path;
      for (const auto& [bit, says] : {std::pair(report::kErrorPageOrder, "Page order"),
                                      std::pair(report::kErrorGrossLessThanTare, " is less than "),
                                      std::pair(report::kErrorTheoKpMismatch, "THEO = ")})
        EXPECT_EQ((r.errors & bit) != 0, r.reason.find(says) != std::string::npos) << r.reason;
    }
    if (tableFull) {
      gridTotals.clear();
      reportTotals.clear();
      continue;
    }
    const std::vector<std::string> lines = report::BookTotalLines(check.totals.book, check.totals.metric);
    gridTotals.insert(gridTotals.end(), lines.begin() + 1, lines.end());
  }
  EXPECT_EQ(next, seen.size()) << path << ": tickets the grid never showed";
  if (!gridTotals.empty()) {
    reportTotals.resize(std::min(reportTotals.size(), gridTotals.size()));
    EXPECT_EQ(gridTotals, reportTotals) << path;
  }
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
  put(4, {"1204", "09/29/2026", "", "", "", "", "", "Y", ""});
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

}  // namespace
}  // namespace tonnage
