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

#include <cstdio>
#include <cstdlib>

#include "../test_files.h"
#include "data/session.h"
#include "report/run_tonnage_report.h"
#include "report_test_support.h"

namespace tonnage::report {
namespace {

using namespace tonnage::testing;
using testing::Difference;

const std::string kData = std::string(TONNAGE_TESTDATA_DIR) + "/report/";

// What the Report command leaves in PRINT.SPL right after Open of `path`.
std::string SpoolAfterOpen(const std::string& path) {
  ScratchFolder parent;
  Session session;
  EXPECT_TRUE(session.Start(".", parent.path()).ok());
  session.keepHistory = false;  // samples and test data are read, not kept
  EXPECT_TRUE(session.Open(path).ok()) << path;
  EXPECT_TRUE(session.WriteWorkFile().ok());
  EXPECT_TRUE(RunTonnageReport(session.workFolder().path(), testing::kStamp).ok());
  std::string spool = ReadFile(session.spoolPath);
  session.Cleanup();
  return spool;
}

class GoldenSpool : public ::testing::TestWithParam<const char*> {};

TEST_P(GoldenSpool, MatchesTheReportAfterOpen) {
  const std::string name = GetParam();
  const std::string input = name.rfind("samples/", 0) == 0 ? SamplePath(name.substr(8) + ".K81") : kData + name + ".K81";
  const std::string golden = kData + name + ".SPL";
  ASSERT_TRUE(Exists(input)) << "missing test data " << input;
  const std::string spool = SpoolAfterOpen(input);
  if (const char* update = std::getenv("UPDATE_GOLDEN"); update && std::string(update) == "1") {
    WriteFile(golden, spool);
    std::printf("rewrote %s: review it before committing\n", golden.c_str());
    return;
  }
  ASSERT_TRUE(Exists(golden)) << "missing golden file " << golden << " (UPDATE_GOLDEN=1 makes it)";
  if (const std::string expected = ReadFile(golden); spool != expected)
    ADD_FAILURE() << golden << ": " << Difference(spool, expected);
}

INSTANTIATE_TEST_SUITE_P(Reports, GoldenSpool,
                         ::testing::Values("samples/us-standard-tickets", "samples/checks-page-order-and-weights",
                                           "samples/batch-plant-gravities", "samples/metric-with-tons-book",
                                           "samples/old-layout-2001", "winter-batch-two-years",
                                           "metric-batch-private"));

}  // namespace
}  // namespace tonnage::report
