#include "io/file_writer.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <utility>
#include <vector>

namespace tonnage::io {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;

std::mutex& HookMutex() {
  static std::mutex m;
  return m;
}
FaultHook& Hook() {
  static FaultHook hook;
  return hook;
}

int Injected(FaultPoint point, const std::string& path, int index) {
  std::lock_guard<std::mutex> lock(HookMutex());
  return Hook() ? Hook()(point, path, index) : 0;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

void SweepLeftovers(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  std::vector<std::string> names;
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.rfind(kTemporaryPrefix, 0) == 0) names.push_back(name);
  }
  ::closedir(dir);
  const time_t now = ::time(nullptr);
  for (const std::string& name : names) {
    const std::string path = folder + "/" + name;
    struct stat st {};
    // Only this user's files, and none a writer may just have made.
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
        now - st.st_mtime < kLeftoverAge)
      continue;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
    ::close(fd);
  }
}

int InjectedFault(FaultPoint point, const std::string& path, int writeIndex) {
  return Injected(point, path, writeIndex);
}

void SetFaultHook(FaultHook hook) {
  std::lock_guard<std::mutex> lock(HookMutex());
  Hook() = std::move(hook);
}

FileWriter::FileWriter(std::string path, WriteMode mode) : path_(std::move(path)), mode_(mode) {
  buffer_.reserve(kBufferSize);
  if (path_.empty()) {
    error_ = "Cannot write a file without a name";
    return;
  }
  if (int err = Injected(FaultPoint::Open, path_, 0)) {
    Fail("Cannot create", err);
    return;
  }
  // A link to the user's file is followed, so the link itself survives.
  struct stat lst {};
  if (mode_ != WriteMode::Direct && ::lstat(path_.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
    if (char* real = ::realpath(path_.c_str(), nullptr)) {
      path_ = real;
      std::free(real);
    }
  }
  mode_t existingMode = 0;
  bool hasMode = false;
  struct stat st {};
  if (::stat(path_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      Fail("Cannot write", EISDIR);
      return;
    }
    // Devices and pipes can only be written in place.
    if (!S_ISREG(st.st_mode)) mode_ = WriteMode::Direct;
    existingMode = st.st_mode & 07777;
    hasMode = true;
  }

  if (mode_ == WriteMode::Direct) {
    // Cut to length at the end rather than truncating first: ext4 flushes a
    // file emptied by O_TRUNC on close, which costs dearly over 500 books.
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) Fail("Cannot create", errno);
    return;
  }
  tempPath_ = FolderOf(path_) + "/" + kTemporaryPrefix + "XXXXXX";
  fd_ = ::mkostemp(tempPath_.data(), O_CLOEXEC);
  if (fd_ < 0) {
    const int err = errno;
    tempPath_.clear();
    Fail("Cannot create", err);
    return;
  }
  // Held while the file is written: a temporary file nobody holds was left
  // by a writer that was killed (see SweepLeftovers).
  ::flock(fd_, LOCK_EX | LOCK_NB);
  // mkstemp makes 0600; a saved file should get what a plain create gives,
  // or keep the mode of the file it replaces.
  mode_t fileMode = existingMode;
  if (!hasMode) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    fileMode = 0666 & ~mask;
  }
  ::fchmod(fd_, fileMode);
}

FileWriter::~FileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !tempPath_.empty()) ::unlink(tempPath_.c_str());
}

void FileWriter::Fail(const std::string& what, int err) {
  if (!error_.empty()) return;
  error_ = what + " " + path_ + ": " + std::strerror(err);
}

void FileWriter::Write(std::string_view bytes) {
  if (failed()) return;
  if (buffer_.size() + bytes.size() > kBufferSize) {
    Flush();
    if (failed()) return;
  }
  if (bytes.size() >= kBufferSize) {
    WriteOut(bytes);  // straight from the caller's memory: no copy to buffer
    return;
  }
  buffer_.append(bytes.data(), bytes.size());
}

void FileWriter::WriteLine(std::string_view line) {
  Write(line);
  Write("\r\n");
}

void FileWriter::Flush() {
  if (failed() || buffer_.empty()) return;
  WriteOut(buffer_);
  buffer_.clear();
}

void FileWriter::WriteOut(std::string_view bytes) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    if (int err = Injected(FaultPoint::Write, path_, writeIndex_)) {
      ++writeIndex_;
      Fail("Cannot write", err);
      return;
    }
    ++writeIndex_;
    const ssize_t n = ::write(fd_, data, left);
    if (n > 0) written_ += static_cast<std::size_t>(n);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot write", errno);
      return;
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
}

bool FileWriter::PutInPlace() {
  struct stat st {};
  if (mode_ == WriteMode::Atomic && ::lstat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    // Renaming over a file makes ext4 write the whole new file out at once,
    // a cost a file that is never synced need not pay. Swapping the two
    // names is just as atomic: the target holds the old or the new text.
    if (::renameat2(AT_FDCWD, tempPath_.c_str(), AT_FDCWD, path_.c_str(), RENAME_EXCHANGE) == 0) {
      ::unlink(tempPath_.c_str());  // now the old text
      return true;
    }
    // No file to swap with, or a file system that cannot: a plain rename.
  }
  return ::rename(tempPath_.c_str(), path_.c_str()) == 0;
}

Outcome FileWriter::Commit() {
  if (committed_) return Outcome::Success();
  Flush();
  if (!failed() && mode_ == WriteMode::Direct) {
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && ::ftruncate(fd_, static_cast<off_t>(written_)) != 0)
      Fail("Cannot write", errno);
  }
  if (!failed()) {
    if (int err = Injected(FaultPoint::Sync, path_, 0)) {
      Fail("Cannot write", err);
    } else if (mode_ == WriteMode::Replace && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
      // Devices and pipes cannot be synced; that is no failure of the write.
      Fail("Cannot write", errno);
    }
  }
  if (fd_ >= 0) {
    if (::close(fd_) != 0 && !failed() && errno != EINTR) Fail("Cannot write", errno);
    fd_ = -1;
  }
  if (!failed() && beforeReplace_) {
    if (Outcome step = beforeReplace_(); !step) error_ = step.message;
  }
  if (!failed() && mode_ != WriteMode::Direct) {
    if (int err = Injected(FaultPoint::Rename, path_, 0)) {
      Fail("Cannot replace", err);
    } else if (!PutInPlace()) {
      Fail("Cannot replace", errno);
    } else {
      committed_ = true;
      if (mode_ == WriteMode::Replace) {
        const int dir = ::open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
          ::fsync(dir);
          ::close(dir);
        }
        SweepLeftovers(FolderOf(path_));
      }
    }
  } else if (!failed()) {
    committed_ = true;
  }
  if (failed()) return Outcome::Io(error_);
  return Outcome::Success();
}

Outcome WriteWholeFile(const std::string& path, std::string_view bytes, WriteMode mode) {
  FileWriter writer(path, mode);
  writer.Write(bytes);
  return writer.Commit();
}

Outcome KeepBackup(const std::string& path) {
  // The backup goes beside the file itself, not beside a link to it.
  std::string real = path;
  if (char* resolved = ::realpath(path.c_str(), nullptr)) {
    real = resolved;
    std::free(resolved);
  }
  struct stat st {};
  if (::stat(real.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return Outcome::Success();
  // A copy rather than a hard link: a tool that writes files in place must
  // not change the backup through the file, nor the file through the backup.
  // The old backup stays until the new one is whole.
  std::FILE* in = std::fopen(real.c_str(), "rb");
  if (!in) return Outcome::Io("Cannot open " + real + ": " + std::strerror(errno));
  FileWriter copy(real + kBackupSuffix, WriteMode::Atomic);
  std::string chunk(kBufferSize, '\0');
  std::size_t n;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), in)) > 0) copy.Write(std::string_view(chunk.data(), n));
  const int readError = std::ferror(in) ? (errno ? errno : EIO) : 0;
  std::fclose(in);
  if (readError) return Outcome::Io("Cannot read " + real + ": " + std::strerror(readError));
  return copy.Commit();
}

void RemoveQuietly(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace tonnage::io
