// A GUI test may start this test program again as a separate process that
// plays one role (a copy of the program to be killed, say). The child is a
// fresh exec, not a bare fork, so it builds its own QApplication instead of
// sharing the parent's threads and display connection. It tells the parent
// a word at a time on its standard output.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace child {

// Set in the child's environment to the role it plays.
inline constexpr const char* kRoleVariable = "TONNAGE_GUI_TEST_ROLE";

using Role = std::function<int()>;
inline std::map<std::string, Role>& Roles() {
  static std::map<std::string, Role> roles;
  return roles;
}

// Registers a role at static initialisation: `static child::Register r("name", fn);`
struct Register {
  Register(const std::string& name, Role role) { Roles()[name] = std::move(role); }
};

// The test program's main runs the role named in its environment instead of the tests.
inline int RunRole(const std::string& name) {
  const auto found = Roles().find(name);
  return found == Roles().end() ? 97 : found->second();
}

// In the child: tells the parent one word (such as "ready").
inline void Report(const std::string& word) {
  std::printf("child: %s\n", word.c_str());
  std::fflush(stdout);
}

class Process {
 public:
  // Starts this program as `role` with `environment` added (NAME=value).
  Process(const std::string& role, const std::vector<std::string>& environment) {
    QProcessEnvironment added = QProcessEnvironment::systemEnvironment();
    added.insert(QString::fromLatin1(kRoleVariable), QString::fromStdString(role));
    for (const std::string& pair : environment) {
      const auto eq = pair.find('=');
      added.insert(QString::fromStdString(pair.substr(0, eq)), QString::fromStdString(pair.substr(eq + 1)));
    }
    process_.setProcessEnvironment(added);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QCoreApplication::applicationFilePath(), {});
  }
  ~Process() { Kill(); }

  // The child's next word, or "" when none came within `seconds`.
  std::string Await(int seconds) {
    const QDeadlineTimer deadline(seconds * 1000);
    do {
      while (process_.canReadLine()) {
        const QByteArray line = process_.readLine().trimmed();
        if (line.startsWith("child: ")) return line.mid(7).toStdString();
      }
    } while (process_.waitForReadyRead(static_cast<int>(deadline.remainingTime())));
    return {};
  }
  // SIGKILL and wait: true when the child died by it.
  bool Kill() {
    if (process_.state() == QProcess::NotRunning) return false;
    process_.kill();
    process_.waitForFinished();
    return process_.exitStatus() == QProcess::CrashExit;
  }
  qint64 pid() const { return process_.processId(); }

 private:
  QProcess process_;
};

}  // namespace child
