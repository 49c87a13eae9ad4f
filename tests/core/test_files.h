// What every test folder shares: scratch folders, whole files, a child
// process (run as an ordinary user where root would pass every check), and
// writes made to fail at one step.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "io/file_writer.h"

namespace tonnage::testing {

inline std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
  std::error_code error;  // no folder: no names
  for (const auto& e : std::filesystem::directory_iterator(path, error)) names.push_back(e.path().filename());
  return names;
}

// Never follows a link; opens up folders a test made read-only.
inline void RemoveTree(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::chmod(path.c_str(), 0700) == 0)
    for (const auto& n : ListFolder(path)) RemoveTree(path + "/" + n);
  ::remove(path.c_str());
}

// A fresh folder (its path ends in '/') removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = "/tmp/tonnage-test-XXXXXX";
    if (::mkdtemp(pattern.data())) path_ = pattern + "/";
  }
  ~ScratchFolder() { RemoveTree(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// Sets the file's modification time `seconds` into the past.
inline void Age(const std::string& path, long seconds) {
  const timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - seconds, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// Lines each ended with CR LF, as the program writes them.
inline std::string CrLf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

inline std::string SamplePath(const std::string& name) { return std::string(TONNAGE_SAMPLES_DIR) + "/" + name; }

// The sample data files, every book type and both unit systems among them.
inline const char* const kSampleFiles[] = {"us-standard-tickets.K81", "batch-plant-gravities.K81",
                                           "checks-page-order-and-weights.K81", "metric-with-tons-book.K81",
                                           "old-layout-2001.K81"};

// Runs `body` in a child process and gives its exit code (99: it died).
template <class Body>
int InChild(Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

// True when `check` holds in a child that is not root (root reads and
// writes everywhere, so permissions would be no test).
template <class Check>
bool AsOrdinaryUser(Check check) {
  return InChild([&] {
           if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 3;
           return check() ? 0 : 1;
         }) == 0;
}

inline std::string Basename(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// A fault hook for as long as the guard lives.
struct FaultGuard {
  explicit FaultGuard(io::FaultHook hook) { io::SetFaultHook(std::move(hook)); }
  ~FaultGuard() { io::SetFaultHook({}); }
};

using WriteStep = std::pair<io::FaultPoint, int>;

// Every step (point and write index) `act` takes on files named `name`.
template <class Act>
std::vector<WriteStep> WriteSteps(const std::string& name, Act act) {
  std::set<WriteStep> steps;
  {
    FaultGuard count([&](io::FaultPoint p, const std::string& path, int i) {
      if (Basename(path) == name) steps.insert({p, i});
      return 0;
    });
    act();
  }
  return {steps.begin(), steps.end()};
}

// Fails the one step of writing files named `name` with `error`.
inline io::FaultHook FailStep(const std::string& name, WriteStep step, int error) {
  return [=](io::FaultPoint p, const std::string& path, int i) {
    return p == step.first && i == step.second && Basename(path) == name ? error : 0;
  };
}

inline std::string StepName(const std::string& name, WriteStep step) {
  return name + " step " + std::to_string(static_cast<int>(step.first)) + "/" + std::to_string(step.second);
}

}  // namespace tonnage::testing
