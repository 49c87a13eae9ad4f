// What the printing tests share: running a command, printing pages, reading a
// PDF back as text with poppler's pdftotext and pdfinfo, and a print service
// of the test's own.
#pragma once

#include <cups/cups.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QBuffer>
#include <QFontMetricsF>
#include <QPdfWriter>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <thread>

#include "../core/test_files.h"
#include "io/line_reader.h"
#include "qt_line_printer.h"

namespace printtest {

using Page = std::vector<std::string>;
using tonnage::testing::ReadFile;
using tonnage::testing::ScratchFolder;

struct CommandResult {
  int status = -1;     // exit status, -1 when it could not run
  std::string output;  // stdout and stderr
};

inline CommandResult Run(const std::string& command) {
  CommandResult result;
  if (FILE* pipe = ::popen((command + " 2>&1").c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  return result;
}

// The PDF files are read back with poppler's tools (scripts/install-deps.sh installs them).
inline bool PdfReaders() { return Run("command -v pdftotext && command -v pdfinfo").status == 0; }

// A report spool of seven pages, split at the lines that hold a form feed.
inline std::vector<Page> SamplePages() {
  std::vector<Page> pages(1);
  const std::string spool = std::string(TONNAGE_TESTDATA_DIR) + "/report/samples/us-standard-tickets.SPL";
  for (const std::string& line : tonnage::io::SplitLines(ReadFile(spool)))
    if (line.find('\f') == std::string::npos)
      pages.back().push_back(line);
    else
      pages.emplace_back();
  return pages;
}

// Prints `pages` as one document, one NewPage between pages, as page printing does.
inline tonnage::Outcome PrintPages(tonnage::print::LinePrinter& printer, const std::vector<Page>& pages,
                                   int points = 12) {
  printer.SetFont("Courier New", points);
  for (std::size_t i = 0; i < pages.size(); ++i) {
    if (i > 0) printer.NewPage();
    for (const std::string& line : pages[i]) printer.PrintLine(line);
  }
  return printer.EndDocument();
}

// The report font's character pitch and line height at `points`, in points,
// as a PDF sees them, and the pitch on a sheet of `layout`: letters narrow a
// little where 80 columns would cross the printable area's right edge.
inline double FontMeasure(int points, bool height) {
  QBuffer sink;
  sink.open(QIODevice::WriteOnly);
  QPdfWriter device(&sink);
  const QFontMetricsF metrics(QFont(platform::ReportFont("Courier New", points), &device), &device);
  return (height ? metrics.height() : metrics.horizontalAdvance(QLatin1Char('M'))) * 72.0 / device.resolution();
}
inline double SheetPitch(const QPageLayout& layout, int points = 12) {
  const double pitch = FontMeasure(points, false);
  const double fit = layout.paintRect(QPageLayout::Point).width() / platform::kReportPageColumns;
  return fit < pitch && fit >= 0.9 * pitch ? fit : pitch;
}

// `page` without trailing blanks and trailing empty lines.
inline Page Trimmed(Page page) {
  for (std::string& line : page) line.erase(line.find_last_not_of(" \r") + 1);
  while (!page.empty() && page.back().empty()) page.pop_back();
  return page;
}

// The PDF's sheets as text on a grid of `pitch` points per character.
inline std::vector<Page> PdfSheets(const std::string& pdf, double pitch) {
  std::ostringstream command;
  command << "pdftotext -fixed " << pitch << " -enc Latin1 '" << pdf << "' -";
  const CommandResult text = Run(command.str());
  std::vector<Page> sheets;
  std::istringstream all(text.status == 0 ? text.output : "");
  for (std::string chunk; std::getline(all, chunk, '\f');) {
    std::istringstream lines(chunk);
    Page sheet;
    for (std::string line; std::getline(lines, line);) sheet.push_back(line);
    sheets.push_back(Trimmed(sheet));
  }
  return sheets;
}

// `pages` without trailing blanks, trailing empty lines and the blanks all
// their lines start with: a PDF's sheets and the pages printed on them compare
// equal, line for line, whatever the margin.
inline std::vector<Page> Unindented(std::vector<Page> pages) {
  std::size_t margin = std::string::npos;
  for (Page& page : pages) {
    page = Trimmed(page);
    for (const std::string& line : page) margin = std::min(margin, line.find_first_not_of(' '));
  }
  for (Page& page : pages)
    for (std::string& line : page) line.erase(0, std::min(margin, line.size()));
  return pages;
}

// The first sheet's size in whole points ("595x842"), as pdfinfo tells it.
inline std::string SheetSize(const std::string& pdf) {
  const std::string info = Run("pdfinfo '" + pdf + "'").output;
  double width = 0, height = 0;
  if (const std::size_t at = info.find("Page size:"); at != std::string::npos)
    std::sscanf(info.c_str() + at + 10, " %lf x %lf", &width, &height);
  return std::to_string(std::lround(width)) + "x" + std::to_string(std::lround(height));
}

// cupsd in a scratch folder under /tmp, listening only on a socket in that
// folder, so tests running side by side never share a daemon, a port or a
// folder, and nothing reaches a real printer. libcups and the command-line
// tools are pointed at it through CUPS_SERVER for as long as it runs.
class PrivatePrintService {
 public:
  PrivatePrintService() : error_(Start()) {}
  ~PrivatePrintService() {
    Stop();
    tonnage::testing::RemoveTree(folder_);
  }
  PrivatePrintService(const PrivatePrintService&) = delete;
  PrivatePrintService& operator=(const PrivatePrintService&) = delete;

  bool running() const { return pid_ > 0; }
  // Why it is not running.
  const std::string& error() const { return error_; }
  // An administration command (lpadmin, cupsdisable, ...) against it.
  CommandResult Admin(const std::string& command) const {
    return Run("PATH=\"$PATH:/usr/sbin:/sbin\" CUPS_SERVER='" + socket_ + "' " + command);
  }
  // An enabled queue on one of the service's sample drivers (generic.ppd,
  // generpcl.ppd, ...) printing into Output(name); empty, or what went wrong.
  std::string AddQueue(const std::string& name, const std::string& driver) const {
    const CommandResult added = Admin("lpadmin -p " + name + " -E -v file://" + Output(name) +
                                      " -m drv:///sample.drv/" + driver + " -o printer-error-policy=abort-job");
    return added.status == 0 ? std::string() : added.output + LogTail();
  }
  std::string Output(const std::string& name) const { return folder_ + "/out/" + name + ".out"; }
  // The queue's jobs, oldest first, finished ones included.
  std::vector<int> Jobs(const std::string& queue) const {
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ALL);
    std::vector<int> ids;
    for (int i = 0; i < count; ++i) ids.push_back(jobs[i].id);
    cupsFreeJobs(count, jobs);
    std::sort(ids.begin(), ids.end());
    return ids;
  }
  // A job's attributes as text.
  std::map<std::string, std::string> JobAttributes(int job) const {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(job);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
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
  // The document a job was sent with, as the service keeps it.
  std::string JobDocument(int job) const {
    char name[32];
    std::snprintf(name, sizeof name, "/spool/d%05d-001", job);
    return folder_ + name;
  }
  // The end of the daemon's logs, for failure messages.
  std::string LogTail() const {
    const std::string all = ReadFile(folder_ + "/log/stdout") + ReadFile(folder_ + "/log/error_log");
    return all.substr(all.size() > 4000 ? all.size() - 4000 : 0);
  }

 private:
  // Empty once the daemon answers, or why it does not.
  std::string Start() {
    const std::string path = "PATH=\"$PATH:/usr/sbin:/usr/local/sbin\" ";
    if (Run(path + "command -v cupsd").status != 0) return "cupsd is not installed (Debian package cups)";
    if (!::mkdtemp(folder_.data())) return "cannot make a scratch folder";
    socket_ = folder_ + "/cups.sock";
    // The daemon runs its filters as its own user, who must reach the folders. Its configuration
    // is its own, in its folder (for "@"); the documents stay in the spool folder for the test to read.
    const CommandResult setup = Run("cd " + folder_ + " && chmod 755 . && mkdir -p etc/ppd etc/ssl spool/tmp cache " +
                                    "state log out && chmod 1777 out && for c in cupsd.conf cups-files.conf; do sed " +
                                    "'s|@|" + folder_ + "|g' " + TONNAGE_TESTDATA_DIR + "/print/$c >etc/$c; done");
    if (setup.status != 0) return "cannot set up its folder: " + setup.output;
    // Through a shell that becomes the daemon, its output in the log folder.
    const std::string command = path + "exec cupsd -f -c " + folder_ + "/etc/cupsd.conf -s " + folder_ +
                                "/etc/cups-files.conf >" + folder_ + "/log/stdout 2>&1";
    char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), const_cast<char*>(command.c_str()), nullptr};
    if (const int failed = ::posix_spawn(&pid_, "/bin/sh", nullptr, nullptr, argv, environ)) {
      pid_ = -1;
      return std::string("cannot start cupsd: ") + std::strerror(failed);
    }
    for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);;) {
      if (http_t* http = httpConnect2(socket_.c_str(), 0, nullptr, AF_LOCAL, HTTP_ENCRYPTION_NEVER, 1, 100, nullptr)) {
        httpClose(http);
        ::setenv("CUPS_SERVER", socket_.c_str(), 1);
        cupsSetServer(socket_.c_str());
        return "";
      }
      if (int status; ::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return "cupsd ended at once: " + LogTail();
      }
      if (std::chrono::steady_clock::now() > deadline) {
        const std::string tail = LogTail();
        Stop();
        return "cupsd did not answer within 20 seconds: " + tail;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  void Stop() {
    if (!running()) return;
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int status; ::waitpid(pid_, &status, WNOHANG) == 0;) {
      if (std::chrono::steady_clock::now() > deadline) ::kill(pid_, SIGKILL);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    pid_ = -1;
    // Back to a server that is not there, as the tests start.
    const std::string none = folder_ + "/stopped.sock";
    ::setenv("CUPS_SERVER", none.c_str(), 1);
    cupsSetServer(none.c_str());
  }

  std::string folder_ = "/tmp/tonnage-cups-XXXXXX", socket_;
  pid_t pid_ = -1;
  std::string error_;
};

}  // namespace printtest
