// The report's allocation-free number texts against the shared helpers.
#include "report/fast_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "text/fixed_width.h"

namespace tonnage::report {
namespace {

std::string Mask(int decimals) {
  return decimals == 0 ? "####0" : "####0." + std::string(static_cast<std::size_t>(decimals), '0');
}

TEST(FastNumber, SameTextAsFormatMaskAndD3) {
  std::mt19937_64 rng(4417);
  std::vector<double> values = {0.0, -0.0, 0.0005, -0.0005, 0.0004999, 2.675, 1.0005, 9.9995,
                                99999.9995, 207.8745, 19.3055, 812.5, -812.5, 1e15, 1e15 + 2,
                                123456789012.0, 1e20, -1e-300, 5e-324, 1e300, 1.7e308,
                                20001.0 / 2000.0, 0.1 + 0.2, 1176.4705882352941, NAN, INFINITY};
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
      ASSERT_EQ(Masked(v, decimals), FormatMask(v, Mask(decimals))) << v << " " << decimals;
    }
    ASSERT_EQ(Amount(v, 12, 3), FormatAmount(v, 12, 3)) << v;
    ASSERT_EQ(Amount(v, 6, 0), FormatAmount(v, 6, 0)) << v;
    const double a = Keep3(v), b = D3(v);
    ASSERT_TRUE(a == b || (std::isnan(a) && std::isnan(b))) << v;
    ASSERT_EQ(std::signbit(a), std::signbit(b)) << v;
  }
}

}  // namespace
}  // namespace tonnage::report
