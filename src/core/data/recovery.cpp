#include "data/recovery.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "data/work_folder.h"
#include "io/line_reader.h"

namespace tonnage {
namespace {

constexpr std::string_view kStateHeader = "QUARRENDALE TONNAGE STATE 1";

// Values are single-line texts; a key and '=' come first, the rest is kept
// byte for byte (blanks included).
void Put(std::string& out, std::string_view key, std::string_view value) {
  out.append(key);
  out += '=';
  out.append(value);
  out += '\n';
}

}  // namespace

std::string FormatSessionState(const SessionState& state) {
  std::string out(kStateHeader);
  out += '\n';
  Put(out, "path", state.dataFilePath);
  Put(out, "type", state.index.fileTypeCode);
  Put(out, "ref", state.index.refNo);
  Put(out, "project", state.index.projectNo);
  Put(out, "date", state.index.date);
  Put(out, "engineer", state.index.engineer);
  Put(out, "units", state.index.unitSystem);
  for (int book = 1; book <= kMaxBooks; ++book) {
    const BookHeader& h = state.books[static_cast<std::size_t>(book - 1)];
    if (h.comments.empty() && h.dataType.empty() && h.specificGravity.empty()) continue;
    Put(out, "book", std::to_string(book));
    Put(out, "comments", h.comments);
    Put(out, "datatype", h.dataType);
    Put(out, "gravity", h.specificGravity);
  }
  Put(out, "end", "");
  return out;
}

bool ParseSessionState(const std::string& text, SessionState& state) {
  std::vector<std::string> lines = io::SplitLines(text);
  if (lines.empty() || lines.front() != kStateHeader) return false;
  SessionState parsed;
  BookHeader* book = nullptr;
  bool ended = false;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const auto eq = line.find('=');
    if (eq == std::string::npos) return false;
    const std::string key = line.substr(0, eq);
    std::string value = line.substr(eq + 1);
    if (key == "path")
      parsed.dataFilePath = std::move(value);
    else if (key == "type")
      parsed.index.fileTypeCode = std::move(value);
    else if (key == "ref")
      parsed.index.refNo = std::move(value);
    else if (key == "project")
      parsed.index.projectNo = std::move(value);
    else if (key == "date")
      parsed.index.date = std::move(value);
    else if (key == "engineer")
      parsed.index.engineer = std::move(value);
    else if (key == "units")
      parsed.index.unitSystem = std::move(value);
    else if (key == "book") {
      const int n = std::atoi(value.c_str());
      if (n < 1 || n > kMaxBooks) return false;
      book = &parsed.books[static_cast<std::size_t>(n - 1)];
    } else if (key == "comments" && book)
      book->comments = std::move(value);
    else if (key == "datatype" && book)
      book->dataType = std::move(value);
    else if (key == "gravity" && book)
      book->specificGravity = std::move(value);
    else if (key == "end")
      ended = true;
    else
      return false;
  }
  // A state file cut short is not trusted.
  if (!ended) return false;
  state = std::move(parsed);
  return true;
}

FolderLock::~FolderLock() { Release(); }

bool FolderLock::Take(const std::string& folder) {
  Release();
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  path += kLockFileName;
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd_ < 0) return false;
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  return true;
}

void FolderLock::Release() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

namespace {

// Calls `visit` (folder with '/', its state file's stat or null when it has
// none) for every work folder under `parent` of this user whose run is over.
template <class Visit>
void ForEachDeadWorkFolder(const std::string& parent, Visit visit) {
  std::string base = parent;
  if (base.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    base = (tmp && *tmp) ? tmp : "/tmp";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  DIR* dir = ::opendir(base.c_str());
  if (!dir) return;
  std::vector<std::string> names;
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.rfind("quarrendale-tonnage-", 0) == 0) names.push_back(name);
  }
  ::closedir(dir);
  for (const std::string& name : names) {
    const std::string folder = base + "/" + name + "/";
    struct stat st {};
    // Only a private folder of this user, never one planted by someone else.
    if (::lstat(folder.substr(0, folder.size() - 1).c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        st.st_uid != ::geteuid() || (st.st_mode & 077) != 0)
      continue;
    FolderLock probe;
    if (!probe.Take(folder)) continue;  // its run is still alive
    struct stat stateStat {};
    const bool hasState = ::lstat((folder + kStateFileName).c_str(), &stateStat) == 0 && S_ISREG(stateStat.st_mode);
    visit(folder, hasState ? &stateStat : nullptr);
  }
}

// Something to offer back: a file was open (a unit system was chosen).
bool HoldsOpenData(const std::string& folder) {
  SessionState state;
  return ParseSessionState(io::ReadWholeFile(folder + kStateFileName).bytes, state) && !state.index.unitSystem.empty();
}

}  // namespace

std::time_t LastChanged(const std::string& folder) {
  std::string base = folder;
  if (!base.empty() && base.back() != '/') base += '/';
  std::time_t latest = 0;
  DIR* dir = ::opendir(base.c_str());
  if (!dir) return latest;
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    // The state file and the books' tickets: what a recovery brings back.
    if (name != kStateFileName && !(name.rfind("SECT", 0) == 0 && name.size() == 12)) continue;
    struct stat st {};
    if (::lstat((base + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) latest = std::max(latest, st.st_mtime);
  }
  ::closedir(dir);
  return latest;
}

std::vector<std::string> FindAbandonedWorkFolders(const std::string& parent) {
  std::vector<std::pair<long long, std::string>> found;
  ForEachDeadWorkFolder(parent, [&](const std::string& folder, const struct stat* state) {
    if (state && HoldsOpenData(folder)) found.emplace_back(static_cast<long long>(LastChanged(folder)), folder);
  });
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::string> folders;
  for (auto& f : found) folders.push_back(std::move(f.second));
  return folders;
}

int RemoveIdleWorkFolders(const std::string& parent) {
  int removed = 0;
  ForEachDeadWorkFolder(parent, [&](const std::string& folder, const struct stat* state) {
    if (state && HoldsOpenData(folder)) return;
    WorkFolder dead;
    dead.Adopt(folder);
    dead.Cleanup();
    ++removed;
  });
  return removed;
}

}  // namespace tonnage
