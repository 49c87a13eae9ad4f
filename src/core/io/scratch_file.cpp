#include "io/scratch_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tonnage::io {

ScratchFile::~ScratchFile() {
  if (fd_ >= 0) ::close(fd_);
}

Outcome ScratchFile::Create(const std::string& parent) {
  std::string folder = parent;
  if (folder.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    folder = tmp && *tmp ? tmp : "/tmp";
  }
  // Never linked into the folder at all where the file system allows it;
  // elsewhere unlinked the moment it exists.
  int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0) {
    std::string name = folder + "/tonnage-scratch-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) ::unlink(name.c_str());
  }
  if (fd < 0) return Outcome::Io("Cannot make a scratch file in " + folder + ": " + std::strerror(errno));
  fd_ = fd;
  path_ = "/proc/self/fd/" + std::to_string(fd);
  return Outcome::Success();
}

}  // namespace tonnage::io
