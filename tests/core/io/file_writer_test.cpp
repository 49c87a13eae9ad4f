#include "io/file_writer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include "../test_files.h"
#include "io/async_file_writer.h"

namespace tonnage::io {
namespace {

using namespace tonnage::testing;

TEST(FileWriter, ReplacesTheTargetThroughALinkKeepingItsModeAndNothingWithoutCommit) {
  ScratchFolder dir;
  const std::string target = dir.File("JOB.K81");
  WriteFile(target, "old\r\n");
  ::chmod(target.c_str(), 0640);
  ASSERT_EQ(::symlink("JOB.K81", dir.File("LINK.K81").c_str()), 0);
  { FileWriter unused(dir.File("WORK.TMP")); unused.WriteLine("never kept"); }
  FileWriter writer(dir.File("LINK.K81"));
  writer.WriteLine("CST81 first");
  writer.Write(std::string(200000, 'x'));  // bigger than the buffer
  writer.WriteLine("");
  ASSERT_TRUE(writer.Commit().ok());
  EXPECT_EQ(ReadFile(target), "CST81 first\r\n" + std::string(200000, 'x') + "\r\n");
  EXPECT_EQ(ListFolder(dir.path()).size(), 2u) << "no temporary file, and no WORK.TMP without Commit";
  struct stat st {};
  ::lstat(dir.File("LINK.K81").c_str(), &st);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ::stat(target.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";
}

// Work files are put in place by swapping names with the old file: whoever
// still reads the old spool keeps reading it whole, a second name of the old
// file keeps the old text, and nothing is left beside the target.
TEST(FileWriter, AWorkFileTakesTheOldOnesPlaceWholeAndLeavesNothingBehind) {
  ScratchFolder dir;
  const std::string spool = dir.File("PRINT.SPL");
  ASSERT_TRUE(WriteWholeFile(spool, "first run\r\n", WriteMode::Atomic).ok()) << "no old file yet";
  ::chmod(spool.c_str(), 0640);
  ASSERT_EQ(::link(spool.c_str(), dir.File("KEPT.SPL").c_str()), 0);
  const int viewer = ::open(spool.c_str(), O_RDONLY);
  ASSERT_GE(viewer, 0);
  ASSERT_TRUE(WriteWholeFile(spool, "second run\r\n", WriteMode::Atomic).ok());
  EXPECT_EQ(ReadFile(spool), "second run\r\n");
  EXPECT_EQ(ReadFile(dir.File("KEPT.SPL")), "first run\r\n");
  char seen[32] = {};
  EXPECT_EQ(::pread(viewer, seen, sizeof seen, 0), 11);
  EXPECT_STREQ(seen, "first run\r\n");
  ::close(viewer);
  struct stat st {};
  ::stat(spool.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(ListFolder(dir.path()).size(), 2u);
}

TEST(FileWriter, RealConditionsAreReportedAndKeepTheOldFile) {
  // A device is written in place, and a full one says so.
  const Outcome full = WriteWholeFile("/dev/full", "CST81\r\n");
  EXPECT_NE(full.message.find("/dev/full: No space left on device"), std::string::npos) << full.message;
  ScratchFolder dir;
  EXPECT_NE(WriteWholeFile(dir.path() + ".", "x").message.find("Is a directory"), std::string::npos);
  EXPECT_NE(WriteWholeFile(dir.File("no-such-folder/JOB.K81"), "x").message.find("No such file or directory"),
            std::string::npos);

  const std::string target = dir.File("JOB.K81");
  WriteFile(target, "the old file\r\n");
  ::chmod(dir.path().c_str(), 0555);
  ::chmod(target.c_str(), 0444);
  EXPECT_TRUE(AsOrdinaryUser(
      [&] { return WriteWholeFile(target, "new\r\n").message.find("Permission denied") != std::string::npos; }));
  ::chmod(dir.path().c_str(), 0700);
  ::chmod(target.c_str(), 0644);
  // A file-size limit: the kernel itself refuses the write.
  EXPECT_EQ(InChild([&] {
              std::signal(SIGXFSZ, SIG_IGN);
              rlimit limit{4096, 4096};
              ::setrlimit(RLIMIT_FSIZE, &limit);
              return WriteWholeFile(target, std::string(100000, 'x')).ok() ? 1 : 0;
            }),
            0);
  EXPECT_EQ(ReadFile(target), "the old file\r\n");
  EXPECT_EQ(ListFolder(dir.path()).size(), 1u);
}

TEST(FileWriter, ASaveClearsAwayWhatKilledSavesLeftButNoLiveOnesFile) {
  ScratchFolder dir;
  // Two leftovers of killed saves, an old one and one just made.
  const std::string old = std::string(kTemporaryPrefix) + "old111", young = std::string(kTemporaryPrefix) + "new222";
  WriteFile(dir.File(old), "half a file");
  WriteFile(dir.File(young), "half a file");
  Age(dir.File(old), kLeftoverAge + 5);
  // A save still under way in the same folder, its file as old as they come.
  FileWriter live(dir.File("OTHER.K81"));
  live.Write("being written");
  std::string liveTemp;
  for (const std::string& name : ListFolder(dir.path()))
    if (name != old && name != young) liveTemp = name;
  ASSERT_FALSE(liveTemp.empty());
  Age(dir.File(liveTemp), 3600);

  ASSERT_TRUE(WriteWholeFile(dir.File("JOB.K81"), "saved").ok());
  std::vector<std::string> left = ListFolder(dir.path()), expected = {"JOB.K81", young, liveTemp};
  std::sort(left.begin(), left.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(left, expected);
  ASSERT_TRUE(live.Commit().ok());
  EXPECT_EQ(ReadFile(dir.File("OTHER.K81")), "being written");
}

}  // namespace
}  // namespace tonnage::io

namespace tonnage::io {
namespace {

// Written on its own thread, a file holds every byte in order, the whole
// report's size of it; a write that fails on the thread is the caller's
// failure, and the old file stays; without Commit nothing changes.
TEST(AsyncFileWriter, WritesInOrderFailsLikeTheFileWriterAndCommitsOnlyWhenAsked) {
  ScratchFolder dir;
  const std::string target = dir.File("PRINT.SPL");
  std::string expected;
  {
    AsyncFileWriter writer(target, WriteMode::Atomic);
    for (int line = 0; line < 120000; ++line) {
      const std::string text = "  " + std::to_string(line) + "  09/28/2026   77756      30056";
      writer.WriteLine(text);
      expected += text + "\r\n";
      if (line % 9000 == 0) {  // a piece bigger than a block now and then
        const std::string block(300000, static_cast<char>('A' + line % 26));
        writer.Write(block);
        expected += block;
      }
    }
    ASSERT_TRUE(writer.Commit().ok());
  }
  EXPECT_TRUE(ReadFile(target) == expected);

  for (int failAt : {0, 3}) {
    FaultGuard guard([&](FaultPoint p, const std::string& path, int index) {
      return p == FaultPoint::Write && path.find("PRINT.SPL") != std::string::npos && index == failAt ? EIO : 0;
    });
    AsyncFileWriter writer(target, WriteMode::Atomic);
    // Enough blocks that the fourth write of the file comes.
    for (int i = 0; i < 80000; ++i) writer.WriteLine("A LINE OF THE NEW REPORT");
    const Outcome committed = writer.Commit();
    EXPECT_FALSE(committed.ok()) << failAt;
    EXPECT_NE(committed.message.find(target), std::string::npos) << committed.message;
    EXPECT_TRUE(writer.failed());
  }
  {
    AsyncFileWriter writer(target, WriteMode::Atomic);
    for (int i = 0; i < 20000; ++i) writer.WriteLine("NEVER COMMITTED");
  }
  // Compared whole rather than diffed: a diff of megabytes takes minutes.
  EXPECT_TRUE(ReadFile(target) == expected) << "the old report was changed";
  EXPECT_EQ(ListFolder(dir.path()).size(), 1u);
}

}  // namespace
}  // namespace tonnage::io
