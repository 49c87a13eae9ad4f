#include "report/fast_number.h"

#include <charconv>
#include <cmath>

#include "text/fixed_width.h"

namespace tonnage::report {
namespace {

constexpr double kExactIntegers = 1e15;  // up to here the 15-digit decimal is the integer itself

constexpr unsigned long long kTens[] = {1ull,
                                        10ull,
                                        100ull,
                                        1000ull,
                                        10000ull,
                                        100000ull,
                                        1000000ull,
                                        10000000ull,
                                        100000000ull,
                                        1000000000ull,
                                        10000000000ull,
                                        100000000000ull,
                                        1000000000000ull,
                                        10000000000000ull,
                                        100000000000000ull,
                                        1000000000000000ull,
                                        10000000000000000ull,
                                        100000000000000000ull,
                                        1000000000000000000ull};

// The 15 significant digits of `magnitude` (finite, above zero) as
// scientific notation would give them, as a whole number of 15 digits, with
// the power of ten of its first digit. The value is scaled by an exact power
// of ten in one multiplication, whose error is at most 1/8 at this size;
// where that could tip the rounding of the 15th digit (within 1/4 of a half)
// the caller takes the exact conversion instead.
bool QuickSignificantDigits(double magnitude, unsigned long long& digits, int& exponent) {
  static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (!(magnitude >= 1e-8 && magnitude < 1e15)) return false;
  // Weights are a few digits long: counting up finds their power soonest.
  int e = magnitude >= 1 ? 0 : -1;
  while (e >= 0 && e < 14 && magnitude >= kPowers[e + 1]) ++e;
  if (e < 0) {
    e = -1;
    while (magnitude * kPowers[-e] < 1) --e;
  }
  const double scaled = magnitude * kPowers[14 - e];
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  if (fraction > 0.25 && fraction < 0.75) return false;
  auto n = static_cast<unsigned long long>(whole) + (fraction >= 0.75 ? 1 : 0);
  if (n >= kTens[15]) {  // 9.99...95 and up carried into a new digit
    n /= 10;
    ++e;
  }
  digits = n;
  exponent = e;
  return true;
}

// Writes `n` backwards ending at `end`, at least `minDigits` digits, two
// digits a step.
char* DigitsBackwards(char* end, unsigned long long n, int minDigits) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  while (n >= 100) {
    const auto pair = static_cast<std::size_t>(n % 100) * 2;
    n /= 100;
    *--end = kPairs[pair + 1];
    *--end = kPairs[pair];
    minDigits -= 2;
  }
  if (n >= 10) {
    *--end = kPairs[n * 2 + 1];
    *--end = kPairs[n * 2];
    minDigits -= 2;
  } else {
    *--end = static_cast<char>('0' + n);
    --minDigits;
  }
  while (minDigits-- > 0) *--end = '0';
  return end;
}

// The magnitude of `value`'s masked text as a whole number of
// 10^-decimals, for whole numbers and for every value whose 15-digit
// decimal the quick way gives: that decimal rounded half away from zero
// with integer arithmetic. False where the exact way is needed.
bool QuickScaled(double value, int decimals, unsigned long long& scaled) {
  if (decimals > 18 || !std::isfinite(value)) return false;
  const double magnitude = std::fabs(value);
  if (magnitude == std::trunc(magnitude) && magnitude < kExactIntegers) {
    if (decimals > 4) return false;
    scaled = static_cast<unsigned long long>(magnitude) * kTens[decimals];
    return true;
  }
  // Most amounts have no more decimals than shown. Where magnitude * 10^decimals
  // lies within 2.5e-16 of its own size of a whole number below 10^15 (the
  // product's rounding adds at most 1.2e-16 more), the value is nearer that
  // number than half a unit of its 15th digit: the 15-digit decimal is the
  // number itself, with nothing left to round.
  if (decimals <= 4) {
    const double product = magnitude * static_cast<double>(kTens[decimals]);
    const double nearest = std::round(product);
    if (nearest >= 1 && nearest < kExactIntegers && std::fabs(product - nearest) <= product * 2.5e-16) {
      scaled = static_cast<unsigned long long>(nearest);
      return true;
    }
  }
  unsigned long long digits = 0;
  int exponent = 0;
  if (!QuickSignificantDigits(magnitude, digits, exponent)) return false;
  const int dropped = 14 - exponent - decimals;  // low digits past the wanted place
  scaled = 0;
  if (dropped <= 0) {
    if (-dropped > 4) return false;
    scaled = digits * kTens[-dropped];
  } else if (dropped <= 18) {
    scaled = (digits + 5 * kTens[dropped - 1]) / kTens[dropped];
  }
  return true;
}

// The masked text of `value` written backwards ending at `end` (room for 48
// characters); nothing where the exact way is needed.
char* QuickText(double value, int decimals, char* end) {
  unsigned long long scaled = 0;
  if (!QuickScaled(value, decimals, scaled)) return nullptr;
  char* p = end;
  if (decimals > 0) {
    p = DigitsBackwards(p, scaled % kTens[decimals], decimals);
    *--p = '.';
  }
  p = DigitsBackwards(p, scaled / kTens[decimals], 1);
  if (value < 0 && scaled != 0) *--p = '-';
  return p;
}

// The exact way: the same mask through the decimal text of the value.
std::string ExactText(double value, int decimals) {
  std::string mask = "0";
  if (decimals > 0) mask += "." + std::string(static_cast<std::size_t>(decimals), '0');
  return FormatMask(value, mask);
}

}  // namespace

bool SignificantDigitsForTest(double magnitude, char digits[15], int& exponent) {
  unsigned long long n = 0;
  if (!QuickSignificantDigits(magnitude, n, exponent)) return false;
  for (int i = 14; i >= 0; --i, n /= 10) digits[i] = static_cast<char>('0' + n % 10);
  return true;
}

void AppendAmount(std::string& out, double value, std::size_t width, int decimals) {
  if (decimals < 0) decimals = 0;
  char buf[48];
  char* const end = buf + sizeof buf;
  if (char* text = QuickText(value, decimals, end)) {
    // Blanks in front go into the same buffer: one append for the field.
    while (text > buf && static_cast<std::size_t>(end - text) < width) *--text = ' ';
    const auto length = static_cast<std::size_t>(end - text);
    if (length < width) out.append(width - length, ' ');
    out.append(text, length);
    return;
  }
  const std::string exact = ExactText(value, decimals);
  if (exact.size() < width) out.append(width - exact.size(), ' ');
  out += exact;
}

double Keep3(double value) {
  if (value == std::trunc(value) && std::fabs(value) < kExactIntegers) return value == 0 ? 0.0 : value;
  // The text's value is scaled / 1000; below 2^53 both are exact doubles, so
  // the one division is the correctly rounded reading of the text.
  if (unsigned long long scaled = 0; QuickScaled(value, 3, scaled) && scaled < (1ull << 53)) {
    if (scaled == 0) return 0.0;
    const double kept = static_cast<double>(scaled) / 1000.0;
    return value < 0 ? -kept : kept;
  }
  const std::string text = ExactText(value, 3);
  double result = 0;
  std::from_chars(text.data(), text.data() + text.size(), result, std::chars_format::fixed);
  return result;
}

}  // namespace tonnage::report
