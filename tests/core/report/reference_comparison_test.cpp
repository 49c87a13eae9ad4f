// The spool of generated data files of every book type, unit system and
// error kind against an independent computation written in Python
// (tests/tools/report_reference.py). Skipped, loudly, without python3.
#include <gtest/gtest.h>

#include "../test_files.h"
#include "report_test_support.h"

namespace tonnage::report {
namespace {

using namespace tonnage::testing;
using namespace testing;

TEST(ReferenceComparison, GeneratedFilesAgreeByteForByte) {
  ScratchFolder dir;
  const std::vector<std::string> cases = GeneratedCases(200, 4417, dir.path());
  if (cases.empty()) GTEST_SKIP() << "*** the comparison with the reference computation did NOT run ***";
  for (const std::string& base : cases) {
    const std::string expected = ReadFile(base + ".SPL");
    ASSERT_FALSE(expected.empty()) << base;
    const std::string actual = MakeReportSpool(ReadFile(base + ".K81"), ReadFile(base + ".version"), kStamp);
    if (actual != expected) ADD_FAILURE() << base << " (seed 4417): " << Difference(actual, expected);
  }
}

}  // namespace
}  // namespace tonnage::report
