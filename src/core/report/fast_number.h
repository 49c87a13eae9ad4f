// The report formats a few numbers per line for 100,000 tickets; this gives
// exactly the text of FormatMask (text/fixed_width.h) without building
// intermediate strings: integer arithmetic where it can be trusted, the
// exact decimal conversion of FormatMask where it cannot.
#pragma once

#include <cstddef>
#include <string>

namespace tonnage::report {

// Appends what FormatMask gives for a mask of '#'s and one '0' before an
// optional point and `decimals` '0's after it ("####0", "####0.000",
// "##0.0000", ...), right-aligned to `width` (0: as it is), never cut.
void AppendAmount(std::string& out, double value, std::size_t width, int decimals);
inline std::string Amount(double value, std::size_t width, int decimals) {
  std::string out;
  AppendAmount(out, value, width, decimals);
  return out;
}
// Value kept to three decimals: Amount(value, 0, 3) read back.
double Keep3(double value);

// The quick way to a value's 15 significant digits; false where it leaves the
// value to the exact conversion. Exposed so tests can hold it to that one.
bool SignificantDigitsForTest(double magnitude, char digits[15], int& exponent);

}  // namespace tonnage::report
