// Two copies of the program at once, each with its own data file: both run a
// report at the same moment and each gets its own spool; one ending removes
// nothing of the other's work files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>

#include "../test_files.h"
#include "data/session.h"
#include "report/run_tonnage_report.h"
#include "report/tonnage_run.h"

namespace tonnage {
namespace {

using namespace testing;

const report::RunStamp kStamp{"10/06/2026", "16:05:00"};

// One copy in a process of its own, stepped by the test through pipes: it
// opens its file and says where its work folder is, runs the report on "go",
// and ends on "end" as the program's exit does.
class Copy {
 public:
  Copy(const std::string& file, const std::string& tempParent) {
    int toChild[2], fromChild[2];
    if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(toChild[1]);
      ::close(fromChild[0]);
      Session s;
      if (!s.Start(tempParent, tempParent) || s.PrepareLock(file).state != LockState::Taken || !s.Open(file))
        ::_exit(2);
      Say(fromChild[1], s.workFolder().path());
      char c = 0;
      if (::read(toChild[0], &c, 1) != 1) ::_exit(3);
      const bool ran = s.WriteWorkFile() && report::RunTonnageReport(s.workFolder().path(), kStamp);
      Say(fromChild[1], ran ? "ran" : "failed");
      if (::read(toChild[0], &c, 1) != 1) ::_exit(4);
      s.Cleanup();
      ::_exit(0);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    to_ = toChild[1];
    from_ = fromChild[0];
    folder_ = Hear();
  }
  ~Copy() {
    ::close(to_);
    ::close(from_);
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
  }
  void Go() { [[maybe_unused]] ssize_t n = ::write(to_, "g", 1); }
  std::string Hear() {
    std::string line;
    char c = 0;
    while (::read(from_, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }
  // Ends the copy and waits for it: true when it ended cleanly.
  bool End() {
    [[maybe_unused]] ssize_t n = ::write(to_, "e", 1);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  const std::string& folder() const { return folder_; }

 private:
  static void Say(int fd, const std::string& text) {
    const std::string line = text + "\n";
    [[maybe_unused]] ssize_t n = ::write(fd, line.data(), line.size());
  }
  pid_t pid_ = -1;
  int to_ = -1, from_ = -1;
  std::string folder_;
};

std::map<std::string, std::string> Contents(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const std::string& name : ListFolder(folder)) files[name] = ReadFile(folder + name);
  return files;
}

TEST(SideBySide, TwoCopiesReportAtOnceAndOneEndingLeavesTheOthersFiles) {
  ScratchFolder temp, docs;
  const std::string files[2] = {docs.File("A.K81"), docs.File("B.K81")};
  testing::WriteFile(files[0], ReadFile(SamplePath("us-standard-tickets.K81")));
  testing::WriteFile(files[1], ReadFile(SamplePath("metric-with-tons-book.K81")));
  Copy a(files[0], temp.path());
  Copy b(files[1], temp.path());
  ASSERT_FALSE(a.folder().empty());
  ASSERT_FALSE(b.folder().empty());
  ASSERT_NE(a.folder(), b.folder());
  // Both told to go before either is heard: the runs overlap.
  a.Go();
  b.Go();
  ASSERT_EQ(a.Hear(), "ran");
  ASSERT_EQ(b.Hear(), "ran");
  Copy* copies[2] = {&a, &b};
  for (int i = 0; i < 2; ++i) {
    const std::string spool = ReadFile(copies[i]->folder() + kSpoolFileName);
    EXPECT_EQ(spool, report::MakeReportSpool(ReadFile(files[i]), VersionStamp(), kStamp)) << files[i];
  }

  const std::map<std::string, std::string> before = Contents(b.folder());
  ASSERT_GE(before.size(), 5u);  // VERSION.TMP, WORK.TMP, PRINT.SPL, STATE.TMP, LOCK, sections
  ASSERT_TRUE(a.End());
  EXPECT_FALSE(Exists(a.folder()));
  EXPECT_EQ(Contents(b.folder()), before);
  ASSERT_TRUE(b.End());
  EXPECT_FALSE(Exists(b.folder()));
  EXPECT_TRUE(ListFolder(temp.path()).empty());
  for (const std::string& name : ListFolder(docs.path()))
    EXPECT_EQ(name.find(kLockSuffix), std::string::npos) << name << " left";
}

}  // namespace
}  // namespace tonnage
