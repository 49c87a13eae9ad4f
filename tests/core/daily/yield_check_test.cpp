#include <gtest/gtest.h>

#include <cstdio>

#include "daily/yield_check.h"

namespace tonnage::daily {
namespace {

TEST(YieldCheck, StationsInFeetAndMetres) {
  struct Case {
    const char* text;
    bool metric;
    double feetOrMetres;  // < 0: refused
  } cases[] = {{"12+50", false, 1250}, {"45+00", false, 4500}, {"0+07.5", false, 7.5}, {"1+250", true, 1250},
               {"1250", false, 1250},  {" 3+10 ", false, 310}, {"12+150", false, -1},  {"1+1000", true, -1},
               {"12+", false, -1},     {"A+50", false, -1},    {"1.5+20", false, -1},  {"", false, -1}};
  for (const Case& c : cases) {
    const auto station = ParseStation(c.text, c.metric);
    if (c.feetOrMetres < 0)
      EXPECT_FALSE(station) << c.text;
    else
      EXPECT_EQ(station.value_or(-1), c.feetOrMetres) << c.text;
  }
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
  const struct {
    YieldEntry entry;
    double tons;
    bool metric;
    const char* figures;
  } cases[] = {
      // 12+50 to 45+00: 3250 ft x 12 ft / 9 = 4333.33 SY; 43.3 x 2.540 x 2 in = 219.964 lb/SY;
      // 480 tons x 2000 / 4333.33 SY = 221.54 lb/SY = 100.716 %; planned 219.964 x 4333.33 / 2000.
      {{1, "20260928", "12+50", "45+00", 0, 12, 2.0, 0, 2.540},
       480,
       false,
       "3250.000 4333.333 219.9640 221.538 100.716 476.589 on"},
      // 600 m x 3.5 m = 2100 m2; 0.925 x 2.450 x 50 mm = 113.3125 kg/m2; 260 t x 1000 / 2100 =
      // 123.81 kg/m2 = 109.26 %: above the band.
      {{2, "20260827", "1+250", "1+850", 0, 3.5, 50, 0, 2.450},
       260,
       true,
       "600.000 2100.000 113.3125 123.810 109.264 237.956 off"},
      // 1000 ft x 11 ft = 1222.22 SY at 110 lb/SY/in x 1.5 in = 165 lb/SY; 95 tons give 155.45
      // lb/SY = 94.2 %: below the band.
      {{1, "20260928", "", "", 1000, 11, 1.5, 110, 0},
       95,
       false,
       "1000.000 1222.222 165.0000 155.455 94.215 100.833 off"},
      {{1, "d", "12+50", "4500x", 0, 12, 2, 110, 0}, 10, false, "refused"},
      {{1, "d", "", "", 0, 12, 2, 110, 0}, 10, false, "refused"},
      {{1, "d", "", "", 100, 12, 2, 0, 0}, 10, false, "refused"},
  };
  for (const auto& c : cases) EXPECT_EQ(Figures(c.entry, c.tons, c.metric), c.figures);
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
  EXPECT_EQ(lines[0].entry.book, 1);
  EXPECT_FALSE(lines[0].overPlanned);
  EXPECT_EQ(lines[1].entry.book, 2);
  EXPECT_EQ(lines[2].entry.dateKey, "20260929");
  EXPECT_NEAR(lines[2].tonsToDate, 212, 1e-9);
  EXPECT_TRUE(lines[2].overPlanned);
  // The range shows only its own dates but counts the earlier ones.
  const auto later = YieldCheck(entries, tons, "20260929", "20260929", false);
  ASSERT_EQ(later.size(), 1u);
  EXPECT_TRUE(later[0].overPlanned);
}

}  // namespace
}  // namespace tonnage::daily
