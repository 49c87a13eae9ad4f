#include "text/calendar_date.h"

#include <gtest/gtest.h>

namespace tonnage {
namespace {

TEST(CalendarDate, TakesRealDaysFrom1990To2100InEitherSeparator) {
  const struct {
    const char* text;
    const char* separators;
    int year, month, day;  // year 0: refused
  } cases[] = {
      {"10/06/2026", "/", 2026, 10, 6}, {"02/29/2024", "/", 2024, 2, 29},  {"02/29/2000", "/", 2000, 2, 29},
      {"01/01/1990", "/", 1990, 1, 1},  {"12/31/2100", "/", 2100, 12, 31}, {"07-01-2026", "/-", 2026, 7, 1},
      {"02/31/2026", "/", 0, 0, 0},     {"04/31/2026", "/-", 0, 0, 0},     {"02/29/2026", "/", 0, 0, 0},
      {"02/29/2100", "/", 0, 0, 0},     {"12/31/1989", "/", 0, 0, 0},      {"01/01/2101", "/", 0, 0, 0},
      {"13/01/2026", "/", 0, 0, 0},     {"00/10/2026", "/", 0, 0, 0},      {"10/00/2026", "/", 0, 0, 0},
      {"07-01-2026", "/", 0, 0, 0},     {"07/01-2026", "/-", 0, 0, 0},     {"2026-07-01", "/-", 0, 0, 0},
      {"7/1/2026", "/", 0, 0, 0},       {"10/06/2026 ", "/", 0, 0, 0},     {"1O/06/2026", "/", 0, 0, 0},
  };
  for (const auto& c : cases) {
    const std::optional<CalendarDate> date = ParseMonthDayYear(c.text, c.separators);
    ASSERT_EQ(date.has_value(), c.year != 0) << c.text;
    if (!date) continue;
    EXPECT_EQ(date->year, c.year) << c.text;
    EXPECT_EQ(date->month, c.month) << c.text;
    EXPECT_EQ(date->day, c.day) << c.text;
  }
}

}  // namespace
}  // namespace tonnage
