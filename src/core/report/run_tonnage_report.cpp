#include "report/run_tonnage_report.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "data/work_folder.h"
#include "report/report_lines.h"
#include "io/async_file_writer.h"
#include "io/file_writer.h"
#include "io/line_reader.h"
#include "text/fixed_width.h"

namespace tonnage::report {
namespace {

// The main report goes to the scratch file as final text, each page-number
// line numbered from 1. Where those lines are is kept as they are written,
// by position, never recognised by content, so that copying the scratch into
// the spool behind the error report renumbers exactly them.
class ScratchWriter final : public MainReportSink {
 public:
  explicit ScratchWriter(io::AsyncFileWriter& file) : file_(file) {}
  void WriteLine(std::string_view line, bool pageNumberLine) override {
    if (pageNumberLine) {
      const std::string numbered = WithPageNumber(line, static_cast<int>(numbered_.size()) + 1);
      numbered_.push_back({offset_, numbered.size()});
      Put(numbered);
    } else {
      Put(line);
    }
  }

  struct NumberedLine {
    std::uint64_t offset;
    std::size_t length;
  };
  const std::vector<NumberedLine>& numbered() const { return numbered_; }

 private:
  void Put(std::string_view line) {
    file_.WriteLine(line);
    offset_ += line.size() + 2;
  }

  io::AsyncFileWriter& file_;
  std::uint64_t offset_ = 0;
  std::vector<NumberedLine> numbered_;
};

// Copies the scratch into the spool in large pieces of whole lines, giving
// the page-number lines their numbers after the error report's pages.
Outcome CopyRenumbered(const std::string& scratchPath, const std::vector<ScratchWriter::NumberedLine>& numbered,
                       int errorPages, LineSink& spool) {
  std::FILE* file = std::fopen(scratchPath.c_str(), "rb");
  if (!file) return Outcome::Io("Cannot open " + scratchPath + ": " + std::strerror(errno));
  // Read straight into one buffer; only the part line at its end moves to
  // the front for the next read.
  constexpr std::size_t kChunk = 1 << 18;
  std::vector<char> buffer(2 * kChunk);
  std::size_t kept = 0;           // bytes at the front carried from the last read
  std::uint64_t bufferStart = 0;  // scratch offset of buffer[0]
  std::size_t next = 0;           // the next page-number line
  bool failed = false;
  for (;;) {
    if (buffer.size() - kept < kChunk) buffer.resize(kept + kChunk);
    const std::size_t n = std::fread(buffer.data() + kept, 1, buffer.size() - kept, file);
    if (n == 0) {
      failed = std::ferror(file) != 0;
      break;
    }
    // Whole lines go on as they are, the page-number lines held whole with
    // their new numbers.
    const std::string_view held(buffer.data(), kept + n);
    std::size_t from = 0;
    while (next < numbered.size() && numbered[next].offset + numbered[next].length + 2 <= bufferStart + held.size()) {
      const auto at = static_cast<std::size_t>(numbered[next].offset - bufferStart);
      if (at > from) spool.WriteLines(held.substr(from, at - from));
      spool.WriteLine(WithPageNumber(held.substr(at, numbered[next].length), errorPages + static_cast<int>(next) + 1));
      from = at + numbered[next].length + 2;
      ++next;
    }
    // A page-number line not yet held whole starts after the last line end.
    std::size_t end = held.rfind('\n');
    end = end == std::string_view::npos ? 0 : end + 1;
    if (end > from) spool.WriteLines(held.substr(from, end - from));
    const std::size_t done = std::max(end, from);
    kept = held.size() - done;
    std::memmove(buffer.data(), buffer.data() + done, kept);
    bufferStart += done;
  }
  const int err = errno;
  std::fclose(file);
  if (failed) return Outcome::Io("Cannot read " + scratchPath + ": " + std::strerror(err));
  if (kept > 0) spool.WriteLines(std::string_view(buffer.data(), kept));
  return Outcome::Success();
}

class FileSink final : public LineSink {
 public:
  explicit FileSink(io::AsyncFileWriter& file) : file_(file) {}
  void WriteLine(std::string_view line) override { file_.WriteLine(line); }
  void WriteLines(std::string_view text) override { file_.Write(text); }

 private:
  io::AsyncFileWriter& file_;
};

Outcome ReadFailure(const io::FileLineReader& reader, const std::string& path) {
  Outcome why = reader.error();
  if (why.ok()) why = Outcome::Io("Cannot read " + path);
  return why;
}

}  // namespace

Outcome RunTonnageReportFrom(io::LineSource& work, const std::function<Outcome()>& sourceOutcome,
                             std::string_view versionText, const std::string& scratchPath, const RunStamp& stamp,
                             LineSink& spool) {
  RunResult result;
  std::vector<ScratchWriter::NumberedLine> numbered;
  {
    io::AsyncFileWriter scratch(scratchPath, io::WriteMode::Direct);
    ScratchWriter mainReport(scratch);
    result = ComputeTonnageReport(work, versionText, stamp, spool, mainReport);
    if (Outcome read = sourceOutcome(); !read) {
      io::RemoveQuietly(scratchPath);
      return read;
    }
    if (Outcome written = scratch.Commit(); !written) {
      io::RemoveQuietly(scratchPath);
      return written;
    }
    numbered = mainReport.numbered();
  }

  Outcome outcome = Outcome::Success();
  if (result.validFormat) outcome = CopyRenumbered(scratchPath, numbered, result.errorPages, spool);
  io::RemoveQuietly(scratchPath);
  return outcome;
}

Outcome RunTonnageReportInto(const std::string& folder, const RunStamp& stamp, LineSink& spool) {
  const std::string versionPath = folder + kVersionFileName;
  const std::string workPath = folder + kWorkFileName;

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
  return RunTonnageReportFrom(
      work, [&work] { return work.error(); }, versionText, folder + kScratchSpoolFileName, stamp, spool);
}

Outcome RunTonnageReport(const std::string& folder, const RunStamp& stamp) {
  // The new spool replaces the old one only when whole; after a failure the
  // old one stays as it was (nothing shows it: no viewer follows a failure).
  io::AsyncFileWriter file(folder + kSpoolFileName, io::WriteMode::Atomic);
  FileSink spool(file);
  if (Outcome run = RunTonnageReportInto(folder, stamp, spool); !run) return run;
  return file.Commit();
}

}  // namespace tonnage::report
