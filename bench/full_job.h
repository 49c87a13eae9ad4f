// A full job (500 books of 200 tickets) as a data file's text, for the
// benchmarks that need one.
#pragma once

#include <string>

#include "text/fixed_width.h"

namespace {

inline std::string FormatMaskText(int month, int day) {
  return tonnage::FormatMask(month, "00") + "/" + tonnage::FormatMask(day, "00") + "/2026";
}

// A plant's season: batch, tons and standard books, 200 work days, some
// private loads with bitumen, notes and voids.
inline std::string DataFile(int books, int tickets) {
  std::string text = "CST81 9001    NH-0094-07  09/30/2026 E P. LINDQVIST\r\n";
  unsigned seed = 81;
  auto next = [&](int lo, int hi) {
    seed = seed * 1103515245u + 12345u;
    return lo + static_cast<int>((seed >> 8) % static_cast<unsigned>(hi - lo + 1));
  };
  int day = 0;
  for (int b = 1; b <= books; ++b) {
    const int type = b % 3;
    text += "* " + std::to_string(type) + (type == 2 ? " 1.0250" : " 0.0000") + " BOOK " + std::to_string(b) +
            " SURFACE COURSE SP 12.5\r\n";
    for (int p = 1; p <= tickets; ++p) {
      if (p % 40 == 1) ++day;
      const int d = day % 200;
      const std::string date = FormatMaskText(d / 28 + 3, d % 28 + 1);
      std::string w1, w2, w3;
      if (type == 1) {
        const double g = next(30000, 40000) / 1000.0, t = next(13000, 15500) / 1000.0;
        w1 = tonnage::PadText(tonnage::FormatMask(g, "####0.000"), 9, tonnage::PadSide::Left) + " ";
        w2 = tonnage::PadText(tonnage::FormatMask(t, "####0.000"), 9, tonnage::PadSide::Left) + " ";
        w3 = tonnage::PadText(tonnage::FormatMask(g - t, "####0.000"), 9, tonnage::PadSide::Left) + " ";
      } else {
        const int a = next(52000, 80000), c = type == 2 ? a / 19 : next(26000, 32000);
        auto cell = [](int v) { return tonnage::PadText(std::to_string(v), 5, tonnage::PadSide::Left) + "     "; };
        w1 = cell(a);
        w2 = cell(c);
        w3 = cell(type == 2 ? a + c : a - c + (p % 97 == 0 ? 20 : 0));
      }
      const bool priv = p % 23 == 0, isVoid = p % 61 == 0, note = p % 37 == 0;
      text += tonnage::FormatMask(p + (p % 89 == 0 ? 1 : 0), "000000") + " " + date + " ";
      text += isVoid ? std::string(30, ' ') : w1 + w2 + w3;
      text += " 5.600 ";
      text += priv ? "Y " : "  ";
      text += isVoid ? "Y " : "  ";
      text += note ? "Y" : " ";
      text += "\r\n";
    }
  }
  return text;
}

}  // namespace
