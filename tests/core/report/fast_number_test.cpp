// The report's allocation-free number texts against the shared helpers.
#include "report/fast_number.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <random>

#include "text/fixed_width.h"

namespace tonnage::report {
namespace {

std::string Mask(int decimals) {
  return decimals == 0 ? "####0" : "####0." + std::string(static_cast<std::size_t>(decimals), '0');
}

// The exact way: FormatMask's text, right-aligned; three decimals read back.
std::string ExactAmount(double value, std::size_t width, int decimals) {
  return PadText(FormatMask(value, Mask(decimals)), width, PadSide::Left);
}
double ExactKeep3(double value) { return ParseLeadingNumber(FormatMask(value, "####0.000")); }

// Right-aligned, never cut (1234567.891 in 6 columns), halves away from zero.
TEST(FastNumber, SameTextAsFormatMaskAndKeep3) {
  std::mt19937_64 rng(4417);
  // clang-format off
  std::vector<double> values = {0.0, -0.0, 0.0005, -0.0005, 0.0004999, 2.675, 1.0005, 9.9995, 99999.9995, 207.8745,
                                19.3055, 812.5, -812.5, 1e15, 1e15 + 2, 123456789012.0, 1e20, -1e-300, 5e-324, 1e300,
                                1.7e308, 1234567.891, 23.4567, 20001.0 / 2000.0, 0.1 + 0.2, 1176.4705882352941, NAN,
                                INFINITY};
  // clang-format on
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 200000; ++i) {
    const double magnitude = std::pow(10.0, static_cast<int>(unit(rng) * 14) - 4);
    double v = unit(rng) * magnitude;
    if (i % 3 == 0) v = std::round(v * 1000.0) / 1000.0 + (i % 2 ? 0.0005 : -0.0005);  // near halves
    if (i % 5 == 0) v = std::round(v);
    if (i % 7 == 0) v = std::round(v * 1000) / 1000 * 2000;  // tons to pounds
    values.push_back(i % 2 ? -v : v);
  }
  for (double v : values) {
    for (int decimals : {0, 2, 3, 4}) {
      ASSERT_EQ(Amount(v, 0, decimals), FormatMask(v, Mask(decimals))) << v << " " << decimals;
    }
    // Appended behind a line's text, right-aligned, never cut.
    for (const auto& [width, decimals] : {std::pair<std::size_t, int>{12, 3}, {6, 0}, {7, 0}}) {
      std::string line = "|";
      AppendAmount(line, v, width, decimals);
      ASSERT_EQ(line, "|" + ExactAmount(v, width, decimals)) << v << " " << width;
    }
    const double a = Keep3(v), b = ExactKeep3(v);
    ASSERT_TRUE(a == b || (std::isnan(a) && std::isnan(b))) << v;
    ASSERT_EQ(std::signbit(a), std::signbit(b)) << v;
  }
}

// The quick 15 digits must be the exact conversion's whenever it answers,
// and must answer for the values tickets give.
TEST(FastNumber, QuickDigitsAreTheExactConversionsOrNone) {
  std::mt19937_64 rng(81);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  auto check = [&](double v) {
    char digits[15], sci[40], quick[40];
    int exponent = 0;
    if (!SignificantDigitsForTest(v, digits, exponent)) return false;
    *std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific, 14).ptr = '\0';
    std::snprintf(quick, sizeof quick, "%c.%.14se%+03d", digits[0], digits + 1, exponent);
    EXPECT_STREQ(quick, sci) << v;
    return true;
  };
  int typed = 0;
  for (double v : {9.99999999999999951, 0.999999999999999944, 99999.9995, 1e-8, 1e15 - 1, 0.1, 35.123, 2.675,
                   1176.4705882352941, 123456789012345.6})
    check(v);
  for (int i = 0; i < 500000; ++i) {
    const double magnitude = std::pow(10.0, static_cast<int>(unit(rng) * 24) - 9);
    check(unit(rng) * magnitude);
    typed += check(std::round(unit(rng) * 1e8) / 1000.0);                      // three decimals, as tons are typed
    check(std::nextafter(std::round(unit(rng) * 1e6) / 1000.0 + 5e-15, 1.0));  // near a 15th-digit half
  }
  EXPECT_EQ(typed, 500000);
}

}  // namespace
}  // namespace tonnage::report
