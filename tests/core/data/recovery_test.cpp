// One data file, one writer, and nothing lost when a run is killed: the lock
// beside a data file, who holds it, how a dead holder's lock is taken over and
// when the session lets go of it; the state a killed run leaves, what the next
// start offers back. (Saves killed at any moment: store/report_runs_test.cpp.)
#include "data/recovery.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <optional>

#include "../test_files.h"
#include "data/file_lock.h"
#include "data/section_file.h"
#include "data/session.h"

namespace tonnage {
namespace {

using namespace testing;

// flock() locks belong to an open file, not to a process: a second lock
// taken in this process stands for another copy of the program.
TEST(DataFileLock, NamesItsHolderKeepsOtherCopiesOutAndIsTakenOverFromTheDead) {
  ScratchFolder dir;
  const std::string job = dir.File("JOB.K81");
  WriteFile(job, "CST81\r\n");
  // What a killed copy leaves: its lock file, no longer flock()ed.
  WriteFile(job + ".lock", "4190001\nquarrendale-tonnage\nthe-dead-host.example\n");
  DataFileLock lock;
  ASSERT_EQ(lock.Take(job).state, LockState::Taken);
  const LockHolder me = ReadLockHolder(job + ".lock");
  EXPECT_EQ(me.pid, ::getpid());
  EXPECT_EQ(me.program, "quarrendale-tonnage");
  EXPECT_FALSE(me.host.empty() || me.host == "the-dead-host.example") << me.host;
  // Another copy asking is told who holds it.
  DataFileLock other;
  const LockAttempt attempt = other.Take(job);
  EXPECT_EQ(attempt.state, LockState::HeldElsewhere);
  EXPECT_EQ(attempt.holder.pid, ::getpid());
  EXPECT_EQ(attempt.holder.host, me.host);
  EXPECT_FALSE(other.held());
  lock.Release();
  EXPECT_FALSE(Exists(job + ".lock"));
  EXPECT_EQ(other.Take(job).state, LockState::Taken);
}

TEST(DataFileLock, EveryNameOfOneFileSharesOneLock) {
  ScratchFolder dir;
  WriteFile(dir.File("JOB.K81"), "CST81\r\n");
  ASSERT_EQ(::symlink(dir.File("JOB.K81").c_str(), dir.File("LINK.K81").c_str()), 0);
  EXPECT_EQ(LockFilePath(dir.File("LINK.K81")), LockFilePath(dir.File("JOB.K81")));
  EXPECT_EQ(LockFilePath(dir.path() + "./JOB.K81"), dir.File("JOB.K81.lock"));
  DataFileLock lock;
  ASSERT_EQ(lock.Take(dir.File("LINK.K81")).state, LockState::Taken);
  EXPECT_EQ(DataFileLock().Take(dir.File("JOB.K81")).state, LockState::HeldElsewhere);
}

// The session's lock through Open, Open again, New, Save As and a file
// another copy holds.
TEST(SessionLock, FollowsTheFileOpenOrSavedAndNeverTakesAnotherCopysLock) {
  ScratchFolder dir;
  Session session;
  ASSERT_TRUE(session.Start(dir.path(), dir.path()).ok());
  for (const char* name : {"A.K81", "B.K81"})
    WriteFile(dir.File(name), ReadFile(SamplePath("us-standard-tickets.K81")));
  const auto locked = [&](const char* name) { return Exists(dir.File(name) + ".lock"); };
  const auto open = [&](const char* name) {
    ASSERT_EQ(session.PrepareLock(dir.File(name)).state, LockState::Taken) << name;
    ASSERT_TRUE(session.Open(dir.File(name)).ok()) << name;
  };
  open("A.K81");
  EXPECT_TRUE(session.holdsLock());
  open("A.K81");  // the lock held counts as taken
  EXPECT_TRUE(locked("A.K81"));
  open("B.K81");
  EXPECT_FALSE(locked("A.K81"));
  EXPECT_TRUE(locked("B.K81"));
  ASSERT_TRUE(Exists(session.SectionPath(3)));
  session.New();
  EXPECT_FALSE(locked("B.K81"));
  EXPECT_FALSE(session.holdsLock());
  // and forgets the data with it.
  EXPECT_EQ(session.dataFilePath, kNoName);
  EXPECT_EQ(session.index.unitSystem, "");
  EXPECT_FALSE(session.Book(1).InUse());
  for (int b = 1; b <= kMaxBooks; ++b) ASSERT_FALSE(Exists(session.SectionPath(b))) << b;

  open("A.K81");
  const LockAttempt none = session.PrepareLock(dir.File("no-folder/C.K81"));
  EXPECT_EQ(none.state, LockState::NotPossible);
  EXPECT_EQ(none.reason, "Cannot create " + dir.File("no-folder/C.K81.lock") + ": No such file or directory");
  EXPECT_FALSE(session.SaveAs(dir.File("no-folder/C.K81")).ok());
  EXPECT_TRUE(locked("A.K81"));
  ASSERT_EQ(session.PrepareLock(dir.File("C.K81")).state, LockState::Taken);
  EXPECT_TRUE(locked("A.K81")) << "not yet: the save may still fail";
  ASSERT_TRUE(session.SaveAs(dir.File("C.K81")).ok());
  EXPECT_FALSE(locked("A.K81"));
  EXPECT_TRUE(locked("C.K81"));
  EXPECT_TRUE(session.holdsLock());

  DataFileLock other;
  ASSERT_EQ(other.Take(dir.File("B.K81")).state, LockState::Taken);
  const LockAttempt attempt = session.PrepareLock(dir.File("B.K81"));
  EXPECT_EQ(attempt.state, LockState::HeldElsewhere);
  EXPECT_EQ(attempt.holder.pid, ::getpid());
  EXPECT_TRUE(locked("C.K81")) << "asking changes nothing";
  // The user went on all the same: B opens without a lock, C's is let go,
  // and the other copy's lock stays its own.
  ASSERT_TRUE(session.Open(dir.File("B.K81")).ok());
  EXPECT_FALSE(session.holdsLock());
  EXPECT_FALSE(locked("C.K81"));
  EXPECT_EQ(DataFileLock().Take(dir.File("B.K81")).state, LockState::HeldElsewhere);
  session.Cleanup();
}

// The start after a killed run: what is offered back, and what becomes of
// the recovered file's lock when it is free, when another copy has opened
// the file since (the data become NoName), and when the state file cannot
// be rewritten then.
TEST(SessionRecovery, OffersTheNewestDeadRunAndKeepsItsDataOffAFileAnotherCopyHolds) {
  enum class Holder { None, OtherCopy, OtherCopyStateUnwritable, NewFile };
  for (const Holder holder : {Holder::None, Holder::OtherCopy, Holder::OtherCopyStateUnwritable, Holder::NewFile}) {
    ScratchFolder dir;
    const std::string job = dir.File("JOB.K81");
    WriteFile(job, ReadFile(SamplePath("us-standard-tickets.K81")));
    std::string deadFolder;
    {
      Session dead;
      ASSERT_TRUE(dead.Start(dir.path(), dir.path()).ok());
      if (holder == Holder::NewFile) {
        dead.New();
        dead.ChooseUnits("E");
      } else {
        ASSERT_TRUE(dead.Open(job).ok());
      }
      deadFolder = dead.workFolder().path();
      dead.LeaveForRecovery();
    }
    Session session;
    ASSERT_TRUE(session.Start(dir.path(), dir.path()).ok());
    const std::optional<RecoveryOffer> offer = session.FindRecoveryOffer();
    ASSERT_TRUE(offer.has_value());
    EXPECT_EQ(offer->folder, deadFolder);
    EXPECT_EQ(offer->dataFilePath, holder == Holder::NewFile ? kNoName : job);
    EXPECT_GT(offer->changed, 0);
    DataFileLock other;
    if (holder == Holder::OtherCopy || holder == Holder::OtherCopyStateUnwritable) {
      ASSERT_EQ(other.Take(job).state, LockState::Taken);
    }
    ASSERT_TRUE(session.Recover(offer->folder).ok());
    std::optional<FaultGuard> fault;
    if (holder == Holder::OtherCopyStateUnwritable)
      fault.emplace([](io::FaultPoint, const std::string& path, int) {
        return path.find("STATE.TMP") != std::string::npos ? ENOSPC : 0;
      });
    const RecoveredLock lock = session.LockRecoveredFile();
    fault.reset();
    const bool heldElsewhere = other.held();
    EXPECT_EQ(lock.keptAsNoName, heldElsewhere);
    EXPECT_EQ(lock.attempt.state, heldElsewhere ? LockState::HeldElsewhere : LockState::Taken);
    EXPECT_EQ(session.dataFilePath, heldElsewhere || holder == Holder::NewFile ? kNoName : job);
    EXPECT_EQ(session.holdsLock(), holder == Holder::None);
    EXPECT_EQ(session.TakeStateProblem().ok(), holder != Holder::OtherCopyStateUnwritable);
    SessionState state;
    ASSERT_TRUE(ParseSessionState(ReadFile(session.workFolder().path() + kStateFileName), state));
    EXPECT_EQ(state.dataFilePath, holder == Holder::OtherCopy || holder == Holder::NewFile ? kNoName : job)
        << "the state file says where the data now belong, when it could be written";
    EXPECT_FALSE(session.FindRecoveryOffer().has_value()) << "the dead run's folder is gone";
    session.Cleanup();
  }
}

TEST(SessionState, RoundTripKeepsEveryByte) {
  SessionState state;
  state.dataFilePath = "/home/inspector/Jobs/STP 0312.K81";
  state.index = {"CST81", "4417", "STP-0312(8)", "          ", "R. HALVORSEN", "E"};
  state.books[0] = {"SURFACE COURSE", "0", "2.65"};
  state.books[499] = {"", "1", ""};  // a deleted book keeps its type until the next save
  const std::string text = FormatSessionState(state);
  SessionState back;
  ASSERT_TRUE(ParseSessionState(text, back));
  EXPECT_EQ(FormatSessionState(back), text);
  EXPECT_EQ(back.index.date, "          ");
  EXPECT_EQ(back.books[499].dataType, "1");
  EXPECT_FALSE(ParseSessionState(text.substr(0, text.size() - 5), back)) << "cut short";
  EXPECT_FALSE(ParseSessionState("CST81 not a state\n", back));
}

// Runs of the program killed with SIGKILL: one edited an opened sample, one
// never had a file. (A new file's run is offered: SessionRecovery.)
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
  }
  ::kill(::getpid(), SIGKILL);
}

TEST(Recovery, AKilledRunsDataComeBackAndRunsWithoutAFileAreNotOffered) {
  ScratchFolder parent;
  for (int run = 0; run < 2; ++run) {
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
  ASSERT_EQ(found.size(), 1u);
  ASSERT_TRUE(live.Recover(found[0]).ok());
  EXPECT_FALSE(testing::Exists(found[0]));
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

}  // namespace
}  // namespace tonnage
