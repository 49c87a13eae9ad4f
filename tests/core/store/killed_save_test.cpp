// Saves killed with SIGKILL at random moments: after each, the data file is
// one of the two versions whole, its history opens, records whatever the
// file holds that it did not, and verifies.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <random>

#include "../test_files.h"
#include "data/section_file.h"
#include "data/session.h"
#include "store/history.h"

namespace tonnage {
namespace {

using namespace testing;

// 500 books of 200 tickets; the versions differ in one ticket of every book.
std::string FullFile(int version) {
  std::string text = "CST81 7000    STP-0312(8) 10/06/2026 E R. HALVORSEN\r\n";
  for (int b = 1; b <= kMaxBooks; ++b) {
    text += "* 0 1.0250 BOOK " + std::to_string(b) + "\r\n";
    for (int p = 1; p <= kMaxRows; ++p) {
      const std::string net = std::to_string(30000 + p + (p == b % kMaxRows + 1 ? version : 0));
      const TicketRow row{{std::to_string(p), "09/28/2026", std::to_string(60000 + p), "30000", net, "5.6"}};
      text += FormatTicketLine(row, "E", "0") + "\r\n";
    }
  }
  return text;
}

TEST(KilledSave, FileAndHistoryStayInStep) {
  ScratchFolder dir;
  const std::string versions[2] = {FullFile(0), FullFile(1)};
  const std::string target = dir.File("JOB.K81");
  Session sessions[2];
  for (int v = 0; v < 2; ++v) {
    const std::string name = dir.File("V" + std::to_string(v) + ".K81");
    WriteFile(name, versions[v]);
    ASSERT_TRUE(sessions[v].Start(dir.path(), dir.path()).ok());
    sessions[v].keepHistory = false;
    ASSERT_TRUE(sessions[v].Open(name).ok());
    sessions[v].keepHistory = true;
    sessions[v].dataFilePath = target;
  }
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(sessions[0].Save().ok() && sessions[1].Save().ok());
  const auto saveTime =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count() / 2;

  const char *seed = std::getenv("TONNAGE_KILL_SEED"), *rounds = std::getenv("TONNAGE_KILL_ROUNDS");
  std::mt19937 random(seed ? static_cast<unsigned>(std::atoi(seed)) : 20261207u);
  for (int round = 0; round < (rounds && std::atoi(rounds) > 0 ? std::atoi(rounds) : 6); ++round) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (int i = 0;; ++i) (void)sessions[i % 2].Save();  // until killed
    }
    ::usleep(static_cast<useconds_t>(random() % (saveTime * 2 + 1)));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const std::string now = ReadFile(target);
    ASSERT_TRUE(now == versions[0] || now == versions[1]) << "round " << round;
    // A fresh run opens it; its history records what the file holds and verifies.

    Session check;
    ASSERT_TRUE(check.Start(dir.path(), dir.path()).ok());
    ASSERT_TRUE(check.Open(target).ok());
    EXPECT_EQ(check.openNotice.find("cannot"), std::string::npos) << check.openNotice;
    const store::Verification v = store::VerifyHistory(check.store(), target);
    EXPECT_TRUE(v.ok) << "round " << round << ": " << v.message;
    check.Cleanup();
  }
  for (Session& s : sessions) s.Cleanup();
}

}  // namespace
}  // namespace tonnage
