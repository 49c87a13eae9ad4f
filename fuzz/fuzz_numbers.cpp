// Any text through the leading-number parse and every mask the program uses.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "report/fast_number.h"
#include "text/fixed_width.h"

using namespace tonnage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const double value = ParseLeadingNumber(text);
  if (!std::isfinite(value)) std::abort();
  static const char* const kMasks[] = {"####0", "####0.000", "#0.000", "0.0000", "000000", "##0.0000", "####0.00"};
  for (const char* mask : kMasks) {
    const std::string out = FormatMask(value, mask);
    if (out.empty()) std::abort();
    // What is written reads back as the rounded value.
    const double back = ParseLeadingNumber(out);
    if (std::fabs(back - value) > 0.5 + std::fabs(value) * 1e-12) std::abort();
  }
  for (int decimals : {0, 2, 3}) {
    if (report::Amount(value, 10, decimals).size() < 10) std::abort();
  }
  // The report's own quick formatting gives the same text, in place too.
  for (const auto& [width, decimals] : {std::pair<std::size_t, int>{10, 3}, {6, 0}, {7, 0}}) {
    const std::string expected =
        PadText(FormatMask(value, decimals == 3 ? "####0.000" : "####0"), width, PadSide::Left);
    if (report::Amount(value, width, decimals) != expected) std::abort();
    // Appended behind what a line already holds, which stays as it was.
    std::string line = "|";
    report::AppendAmount(line, value, width, decimals);
    if (line != "|" + expected) std::abort();
  }
  (void)RoundHalfEven(value);
  (void)report::Keep3(value);
  return 0;
}
