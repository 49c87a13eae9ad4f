// A GUI test may start this test program again as a separate process that
// plays one role (a copy of the program to be killed, say). The child is a
// fresh exec, not a bare fork, so it builds its own QApplication instead of
// sharing the parent's threads and display connection.
#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace child {

// Set in the child's environment to the role it plays.
inline constexpr const char* kRoleVariable = "TONNAGE_GUI_TEST_ROLE";
// The descriptor the child reports on (see Report).
inline constexpr const char* kReportVariable = "TONNAGE_GUI_TEST_REPORT_FD";

using Role = std::function<int()>;
std::map<std::string, Role>& Roles();

// Registers a role at static initialisation: `static child::Register r("name", fn);`
struct Register {
  Register(const std::string& name, Role role) { Roles()[name] = std::move(role); }
};

// Runs the role named in the environment; the test program's main calls it
// and returns its result instead of running the tests.
int RunRole(const std::string& name);

// In the child: tells the parent one line (a word such as "ready").
void Report(const std::string& word);

class Process {
 public:
  // Starts this program as `role` with `environment` added (NAME=value).
  Process(const std::string& role, const std::vector<std::string>& environment);
  ~Process();  // kills the child if it still runs
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // The child's next report, or "" when none came within `seconds`.
  std::string Await(int seconds);
  // SIGKILL and wait: true when the child died by that signal.
  bool Kill();
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int read_ = -1;
};

}  // namespace child
