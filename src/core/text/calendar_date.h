// A day of the calendar and the one rule of which days the program takes,
// shared by the grid's Date cells and the command line's run date.
#pragma once

#include <optional>
#include <string_view>

namespace tonnage {

struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

// A day that exists (no 02/31, no 02/29 outside leap years) from 01/01/1990
// to 12/31/2100, the years a ticket book can hold.
bool IsTakenDate(const CalendarDate& date);

// "mm/dd/yyyy" naming a taken date. `separators` lists the characters that
// may stand between the parts; both must be the same one.
std::optional<CalendarDate> ParseMonthDayYear(std::string_view text, std::string_view separators = "/");

}  // namespace tonnage
