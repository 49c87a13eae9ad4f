#include "data/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "io/line_reader.h"

namespace tonnage {
namespace {

constexpr const char* kProgramName = "quarrendale-tonnage";

std::string HostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return "localhost";
  return name;
}

LockHolder ParseHolder(const std::string& text) {
  LockHolder holder;
  const std::vector<std::string> lines = io::SplitLines(text);
  if (!lines.empty()) holder.pid = std::strtol(lines[0].c_str(), nullptr, 10);
  if (lines.size() > 1) holder.program = lines[1];
  if (lines.size() > 2) holder.host = lines[2];
  return holder;
}

LockHolder ReadHolder(int fd) {
  std::string text(512, '\0');
  const ssize_t n = ::pread(fd, text.data(), text.size(), 0);
  text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return ParseHolder(text);
}

// Where flock cannot be had (some network file systems), a lock is stale
// when it names a process of this host that no longer runs.
bool HolderIsGone(const LockHolder& holder) {
  if (holder.pid <= 0) return true;
  if (holder.host != HostName()) return false;
  return ::kill(static_cast<pid_t>(holder.pid), 0) != 0 && errno == ESRCH;
}

bool SameFile(int fd, const std::string& path) {
  struct stat open {
  }, named{};
  return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

LockAttempt NotPossible(const std::string& lockPath, int err) {
  LockAttempt attempt;
  attempt.state = LockState::NotPossible;
  attempt.reason = "Cannot create " + lockPath + ": " + std::strerror(err);
  return attempt;
}

}  // namespace

std::string LockFilePath(const std::string& dataFile) {
  std::string real = dataFile;
  if (char* resolved = ::realpath(dataFile.c_str(), nullptr)) {
    real = resolved;
    std::free(resolved);
  }
  return real + kLockSuffix;
}

LockHolder ReadLockHolder(const std::string& lockPath) { return ParseHolder(io::ReadWholeFile(lockPath).bytes); }

DataFileLock::~DataFileLock() { Release(); }

DataFileLock::DataFileLock(DataFileLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), lockPath_(std::move(other.lockPath_)) {
  other.lockPath_.clear();
}

DataFileLock& DataFileLock::operator=(DataFileLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
    lockPath_ = std::move(other.lockPath_);
    other.lockPath_.clear();
  }
  return *this;
}

LockAttempt DataFileLock::Take(const std::string& dataFile) {
  Release();
  const std::string path = LockFilePath(dataFile);
  // A holder that lets go removes the file; whoever opened it just before
  // then holds a lock on a name that is gone, and tries again.
  for (int round = 0; round < 5; ++round) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
      const int err = errno;
      // Perhaps another user's lock, readable but not ours to write.
      const int readOnly = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
      if (readOnly >= 0) {
        const bool busy = ::flock(readOnly, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        LockAttempt attempt = NotPossible(path, err);
        if (busy) attempt = {LockState::HeldElsewhere, ReadHolder(readOnly), {}};
        ::close(readOnly);
        return attempt;
      }
      return NotPossible(path, err);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int err = errno;
      const LockHolder holder = ReadHolder(fd);
      if (err == EWOULDBLOCK || !HolderIsGone(holder)) {
        ::close(fd);
        return {LockState::HeldElsewhere, holder, {}};
      }
    }
    if (!SameFile(fd, path)) {
      ::close(fd);
      continue;
    }
    const std::string text = std::to_string(::getpid()) + "\n" + kProgramName + "\n" + HostName() + "\n";
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
      const int err = errno;
      ::close(fd);
      return NotPossible(path, err);
    }
    fd_ = fd;
    lockPath_ = path;
    return {LockState::Taken, {}, {}};
  }
  LockAttempt attempt;
  attempt.reason = "The lock " + path + " keeps changing hands";
  return attempt;
}

void DataFileLock::Release() {
  if (fd_ < 0) return;
  // Removed while still locked, so nobody takes a file about to vanish.
  ::unlink(lockPath_.c_str());
  ::close(fd_);
  fd_ = -1;
  lockPath_.clear();
}

}  // namespace tonnage
