#include "report/run_tonnage_report.h"

#include "data/work_folder.h"
#include "io/file_writer.h"
#include "io/line_reader.h"
#include "text/fixed_width.h"

namespace tonnage::report {
namespace {

// Each scratch line starts with a mark: the page-number line of a page
// header, or any other line. The mark goes by position, never by content.
constexpr char kNumberedMark = '#';
constexpr char kPlainMark = ' ';

class ScratchWriter final : public MainReportSink {
 public:
  explicit ScratchWriter(io::FileWriter& file) : file_(file) {}
  void WriteLine(std::string_view line, bool pageNumberLine) override {
    const char mark = pageNumberLine ? kNumberedMark : kPlainMark;
    file_.Write(std::string_view(&mark, 1));
    file_.WriteLine(line);
  }

 private:
  io::FileWriter& file_;
};

class FileSink final : public LineSink {
 public:
  explicit FileSink(io::FileWriter& file) : file_(file) {}
  void WriteLine(std::string_view line) override { file_.WriteLine(line); }

 private:
  io::FileWriter& file_;
};

Outcome ReadFailure(const io::FileLineReader& reader, const std::string& path) {
  Outcome why = reader.error();
  if (why.ok()) why = Outcome::Io("Cannot read " + path);
  return why;
}

}  // namespace

Outcome RunTonnageReportInto(const std::string& folder, const RunStamp& stamp, LineSink& spool) {
  const std::string versionPath = folder + kVersionFileName;
  const std::string workPath = folder + kWorkFileName;
  const std::string scratchPath = folder + kScratchSpoolFileName;

  std::string versionText;
  {
    io::FileLineReader version(versionPath);
    if (!version.is_open()) return ReadFailure(version, versionPath);
    version.Next(versionText);
    if (Outcome read = version.error(); !read) return read;
    versionText = std::string(TrimBlanks(versionText));
  }

  io::FileLineReader work(workPath);
  if (!work.is_open()) return ReadFailure(work, workPath);

  RunResult result;
  {
    io::FileWriter scratch(scratchPath, io::WriteMode::Direct);
    ScratchWriter mainReport(scratch);
    result = ComputeTonnageReport(work, versionText, stamp, spool, mainReport);
    if (Outcome read = work.error(); !read) {
      io::RemoveQuietly(scratchPath);
      return read;
    }
    if (Outcome written = scratch.Commit(); !written) {
      io::RemoveQuietly(scratchPath);
      return written;
    }
  }

  Outcome outcome = Outcome::Success();
  if (result.validFormat) {
    io::FileLineReader scratch(scratchPath);
    if (!scratch.is_open()) {
      outcome = ReadFailure(scratch, scratchPath);
    } else {
      RenumberingAppender appender(spool, result.errorPages);
      std::string line;
      while (scratch.Next(line)) {
        if (line.empty()) continue;  // never written: every line carries its mark
        appender.WriteLine(std::string_view(line).substr(1), line[0] == kNumberedMark);
      }
      outcome = scratch.error();
    }
  }
  io::RemoveQuietly(scratchPath);
  return outcome;
}

Outcome RunTonnageReport(const std::string& folder, const RunStamp& stamp) {
  // The new spool replaces the old one only when whole; after a failure the
  // old one stays as it was (nothing shows it: no viewer follows a failure).
  io::FileWriter file(folder + kSpoolFileName, io::WriteMode::Atomic);
  FileSink spool(file);
  if (Outcome run = RunTonnageReportInto(folder, stamp, spool); !run) return run;
  return file.Commit();
}

}  // namespace tonnage::report
