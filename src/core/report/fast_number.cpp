#include "report/fast_number.h"

#include <charconv>
#include <cmath>

#include "text/fixed_width.h"

namespace tonnage::report {
namespace {

constexpr double kExactIntegers = 1e15;  // up to here the 15-digit decimal is the integer itself

void AppendInteger(std::string& out, double value, int decimals) {
  char buf[24];
  const long long n = static_cast<long long>(value);
  const unsigned long long magnitude = n < 0 ? 0ull - static_cast<unsigned long long>(n)
                                             : static_cast<unsigned long long>(n);
  if (n < 0) out.push_back('-');
  auto res = std::to_chars(buf, buf + sizeof buf, magnitude);
  out.append(buf, res.ptr);
  if (decimals > 0) {
    out.push_back('.');
    out.append(static_cast<std::size_t>(decimals), '0');
  }
}

}  // namespace

void AppendMasked(std::string& out, double value, int decimals) {
  if (decimals < 0) decimals = 0;
  if (!std::isfinite(value) || decimals > 20) {
    std::string mask = "0";
    if (decimals > 0) mask += "." + std::string(static_cast<std::size_t>(decimals), '0');
    out += FormatMask(value, mask);
    return;
  }
  if (value == std::trunc(value) && std::fabs(value) < kExactIntegers) {
    AppendInteger(out, value == 0 ? 0.0 : value, decimals);
    return;
  }
  // The 15 significant digits, then rounding half away from zero at the
  // wanted decimal, as FormatMask does.
  char sci[40];
  auto res = std::to_chars(sci, sci + sizeof sci, std::fabs(value), std::chars_format::scientific, 14);
  char digits[15];
  int count = 0;
  const char* p = sci;
  for (; p < res.ptr && *p != 'e'; ++p)
    if (*p != '.') digits[count++] = *p;
  int exponent = 0;
  ++p;
  if (p < res.ptr && *p == '+') ++p;
  std::from_chars(p, res.ptr, exponent);
  if (exponent > 300) {
    std::string mask = "0";
    if (decimals > 0) mask += "." + std::string(static_cast<std::size_t>(decimals), '0');
    out += FormatMask(value, mask);
    return;
  }
  // fixed[] holds the digits for powers 10^top .. 10^-(decimals+1).
  const int top = exponent > 0 ? exponent : 0;
  const int length = top + decimals + 2;
  char fixed[340];
  for (int k = 0; k < length; ++k) {
    const int power = top - k;
    const int index = exponent - power;
    fixed[k] = index >= 0 && index < count ? digits[index] : '0';
  }
  int used = length - 1;
  if (fixed[used] >= '5') {
    int i = used - 1;
    for (; i >= 0; --i) {
      if (fixed[i] == '9') {
        fixed[i] = '0';
      } else {
        ++fixed[i];
        break;
      }
    }
    if (i < 0) {  // carried out of the top digit
      for (int k = used; k > 0; --k) fixed[k] = fixed[k - 1];
      fixed[0] = '1';
      ++used;
    }
  }
  const int wholeDigits = used - decimals;
  int first = 0;
  while (first < wholeDigits - 1 && fixed[first] == '0') ++first;
  bool zero = true;
  for (int k = 0; k < used; ++k)
    if (fixed[k] != '0') zero = false;
  if (value < 0 && !zero) out.push_back('-');
  out.append(fixed + first, fixed + wholeDigits);
  if (decimals > 0) {
    out.push_back('.');
    out.append(fixed + wholeDigits, fixed + used);
  }
}

std::string Masked(double value, int decimals) {
  std::string out;
  AppendMasked(out, value, decimals);
  return out;
}

void AppendAmount(std::string& out, double value, std::size_t width, int decimals) {
  if (decimals != 2 && decimals != 3) decimals = 0;
  const std::size_t start = out.size();
  AppendMasked(out, value, decimals);
  const std::size_t length = out.size() - start;
  if (length < width) out.insert(start, width - length, ' ');
}

std::string Amount(double value, std::size_t width, int decimals) {
  std::string out;
  AppendAmount(out, value, width, decimals);
  return out;
}

double Keep3(double value) {
  if (value == std::trunc(value) && std::fabs(value) < kExactIntegers) return value == 0 ? 0.0 : value;
  std::string text;
  AppendMasked(text, value, 3);
  double result = 0;
  std::from_chars(text.data(), text.data() + text.size(), result, std::chars_format::fixed);
  return result;
}

}  // namespace tonnage::report
