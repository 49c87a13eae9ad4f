// `tonnage report` and `tonnage export` as a script would call them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "../core/test_files.h"

namespace {

using tonnage::testing::Exists;
using tonnage::testing::ListFolder;
using tonnage::testing::ReadFile;
using tonnage::testing::SamplePath;
using tonnage::testing::ScratchFolder;
using tonnage::testing::WriteFile;

struct CommandRun {
  int exitCode;
  std::string out;
  std::string err;
};

CommandRun Tonnage(const std::string& args) {
  ScratchFolder dir;
  const std::string cmd = std::string(TONNAGE_CLI_PATH) + " " + args + " >" + dir.File("out") +
                          " 2>" + dir.File("err");
  const int status = std::system(cmd.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir.File("out")),
          ReadFile(dir.File("err"))};
}

std::string Golden(const std::string& name) {
  return ReadFile(std::string(TONNAGE_TESTDATA_DIR) + "/report/samples/" + name + ".SPL");
}

const char* kStampArgs = " --run-date 07/01/2026 --run-time 14:05:09";

TEST(TonnageReport, WritesTheGoldenSpoolToStdoutOrAFile) {
  for (const char* name : {"us-standard-tickets", "old-layout-2001", "metric-with-tons-book"}) {
    const CommandRun r = Tonnage(std::string("report ") + SamplePath(std::string(name) + ".K81") + kStampArgs);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, Golden(name)) << name;
  }
  ScratchFolder dir;
  WriteFile(dir.File("old.PRN"), "an older report\r\n");
  const CommandRun r = Tonnage("report " + SamplePath("batch-plant-gravities.K81") + " -o " +
                        dir.File("old.PRN") + " --date 07-01-2026 --time 14:05:09");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(ReadFile(dir.File("old.PRN")), Golden("batch-plant-gravities"));
  EXPECT_EQ(ListFolder(dir.path()).size(), 1u);  // no temporary left beside it
}

TEST(TonnageReport, TheClockByDefault) {
  const CommandRun r = Tonnage("report " + SamplePath("us-standard-tickets.K81"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string line = r.out.substr(r.out.find(" PROGRAM HARKST81"), 78);
  EXPECT_EQ(line.substr(35, 1), "/");
  EXPECT_EQ(line.substr(59, 1), ":");
  EXPECT_EQ(line.substr(68, 4), "PAGE");
}

TEST(TonnageReport, RefusalsAndFailures) {
  ScratchFolder dir;
  WriteFile(dir.File("bad.K81"), "HELLO\r\n");
  CommandRun r = Tonnage("report " + dir.File("bad.K81") + " -o " + dir.File("out.PRN"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Invalid File - Select Another File!"), std::string::npos) << r.err;
  EXPECT_FALSE(Exists(dir.File("out.PRN")));

  // Refused after the first 500 books: nothing reaches standard output.
  std::string many = "CST81 1\r\n";
  for (int b = 1; b <= 501; ++b) many += "* 0 0.0000 BOOK " + std::to_string(b) + "\r\n000101 10/02/2026 61020     28340     32680      5.400      \r\n";
  WriteFile(dir.File("many.K81"), many);
  r = Tonnage("report " + dir.File("many.K81"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("More than 500 books - Program aborted!"), std::string::npos) << r.err;

  r = Tonnage("report " + SamplePath("us-standard-tickets.K81") + " -o /dev/full");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
  r = Tonnage("report " + SamplePath("us-standard-tickets.K81") + " -o " + dir.File("no/such/x.PRN"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("no/such/x.PRN"), std::string::npos) << r.err;

  EXPECT_EQ(Tonnage("report " + SamplePath("us-standard-tickets.K81") + " --run-date 2026-07-01").exitCode, 2);
  EXPECT_EQ(Tonnage("report " + SamplePath("us-standard-tickets.K81") + " --run-time 25:00:00").exitCode, 2);
  EXPECT_EQ(Tonnage("report").exitCode, 2);
  EXPECT_EQ(Tonnage("report " + dir.File("missing.K81")).exitCode, 2);
}

TEST(TonnageExport, OneCsvRowPerTicket) {
  ScratchFolder dir;
  CommandRun r = Tonnage("export " + SamplePath("checks-page-order-and-weights.K81") + " -o " + dir.File("t.csv"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string csv = ReadFile(dir.File("t.csv"));
  EXPECT_EQ(csv.rfind("Book,Comments,Data Type,Specific Gravity,Page,Date,", 0), 0u);
  EXPECT_NE(csv.find("\r\n1,OVERLAY SP 12.5 TH 61 MILE 14 TO 19,0,0.0000,7301,2026-06-16,71240,29880,41360,41360,41360,lb,5.400,,,,\r\n"),
            std::string::npos) << csv;
  EXPECT_NE(csv.find(",7305,2026-06-17,29940,70180,40240,-40240,40240,lb,5.400,,,,"
                     "PAGE ORDER; GROSS LESS THAN TARE; THEO/KP MISMATCH\r\n"),
            std::string::npos) << csv;
  int rows = 0;
  for (std::size_t p = csv.find("\r\n"); p != std::string::npos; p = csv.find("\r\n", p + 2)) ++rows;
  EXPECT_EQ(rows, 1 + 10);

  r = Tonnage("export " + SamplePath("metric-with-tons-book.K81"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find(",kg,"), std::string::npos);
  WriteFile(dir.File("bad.K81"), "HELLO\r\n");
  EXPECT_EQ(Tonnage("export " + dir.File("bad.K81")).exitCode, 1);
}

}  // namespace
