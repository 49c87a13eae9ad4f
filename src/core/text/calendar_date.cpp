#include "text/calendar_date.h"

#include <chrono>

namespace tonnage {
namespace {

constexpr int kFirstYear = 1990;
constexpr int kLastYear = 2100;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int Digits(std::string_view text) {
  int value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

}  // namespace

bool IsTakenDate(const CalendarDate& date) {
  if (date.year < kFirstYear || date.year > kLastYear) return false;
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) return false;
  const std::chrono::year_month_day day{std::chrono::year{date.year},
                                        std::chrono::month{static_cast<unsigned>(date.month)},
                                        std::chrono::day{static_cast<unsigned>(date.day)}};
  return day.ok();
}

std::optional<CalendarDate> ParseMonthDayYear(std::string_view text, std::string_view separators) {
  if (text.size() != 10 || text[2] != text[5] || separators.find(text[2]) == std::string_view::npos)
    return std::nullopt;
  for (std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u, 8u, 9u})
    if (!IsDigit(text[i])) return std::nullopt;
  const CalendarDate date{Digits(text.substr(6, 4)), Digits(text.substr(0, 2)), Digits(text.substr(3, 2))};
  if (!IsTakenDate(date)) return std::nullopt;
  return date;
}

}  // namespace tonnage
