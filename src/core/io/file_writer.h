// The one way the program writes a file. By default the text goes to a
// temporary file beside the target, is synced and renamed over it, so a
// failure at any point leaves the old file as it was. Every write site goes
// through here so tests can make any step fail.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "data/outcome.h"

namespace tonnage::io {

enum class WriteMode {
  Replace,  // temporary file, fsync, rename over the target, fsync the folder
  Atomic,   // temporary file renamed over the target, no fsync (work files:
            // a killed process leaves the old or the new file, never a mix)
  Direct,   // write the target in place (used for devices and pipes)
};

// Steps of a write that a test can make fail.
enum class FaultPoint { Open, Write, Sync, Rename };

// Returns an errno value to make the step fail, or 0 to let it run.
// `writeIndex` counts the low-level writes of one file from 0 (0 for the
// other steps).
using FaultHook = std::function<int(FaultPoint point, const std::string& path, int writeIndex)>;

// Temporary files are made beside their target under this prefix.
inline constexpr const char* kTemporaryPrefix = ".tonnage-save-";
// A leftover younger than this (seconds) may still be in use.
inline constexpr long kLeftoverAge = 60;

// Removes the temporary files in `folder` that writers killed mid-write left
// behind: those no live writer holds, untouched for kLeftoverAge. Every
// replacing write sweeps its folder once it has put its file in place.
void SweepLeftovers(const std::string& folder);

// Installs a hook for every later write (empty hook: none). Test use only.
void SetFaultHook(FaultHook hook);
// What the installed hook says of one step (0: let it run). For the write
// layers that cannot go through FileWriter (the project store's database).
int InjectedFault(FaultPoint point, const std::string& path, int writeIndex);

class FileWriter {
 public:
  explicit FileWriter(std::string path, WriteMode mode = WriteMode::Replace);
  ~FileWriter();  // without Commit, the target is left untouched
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  void Write(std::string_view bytes);
  // `line` followed by CR LF.
  void WriteLine(std::string_view line);

  // Flushes, syncs and puts the file in place. Ok, or an IoError naming the
  // path and the system's reason. After a failure nothing more is written.
  Outcome Commit();
  // A step Commit runs once the new text is safely on disk, just before it
  // replaces the old file; a failure of it stops the replacing (and is
  // Commit's failure). The history's transaction commits here.
  void BeforeReplace(std::function<Outcome()> step) { beforeReplace_ = std::move(step); }

  bool failed() const { return !error_.empty(); }
  const std::string& path() const { return path_; }

 private:
  void Fail(const std::string& what, int err);
  void Flush();
  void WriteOut(std::string_view bytes);
  bool PutInPlace();

  std::string path_;
  std::string tempPath_;
  WriteMode mode_;
  int fd_ = -1;
  int writeIndex_ = 0;
  std::size_t written_ = 0;
  bool committed_ = false;
  std::string buffer_;
  std::string error_;
  std::function<Outcome()> beforeReplace_;
};

// Writes `bytes` as the whole new content of `path`.
Outcome WriteWholeFile(const std::string& path, std::string_view bytes, WriteMode mode = WriteMode::Replace);

// Keeps the file now at `path` as `path` + ".bak" (replacing an older one),
// so a save that went wrong can be undone by hand. Nothing to keep (no file,
// or not a regular file) is no failure.
Outcome KeepBackup(const std::string& path);
inline constexpr const char* kBackupSuffix = ".bak";

// Removes a file, ignoring every failure.
void RemoveQuietly(const std::string& path);

}  // namespace tonnage::io
