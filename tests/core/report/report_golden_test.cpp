// Whole spools of the sample jobs and of report test files, against golden
// files beside them. UPDATE_GOLDEN=1 rewrites the golden files; review every
// rewritten one before committing it.
//
// Hand-checked with a column ruler (columns 1-78):
// - us-standard-tickets: error page 1 (book line comments 3-37, gravity
//   40-46); main page 2 header ("PAGE" 69-72, number 74-78); detail lines
//   (page number ending in column 7, date 10-19, weights 22-31 / 33-42 /
//   44-53, " LBS  " 65-70); book totals ("BOOK TOTAL" at 19); project date
//   line (THEO tons 19-28, KP tons 33-42, gallons 47-59, percents 63-68 and
//   72-77); private and monthly lines.
// - checks-page-order-and-weights: every error line and echo, the order of
//   a ticket's error lines, "PAGE ORDER" at 71 and at 76 on the void line.
// - batch-plant-gravities: batch headings, pay gallons and percents of each
//   date recomputed by hand from the asphalt weights and the book gravities.
// - metric-with-tons-book: tons book in MTON, KGS lines, litres with three
//   decimals in the project, private and monthly sections.
// - old-layout-2001: engineer and units taken from the older index layout.
// - winter-batch-two-years: the second page of a book (separator, headings
//   and gravity line repeated), "PAGE" in columns 69-72 of a gravity line
//   kept, December / January / next January as three month groups.
// - metric-batch-private: private litres line, a THEO/KP mismatch in a
//   metric tons book, void and note lines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../test_files.h"
#include "data/session.h"
#include "report/run_tonnage_report.h"
#include "report_test_support.h"

namespace tonnage::report {
namespace {

using tonnage::testing::Exists;
using tonnage::testing::ReadFile;
using tonnage::testing::SamplePath;
using tonnage::testing::ScratchFolder;
using tonnage::testing::WriteFile;

std::string DataPath(const std::string& name) {
  return std::string(TONNAGE_TESTDATA_DIR) + "/report/" + name;
}

// What the Report command leaves in PRINT.SPL right after Open of `path`.
std::string SpoolAfterOpen(const std::string& path) {
  ScratchFolder parent;
  Session session;
  EXPECT_TRUE(session.Start(".", parent.path()).ok());
  EXPECT_TRUE(session.Open(path).ok()) << path;
  EXPECT_TRUE(session.WriteWorkFile().ok());
  EXPECT_TRUE(RunTonnageReport(session.workFolder().path(), testing::kStamp).ok());
  std::string spool = ReadFile(session.spoolPath);
  session.Cleanup();
  return spool;
}

// "" when equal, else where the first difference is.
std::string FirstDifference(const std::string& actual, const std::string& expected) {
  std::size_t line = 1, column = 1;
  for (std::size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
    const bool inA = i < actual.size(), inE = i < expected.size();
    if (!inA || !inE || actual[i] != expected[i]) {
      auto lineAt = [&](const std::string& s) {
        const std::size_t start = s.rfind('\n', i == 0 ? 0 : i - 1);
        const std::size_t from = (start == std::string::npos || i == 0) ? 0 : start + 1;
        return s.substr(from, s.find('\r', from) - from);
      };
      return "first difference at line " + std::to_string(line) + ", column " +
             std::to_string(column) + "\n  actual:   \"" + lineAt(actual) + "\"\n  expected: \"" +
             lineAt(expected) + "\"";
    }
    if (actual[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return {};
}

void CheckGolden(const std::string& input, const std::string& golden) {
  ASSERT_TRUE(Exists(input)) << "missing test data " << input;
  const std::string spool = SpoolAfterOpen(input);
  const char* update = std::getenv("UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    WriteFile(golden, spool);
    std::printf("rewrote %s: review it before committing\n", golden.c_str());
    return;
  }
  ASSERT_TRUE(Exists(golden)) << "missing golden file " << golden << " (UPDATE_GOLDEN=1 makes it)";
  const std::string diff = FirstDifference(spool, ReadFile(golden));
  EXPECT_TRUE(diff.empty()) << golden << ": " << diff;
}

class SampleSpool : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleSpool, MatchesItsGoldenFile) {
  const std::string name = GetParam();
  CheckGolden(SamplePath(name + ".K81"), DataPath("samples/" + name + ".SPL"));
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleSpool,
                         ::testing::Values("us-standard-tickets", "checks-page-order-and-weights",
                                           "batch-plant-gravities", "metric-with-tons-book",
                                           "old-layout-2001"));

class ReportFileSpool : public ::testing::TestWithParam<const char*> {};

TEST_P(ReportFileSpool, MatchesItsGoldenFile) {
  const std::string name = GetParam();
  CheckGolden(DataPath(name + ".K81"), DataPath(name + ".SPL"));
}

INSTANTIATE_TEST_SUITE_P(ReportFiles, ReportFileSpool,
                         ::testing::Values("winter-batch-two-years", "metric-batch-private"));

}  // namespace
}  // namespace tonnage::report
