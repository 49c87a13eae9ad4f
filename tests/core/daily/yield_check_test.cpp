#include <gtest/gtest.h>

#include <cstdio>

#include "daily/yield_check.h"
#include "daily/stored_yield_entries.h"
#include "../entry/entry_fixture.h"

namespace tonnage::daily {
namespace {

using namespace tonnage::testing;

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

class StoredYieldTest : public EntryTest {
 protected:
  void SetUp() override {
    EntryTest::SetUp();
    session.Book(1) = {"SURFACE SP 12.5", "0", "0"};
    WriteFile(session.SectionPath(1), "001201 09/29/2026 77756     30056     47700      5.600      \r\n");
  }
  std::string LastReason() { return session.store().LastEntry()->reason; }
};

TEST_F(StoredYieldTest, EntriesLiveInTheStoreAndEveryChangeIsInTheHistory) {
  const std::string job = scratch.File("JOB.K81");
  YieldEntry paved{1, "20260929", "12+50", "45+00", 0, 12, 2, 0, 2.54};
  {
    // A file never saved: the entry waits for the first save.
    StoredYieldEntries unsaved(session);
    ASSERT_TRUE(unsaved.Put(paved).ok());
    ASSERT_TRUE(session.SaveAs(job).ok());
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
  ASSERT_TRUE(entries.Put(metric).ok());

  ASSERT_TRUE(session.Open(job).ok());
  StoredYieldEntries reopened(session);
  EXPECT_EQ(reopened.Entries(), (std::vector<YieldEntry>{wider, metric}));
  ASSERT_TRUE(reopened.Remove(1, "20260929").ok());
  EXPECT_EQ(LastReason(),
            "yield entry of book 1 for 09/29/2026 removed: length 3250, width 14.5, thickness 2, Gmm 2.54");
  EXPECT_EQ(LoadYieldEntries(session.store()), std::vector<YieldEntry>{metric});
}

}  // namespace
}  // namespace tonnage::daily
