// What survives a run that was killed: its work folder holds the section
// files and a small state file (index record, book headers, data file path),
// rewritten whenever they change, so the next run can offer them back.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "data/model.h"
#include "data/outcome.h"

namespace tonnage {

inline constexpr const char* kStateFileName = "STATE.TMP";
inline constexpr const char* kLockFileName = "LOCK";

struct SessionState {
  std::string dataFilePath;
  IndexRecord index;
  BookTable books;
};

std::string FormatSessionState(const SessionState& state);
// False when the text is not a state file.
bool ParseSessionState(const std::string& text, SessionState& state);

// Work folders under `parent` (empty: $TMPDIR or /tmp) of this user whose
// run has ended without cleaning up and that hold a state file; newest first.
std::vector<std::string> FindAbandonedWorkFolders(const std::string& parent = {});

// When the data a recovery of `folder` brings back last changed: the newest
// of its state file and section files (0 when there are none).
std::time_t LastChanged(const std::string& folder);

// Removes the work folders of ended runs that hold nothing to offer back (a
// run killed before any file was open); returns how many.
int RemoveIdleWorkFolders(const std::string& parent = {});

// Holds the lock that marks a work folder as in use, for the life of a run.
// The kernel drops it when the process dies, however it dies.
class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  // True when the lock was taken (no other live process holds it).
  bool Take(const std::string& folder);
  void Release();

 private:
  int fd_ = -1;
};

}  // namespace tonnage
