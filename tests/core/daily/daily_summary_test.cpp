// The daily summary against the tonnage report: every date's tons and
// gallons must be the report's by-date lines, over the samples and over
// generated files of every book type and unit system.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

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

// The report's date lines (project and private): a slash in columns 4 and 7.
std::vector<std::string> ReportDateLines(const std::string& image) {
  std::vector<std::string> lines;
  for (const std::string& l : io::SplitLines(report::MakeReportSpool(image, "V", report::testing::kStamp)))
    if (l.size() > 7 && l[0] == ' ' && l[3] == '/' && l[6] == '/') lines.push_back(l);
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::vector<std::string> SummaryDateLines(const DailySummary& s) {
  std::vector<std::string> lines;
  for (const Day& d : s.days) {
    if (d.loads == 0) continue;  // voids only, or left out of the report's table
    const report::ProjectDate& p = d.project;
    const report::PrivateDate& q = d.privateWaste;
    lines.push_back(report::ProjectDateLine(ShowDay(d.key), p.theoTons, p.kpTons, p.payGallons,
                                            p.theoPct, p.kpPct, s.metric));
    lines.push_back(report::PrivateDateLine(ShowDay(d.key), q.theoTons, q.theoGallons, q.kpTons,
                                            q.kpGallons, s.metric));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

DailySummary ExpectSameAsReport(const std::string& image, const std::string& name) {
  const DailySummary s = Summarize(image);
  EXPECT_EQ(SummaryDateLines(s), ReportDateLines(image)) << name;
  return s;
}

TEST(DailySummary, DayFiguresAreTheReportsByDateLinesOnEverySample) {
  for (const char* name : {"us-standard-tickets.K81", "batch-plant-gravities.K81",
                           "checks-page-order-and-weights.K81", "metric-with-tons-book.K81",
                           "old-layout-2001.K81"}) {
    const std::string image = ReadFile(SamplePath(name));
    ASSERT_FALSE(image.empty()) << name;
    ExpectSameAsReport(image, name);
  }
}

TEST(DailySummary, DayFiguresAreTheReportsByDateLinesOnGeneratedFiles) {
  if (std::system("python3 -c 'import decimal' >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "*** python3 not found: generated files NOT checked ***";
  const std::string script = std::string(TONNAGE_TESTDATA_DIR) + "/../tools/report_reference.py";
  ScratchFolder dir;
  const int kCases = 120;
  const std::string cmd = "python3 " + script + " generate " + std::to_string(kCases) + " 2609 " + dir.path();
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  int metric = 0, batch = 0, tons = 0;
  for (int i = 0; i < kCases; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "case_%03d.K81", i);
    const std::string image = ReadFile(dir.File(name));
    if (image.compare(0, 5, "HELLO") == 0) continue;  // not a data file: no report to agree with
    const DailySummary s = ExpectSameAsReport(image, name);
    metric += s.metric;
    batch += image.find("\n* 2 ") != std::string::npos;
    tons += image.find("\n* 1 ") != std::string::npos;
  }
  EXPECT_GT(metric, 0);
  EXPECT_GT(batch, 0);
  EXPECT_GT(tons, 0);
}

TEST(DailySummary, RefusesWhatIsNotADataFile) {
  io::StringLineSource work("HELLO THERE\r\n");
  EXPECT_EQ(SummarizeDays(work, "20260928", "20260928").outcome.kind, OutcomeKind::InvalidFile);
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
                BookLine("2", "1.0320", "BASE COURSE BATCH"),
                Ticket(88001, "09/29/2026", "38686", "2382", "41068"),
                Ticket(88002, "09/29/2026", "42941", "2644", "45585")});
}

TEST(DailySummary, BookDayNamesPagesAndKeepsRunningTotals) {
  DailyExtras extras;
  extras.loadTimes = {{{2, 88001}, 7 * 60 + 5}, {{2, 88002}, 7 * 60 + 50}, {{1, 1206}, 13 * 60}};
  const DailySummary s = Summarize(TwoDayImage(), "20260929", "20260929", extras);
  EXPECT_EQ(s.dates, (std::vector<std::string>{"20260928", "20260929"}));
  ASSERT_EQ(s.days.size(), 1u);
  const Day& d = s.days[0];
  ASSERT_EQ(d.books.size(), 2u);
  const BookDay& b1 = d.books[0];
  EXPECT_EQ(b1.loads, 1);
  EXPECT_EQ(b1.privateLoads, 1);
  EXPECT_EQ(b1.voids, 1);
  EXPECT_EQ(b1.firstPage, 1205);
  EXPECT_EQ(b1.lastPage, 1206);
  EXPECT_DOUBLE_EQ(b1.privateWaste.kpTons, 15.0);
  EXPECT_NEAR(b1.privateWaste.kpGallons, 30000 * 5 / 850.0004, 1e-9);
  // Running: 47700 + 42935 + 35432 + 40000 lb of project material on 09/28.
  EXPECT_EQ(b1.toDate.loads, 5);
  EXPECT_NEAR(b1.toDate.kpTons, 166067 / 2000.0, 1e-9);
  EXPECT_NEAR(b1.toDate.privateKpTons, 15.0, 1e-9);
  const BookDay& b2 = d.books[1];
  EXPECT_NEAR(b2.netWeight, 41068 + 45585, 1e-9);
  EXPECT_NEAR(b2.project.payGallons, (2382 + 2644) / (8.3282 * 1.032), 1e-9);
  EXPECT_EQ(d.loadsByHour[7], 2);
  EXPECT_EQ(d.loadsByHour[13], 1);
  EXPECT_EQ(d.timedLoads, 3);
  // Percent bitumen: the private load's Pct, the batch loads' asphalt share.
  ASSERT_EQ(d.tickets.size(), 3u);
  EXPECT_NEAR(d.tickets[1].pct, 2382.0 / 41068 * 100, 1e-9);
  const double mean = (5.0 * 15 + 2382.0 / 41068 * 100 * 20.534 + 2644.0 / 45585 * 100 * 22.7925) /
                      (15 + 20.534 + 22.7925);
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
  EXPECT_EQ(b.firstPage, 1201);
  EXPECT_EQ(b.lastPage, 1203);
  ASSERT_EQ(b.gaps.size(), 1u);
  EXPECT_EQ(b.gaps[0].from, 1203);
  EXPECT_EQ(b.gaps[0].to, 1203);
  ASSERT_EQ(b.breaks.size(), 1u);
  EXPECT_EQ(b.breaks[0].after, 1204);
  EXPECT_EQ(b.breaks[0].at, 1203);
  const std::string csv = DailyCsv(s);
  EXPECT_NE(csv.find(",1201,1203,missing 1203; 1203 after 1204,"), std::string::npos) << csv;
}

}  // namespace
}  // namespace tonnage::daily
