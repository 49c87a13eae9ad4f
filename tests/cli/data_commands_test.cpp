// The tonnage command as a script would call it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "../core/test_files.h"

namespace {

using tonnage::testing::ReadFile;
using tonnage::testing::SamplePath;
using tonnage::testing::ScratchFolder;
using tonnage::testing::WriteFile;

struct CliRun {
  int exitCode;
  std::string out;
  std::string err;
};

CliRun Tonnage(const std::string& args) {
  ScratchFolder dir;
  const std::string cmd = std::string(TONNAGE_CLI_PATH) + " " + args + " >" + dir.File("out") +
                          " 2>" + dir.File("err");
  const int status = std::system(cmd.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir.File("out")), ReadFile(dir.File("err"))};
}

TEST(TonnageCheck, ListsTheIndexRecordAndEveryBook) {
  const CliRun r = Tonnage("check " + SamplePath("metric-with-tons-book.K81"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Units:       M"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Engineer:    D. OKONKWO-BRANDT"), std::string::npos);
  EXPECT_NE(r.out.find("   2 1    0.0000         12  BASE COURSE AC 20 KM 12.4-14.1"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Tickets:     33"), std::string::npos);
}

TEST(TonnageCheck, RefusalsAndUsageErrors) {
  ScratchFolder dir;
  WriteFile(dir.File("bad.K81"), "HELLO\r\n");
  const CliRun bad = Tonnage("check " + dir.File("bad.K81"));
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.err.find("Invalid File - Select Another File!"), std::string::npos) << bad.err;
  EXPECT_EQ(Tonnage("check").exitCode, 2);
  EXPECT_EQ(Tonnage("frobnicate x").exitCode, 2);
  EXPECT_EQ(Tonnage("check " + dir.File("missing.K81")).exitCode, 2);
  const CliRun version = Tonnage("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_NE(version.out.find("4.2.1"), std::string::npos);
}

TEST(TonnageResave, SamplesComeBackAndOldLayoutIsUpgraded) {
  ScratchFolder dir;
  for (const char* name : {"us-standard-tickets.K81", "metric-with-tons-book.K81",
                           "batch-plant-gravities.K81", "checks-page-order-and-weights.K81"}) {
    ASSERT_EQ(Tonnage("resave " + SamplePath(name) + " -o " + dir.File("out.K81")).exitCode, 0);
    EXPECT_EQ(ReadFile(dir.File("out.K81")), ReadFile(SamplePath(name))) << name;
  }
  ASSERT_EQ(Tonnage("resave " + SamplePath("old-layout-2001.K81") + " -o " + dir.File("old.K81")).exitCode, 0);
  EXPECT_EQ(ReadFile(dir.File("old.K81")).rfind("CST81 1988    F-019-1(7)  05/14/2001 E J. KOSTELNIK\r\n", 0), 0u);
}

TEST(TonnageResave, AFailedSaveSaysWhyAndKeepsTheOldFile) {
  const CliRun full = Tonnage("resave " + SamplePath("us-standard-tickets.K81") + " -o /dev/full");
  EXPECT_EQ(full.exitCode, 1);
  EXPECT_NE(full.err.find("/dev/full: No space left on device"), std::string::npos) << full.err;

  ScratchFolder dir;
  WriteFile(dir.File("keep.K81"), "old contents\r\n");
  const CliRun folder = Tonnage("resave " + SamplePath("us-standard-tickets.K81") + " -o " + dir.File("nowhere/x.K81"));
  EXPECT_EQ(folder.exitCode, 1);
  EXPECT_NE(folder.err.find("nowhere/x.K81"), std::string::npos);
  EXPECT_EQ(ReadFile(dir.File("keep.K81")), "old contents\r\n");
}

}  // namespace
