// The program's private folder of work files, one per run, mode 0700, made
// with mkdtemp under $TMPDIR (or /tmp) so no other process or planted link can
// reach its files.
#pragma once

#include <string>

#include "data/outcome.h"

namespace tonnage {

inline constexpr const char* kWorkFileName = "WORK.TMP";
inline constexpr const char* kVersionFileName = "VERSION.TMP";
inline constexpr const char* kSpoolFileName = "PRINT.SPL";
inline constexpr const char* kScratchSpoolFileName = "TMP.SPL";

// "PRAX V4.2.1 04/2006" for this version.
std::string VersionStamp();

class WorkFolder {
 public:
  // Empty until Create succeeds.
  WorkFolder() = default;
  ~WorkFolder() = default;  // the folder is removed only by Cleanup
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  // Makes a fresh private folder under `parent` (empty: $TMPDIR or /tmp).
  Outcome Create(const std::string& parent = {});
  // Adopts an existing folder (the work folder of an earlier run).
  void Adopt(const std::string& folder);
  // Lets go of the folder without removing it.
  void Forget() { path_.clear(); }

  // The folder with a trailing '/', so file names append to it.
  const std::string& path() const { return path_; }
  bool valid() const { return !path_.empty(); }
  // The folder it was made in (where other runs' folders are found too).
  std::string parent() const;
  std::string File(const std::string& name) const { return path_ + name; }

  Outcome WriteVersionFile() const;
  // Removes the section files of books `first` .. 500, ignoring failures.
  void DeleteSectionFiles(int first = 1) const;
  // Removes PRINT.SPL, WORK.TMP, TMP.SPL, VERSION.TMP, the section files and
  // anything else the program left there, then the folder itself.
  void Cleanup();

 private:
  std::string path_;
};

}  // namespace tonnage
