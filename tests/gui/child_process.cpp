#include "child_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace child {

std::map<std::string, Role>& Roles() {
  static std::map<std::string, Role> roles;
  return roles;
}

int RunRole(const std::string& name) {
  const auto found = Roles().find(name);
  return found == Roles().end() ? 97 : found->second();
}

void Report(const std::string& word) {
  const char* fd = std::getenv(kReportVariable);
  if (!fd) return;
  const std::string line = word + "\n";
  [[maybe_unused]] const ssize_t n = ::write(std::atoi(fd), line.data(), line.size());
}

Process::Process(const std::string& role, const std::vector<std::string>& environment) {
  int fds[2];
  if (::pipe(fds) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::close(fds[0]);
    ::setenv(kRoleVariable, role.c_str(), 1);
    ::setenv(kReportVariable, std::to_string(fds[1]).c_str(), 1);
    for (const std::string& pair : environment) {
      const auto eq = pair.find('=');
      ::setenv(pair.substr(0, eq).c_str(), pair.substr(eq + 1).c_str(), 1);
    }
    char self[] = "/proc/self/exe";
    char* argv[] = {self, nullptr};
    ::execv(self, argv);
    ::_exit(98);
  }
  ::close(fds[1]);
  read_ = fds[0];
}

Process::~Process() {
  Kill();
  if (read_ >= 0) ::close(read_);
}

std::string Process::Await(int seconds) {
  std::string line;
  char c = 0;
  while (read_ >= 0) {
    pollfd ready{read_, POLLIN, 0};
    if (::poll(&ready, 1, seconds * 1000) <= 0) return {};
    if (::read(read_, &c, 1) != 1) return {};
    if (c == '\n') return line;
    line += c;
  }
  return {};
}

bool Process::Kill() {
  if (pid_ <= 0) return false;
  ::kill(pid_, SIGKILL);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

}  // namespace child
