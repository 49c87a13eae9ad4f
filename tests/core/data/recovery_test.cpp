#include "data/recovery.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "../test_files.h"
#include "data/data_file.h"
#include "data/section_file.h"
#include "data/session.h"

namespace tonnage {
namespace {

using testing::Exists;
using testing::ReadFile;
using testing::SamplePath;
using testing::ScratchFolder;
using testing::WriteFile;

TEST(SessionState, RoundTripKeepsEveryByte) {
  SessionState state;
  state.dataFilePath = "/home/inspector/Jobs/STP 0312.K81";
  state.index = {"CST81", "4417", "STP-0312(8)", "          ", "R. HALVORSEN", "E"};
  state.books[0] = {"SURFACE COURSE", "0", "2.65"};
  state.books[499] = {"", "1", ""};  // a deleted book keeps its type until the next save
  SessionState back;
  ASSERT_TRUE(ParseSessionState(FormatSessionState(state), back));
  EXPECT_EQ(back.dataFilePath, state.dataFilePath);
  EXPECT_EQ(back.index.date, "          ");
  EXPECT_EQ(back.index.engineer, "R. HALVORSEN");
  EXPECT_EQ(back.books[0].specificGravity, "2.65");
  EXPECT_EQ(back.books[499].dataType, "1");
  const std::string text = FormatSessionState(state);
  EXPECT_FALSE(ParseSessionState(text.substr(0, text.size() - 5), back)) << "cut short";
  EXPECT_FALSE(ParseSessionState("CST81 not a state\n", back));
}

// A run of the program that is killed after editing: it opens a sample,
// changes the index record and a book's tickets, and dies with SIGKILL.
void RunAndDie(const std::string& parent) {
  Session s;
  if (!s.Start(".", parent)) ::_exit(3);
  if (!s.Open(SamplePath("us-standard-tickets.K81"))) ::_exit(4);
  s.index.engineer = "K. NEUMANN";
  s.Book(2).comments = "BINDER COURSE SP 19.0 SB LANES";
  s.SaveState();
  ReadSectionFile(s.SectionPath(2), s.rows);
  s.rows[0][TicketField::Net] = "47701";
  WriteSectionFile(s.SectionPath(2), s.rows, "E", "0");
  ::kill(::getpid(), SIGKILL);
}

TEST(Recovery, AKilledRunsDataComeBack) {
  ScratchFolder parent;
  const pid_t pid = ::fork();
  if (pid == 0) RunAndDie(parent.path());
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));

  Session live;
  ASSERT_TRUE(live.Start(".", parent.path()).ok());
  live.New();
  live.ChooseUnits("M");
  // The live run's own folder is not offered; the dead one's is.
  std::vector<std::string> found = FindAbandonedWorkFolders(parent.path());
  ASSERT_EQ(found.size(), 1u);
  ASSERT_TRUE(live.Recover(found[0]).ok());
  EXPECT_FALSE(Exists(found[0]));
  EXPECT_EQ(live.dataFilePath, SamplePath("us-standard-tickets.K81"));
  EXPECT_FALSE(live.dataSaved);
  EXPECT_EQ(live.index.engineer, "K. NEUMANN");
  EXPECT_EQ(live.index.unitSystem, "E");
  EXPECT_EQ(live.Book(2).comments, "BINDER COURSE SP 19.0 SB LANES");
  ASSERT_TRUE(live.SaveAs(parent.File("RECOVERED.K81")).ok());
  const std::string saved = ReadFile(parent.File("RECOVERED.K81"));
  EXPECT_NE(saved.find("001223 09/29/2026 67094     28668     47701"), std::string::npos);
  EXPECT_NE(saved.find("SHOULDERS SP 9.5 BOTH SIDES"), std::string::npos);
  EXPECT_TRUE(FindAbandonedWorkFolders(parent.path()).empty());
  live.Cleanup();
}

TEST(Recovery, NoDiscardsAndIdleRunsAreNotOffered) {
  ScratchFolder parent;
  for (bool withFile : {true, false}) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      Session s;
      s.Start(".", parent.path());
      s.New();
      if (withFile) s.ChooseUnits("E");
      ::kill(::getpid(), SIGKILL);
    }
    ::waitpid(pid, nullptr, 0);
  }
  std::vector<std::string> found = FindAbandonedWorkFolders(parent.path());
  ASSERT_EQ(found.size(), 1u) << "a run that never had a file has nothing to offer";
  Session::Discard(found[0]);
  EXPECT_FALSE(Exists(found[0]));
  EXPECT_TRUE(FindAbandonedWorkFolders(parent.path()).empty());
}

TEST(Recovery, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
  ScratchFolder dir;
  // Two versions of a large file, saved in turn while the saver is killed at
  // random moments.
  std::string versions[2];
  for (int v = 0; v < 2; ++v) {
    std::string text = "CST81 " + std::to_string(7000 + v) + "\r\n";
    for (int b = 1; b <= 60; ++b) {
      text += "* 0 0.0000 BOOK " + std::to_string(b) + "\r\n";
      for (int p = 1; p <= 200; ++p)
        text += FormatTicketLine(TicketRow{{std::to_string(p), "09/28/2026", std::to_string(60000 + v + p),
                                            "30000", std::to_string(30000 + v + p)}},
                                 "E", "0") + "\r\n";
    }
    versions[v] = text;
  }
  const std::string target = dir.File("JOB.K81");
  WriteFile(target, versions[0]);
  std::mt19937 random(20261206);
  for (int round = 0; round < 25; ++round) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (int i = 0;; ++i) io::WriteWholeFile(target, versions[(i + 1) % 2]);
    }
    ::usleep(1000 + random() % 20000);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const std::string now = ReadFile(target);
    ASSERT_TRUE(now == versions[0] || now == versions[1]) << "round " << round << ": " << now.size();
    ScratchFolder work;
    ASSERT_TRUE(ReadDataFile(target, work.path()).outcome.ok());
  }
}

}  // namespace
}  // namespace tonnage
