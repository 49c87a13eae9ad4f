#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "text/calendar_date.h"
#include "text/fixed_width.h"

namespace tonnage {
namespace {

TEST(ParseLeadingNumber, TakesTheLeadingNumericPart) {
  // clang-format off
  const std::pair<std::string, double> cases[] = {
      {"  812.6", 812.6}, {"000012", 12}, {"-5.25KG", -5.25}, {"+7", 7}, {"1.2.3", 1.2}, {".5", 0.5},
      {"1,500", 1} /* the comma ends the number */, {"", 0}, {"ABC", 0}, {"-", 0}, {".", 0},
      {std::string(400, '9'), 0} /* beyond double range */};
  // clang-format on
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseLeadingNumber(text), value) << text;
}

// The quick path for short decimals must give the very double the full
// conversion (the C library's, correctly rounded) gives, at every length
// around its 15-digit limit.
TEST(ParseLeadingNumber, GivesTheCorrectlyRoundedDoubleOfEveryDecimal) {
  std::mt19937_64 random(81);
  auto digits = [&](std::uint64_t n) {
    std::string s;
    while (n--) s.push_back(static_cast<char>('0' + random() % 10));
    return s;
  };
  for (int i = 0; i < 200000; ++i) {
    const std::string text = digits(random() % 12) + (random() % 2 ? "." + digits(random() % 12) : "");
    ASSERT_EQ(ParseLeadingNumber(text), std::strtod(text.c_str(), nullptr)) << text;
    ASSERT_EQ(ParseLeadingNumber("-" + text), -std::strtod(text.c_str(), nullptr)) << text;
  }
  for (const char* text : {"0.1", "0.3", "2.675", "1.0005", "123456789012345", "1234567890123456", "9007199254740993",
                           "0.000000000000000000000001", "99999.9995", "000000000000000000012.5", "5."})
    EXPECT_EQ(ParseLeadingNumber(text), std::strtod(text, nullptr)) << text;
}

TEST(FormatMask, RoundsTheFifteenDigitDecimalHalfAwayFromZeroAndNeverCutsTheIntegerPart) {
  // clang-format off
  const std::tuple<double, const char*, const char*> cases[] = {
      // Values not exact in binary round as the decimal a person would write.
      {2.675, "####0.00", "2.68"}, {1.0005, "####0.000", "1.001"}, {20001.0 / 2000.0, "####0.000", "10.001"},
      {99999.9995, "####0.000", "100000.000"}, {0.125, "####0.00", "0.13"}, {-0.125, "####0.00", "-0.13"},
      {812.5, "####0", "813"}, {-812.5, "####0", "-813"}, {0.1 + 0.2, "####0.000", "0.300"},
      {1176.4705882, "####0", "1176"},
      // Required digits.
      {12, "000000", "000012"}, {1234567, "000000", "1234567"}, {2.65, "0.0000", "2.6500"},
      {10.25, "0.0000", "10.2500"}, {0, "##0.0000", "0.0000"}, {7, "##0", "7"}, {0.5, "#.00", ".50"},
      {123456789012.0, "####0", "123456789012"}, {1e20, "####0", "100000000000000000000"},
      {0.0004, "####0.000", "0.000"}, {-0.0004, "####0.000", "0.000"}, {-0.0, "0.0000", "0.0000"} /* no "-0" */};
  // clang-format on
  for (const auto& [value, mask, text] : cases) EXPECT_EQ(FormatMask(value, mask), text) << value << " " << mask;
}

TEST(RoundHalfEven, SendsHalvesToTheEvenNeighbour) {
  const std::pair<double, double> cases[] = {{812.5, 812.0}, {813.5, 814.0}, {812.6, 813.0}, {812.4999, 812.0},
                                             {-2.5, -2.0},   {0.5, 0.0},     {1.5, 2.0}};
  for (const auto& [value, rounded] : cases) EXPECT_EQ(RoundHalfEven(value), rounded) << value;
}

TEST(Text, UpperCasesAsciiAndLatin1LettersOnly) {
  EXPECT_EQ(ToUpper("abc xyz 12/05"), "ABC XYZ 12/05");
  EXPECT_EQ(ToUpper("\xE9\xF7\xFF\xDF"), "\xC9\xF7\xFF\xDF");  // e-acute, division, y-diaeresis, sharp s
}

TEST(CalendarDate, TakesRealDaysFrom1990To2100InEitherSeparator) {
  // Year 0: refused.
  const std::tuple<const char*, const char*, int, int, int> cases[] = {
      {"10/06/2026", "/", 2026, 10, 6}, {"02/29/2024", "/", 2024, 2, 29},  {"02/29/2000", "/", 2000, 2, 29},
      {"01/01/1990", "/", 1990, 1, 1},  {"12/31/2100", "/", 2100, 12, 31}, {"07-01-2026", "/-", 2026, 7, 1},
      {"02/31/2026", "/", 0, 0, 0},     {"04/31/2026", "/-", 0, 0, 0},     {"02/29/2026", "/", 0, 0, 0},
      {"02/29/2100", "/", 0, 0, 0},     {"12/31/1989", "/", 0, 0, 0},      {"01/01/2101", "/", 0, 0, 0},
      {"13/01/2026", "/", 0, 0, 0},     {"00/10/2026", "/", 0, 0, 0},      {"10/00/2026", "/", 0, 0, 0},
      {"07-01-2026", "/", 0, 0, 0},     {"07/01-2026", "/-", 0, 0, 0},     {"2026-07-01", "/-", 0, 0, 0},
      {"7/1/2026", "/", 0, 0, 0},       {"10/06/2026 ", "/", 0, 0, 0},     {"1O/06/2026", "/", 0, 0, 0},
  };
  for (const auto& [text, separators, year, month, day] : cases) {
    const std::optional<CalendarDate> date = ParseMonthDayYear(text, separators);
    EXPECT_EQ(date ? std::tuple(date->year, date->month, date->day) : std::tuple(0, 0, 0), std::tuple(year, month, day))
        << text;
  }
}

}  // namespace
}  // namespace tonnage
