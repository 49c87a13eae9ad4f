// A scratch file with no name in any folder: whatever ends the process (a
// closed pipe, a signal, a crash), nothing of it is left behind.
#pragma once

#include <string>

#include "data/outcome.h"

namespace tonnage::io {

class ScratchFile {
 public:
  ScratchFile() = default;
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  // Makes the file under `parent` (empty: $TMPDIR or /tmp).
  Outcome Create(const std::string& parent = {});
  // A name that opens the file again for as long as this object lives
  // (/proc/self/fd/N); removing it fails quietly, which is what a scratch
  // file's user may try.
  const std::string& path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace tonnage::io
