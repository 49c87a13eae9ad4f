#include "data/recovery.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <random>

#include "../test_files.h"
#include "data/data_file.h"
#include "data/section_file.h"
#include "data/session.h"

namespace tonnage {
namespace {

using namespace testing;

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

// Runs of the program killed with SIGKILL: one edited an opened sample, one
// chose the units of a new file, one never had a file.
void RunAndDie(const std::string& parent, int run) {
  Session s;
  if (!s.Start(".", parent)) ::_exit(3);
  if (run == 0) {
    s.keepHistory = false;
    if (!s.Open(SamplePath("us-standard-tickets.K81"))) ::_exit(4);
    s.index.engineer = "K. NEUMANN";
    s.Book(2).comments = "BINDER COURSE SP 19.0 SB LANES";
    if (!s.SaveState()) ::_exit(5);
    ReadSectionFile(s.SectionPath(2), s.rows);
    s.rows[0][TicketField::Net] = "47701";
    if (!WriteSectionFile(s.SectionPath(2), s.rows, "E", "0")) ::_exit(6);
  } else {
    s.New();
    if (run == 1) s.ChooseUnits("E");
  }
  ::kill(::getpid(), SIGKILL);
}

TEST(Recovery, AKilledRunsDataComeBackAndRunsWithoutAFileAreNotOffered) {
  ScratchFolder parent;
  for (int run = 0; run < 3; ++run) {
    const pid_t pid = ::fork();
    if (pid == 0) RunAndDie(parent.path(), run);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
  }
  Session live;
  ASSERT_TRUE(live.Start(".", parent.path()).ok());
  live.New();
  live.ChooseUnits("M");
  // Neither the live run's own folder nor the idle one's is offered.
  std::vector<std::string> found = FindAbandonedWorkFolders(parent.path());
  ASSERT_EQ(found.size(), 2u);
  const bool edited = ReadFile(found[0] + "STATE.TMP").find("K. NEUMANN") != std::string::npos;
  Session::Discard(found[edited ? 1 : 0]);
  ASSERT_TRUE(live.Recover(found[edited ? 0 : 1]).ok());
  EXPECT_FALSE(testing::Exists(found[0]) || testing::Exists(found[1]));
  EXPECT_TRUE(FindAbandonedWorkFolders(parent.path()).empty());
  EXPECT_EQ(live.dataFilePath, SamplePath("us-standard-tickets.K81"));
  EXPECT_FALSE(live.dataSaved);
  EXPECT_EQ(live.index.engineer, "K. NEUMANN");
  EXPECT_EQ(live.index.unitSystem, "E");
  EXPECT_EQ(live.Book(2).comments, "BINDER COURSE SP 19.0 SB LANES");
  ASSERT_TRUE(live.SaveAs(parent.File("RECOVERED.K81")).ok());
  const std::string saved = ReadFile(parent.File("RECOVERED.K81"));
  EXPECT_NE(saved.find("001223 09/29/2026 67094     28668     47701"), std::string::npos);
  EXPECT_NE(saved.find("SHOULDERS SP 9.5 BOTH SIDES"), std::string::npos);
  live.Cleanup();
}

// A full file, 500 books of 200 tickets (about 6 MB); `shift` changes every
// ticket, so a file mixed of two versions cannot pass for either.
std::string FullFile(int shift) {
  std::string text = "CST81 7000    STP-0312(8) 10/06/2026 E R. HALVORSEN\r\n";
  for (int b = 1; b <= kMaxBooks; ++b) {
    text += "* 0 1.0250 BOOK " + std::to_string(b) + "\r\n";
    for (int p = 1; p <= kMaxRows; ++p)
      text += FormatTicketLine(TicketRow{{std::to_string(p), "09/28/2026", std::to_string(60000 + shift + p), "30000",
                                          std::to_string(30000 + shift + p), "5.6"}},
                               "E", "0") +
              "\r\n";
  }
  return text;
}

// Rounds of the loop below: a few in the test suite, many more from
// scripts/kill-save-loop.sh.
int KillRounds() {
  const char* rounds = std::getenv("TONNAGE_KILL_ROUNDS");
  return rounds && std::atoi(rounds) > 0 ? std::atoi(rounds) : 6;
}

TEST(Recovery, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
  ScratchFolder dir;
  const std::string versions[2] = {FullFile(0), FullFile(1)};
  ASSERT_GT(versions[0].size(), 6000000u);
  const std::string target = dir.File("JOB.K81");
  // Two sessions hold the two versions; each round a saver process made
  // from them saves them over the target in turn until it is killed.
  Session sessions[2];
  for (int v = 0; v < 2; ++v) {
    const std::string name = dir.File("V" + std::to_string(v) + ".K81");
    WriteFile(name, versions[v]);
    ASSERT_TRUE(sessions[v].Start(dir.path(), dir.path()).ok());
    sessions[v].keepHistory = false;  // the history's own loop is in store/
    ASSERT_TRUE(sessions[v].Open(name).ok());
    sessions[v].dataFilePath = target;
  }
  // How long one save takes here, to spread the kills over two of them.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(sessions[0].Save().ok());
  const long long saveTime =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();

  const char* seed = std::getenv("TONNAGE_KILL_SEED");
  std::mt19937 random(seed ? static_cast<unsigned>(std::atoi(seed)) : 20261206u);
  const int rounds = KillRounds();
  for (int round = 0; round < rounds; ++round) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      // Killed while saving: what one save says is never looked at.
      for (int i = 1;; ++i) (void)sessions[i % 2].Save();
    }
    ::usleep(static_cast<useconds_t>(random() % (saveTime * 2 + 1)));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const std::string now = ReadFile(target);
    ASSERT_TRUE(now == versions[0] || now == versions[1]) << "round " << round << ": " << now.size() << " bytes";
    const std::string backup = ReadFile(target + ".bak");
    ASSERT_TRUE(backup.empty() || backup == versions[0] || backup == versions[1]) << "round " << round;
  }
  // A killed save leaves its temporary file; once it is old, the next save
  // clears it away (a live save's own is never touched).
  for (const std::string& name : testing::ListFolder(dir.path()))
    if (name.rfind(io::kTemporaryPrefix, 0) == 0) testing::Age(dir.File(name), io::kLeftoverAge + 1);
  ASSERT_TRUE(sessions[0].Save().ok());
  for (const std::string& name : testing::ListFolder(dir.path()))
    EXPECT_NE(name.rfind(io::kTemporaryPrefix, 0), 0u) << name;
  // Either version opens (both were opened above): so does what is there.
  ScratchFolder work;
  EXPECT_TRUE(ReadDataFile(target, work.path()).outcome.ok());
  for (Session& s : sessions) s.Cleanup();
}

}  // namespace
}  // namespace tonnage
