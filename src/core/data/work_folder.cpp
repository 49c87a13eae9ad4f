#include "data/work_folder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "data/model.h"
#include "data/section_file.h"
#include "io/file_writer.h"
#include "tonnage_version.h"

namespace tonnage {

std::string VersionStamp() {
  return "PRAX V" + std::to_string(version::kMajor) + "." + std::to_string(version::kMinor) + "." +
         std::to_string(version::kRevision) + " " + version::kDateText;
}

Outcome WorkFolder::Create(const std::string& parent) {
  std::string base = parent;
  if (base.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    base = (tmp && *tmp) ? tmp : "/tmp";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  std::string pattern = base + "/quarrendale-tonnage-XXXXXX";
  // mkdtemp makes the folder 0700 with a name nobody could have planted.
  if (!::mkdtemp(pattern.data()))
    return Outcome::Io("Cannot create a work folder in " + base + ": " + std::strerror(errno));
  path_ = pattern + "/";
  return Outcome::Success();
}

std::string WorkFolder::parent() const {
  if (path_.size() < 2) return {};
  const auto slash = path_.rfind('/', path_.size() - 2);
  return slash == std::string::npos ? std::string() : path_.substr(0, slash + 1);
}

void WorkFolder::Adopt(const std::string& folder) {
  path_ = folder;
  if (!path_.empty() && path_.back() != '/') path_ += '/';
}

Outcome WorkFolder::WriteVersionFile() const {
  return io::WriteWholeFile(File(kVersionFileName), VersionStamp() + "\r\n", io::WriteMode::Atomic);
}

void WorkFolder::DeleteSectionFiles(int first) const {
  if (!valid()) return;
  for (int book = first; book <= kMaxBooks; ++book) io::RemoveQuietly(File(SectionFileName(book)));
}

void WorkFolder::Cleanup() {
  if (!valid()) return;
  // The folder is the program's own: everything in it goes, the work files
  // and whatever else is left there, by what is there rather than by name.
  if (DIR* dir = ::opendir(path_.c_str())) {
    std::vector<std::string> rest;
    while (dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") rest.push_back(name);
    }
    ::closedir(dir);
    for (const std::string& name : rest) io::RemoveQuietly(File(name));
  }
  ::rmdir(path_.c_str());
  path_.clear();
}

}  // namespace tonnage
