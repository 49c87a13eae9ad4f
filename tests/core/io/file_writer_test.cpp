#include "io/file_writer.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>

#include "../test_files.h"
#include "io/async_file_writer.h"

namespace tonnage::io {
namespace {

using tonnage::testing::ListFolder;
using tonnage::testing::ReadFile;
using tonnage::testing::ScratchFolder;
using tonnage::testing::WriteFile;

struct HookGuard {
  explicit HookGuard(FaultHook hook) { SetFaultHook(std::move(hook)); }
  ~HookGuard() { SetFaultHook({}); }
};

TEST(FileWriter, ReplacesTheTargetAndLeavesNoTemporaryFile) {
  ScratchFolder dir;
  const std::string target = dir.File("JOB.K81");
  WriteFile(target, "old\r\n");
  ::chmod(target.c_str(), 0640);
  FileWriter writer(target);
  writer.WriteLine("CST81 first");
  writer.Write(std::string(200000, 'x'));  // bigger than the buffer
  writer.WriteLine("");
  ASSERT_TRUE(writer.Commit().ok());
  EXPECT_EQ(ReadFile(target), "CST81 first\r\n" + std::string(200000, 'x') + "\r\n");
  EXPECT_EQ(ListFolder(dir.path()).size(), 1u);
  struct stat st {};
  ::stat(target.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";
}

TEST(FileWriter, EveryFailurePointKeepsTheOldFileAndNamesThePath) {
  for (FaultPoint point : {FaultPoint::Open, FaultPoint::Write, FaultPoint::Sync, FaultPoint::Rename}) {
    for (WriteMode mode : {WriteMode::Replace, WriteMode::Atomic}) {
      ScratchFolder dir;
      const std::string target = dir.File("JOB.K81");
      WriteFile(target, "the old file\r\n");
      HookGuard guard([point](FaultPoint p, const std::string&, int) { return p == point ? ENOSPC : 0; });
      Outcome result;
      {
        FileWriter writer(target, mode);
        writer.WriteLine("the new file");
        result = writer.Commit();
      }
      EXPECT_EQ(result.kind, OutcomeKind::IoError) << static_cast<int>(point);
      EXPECT_NE(result.message.find(target), std::string::npos) << result.message;
      EXPECT_NE(result.message.find("No space left on device"), std::string::npos) << result.message;
      EXPECT_EQ(ReadFile(target), "the old file\r\n");
      EXPECT_EQ(ListFolder(dir.path()).size(), 1u) << "temporary file left behind";
    }
  }
}

TEST(FileWriter, WithoutCommitNothingChanges) {
  ScratchFolder dir;
  const std::string target = dir.File("WORK.TMP");
  { FileWriter writer(target); writer.WriteLine("never kept"); }
  EXPECT_TRUE(ListFolder(dir.path()).empty());
}

TEST(FileWriter, RealConditionsAreReportedAsErrors) {
  // A device is written in place, and a full one says so.
  Outcome full = WriteWholeFile("/dev/full", "CST81\r\n");
  EXPECT_FALSE(full.ok());
  EXPECT_NE(full.message.find("/dev/full"), std::string::npos);

  ScratchFolder dir;
  Outcome folder = WriteWholeFile(dir.path() + ".", "x");
  EXPECT_FALSE(folder.ok());
  EXPECT_NE(folder.message.find("Is a directory"), std::string::npos) << folder.message;

  Outcome missing = WriteWholeFile(dir.File("no-such-folder/JOB.K81"), "x");
  EXPECT_FALSE(missing.ok());
  EXPECT_NE(missing.message.find("No such file or directory"), std::string::npos);
}

// Runs `body` in a child process and returns its exit code; the child may
// drop root or limit its file size so the kernel itself refuses the write.
template <class Body>
int InChild(Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

TEST(FileWriter, ReadOnlyFolderAndFullDiskKeepTheOldFile) {
  ScratchFolder dir;
  const std::string target = dir.File("JOB.K81");
  WriteFile(target, "the old file\r\n");
  ::chmod(dir.path().c_str(), 0555);
  ::chmod(target.c_str(), 0444);
  const int readOnly = InChild([&] {
    // Root writes anywhere; an ordinary user cannot.
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 3;
    Outcome r = WriteWholeFile(target, "new\r\n");
    return r.ok() ? 1 : (r.message.find("Permission denied") != std::string::npos ? 0 : 2);
  });
  EXPECT_EQ(readOnly, 0);
  ::chmod(dir.path().c_str(), 0700);
  ::chmod(target.c_str(), 0644);

  const int tooBig = InChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    Outcome r = WriteWholeFile(target, std::string(100000, 'x'));
    return r.ok() ? 1 : 0;
  });
  EXPECT_EQ(tooBig, 0);
  EXPECT_EQ(ReadFile(target), "the old file\r\n");
  EXPECT_EQ(ListFolder(dir.path()).size(), 1u);
}

TEST(FileWriter, ASaveClearsAwayWhatKilledSavesLeftButNoLiveOnesFile) {
  ScratchFolder dir;
  auto age = [&](const std::string& name, long seconds) {
    const timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - seconds, 0}};
    ::utimensat(AT_FDCWD, dir.File(name).c_str(), times, 0);
  };
  // Two leftovers of killed saves, an old one and one just made.
  WriteFile(dir.File(std::string(kTemporaryPrefix) + "old111"), "half a file");
  WriteFile(dir.File(std::string(kTemporaryPrefix) + "new222"), "half a file");
  age(std::string(kTemporaryPrefix) + "old111", kLeftoverAge + 5);
  // A save still under way in the same folder, its file as old as they come.
  FileWriter live(dir.File("OTHER.K81"));
  live.Write("being written");
  std::string liveTemp;
  for (const std::string& name : ListFolder(dir.path()))
    if (name.find("old111") == std::string::npos && name.find("new222") == std::string::npos) liveTemp = name;
  ASSERT_FALSE(liveTemp.empty());
  age(liveTemp, 3600);

  ASSERT_TRUE(WriteWholeFile(dir.File("JOB.K81"), "saved").ok());
  std::vector<std::string> left = ListFolder(dir.path());
  std::sort(left.begin(), left.end());
  std::vector<std::string> expected = {"JOB.K81", std::string(kTemporaryPrefix) + "new222", liveTemp};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(left, expected);
  ASSERT_TRUE(live.Commit().ok());
  EXPECT_EQ(ReadFile(dir.File("OTHER.K81")), "being written");
}

TEST(FileWriter, ALinkedTargetIsWrittenThroughTheLink) {
  ScratchFolder dir;
  WriteFile(dir.File("real.K81"), "old");
  ASSERT_EQ(::symlink("real.K81", dir.File("link.K81").c_str()), 0);
  ASSERT_TRUE(WriteWholeFile(dir.File("link.K81"), "new").ok());
  EXPECT_EQ(ReadFile(dir.File("real.K81")), "new");
  struct stat st {};
  ::lstat(dir.File("link.K81").c_str(), &st);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
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
  EXPECT_EQ(ReadFile(target), expected);

  for (int failAt : {0, 3}) {
    HookGuard guard([&](FaultPoint p, const std::string& path, int index) {
      return p == FaultPoint::Write && path.find("PRINT.SPL") != std::string::npos && index == failAt ? EIO : 0;
    });
    AsyncFileWriter writer(target, WriteMode::Atomic);
    for (int i = 0; i < 20000; ++i) writer.WriteLine("A LINE OF THE NEW REPORT");
    const Outcome committed = writer.Commit();
    EXPECT_FALSE(committed.ok()) << failAt;
    EXPECT_NE(committed.message.find(target), std::string::npos) << committed.message;
    EXPECT_TRUE(writer.failed());
  }
  {
    AsyncFileWriter writer(target, WriteMode::Atomic);
    for (int i = 0; i < 20000; ++i) writer.WriteLine("NEVER COMMITTED");
  }
  EXPECT_EQ(ReadFile(target), expected);
  EXPECT_EQ(ListFolder(dir.path()).size(), 1u);
}

}  // namespace
}  // namespace tonnage::io
