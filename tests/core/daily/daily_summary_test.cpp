// The daily summary against the tonnage report: every date's tons and
// gallons must be the report's by-date lines, over the samples and over
// generated files of every book type and unit system.
#include <gtest/gtest.h>

#include <algorithm>

#include "../report/report_test_support.h"
#include "../test_files.h"
#include "daily/daily_csv.h"
#include "daily/daily_summary.h"
#include "report/report_lines.h"

namespace tonnage::daily {
namespace {

using namespace tonnage::testing;
using report::testing::BookLine;
using report::testing::Image;
using report::testing::IndexLine;
using report::testing::Ticket;

DailySummary Summarize(const std::string& image, const std::string& from = "00000000",
                       const std::string& to = "99999999", const DailyExtras& extras = {}) {
  io::StringLineSource work(image);
  DailyResult r = SummarizeDays(work, from, to, extras);
  EXPECT_TRUE(r.outcome.ok()) << r.outcome.message;
  return r.summary;
}

// The summary's date lines against the report's (project and private: a
// slash in columns 4 and 7).
DailySummary ExpectSameAsReport(const std::string& image, const std::string& name) {
  EXPECT_FALSE(image.empty()) << name;
  const DailySummary s = Summarize(image);
  std::vector<std::string> ours, theirs;
  for (const std::string& l : io::SplitLines(report::MakeReportSpool(image, "V", report::testing::kStamp)))
    if (l.size() > 7 && l[0] == ' ' && l[3] == '/' && l[6] == '/') theirs.push_back(l);
  for (const Day& d : s.days) {
    if (d.loads == 0) continue;  // voids only, or left out of the report's table
    const report::ProjectDate& p = d.project;
    const report::PrivateDate& q = d.privateWaste;
    ours.push_back(
        report::ProjectDateLine(ShowDay(d.key), p.theoTons, p.kpTons, p.payGallons, p.theoPct, p.kpPct, s.metric));
    ours.push_back(report::PrivateDateLine(ShowDay(d.key), q.theoTons, q.theoGallons, q.kpTons, q.kpGallons, s.metric));
  }
  std::sort(ours.begin(), ours.end());
  std::sort(theirs.begin(), theirs.end());
  EXPECT_EQ(ours, theirs) << name;
  return s;
}

TEST(DailySummary, DayFiguresAreTheReportsByDateLinesOnTheSamplesAndGeneratedFiles) {
  for (const char* name : kSampleFiles) ExpectSameAsReport(ReadFile(SamplePath(name)), name);
  ScratchFolder dir;
  const std::vector<std::string> cases = report::testing::GeneratedCases(120, 2609, dir.path());
  if (cases.empty()) GTEST_SKIP() << "*** generated files NOT checked ***";
  int metric = 0, batch = 0, tons = 0;
  for (const std::string& base : cases) {
    const std::string image = ReadFile(base + ".K81");
    if (image.compare(0, 5, "HELLO") == 0) continue;  // not a data file: no report to agree with
    metric += ExpectSameAsReport(image, base).metric;
    batch += image.find("\n* 2 ") != std::string::npos;
    tons += image.find("\n* 1 ") != std::string::npos;
  }
  EXPECT_TRUE(metric && batch && tons) << "every kind of file among them";
}

// Book 1: pages 1201, 1202, 1204, 1203 on 09/28 (one missing, one step
// back), a void 1205 and a private load 1206 on 09/29; book 2 of batch
// tickets on 09/29.
std::string TwoDayImage() {
  return Image({IndexLine(), BookLine("0", "0.0000", "SURFACE COURSE SP 12.5"),
                Ticket(1201, "09/28/2026", "77756", "30056", "47700", "5.600"),
                Ticket(1202, "09/28/2026", "72708", "29773", "42935", "5.600"),
                Ticket(1204, "09/28/2026", "64284", "28852", "35432", "5.600"),
                Ticket(1203, "09/28/2026", "70000", "30000", "40000"),
                Ticket(1205, "09/29/2026", "", "", "", "", false, true),
                Ticket(1206, "09/29/2026", "60000", "30000", "30000", "5.000", true),
                BookLine("2", "1.0320", "BASE COURSE BATCH"), Ticket(88001, "09/29/2026", "38686", "2382", "41068"),
                Ticket(88002, "09/29/2026", "42941", "2644", "45585")});
}

TEST(DailySummary, BookDayNamesPagesAndKeepsRunningTotals) {
  DailyExtras extras;
  extras.loadTimes = {{{2, 88001}, 7 * 60 + 5}, {{2, 88002}, 7 * 60 + 50}, {{1, 1206}, 13 * 60}};
  const DailySummary s = Summarize(TwoDayImage(), "20260929", "20260929", extras);
  EXPECT_EQ(s.dates, (std::vector<std::string>{"20260928", "20260929"}));
  ASSERT_TRUE(s.days.size() == 1u && s.days[0].books.size() == 2u);
  const Day& d = s.days[0];
  const BookDay& b1 = d.books[0];
  EXPECT_EQ(std::tuple(b1.loads, b1.privateLoads, b1.voids, b1.firstPage, b1.lastPage),
            std::tuple(1, 1, 1, 1205, 1206));
  EXPECT_DOUBLE_EQ(b1.privateWaste.kpTons, 15.0);
  EXPECT_NEAR(b1.privateWaste.kpGallons, 30000 * 5 / 850.0004, 1e-9);
  // Running: 47700 + 42935 + 35432 + 40000 lb of project material on 09/28.
  EXPECT_EQ(b1.toDate.loads, 5);
  EXPECT_NEAR(b1.toDate.kpTons, 166067 / 2000.0, 1e-9);
  EXPECT_NEAR(b1.toDate.privateKpTons, 15.0, 1e-9);
  const BookDay& b2 = d.books[1];
  EXPECT_NEAR(b2.netWeight, 41068 + 45585, 1e-9);
  EXPECT_NEAR(b2.project.payGallons, (2382 + 2644) / (8.3282 * 1.032), 1e-9);
  EXPECT_EQ(std::tuple(d.loadsByHour[7], d.loadsByHour[13], d.timedLoads), std::tuple(2, 1, 3));
  // Percent bitumen: the private load's Pct, the batch loads' asphalt share.
  ASSERT_EQ(d.tickets.size(), 3u);
  EXPECT_NEAR(d.tickets[1].pct, 2382.0 / 41068 * 100, 1e-9);
  const double mean =
      (5.0 * 15 + 2382.0 / 41068 * 100 * 20.534 + 2644.0 / 45585 * 100 * 22.7925) / (15 + 20.534 + 22.7925);
  EXPECT_NEAR(d.meanPct, mean, 1e-9);
  EXPECT_NEAR(d.jobToDate.kpTons, (166067 + 41068 + 45585) / 2000.0, 1e-9);
  // The chart reaches back to 09/28 and accumulates.
  ASSERT_EQ(s.tonsByDay.size(), 2u);
  EXPECT_NEAR(s.tonsByDay[1].cumulative, (166067 + 41068 + 45585) / 2000.0, 1e-9);
}

TEST(DailySummary, PageGapsAndBreaksOfTheDay) {
  const DailySummary s = Summarize(TwoDayImage(), "20260928", "20260928");
  ASSERT_EQ(s.days.size(), 1u);
  const BookDay& b = s.days[0].books.at(0);
  EXPECT_EQ(std::pair(b.firstPage, b.lastPage), std::pair(1201L, 1203L));
  ASSERT_EQ(std::pair(b.gaps.size(), b.breaks.size()), std::pair(std::size_t{1}, std::size_t{1}));
  EXPECT_EQ(std::tuple(b.gaps[0].from, b.gaps[0].to, b.breaks[0].after, b.breaks[0].at),
            std::tuple(1203L, 1203L, 1204L, 1203L));
  const std::string csv = DailyCsv(s);
  EXPECT_NE(csv.find(",1201,1203,missing 1203; 1203 after 1204,"), std::string::npos) << csv;
  io::StringLineSource foreign("HELLO THERE\r\n");
  EXPECT_EQ(SummarizeDays(foreign, "20260928", "20260928").outcome.kind, OutcomeKind::InvalidFile);
}

}  // namespace
}  // namespace tonnage::daily
