#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "data/data_file.h"
#include "data/work_folder.h"
#include "io/async_file_writer.h"
#include "io/file_writer.h"
#include "io/scratch_file.h"
#include "report/run_tonnage_report.h"
#include "text/calendar_date.h"
#include "report_commands.h"

namespace tonnage::cli {

struct CommandOutput::Impl {
  std::unique_ptr<io::AsyncFileWriter> file;
  std::string buffer;
  int error = 0;

  void FlushStdout() {
    std::size_t done = 0;
    while (done < buffer.size() && error == 0) {
      const ssize_t n = ::write(STDOUT_FILENO, buffer.data() + done, buffer.size() - done);
      if (n < 0) {
        if (errno != EINTR) error = errno;
        continue;
      }
      done += static_cast<std::size_t>(n);
    }
    buffer.clear();
  }
};

CommandOutput::CommandOutput(const std::string& path) : impl_(std::make_unique<Impl>()) {
  if (!path.empty()) impl_->file = std::make_unique<io::AsyncFileWriter>(path, io::WriteMode::Atomic);
}

CommandOutput::~CommandOutput() = default;
CommandOutput::CommandOutput(CommandOutput&&) noexcept = default;
CommandOutput& CommandOutput::operator=(CommandOutput&&) noexcept = default;

void CommandOutput::Write(std::string_view bytes) {
  if (impl_->file) {
    impl_->file->Write(bytes);
    return;
  }
  impl_->buffer.append(bytes);
  if (impl_->buffer.size() >= (1u << 16)) impl_->FlushStdout();
}

void CommandOutput::WriteLine(std::string_view line) {
  Write(line);
  Write("\r\n");
}

bool CommandOutput::Finish(std::string& why) {
  if (impl_->file) {
    const Outcome done = impl_->file->Commit();
    why = done.message;
    return done.ok();
  }
  impl_->FlushStdout();
  if (impl_->error != 0) why = std::string("standard output: ") + std::strerror(impl_->error);
  return impl_->error == 0;
}

namespace {

void PrintRefusal(const Outcome& why) { std::fprintf(stderr, "%s: %s\n", why.title.c_str(), why.message.c_str()); }

}  // namespace

int WithWorkImage(const std::string& path, bool checkFirst, const WorkImageRun& run) {
  if (checkFirst) {
    DataFileReader reader(path);
    IndexRecord index;
    BookHeader header;
    std::vector<std::string> tickets;
    if (reader.ReadIndex(index))
      while (reader.NextBook(header, tickets)) {
      }
    if (!reader.outcome().ok()) {
      PrintRefusal(reader.outcome());
      return 1;
    }
  }
  WorkImageSource work(path);
  bool refused = false;
  const int code = run(work, [&] {
    refused = !work.outcome().ok();
    return work.outcome();
  });
  if (refused) PrintRefusal(work.outcome());
  return code;
}

namespace {

bool AllDigits(std::string_view s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return !s.empty();
}

int Number(std::string_view s) {
  int v = 0;
  for (char c : s) v = v * 10 + (c - '0');
  return v;
}

}  // namespace

// MM/DD/YYYY (or MM-DD-YYYY) naming a day the grid would take, in the
// stamp's form; empty otherwise.
std::string CheckedDate(const std::string& text) {
  if (!ParseMonthDayYear(text, "/-")) return {};
  return text.substr(0, 2) + "/" + text.substr(3, 2) + "/" + text.substr(6, 4);
}

namespace {

std::string CheckedTime(const std::string& text) {
  if (text.size() != 8 || text[2] != ':' || text[5] != ':') return {};
  const std::string_view t(text);
  if (!AllDigits(t.substr(0, 2)) || !AllDigits(t.substr(3, 2)) || !AllDigits(t.substr(6, 2))) return {};
  if (Number(t.substr(0, 2)) > 23 || Number(t.substr(3, 2)) > 59 || Number(t.substr(6, 2)) > 59) return {};
  return text;
}

report::RunStamp ClockStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return report::MakeRunStamp(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                              local.tm_sec);
}

class OutputSink final : public report::LineSink {
 public:
  explicit OutputSink(CommandOutput& out) : out_(out) {}
  void WriteLine(std::string_view line) override { out_.WriteLine(line); }
  void WriteLines(std::string_view text) override { out_.Write(text); }

 private:
  CommandOutput& out_;
};

struct ReportOptions {
  std::string path;
  std::string out;
  std::string date;
  std::string time;
};

int RunReport(const ReportOptions& options) {
  report::RunStamp stamp = ClockStamp();
  if (!options.date.empty()) stamp.date = CheckedDate(options.date);
  if (!options.time.empty()) stamp.time = CheckedTime(options.time);
  if (stamp.date.empty() || stamp.time.empty()) {
    std::fprintf(stderr, "tonnage report: the run date is MM/DD/YYYY and the run time HH:MM:SS\n");
    return 2;
  }
  // The main report waits in a file of no name, so a run cut short (a closed
  // pipe, Ctrl+C) leaves nothing behind.
  io::ScratchFile scratch;
  if (Outcome made = scratch.Create(); !made) {
    std::fprintf(stderr, "tonnage: %s\n", made.message.c_str());
    return 1;
  }
  return WithWorkImage(
      options.path, options.out.empty(), [&](io::LineSource& work, const std::function<Outcome()>& workOutcome) {
        CommandOutput out(options.out);
        OutputSink sink(out);
        const Outcome run =
            report::RunTonnageReportFrom(work, workOutcome, VersionStamp(), scratch.path(), stamp, sink);
        // A refused file has been told by the caller already.
        if (!run && workOutcome().ok()) PrintRefusal(run);
        if (!run) return 1;
        std::string why;
        if (!out.Finish(why)) {
          std::fprintf(stderr, "Report Error: %s\n", why.c_str());
          return 1;
        }
        return 0;
      });
}

}  // namespace

void AddReportCommand(CLI::App& app, int& exitCode) {
  auto* cmd =
      app.add_subcommand("report", "Write the tonnage report (error report, then the report pages) of a data file");
  auto options = std::make_shared<ReportOptions>();
  cmd->add_option("FILE", options->path, "Data file (*.K81)")->required()->check(CLI::ExistingFile);
  cmd->add_option("-o,--output", options->out, "Report file to write (*.PRN); standard output when left out");
  cmd->add_option("--run-date,--date", options->date, "Date in the page headers, MM/DD/YYYY (default: today)");
  cmd->add_option("--run-time,--time", options->time, "Time in the page headers, HH:MM:SS (default: now)");
  cmd->callback([options, &exitCode] { exitCode = RunReport(*options); });
}

}  // namespace tonnage::cli
