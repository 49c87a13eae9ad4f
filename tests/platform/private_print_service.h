// A print service of the test's own: cupsd in a scratch folder under /tmp,
// listening only on a socket in that folder, so tests running side by side
// never share a daemon, a port or a folder, and nothing reaches a real
// printer. libcups and the command-line tools are pointed at it through
// CUPS_SERVER for as long as it runs.
#pragma once

#include <sys/types.h>

#include <string>

#include "print_test_support.h"

namespace printtest {

class PrivatePrintService {
 public:
  PrivatePrintService();  // starts the daemon; see running() and error()
  ~PrivatePrintService();
  PrivatePrintService(const PrivatePrintService&) = delete;
  PrivatePrintService& operator=(const PrivatePrintService&) = delete;

  bool running() const { return pid_ > 0; }
  const std::string& error() const { return error_; }

  const std::string& folder() const { return folder_; }
  std::string SpoolFolder() const { return folder_ + "/spool"; }
  std::string OutputFolder() const { return folder_ + "/out"; }

  // Runs an administration command (lpadmin, cupsdisable, ...) against it.
  CommandResult Admin(const std::string& command) const;
  // The end of the daemon's error log, for failure messages.
  std::string LogTail() const;

 private:
  void Start();
  void Stop();

  std::string folder_;
  std::string socket_;
  std::string error_;
  pid_t pid_ = -1;
};

}  // namespace printtest
