// A GUI test may start this test program again as a separate process: another
// copy of the program holding a data file's lock. The child is a fresh exec,
// not a bare fork, so it builds its own QApplication instead of sharing the
// parent's threads and display connection. It tells the parent a word at a
// time on its standard output.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <cstdio>
#include <string>

namespace child {

// Set in the child's environment to the file whose lock it holds.
inline constexpr const char* kLockVariable = "TONNAGE_GUI_TEST_HOLD_LOCK";

// The child's part, in file_lock_test.cpp: takes the lock, says "locked", waits to be killed.
int HoldLock(const char* file);

// In the child: tells the parent one word.
inline void Report(const std::string& word) {
  std::printf("child: %s\n", word.c_str());
  std::fflush(stdout);
}

// This program started as the copy holding the lock of `file`; killed when the test is done with it.
class Process {
 public:
  explicit Process(const std::string& file) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kLockVariable), QString::fromStdString(file));
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QCoreApplication::applicationFilePath(), {});
  }
  ~Process() {
    process_.kill();
    process_.waitForFinished();
  }

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
  qint64 pid() const { return process_.processId(); }

 private:
  QProcess process_;
};

}  // namespace child
