// A full standard-ticket job (500 books of 200 tickets) written to a private
// folder, for the benchmarks that open or save a whole data file.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "text/fixed_width.h"

namespace {

inline std::string TicketLine(int book, int page, int net) {
  return tonnage::FormatMask(book * 1000 + page, "000000") + " 09/28/2026 77756     30056     " + std::to_string(net) +
         "      5.600      ";
}

struct FullFile {
  std::string folder;
  std::string path;
  FullFile() {
    std::string pattern = "/tmp/tonnage-bench-XXXXXX";
    folder = ::mkdtemp(pattern.data());
    path = folder + "/FULL.K81";
    std::ofstream out(path, std::ios::binary);
    out << "CST81 9001    NH-0094-07  09/30/2026 E P. LINDQVIST\r\n";
    for (int b = 1; b <= 500; ++b) {
      out << "* 0 0.0000 BOOK " << b << " SURFACE COURSE\r\n";
      for (int p = 1; p <= 200; ++p) out << TicketLine(b, p, 47700) << "\r\n";
    }
  }
  ~FullFile() { std::system(("rm -rf " + folder).c_str()); }
};

}  // namespace
