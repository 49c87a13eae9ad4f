// One data file, one writer. Opening a data file takes a lock file beside it
// ("JOB.K81.lock") that names the copy of the program holding it: process
// id, program and host. The holder keeps the lock file flock()ed, so the lock
// of a process that died, however it died, is seen as stale and taken over.
#pragma once

#include <string>

namespace tonnage {

inline constexpr const char* kLockSuffix = ".lock";

struct LockHolder {
  long pid = 0;
  std::string program;
  std::string host;
};

enum class LockState {
  Taken,          // this copy holds the lock now
  HeldElsewhere,  // another live copy holds it (see holder)
  NotPossible,    // no lock can be had here (read-only folder...); see reason
};

struct LockAttempt {
  LockState state = LockState::NotPossible;
  LockHolder holder;
  std::string reason;
};

// The lock file of a data file: beside the file itself when `dataFile` is a
// link, so every name of one file shares one lock.
std::string LockFilePath(const std::string& dataFile);

class DataFileLock {
 public:
  DataFileLock() = default;
  ~DataFileLock();
  DataFileLock(DataFileLock&& other) noexcept;
  DataFileLock& operator=(DataFileLock&& other) noexcept;
  DataFileLock(const DataFileLock&) = delete;
  DataFileLock& operator=(const DataFileLock&) = delete;

  // Takes the lock of `dataFile`, releasing any lock held before.
  LockAttempt Take(const std::string& dataFile);
  // Removes the lock file; nothing when no lock is held.
  void Release();

  bool held() const { return fd_ >= 0; }
  // The lock file held, empty when none.
  const std::string& lockPath() const { return lockPath_; }

 private:
  int fd_ = -1;
  std::string lockPath_;
};

// The holder written in a lock file, as read back (pid 0 when unreadable).
LockHolder ReadLockHolder(const std::string& lockPath);

}  // namespace tonnage
