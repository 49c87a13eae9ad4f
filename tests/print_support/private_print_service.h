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
  PrivatePrintService();  // starts the daemon; see running()
  ~PrivatePrintService();
  PrivatePrintService(const PrivatePrintService&) = delete;
  PrivatePrintService& operator=(const PrivatePrintService&) = delete;

  bool running() const { return pid_ > 0; }
  // Why a test that needs the service cannot run, loud enough to be seen in
  // a passing suite.
  std::string SkipMessage() const;

  // Runs an administration command (lpadmin, cupsdisable, ...) against it.
  CommandResult Admin(const std::string& command) const;
  // Adds an enabled queue on one of the service's sample drivers
  // (generic.ppd, generpcl.ppd, ...) printing into Output(name), or makes a
  // queue the default; empty, or what went wrong.
  std::string AddQueue(const std::string& name, const std::string& driver) const;
  std::string MakeDefault(const std::string& name) const;
  std::string Output(const std::string& name) const { return folder_ + "/out/" + name + ".out"; }

  // The queue's jobs, oldest first, finished ones included; a job's
  // attributes as text; the document it was sent with, as the service keeps
  // it; the end of the daemon's logs, for failure messages.
  std::vector<int> Jobs(const std::string& queue) const;
  std::map<std::string, std::string> JobAttributes(int job) const;
  std::string JobDocument(int job) const;
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
