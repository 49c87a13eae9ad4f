// The spool of generated data files of every book type, unit system and
// error kind against an independent computation written in Python
// (tests/tools/report_reference.py). Skipped, loudly, without python3.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "../test_files.h"
#include "report_test_support.h"

namespace tonnage::report {
namespace {

using namespace tonnage::testing;
using testing::Difference;

TEST(ReferenceComparison, GeneratedFilesAgreeByteForByte) {
  if (std::system("python3 -c 'import decimal' >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "*** python3 not found: the comparison with the reference computation did NOT run ***";
  const std::string script = std::string(TONNAGE_TESTDATA_DIR) + "/../tools/report_reference.py";
  ASSERT_TRUE(Exists(script)) << script;
  ScratchFolder dir;
  const int kCases = 200;
  const std::string cmd = "python3 " + script + " generate " + std::to_string(kCases) + " 4417 " + dir.path();
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  for (int i = 0; i < kCases; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "case_%03d", i);
    const std::string base = dir.File(name), expected = ReadFile(base + ".SPL");
    ASSERT_FALSE(expected.empty()) << base;
    const std::string actual = MakeReportSpool(ReadFile(base + ".K81"), ReadFile(base + ".version"), testing::kStamp);
    if (actual != expected) ADD_FAILURE() << name << " (seed 4417): " << Difference(actual, expected);
  }
}

}  // namespace
}  // namespace tonnage::report
