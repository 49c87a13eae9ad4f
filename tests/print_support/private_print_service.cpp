#include "private_print_service.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace printtest {

namespace {

bool Accepts(const std::string& socketPath) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return ok;
}

std::string Daemon() {
  for (const char* path : {"/usr/sbin/cupsd", "/usr/local/sbin/cupsd"})
    if (::access(path, X_OK) == 0) return path;
  const CommandResult found = Run("command -v cupsd");
  std::string path = found.output;
  while (!path.empty() && (path.back() == '\n' || path.back() == ' ')) path.pop_back();
  return found.status == 0 ? path : std::string();
}

}  // namespace

std::string ValueOf(const std::map<std::string, std::string>& attributes, const std::string& name) {
  const auto found = attributes.find(name);
  return found == attributes.end() ? std::string() : found->second;
}

PrivatePrintService::PrivatePrintService() { Start(); }

PrivatePrintService::~PrivatePrintService() { Stop(); }

void PrivatePrintService::Start() {
  const std::string daemon = Daemon();
  if (daemon.empty()) {
    error_ = "cupsd is not installed (Debian package cups)";
    return;
  }
  std::string pattern = "/tmp/tonnage-cups-XXXXXX";
  if (!::mkdtemp(pattern.data())) {
    error_ = std::string("cannot make a scratch folder: ") + std::strerror(errno);
    return;
  }
  folder_ = pattern;
  // The daemon runs its filters as its own user, who must reach the folders.
  ::chmod(folder_.c_str(), 0755);
  for (const char* sub : {"etc", "etc/ppd", "etc/ssl", "spool", "spool/tmp", "cache", "state", "log", "out"})
    std::filesystem::create_directories(folder_ + "/" + sub);
  ::chmod((folder_ + "/out").c_str(), 01777);
  socket_ = folder_ + "/cups.sock";

  const std::string files = folder_ + "/etc/cups-files.conf";
  const std::string config = folder_ + "/etc/cupsd.conf";
  std::string paths;
  for (const auto& [key, sub] : {std::pair{"ServerRoot", "/etc"}, {"RequestRoot", "/spool"}, {"TempDir", "/spool/tmp"},
                                 {"CacheDir", "/cache"}, {"StateDir", "/state"}, {"ServerKeychain", "/etc/ssl"},
                                 {"AccessLog", "/log/access_log"}, {"ErrorLog", "/log/error_log"},
                                 {"PageLog", "/log/page_log"}})
    paths += std::string(key) + " " + folder_ + sub + "\n";
  tonnage::testing::WriteFile(files, paths + "FileDevice Yes\n");
  tonnage::testing::WriteFile(config, "Listen " + socket_ + "\n" +
                        "LogLevel info\n"
                        "Browsing No\n"
                        "WebInterface No\n"
                        "DefaultAuthType None\n"
                        // The documents stay in the spool folder for the test to read.
                        "PreserveJobFiles Yes\n"
                        "PreserveJobHistory Yes\n"
                        "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                        "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                        "</Policy>\n");

  const std::string log = folder_ + "/log/stdout";
  std::vector<std::string> args = {daemon, "-f", "-c", config, "-s", files};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
      ::dup2(out, 1);
      ::dup2(out, 2);
    }
    ::setpgid(0, 0);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  if (pid < 0) {
    error_ = std::string("cannot start cupsd: ") + std::strerror(errno);
    return;
  }
  pid_ = pid;

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!Accepts(socket_)) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      error_ = "cupsd ended at once: " + LogTail();
      return;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      const std::string tail = LogTail();
      Stop();
      error_ = "cupsd did not answer within 20 seconds: " + tail;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ::setenv("CUPS_SERVER", socket_.c_str(), 1);
  cupsSetServer(socket_.c_str());
}

void PrivatePrintService::Stop() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) != pid_) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    pid_ = -1;
    // Back to a server that is not there, as the tests start.
    const std::string none = folder_ + "/stopped.sock";
    ::setenv("CUPS_SERVER", none.c_str(), 1);
    cupsSetServer(none.c_str());
  }
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    folder_.clear();
  }
}

std::string PrivatePrintService::SkipMessage() const {
  return "\n*** SKIPPED: cannot start a print service of the test's own: " + error_ + " ***\n";
}

CommandResult PrivatePrintService::Admin(const std::string& command) const {
  return Run("PATH=\"$PATH:/usr/sbin:/sbin\" CUPS_SERVER='" + socket_ + "' " + command);
}

std::string PrivatePrintService::AddQueue(const std::string& name, const std::string& driver) const {
  const CommandResult added = Admin("lpadmin -p " + name + " -E -v file://" + Output(name) +
                                    " -m drv:///sample.drv/" + driver +
                                    " -o printer-error-policy=abort-job");
  return added.status == 0 ? std::string() : added.output + LogTail();
}

std::string PrivatePrintService::MakeDefault(const std::string& name) const {
  const CommandResult made = Admin("lpadmin -d " + name);
  return made.status == 0 ? std::string() : made.output;
}

std::vector<int> PrivatePrintService::Jobs(const std::string& queue) const {
  cups_job_t* jobs = nullptr;
  const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ALL);
  std::vector<int> ids;
  for (int i = 0; i < count; ++i) ids.push_back(jobs[i].id);
  cupsFreeJobs(count, jobs);
  std::sort(ids.begin(), ids.end());
  return ids;
}

std::map<std::string, std::string> PrivatePrintService::JobAttributes(int job) const {
  ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
  const std::string uri = "ipp://localhost/jobs/" + std::to_string(job);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  std::map<std::string, std::string> attributes;
  ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
  for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
    if (!ippGetName(a)) continue;
    char text[1024];
    ippAttributeString(a, text, sizeof text);
    attributes[ippGetName(a)] = text;
  }
  ippDelete(response);
  return attributes;
}

std::string PrivatePrintService::JobDocument(int job) const {
  char name[32];
  std::snprintf(name, sizeof name, "/d%05d-001", job);
  return folder_ + "/spool" + name;
}

std::string PrivatePrintService::LogTail() const {
  std::string text;
  for (const char* name : {"/log/stdout", "/log/error_log"}) {
    const std::string all = tonnage::testing::ReadFile(folder_ + name);
    text += all.substr(all.size() > 2000 ? all.size() - 2000 : 0);
  }
  return text;
}

}  // namespace printtest
