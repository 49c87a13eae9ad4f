// One data file, one writer: the lock beside a data file, who holds it, how
// a dead holder's lock is taken over, and when the session lets go of it.
#include "data/file_lock.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <optional>

#include "../test_files.h"
#include "data/recovery.h"
#include "data/session.h"

namespace tonnage {
namespace {

using namespace testing;

// Another copy of the program: a child that takes the lock of `file`, tells
// the parent through a pipe, and waits to be killed.
class OtherCopy {
 public:
  explicit OtherCopy(const std::string& file) {
    int fds[2];
    if (::pipe(fds) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      DataFileLock lock;
      const char taken = lock.Take(file).state == LockState::Taken ? 'T' : 'N';
      [[maybe_unused]] ssize_t n = ::write(fds[1], &taken, 1);
      for (;;) ::pause();
    }
    ::close(fds[1]);
    if (::read(fds[0], &answer_, 1) != 1) answer_ = '?';
    ::close(fds[0]);
  }
  ~OtherCopy() { Kill(); }
  bool tookIt() const { return answer_ == 'T'; }
  pid_t pid() const { return pid_; }
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  char answer_ = '?';
};

TEST(DataFileLock, NamesItsHolderKeepsOtherCopiesOutAndIsTakenOverFromTheDead) {
  ScratchFolder dir;
  const std::string job = dir.File("JOB.K81");
  WriteFile(job, "CST81\r\n");
  {
    OtherCopy dead(job);
    ASSERT_TRUE(dead.tookIt());
    const pid_t deadPid = dead.pid();
    dead.Kill();
    ASSERT_EQ(ReadLockHolder(job + ".lock").pid, deadPid) << "its lock file names the dead process";
  }
  DataFileLock lock;
  ASSERT_EQ(lock.Take(job).state, LockState::Taken);
  EXPECT_EQ(lock.lockPath(), job + ".lock");
  const LockHolder me = ReadLockHolder(job + ".lock");
  EXPECT_EQ(me.pid, ::getpid());
  EXPECT_EQ(me.program, "quarrendale-tonnage");
  EXPECT_FALSE(me.host.empty());
  EXPECT_FALSE(OtherCopy(job).tookIt());
  // Another copy asking is told who holds it.
  EXPECT_EQ(testing::InChild([&] {
              const LockAttempt attempt = DataFileLock().Take(job);
              return attempt.state == LockState::HeldElsewhere && attempt.holder.pid == ::getppid() &&
                             attempt.holder.host == me.host
                         ? 0
                         : 1;
            }),
            0);
  lock.Release();
  EXPECT_FALSE(Exists(job + ".lock"));
  EXPECT_TRUE(OtherCopy(job).tookIt());
}

TEST(DataFileLock, EveryNameOfOneFileSharesOneLock) {
  ScratchFolder dir;
  WriteFile(dir.File("JOB.K81"), "CST81\r\n");
  ASSERT_EQ(::symlink(dir.File("JOB.K81").c_str(), dir.File("LINK.K81").c_str()), 0);
  EXPECT_EQ(LockFilePath(dir.File("LINK.K81")), LockFilePath(dir.File("JOB.K81")));
  EXPECT_EQ(LockFilePath(dir.path() + "./JOB.K81"), dir.File("JOB.K81.lock"));
  DataFileLock lock;
  ASSERT_EQ(lock.Take(dir.File("LINK.K81")).state, LockState::Taken);
  EXPECT_FALSE(OtherCopy(dir.File("JOB.K81")).tookIt());
}

TEST(DataFileLock, AReadOnlyFolderGivesNoLockAndSaysWhy) {
  ScratchFolder dir;
  WriteFile(dir.File("JOB.K81"), "CST81\r\n");
  ::chmod(dir.path().c_str(), 0555);
  EXPECT_TRUE(testing::AsOrdinaryUser([&] {
    DataFileLock lock;
    const LockAttempt attempt = lock.Take(dir.File("JOB.K81"));
    return attempt.state == LockState::NotPossible && !lock.held() &&
           attempt.reason.find("JOB.K81.lock: Permission denied") != std::string::npos;
  }));
  ::chmod(dir.path().c_str(), 0700);
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
  session.New();
  EXPECT_FALSE(locked("B.K81"));
  EXPECT_FALSE(session.holdsLock());

  open("A.K81");
  ASSERT_EQ(session.PrepareLock(dir.File("no-folder/C.K81")).state, LockState::NotPossible);
  EXPECT_FALSE(session.SaveAs(dir.File("no-folder/C.K81")).ok());
  EXPECT_TRUE(locked("A.K81"));
  ASSERT_EQ(session.PrepareLock(dir.File("C.K81")).state, LockState::Taken);
  EXPECT_TRUE(locked("A.K81")) << "not yet: the save may still fail";
  ASSERT_TRUE(session.SaveAs(dir.File("C.K81")).ok());
  EXPECT_FALSE(locked("A.K81"));
  EXPECT_TRUE(locked("C.K81"));
  EXPECT_TRUE(session.holdsLock());

  OtherCopy other(dir.File("B.K81"));
  ASSERT_TRUE(other.tookIt());
  const LockAttempt attempt = session.PrepareLock(dir.File("B.K81"));
  EXPECT_EQ(attempt.state, LockState::HeldElsewhere);
  EXPECT_EQ(attempt.holder.pid, other.pid());
  EXPECT_TRUE(locked("C.K81")) << "asking changes nothing";
  // The user went on all the same: B opens without a lock, C's is let go,
  // and the other copy's lock stays its own.
  ASSERT_TRUE(session.Open(dir.File("B.K81")).ok());
  EXPECT_FALSE(session.holdsLock());
  EXPECT_FALSE(locked("C.K81"));
  EXPECT_EQ(ReadLockHolder(dir.File("B.K81.lock")).pid, other.pid());
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
    std::optional<OtherCopy> other;
    if (holder == Holder::OtherCopy || holder == Holder::OtherCopyStateUnwritable) {
      other.emplace(job);
      ASSERT_TRUE(other->tookIt());
    }
    ASSERT_TRUE(session.Recover(offer->folder).ok());
    std::optional<FaultGuard> fault;
    if (holder == Holder::OtherCopyStateUnwritable)
      fault.emplace([](io::FaultPoint, const std::string& path, int) {
        return path.find("STATE.TMP") != std::string::npos ? ENOSPC : 0;
      });
    const RecoveredLock lock = session.LockRecoveredFile();
    fault.reset();
    const bool heldElsewhere = other.has_value();
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

}  // namespace
}  // namespace tonnage
