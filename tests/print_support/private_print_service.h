// A print service of the test's own: cupsd in a scratch folder under /tmp,
// listening only on a socket in that folder, so tests running side by side
// never share a daemon, a port or a folder, and nothing reaches a real
// printer. libcups and the command-line tools are pointed at it through
// CUPS_SERVER for as long as it runs.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include "print_test_support.h"

namespace printtest {

// `name`'s value in `attributes`, or empty.
std::string ValueOf(const std::map<std::string, std::string>& attributes, const std::string& name);

class PrivatePrintService {
 public:
  PrivatePrintService();  // starts the daemon; see running() and error()
  ~PrivatePrintService();
  PrivatePrintService(const PrivatePrintService&) = delete;
  PrivatePrintService& operator=(const PrivatePrintService&) = delete;

  bool running() const { return pid_ > 0; }
  const std::string& error() const { return error_; }
  // Why a test that needs the service cannot run, loud enough to be seen
  // in a passing suite.
  std::string SkipMessage() const;

  const std::string& folder() const { return folder_; }
  std::string SpoolFolder() const { return folder_ + "/spool"; }
  std::string OutputFolder() const { return folder_ + "/out"; }

  // Runs an administration command (lpadmin, cupsdisable, ...) against it.
  CommandResult Admin(const std::string& command) const;

  // Adds an enabled queue `name` on one of the drivers of the service's
  // sample driver file (generic.ppd, generpcl.ppd, ...), printing into
  // Output(name); empty, or what went wrong.
  std::string AddQueue(const std::string& name, const std::string& driver) const;
  // Makes `name` the service's default queue; empty, or what went wrong.
  std::string MakeDefault(const std::string& name) const;
  // The file a queue added by AddQueue prints into.
  std::string Output(const std::string& name) const { return OutputFolder() + "/" + name + ".out"; }

  // The queue's jobs, oldest first, finished ones included.
  std::vector<int> Jobs(const std::string& queue) const;
  // The job's attributes as the service keeps them, as text.
  std::map<std::string, std::string> JobAttributes(int job) const;
  // The document the job was sent with, as the service keeps it.
  std::string JobDocument(int job) const;
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
