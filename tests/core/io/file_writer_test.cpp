#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <set>

#include "../test_files.h"
#include "io/async_file_writer.h"
#include "io/file_writer.h"
#include "io/line_reader.h"

namespace tonnage::io {
namespace {

using namespace tonnage::testing;

unsigned Mode(const std::string& path) { return static_cast<unsigned>(std::filesystem::status(path).permissions()); }

// A file is replaced through a link to it, keeping its mode. Work files are
// put in place by swapping names with the old file: whoever still reads the
// old spool keeps reading it whole and a second name of the old file keeps
// the old text. Nothing is left beside the targets, nor kept without Commit.
TEST(FileWriter, ReplacesThroughALinkOrBySwappingNamesAndLeavesNothingBehind) {
  ScratchFolder dir;
  const std::string target = dir.File("JOB.K81"), spool = dir.File("PRINT.SPL");
  WriteFile(target, "old\r\n");
  ::chmod(target.c_str(), 0640);
  ASSERT_EQ(::symlink("JOB.K81", dir.File("LINK.K81").c_str()), 0);
  FileWriter(dir.File("WORK.TMP")).WriteLine("never kept");
  FileWriter writer(dir.File("LINK.K81"));
  writer.WriteLine("CST81 first");
  writer.Write(std::string(200000, 'x'));  // bigger than the buffer
  writer.WriteLine("");
  ASSERT_TRUE(writer.Commit().ok());
  EXPECT_EQ(ReadFile(target), "CST81 first\r\n" + std::string(200000, 'x') + "\r\n");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("LINK.K81")) && Mode(target) == 0640u) << "keeps its permissions";

  ASSERT_TRUE(WriteWholeFile(spool, "first run\r\n", WriteMode::Atomic).ok()) << "no old file yet";
  ASSERT_EQ(::link(spool.c_str(), dir.File("KEPT.SPL").c_str()), 0);
  const int viewer = ::open(spool.c_str(), O_RDONLY);
  ASSERT_GE(viewer, 0);
  ASSERT_TRUE(WriteWholeFile(spool, "second run\r\n", WriteMode::Atomic).ok());
  EXPECT_EQ(ReadFile(spool) + ReadFile(dir.File("KEPT.SPL")), "second run\r\nfirst run\r\n");
  char seen[32] = {};
  EXPECT_TRUE(::pread(viewer, seen, sizeof seen, 0) == 11 && std::string(seen) == "first run\r\n");
  ::close(viewer);
  EXPECT_EQ(ListFolder(dir.path()).size(), 4u) << "no temporary file, and no WORK.TMP without Commit";
}

TEST(FileWriter, RealConditionsAreReportedAndKeepTheOldFile) {
  // A device written in place, /dev/full, is the command's test.
  ScratchFolder dir;
  for (const auto& [path, says] : {std::pair{dir.path() + ".", "Is a directory"},
                                   {dir.File("no-such-folder/JOB.K81"), "No such file or directory"}})
    EXPECT_NE(WriteWholeFile(path, "x").message.find(says), std::string::npos) << path;

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
  EXPECT_EQ(std::tuple(ReadFile(target), ListFolder(dir.path()).size()),
            std::tuple(std::string("the old file\r\n"), 1ul));
}

// A save clears away what killed saves left once it is old (the killed-save
// test's), but neither one just made nor a live save's file.
TEST(FileWriter, ASaveSweepsNeitherAYoungLeftoverNorALiveSavesFile) {
  ScratchFolder dir;
  const std::string young = std::string(kTemporaryPrefix) + "new222";
  WriteFile(dir.File(young), "half a file");
  // A save still under way in the same folder, its file as old as they come.
  FileWriter live(dir.File("OTHER.K81"));
  live.Write("being written");
  std::string liveTemp;
  for (const std::string& name : ListFolder(dir.path()))
    if (name != young) liveTemp = name;
  ASSERT_FALSE(liveTemp.empty());
  Age(dir.File(liveTemp), 3600);

  ASSERT_TRUE(WriteWholeFile(dir.File("JOB.K81"), "saved").ok());
  const std::vector<std::string> left = ListFolder(dir.path());
  EXPECT_EQ(std::set(left.begin(), left.end()), (std::set<std::string>{"JOB.K81", young, liveTemp}));
  ASSERT_TRUE(live.Commit().ok());
  EXPECT_EQ(ReadFile(dir.File("OTHER.K81")), "being written");
}

// Written on its own thread, a file holds every byte in order, the whole
// report's size of it. (Without Commit it is the FileWriter under it that
// leaves the target alone, tested above; a write that fails on the thread
// is walked step by step with the report's files.)
TEST(AsyncFileWriter, WritesEveryByteInOrder) {
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
  // Compared whole rather than diffed: a diff of megabytes takes minutes.
  EXPECT_TRUE(ReadFile(target) == expected && ListFolder(dir.path()).size() == 1u);
}

using V = std::vector<std::string>;

V ReadAll(const std::string& path) {
  FileLineReader reader(path);
  V lines;
  std::string line;
  while (reader.Next(line)) lines.push_back(line);
  return lines;
}

TEST(LineReader, EveryLineEndAnUnendedLastLineLinesAcrossReadChunksAndAMissingFile) {
  EXPECT_EQ((std::tuple(SplitLines("A\r\n\r\nB\r\n"), SplitLines(""), SplitLines("\r\n"))),
            (std::tuple(V{"A", "", "B"}, V{}, V{""})));
  ScratchFolder dir;
  WriteFile(dir.File("f"), "A\r\nB\nC\rD");
  EXPECT_EQ(ReadAll(dir.File("f")), (V{"A", "B", "C", "D"}));
  // 65536 is the read chunk: put a CR LF pair and a long line across it.
  const std::string first(65535, 'a');
  WriteFile(dir.File("f"), first + "\r\n" + std::string(70000, 'b') + "\r\nlast");
  EXPECT_EQ(ReadAll(dir.File("f")), (V{first, std::string(70000, 'b'), "last"}));
  FileLineReader reader("/nonexistent/JOB.K81");  // what a reader of no file says
  std::string line;
  EXPECT_TRUE(!reader.is_open() && !reader.Next(line));
  EXPECT_NE(reader.error().message.find("/nonexistent/JOB.K81"), std::string::npos);
  EXPECT_FALSE(ReadWholeFile("/nonexistent/JOB.K81").outcome.ok());
}

}  // namespace
}  // namespace tonnage::io
