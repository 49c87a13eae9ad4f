// The daily summary against the tonnage report: every date's tons and
// gallons must be the report's by-date lines, over the samples and over
// generated files of every book type and unit system; and the yield check,
// worked out by hand, with its entries kept in the project store.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>

#include "../entry/entry_fixture.h"
#include "../report/report_test_support.h"
#include "../test_files.h"
#include "daily/daily_csv.h"
#include "daily/daily_summary.h"
#include "daily/daily_tables.h"
#include "daily/stored_yield_entries.h"
#include "daily/yield_check.h"
#include "report/report_lines.h"

namespace tonnage::daily {
namespace {

using namespace tonnage::testing;
using namespace tonnage::report::testing;

DailySummary Summarize(const std::string& image, const std::string& from = "00000000",
                       const std::string& to = "99999999", const DailyExtras& extras = {}) {
  io::StringLineSource work(image);
  DailyResult r = SummarizeDays(work, from, to, extras);
  EXPECT_TRUE(r.outcome.ok()) << r.outcome.message;
  return r.summary;
}

// The summary's date lines against the report's (project and private: a
// slash in columns 4 and 7).
void ExpectSameAsReport(const std::string& image, const std::string& name) {
  const DailySummary s = Summarize(image);
  std::vector<std::string> ours, theirs;
  for (const std::string& l : io::SplitLines(report::MakeReportSpool(image, "V", kStamp)))
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
}

TEST(DailySummary, DayFiguresAreTheReportsByDateLinesOnTheSamplesAndGeneratedFiles) {
  for (const char* name : kSampleFiles) ExpectSameAsReport(ReadFile(SamplePath(name)), name);
  ScratchFolder dir;
  const std::vector<std::string> cases = GeneratedCases(120, 2609, dir.path());
  if (cases.empty()) GTEST_SKIP() << "*** generated files NOT checked ***";
  for (const std::string& base : cases) {
    const std::string image = ReadFile(base + ".K81");
    if (image.compare(0, 5, "HELLO") == 0) continue;  // not a data file: no report to agree with
    ExpectSameAsReport(image, base);
  }
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

TEST(DailySummary, BookDayNamesPagesKeepsRunningTotalsAndFindsGapsAndBreaks) {
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
  // Running: 47700 + 42935 + 35432 + 40000 lb of project material on 09/28.
  EXPECT_EQ(b1.toDate.loads, 5);
  EXPECT_NEAR(b1.toDate.kpTons, 166067 / 2000.0, 1e-9);
  EXPECT_NEAR(b1.toDate.privateKpTons, 15.0, 1e-9);
  const BookDay& b2 = d.books[1];
  EXPECT_NEAR(b2.netWeight, 41068 + 45585, 1e-9);
  EXPECT_NEAR(b2.project.payGallons, (2382 + 2644) / (8.3282 * 1.032), 1e-9);
  EXPECT_EQ(d.timedLoads, 3);
  const Table hours = DailyTables(s)[static_cast<std::size_t>(Section::Hours)];
  ASSERT_EQ(hours.rows.size(), 2u);
  EXPECT_EQ(hours.rows[0][1].text + " " + hours.rows[0][2].text + " " + hours.rows[1][1].text, "07:00 2 13:00");
  // Percent bitumen: the private load's Pct, the batch loads' asphalt share.
  ASSERT_EQ(d.tickets.size(), 3u);
  EXPECT_NEAR(d.meanPct,
              (5.0 * 15 + 2382.0 / 41068 * 100 * 20.534 + 2644.0 / 45585 * 100 * 22.7925) / (15 + 20.534 + 22.7925),
              1e-9);
  EXPECT_NEAR(d.jobToDate.kpTons, (166067 + 41068 + 45585) / 2000.0, 1e-9);
  // The chart reaches back to 09/28 and accumulates.
  ASSERT_EQ(s.tonsByDay.size(), 2u);
  EXPECT_NEAR(s.tonsByDay[1].cumulative, (166067 + 41068 + 45585) / 2000.0, 1e-9);

  // 09/28 alone: a page missing and one a step back.
  const DailySummary first = Summarize(TwoDayImage(), "20260928", "20260928");
  ASSERT_EQ(first.days.size(), 1u);
  const BookDay& b = first.days[0].books.at(0);
  EXPECT_EQ(std::pair(b.firstPage, b.lastPage), std::pair(1201L, 1203L));
  ASSERT_EQ(std::pair(b.gaps.size(), b.breaks.size()), std::pair(std::size_t{1}, std::size_t{1}));
  EXPECT_EQ(std::tuple(b.gaps[0].from, b.gaps[0].to, b.breaks[0].after, b.breaks[0].at),
            std::tuple(1203L, 1203L, 1204L, 1203L));
  const std::string csv = DailyCsv(first);
  EXPECT_NE(csv.find(",1201,1203,missing 1203; 1203 after 1204,"), std::string::npos) << csv;
  io::StringLineSource foreign("HELLO THERE\r\n");
  EXPECT_EQ(SummarizeDays(foreign, "20260928", "20260928").outcome.kind, OutcomeKind::InvalidFile);
}

TEST(YieldCheck, StationsInFeetAndMetres) {
  // Text, metric, feet or metres (< 0: refused).
  const std::tuple<const char*, bool, double> cases[] = {
      {"12+50", false, 1250}, {"45+00", false, 4500}, {"0+07.5", false, 7.5}, {"1+250", true, 1250},
      {"1250", false, 1250},  {" 3+10 ", false, 310}, {"12+150", false, -1},  {"1+1000", true, -1},
      {"12+", false, -1},     {"A+50", false, -1},    {"1.5+20", false, -1},  {"", false, -1}};
  for (const auto& [text, metric, at] : cases) EXPECT_EQ(ParseStation(text, metric).value_or(-1), at) << text;
}

// The figures to the thousandth: length, area, target, rate placed, percent
// of target, planned tons, and whether it is off the band.
std::string Figures(const YieldEntry& e, double tons, bool metric) {
  const YieldResult r = ComputeYield(e, tons, metric);
  const YieldFigures& f = r.figures;
  char text[160];
  std::snprintf(text, sizeof text, "%.3f %.3f %.4f %.3f %.3f %.3f %s", f.length, f.area, f.target, f.spreadRate,
                f.percentOfTarget, f.plannedTons, f.offTarget ? "off" : "on");
  return r.error.empty() ? text : "refused";
}

TEST(YieldCheck, WorkedExamples) {
  // clang-format off
  const std::tuple<YieldEntry, double, bool, const char*> cases[] = {
      // 12+50 to 45+00: 3250 ft x 12 ft / 9 = 4333.33 SY; 43.3 x 2.540 x 2 in = 219.964 lb/SY;
      // 480 tons x 2000 / 4333.33 SY = 221.54 lb/SY = 100.716 %; planned 219.964 x 4333.33 / 2000.
      {{1, "20260928", "12+50", "45+00", 0, 12, 2.0, 0, 2.540}, 480, false,
       "3250.000 4333.333 219.9640 221.538 100.716 476.589 on"},
      // 600 m x 3.5 m = 2100 m2; 0.925 x 2.450 x 50 mm = 113.3125 kg/m2; 260 t x 1000 / 2100 =
      // 123.81 kg/m2 = 109.26 %: above the band.
      {{2, "20260827", "1+250", "1+850", 0, 3.5, 50, 0, 2.450}, 260, true,
       "600.000 2100.000 113.3125 123.810 109.264 237.956 off"},
      // 1000 ft x 11 ft = 1222.22 SY at 110 lb/SY/in x 1.5 in = 165 lb/SY; 95 tons give 155.45
      // lb/SY = 94.2 %: below the band.
      {{1, "20260928", "", "", 1000, 11, 1.5, 110, 0}, 95, false,
       "1000.000 1222.222 165.0000 155.455 94.215 100.833 off"},
      {{1, "d", "12+50", "4500x", 0, 12, 2, 110, 0}, 10, false, "refused"},
      {{1, "d", "", "", 0, 12, 2, 110, 0}, 10, false, "refused"},
      {{1, "d", "", "", 100, 12, 2, 0, 0}, 10, false, "refused"}};
  // clang-format on
  for (const auto& [entry, tons, metric, figures] : cases) EXPECT_EQ(Figures(entry, tons, metric), figures);
  EXPECT_NEAR(DefaultTargetRate(true), 2.349, 0.001);
}

TEST(YieldCheck, WarnsWhenTonsToDatePassPlanned) {
  // Each day plans 165 x 1222.22 / 2000 = 100.83 tons; 104 then 108 tons:
  // 212 > 1.05 x 201.67 = 211.75 on the second day only.
  std::vector<YieldEntry> entries = {{1, "20260929", "", "", 1000, 11, 1.5, 110, 0},
                                     {1, "20260928", "", "", 1000, 11, 1.5, 110, 0},
                                     {2, "20260928", "", "", 1000, 11, 1.5, 110, 0}};
  const BookDateTons tons = {{{1, "20260928"}, 104}, {{1, "20260929"}, 108}, {{2, "20260928"}, 50}};
  const auto lines = YieldCheck(entries, tons, "20260928", "20260929", false);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(std::tuple(lines[0].entry.book, lines[0].overPlanned, lines[1].entry.book, lines[2].entry.dateKey,
                       lines[2].overPlanned),
            std::tuple(1, false, 2, "20260929", true));
  EXPECT_NEAR(lines[2].tonsToDate, 212, 1e-9);
  // The range shows only its own dates but counts the earlier ones.
  const auto later = YieldCheck(entries, tons, "20260929", "20260929", false);
  EXPECT_TRUE(later.size() == 1u && later[0].overPlanned);
}

using StoredYieldTest = EntryTest;

TEST_F(StoredYieldTest, EntriesLiveInTheStoreAndEveryChangeIsInTheHistory) {
  session.Book(1) = {"SURFACE SP 12.5", "0", "0"};
  WriteFile(session.SectionPath(1), "001201 09/29/2026 77756     30056     47700      5.600      \r\n");
  const auto LastReason = [&] { return session.store().LastEntry()->reason; };
  const std::string job = scratch.File("JOB.K81");
  YieldEntry paved{1, "20260929", "12+50", "45+00", 0, 12, 2, 0, 2.54};
  {
    // A file never saved: the entry waits for the first save.
    StoredYieldEntries unsaved(session);
    ASSERT_TRUE(unsaved.Put(paved).ok() && session.SaveAs(job).ok());
    EXPECT_EQ(LastReason(),
              "yield entry of book 1 for 09/29/2026 added: stations 12+50 to 45+00, width 12, thickness 2, Gmm 2.54");
  }
  StoredYieldEntries entries(session);
  ASSERT_EQ(entries.Entries(), std::vector<YieldEntry>{paved});
  const std::int64_t seq = session.store().LastEntry()->seq;
  ASSERT_TRUE(entries.Put(paved).ok());
  EXPECT_EQ(session.store().LastEntry()->seq, seq) << "nothing changed, nothing recorded";

  YieldEntry wider = paved;
  std::tie(wider.width, wider.stationFrom, wider.stationTo, wider.length) = std::tuple(14.5, "", "", 3250);
  ASSERT_TRUE(entries.Put(wider).ok());
  EXPECT_EQ(LastReason(),
            "yield entry of book 1 for 09/29/2026: stations 12+50 to 45+00 -> (none), "
            "length (none) -> 3250, width 12 -> 14.5");
  YieldEntry metric{1, "20260930", "", "", 991.5, 3.75, 40, 2.3, 0};
  ASSERT_TRUE(entries.Put(metric).ok() && session.Open(job).ok());
  StoredYieldEntries reopened(session);
  EXPECT_EQ(reopened.Entries(), (std::vector<YieldEntry>{wider, metric}));
  ASSERT_TRUE(reopened.Remove(1, "20260929").ok());
  EXPECT_EQ(LastReason(),
            "yield entry of book 1 for 09/29/2026 removed: length 3250, width 14.5, thickness 2, Gmm 2.54");
  EXPECT_EQ(LoadYieldEntries(session.store()), std::vector<YieldEntry>{metric});
}

}  // namespace
}  // namespace tonnage::daily
