// The report formats a few numbers per line for 100,000 tickets; these give
// exactly the text of FormatMask (text/fixed_width.h) without building
// intermediate strings.
#pragma once

#include <cstddef>
#include <string>

namespace tonnage::report {

// Appends FormatMask(value, mask) for a mask of '#'s and one '0' before an
// optional point and `decimals` '0's after it ("####0", "##0.0000", ...).
void AppendMasked(std::string& out, double value, int decimals);
std::string Masked(double value, int decimals);
// Masked(value, decimals) for 0, 2 or 3 decimals ("####0", "####0.00",
// "####0.000"; others act as 0), right-aligned to `width`, never cut.
void AppendAmount(std::string& out, double value, std::size_t width, int decimals);
std::string Amount(double value, std::size_t width, int decimals);
// Amount(value, width, decimals) written into exactly the `width`
// characters before `end`, when its text fits them and the quick way gives
// it; false (nothing written) where AppendAmount is needed instead.
bool PutAmount(char* end, std::size_t width, double value, int decimals);
// Value kept to three decimals: Masked(value, 3) read back.
double Keep3(double value);

// The quick way to a value's 15 significant digits; false where it leaves the
// value to the exact conversion. Exposed so tests can hold it to that one.
bool SignificantDigitsForTest(double magnitude, char digits[15], int& exponent);

}  // namespace tonnage::report
