#include "text/fixed_width.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace tonnage {

namespace {

// A value as fixed-point decimal text, from its 15 significant digits.
struct Decimal {
  bool negative = false;
  std::string whole;     // at least one digit
  std::string fraction;  // any number of digits
};

Decimal ToDecimal(double value) {
  Decimal d;
  if (!std::isfinite(value)) {
    d.whole = "0";
    return d;
  }
  d.negative = std::signbit(value);
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
  std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
  const std::size_t ePos = text.find('e');
  std::string digits;
  for (char c : text.substr(0, ePos))
    if (c != '.') digits.push_back(c);
  int exponent = 0;
  std::string_view expText = text.substr(ePos + 1);
  if (!expText.empty() && expText.front() == '+') expText.remove_prefix(1);
  std::from_chars(expText.data(), expText.data() + expText.size(), exponent);

  if (exponent >= 0) {
    const auto wholeLen = static_cast<std::size_t>(exponent) + 1;
    if (wholeLen >= digits.size()) {
      d.whole = digits + std::string(wholeLen - digits.size(), '0');
    } else {
      d.whole = digits.substr(0, wholeLen);
      d.fraction = digits.substr(wholeLen);
    }
  } else {
    d.whole = "0";
    d.fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  }
  return d;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

enum class Rounding { HalfAwayFromZero, HalfEven };

// Rounds to `decimals` fraction digits on the decimal text itself.
void RoundDecimal(Decimal& d, std::size_t decimals, Rounding mode) {
  if (d.fraction.size() < decimals) d.fraction.append(decimals - d.fraction.size(), '0');
  const std::string dropped = d.fraction.substr(decimals);
  d.fraction.resize(decimals);
  bool up = false;
  if (!dropped.empty()) {
    if (mode == Rounding::HalfAwayFromZero) {
      up = dropped[0] >= '5';
    } else {
      const bool restNonZero = dropped.find_first_not_of('0', 1) != std::string::npos;
      if (dropped[0] > '5' || (dropped[0] == '5' && restNonZero)) {
        up = true;
      } else if (dropped[0] == '5') {
        const char last = decimals > 0 ? d.fraction.back() : d.whole.back();
        up = ((last - '0') % 2) == 1;
      }
    }
  }
  if (up) {
    std::string all = d.whole + d.fraction;
    std::size_t i = all.size();
    while (i > 0) {
      --i;
      if (all[i] == '9') {
        all[i] = '0';
      } else {
        ++all[i];
        break;
      }
      if (i == 0) all.insert(all.begin(), '1');
    }
    d.whole = all.substr(0, all.size() - decimals);
    d.fraction = all.substr(all.size() - decimals);
  }
  const std::size_t firstNonZero = d.whole.find_first_not_of('0');
  d.whole = firstNonZero == std::string::npos ? "0" : d.whole.substr(firstNonZero);
}

bool IsZero(const Decimal& d) {
  return d.whole.find_first_not_of('0') == std::string::npos && d.fraction.find_first_not_of('0') == std::string::npos;
}

std::string Compose(Decimal d, std::size_t minWhole, std::size_t minFraction) {
  while (d.fraction.size() > minFraction && d.fraction.back() == '0') d.fraction.pop_back();
  std::string out;
  if (d.negative && !IsZero(d)) out.push_back('-');
  if (d.whole == "0" && minWhole == 0) {
    // "#.00" shows .50 without a leading zero
  } else {
    if (d.whole.size() < minWhole) out.append(minWhole - d.whole.size(), '0');
    out += d.whole;
  }
  if (!d.fraction.empty()) {
    out.push_back('.');
    out += d.fraction;
  }
  if (out.empty() || out == "-") out += "0";
  return out;
}

}  // namespace

std::string PadText(std::string_view text, std::size_t width, PadSide side) {
  std::string out;
  if (text.size() >= width) return std::string(text);
  out.reserve(width);
  if (side == PadSide::Left) out.append(width - text.size(), ' ');
  out.append(text);
  if (side == PadSide::Right) out.append(width - text.size(), ' ');
  return out;
}

double ParseLeadingNumber(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p != end && (*p == ' ' || *p == '\t')) ++p;
  bool negative = false;
  if (p != end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  const char* const start = p;
  auto isDigit = [](char c) { return static_cast<unsigned char>(c - '0') < 10; };
  // With at most 15 digits the digits and the power of ten are both exact
  // doubles, so one division gives the correctly rounded value, the same as
  // from_chars, at a fraction of the cost: every weight of every ticket
  // passes through here.
  std::uint64_t mantissa = 0;
  while (p != end && isDigit(*p)) mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
  auto digits = p - start;
  std::ptrdiff_t fractionDigits = 0;
  if (p != end && *p == '.') {
    const char* const fraction = ++p;
    while (p != end && isDigit(*p)) mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
    fractionDigits = p - fraction;
    digits += fractionDigits;
  }
  if (digits == 0) return 0.0;
  double value = 0.0;
  if (digits <= 15) {
    // Whole numbers (most weights) need no division at all.
    value = fractionDigits == 0 ? static_cast<double>(mantissa)
                                : static_cast<double>(mantissa) / kPowersOfTen[fractionDigits];
  } else {
    auto res = std::from_chars(start, p, value, std::chars_format::fixed);
    if (res.ec != std::errc() || !std::isfinite(value)) return 0.0;
  }
  return negative ? -value : value;
}

std::string FormatMask(double value, std::string_view mask) {
  const std::size_t point = mask.find('.');
  const std::string_view wholeMask = mask.substr(0, point);
  const std::string_view fractionMask = point == std::string_view::npos ? std::string_view() : mask.substr(point + 1);
  std::size_t minWhole = 0;
  for (char c : wholeMask)
    if (c == '0') ++minWhole;
  std::size_t minFraction = 0;
  for (char c : fractionMask)
    if (c == '0') ++minFraction;
  Decimal d = ToDecimal(value);
  RoundDecimal(d, fractionMask.size(), Rounding::HalfAwayFromZero);
  return Compose(std::move(d), minWhole, minFraction);
}

double RoundHalfEven(double value) {
  // Whole pounds as typed are already whole.
  if (value == std::trunc(value) && std::fabs(value) < 1e15) return value;
  Decimal d = ToDecimal(value);
  RoundDecimal(d, 0, Rounding::HalfEven);
  const double whole = ParseLeadingNumber(d.whole);
  return d.negative ? -whole : whole;
}

void ToUpperInPlace(std::string& text) {
  // Most lines are upper case already: look first, in a loop the compiler
  // can vectorise, and change only when there is something to change.
  unsigned char lower = 0;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    lower |= static_cast<unsigned char>((static_cast<unsigned char>(c - 'a') < 26) | (c >= 0xE0));
  }
  if (lower == 0) return;
  for (char& ch : text) ch = UpperLatin1(ch);
}

std::string ToUpper(std::string_view text) {
  std::string out(text);
  ToUpperInPlace(out);
  return out;
}

std::string_view TrimBlanks(std::string_view text) {
  std::size_t first = 0, last = text.size();
  while (first < last && text[first] == ' ') ++first;
  while (last > first && text[last - 1] == ' ') --last;
  return text.substr(first, last - first);
}

std::string_view TrimRightBlanks(std::string_view text) {
  std::size_t last = text.size();
  while (last > 0 && text[last - 1] == ' ') --last;
  return text.substr(0, last);
}

}  // namespace tonnage
