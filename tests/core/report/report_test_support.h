// Building WORK.TMP images and picking lines out of a spool.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../test_files.h"
#include "io/line_reader.h"
#include "report/tonnage_run.h"

namespace tonnage::report::testing {

inline const RunStamp kStamp{"07/01/2026", "14:05:09"};
inline const std::string kVersion = "PRAX V4.2.1 04/2006";

// A 60-column ticket line. Weights are the cell texts as they stand.
inline std::string Ticket(int page, const std::string& date, const std::string& w1, const std::string& w2,
                          const std::string& w3, const std::string& pct = "", bool priv = false, bool isVoid = false,
                          bool note = false) {
  char line[160];
  std::snprintf(line, sizeof line, "%06d %-10s %-10s%-10s%-10s%6s %s %s %s", page, date.c_str(), w1.c_str(), w2.c_str(),
                w3.c_str(), pct.c_str(), priv ? "Y" : " ", isVoid ? "Y" : " ", note ? "Y" : " ");
  return line;
}

inline std::string IndexLine(bool metric = false) {
  return std::string("CST81 4417    STP-0312(8) 10/06/2026 ") + (metric ? "M" : "E") + " R. HALVORSEN";
}

inline std::string BookLine(const std::string& type, const std::string& gravity, const std::string& comments) {
  return "* " + type + " " + gravity + " " + comments;
}

inline std::string Image(const std::vector<std::string>& lines) { return tonnage::testing::CrLf(lines); }

// `count` files made by the reference computation in `dir` (each case's
// path without its ".K81" / ".SPL"); none, said loudly, without python3.
inline std::vector<std::string> GeneratedCases(int count, int seed, const std::string& dir) {
  if (std::system("python3 -c 'import decimal' >/dev/null 2>&1") != 0) {
    std::printf("*** python3 not found: generated files NOT checked ***\n");
    return {};
  }
  const std::string cmd = "python3 " + std::string(TONNAGE_TESTDATA_DIR) + "/../tools/report_reference.py generate " +
                          std::to_string(count) + " " + std::to_string(seed) + " " + dir;
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  std::vector<std::string> cases;
  for (int i = 0; i < count; ++i) cases.push_back(dir + "case_" + std::to_string(1000 + i).substr(1));  // case_007
  return cases;
}

}  // namespace tonnage::report::testing
