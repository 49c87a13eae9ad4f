// The tonnage report as a computation: WORK.TMP lines in, the error report
// and the main report out, with the run's date, time and version text given
// so that tests and the command line need neither files nor a clock.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "io/line_reader.h"

namespace tonnage::report {

struct RunStamp {
  std::string date;  // MM/DD/YYYY
  std::string time;  // HH:MM:SS
};
RunStamp MakeRunStamp(int year, int month, int day, int hour, int minute, int second);

class LineSink {
 public:
  virtual ~LineSink() = default;
  virtual void WriteLine(std::string_view line) = 0;
  // Whole lines, each ended by CR LF, in one piece; a sink that writes bytes
  // takes them as they are.
  virtual void WriteLines(std::string_view text);
};

// Receives the main report while the run lasts. The line of each page header
// that carries the page number comes flagged, so renumbering never has to
// guess header lines from their text.
class MainReportSink {
 public:
  virtual ~MainReportSink() = default;
  virtual void WriteLine(std::string_view line, bool pageNumberLine) = 0;
};

// Data faults the run found in one ticket.
enum TicketError : unsigned {
  kErrorPageOrder = 1u << 0,
  kErrorTableFull = 1u << 1,
  kErrorGrossLessThanTare = 1u << 2,
  kErrorTheoKpMismatch = 1u << 3,
};

// One ticket as the run saw it, for exports.
struct TicketSeen {
  int book = 0;  // 1, 2, ... in file order
  std::string_view comments;
  std::string_view dataType;  // column 3 of the book header
  double bookGravity = 0;
  long pageNo = 0;
  std::string_view date;
  std::string_view w1Text, w2Text, w3Text, pctText;  // trimmed fields
  double w1 = 0, w2 = 0, w3 = 0;                     // pounds or kilograms
  double theo = 0, kp = 0, pct = 0;
  double theoGallons = 0, kpGallons = 0;  // private/waste tickets with bitumen
  bool privWaste = false, isVoid = false, note = false;
  bool batchAsphalt = false;  // W2 counted as the date's batch-plant asphalt
  bool counted = false;       // added to its date and its book
  unsigned errors = 0;
  bool metric = false;
};
using TicketObserver = std::function<void(const TicketSeen&)>;

struct RunResult {
  bool validFormat = false;
  int errorPages = 0;
};

// Writes the error report, or the invalid-format block, to `errorReport`,
// followed by the separator that precedes the main report; the main report
// goes to `mainReport`, its pages numbered from 1.
RunResult ComputeTonnageReport(io::LineSource& work, std::string_view versionText, const RunStamp& stamp,
                               LineSink& errorReport, MainReportSink& mainReport, const TicketObserver& observer = {});

// Appends main report lines to the spool, giving the page-number lines the
// numbers errorPages + 1, errorPages + 2, ...
class RenumberingAppender final : public MainReportSink {
 public:
  RenumberingAppender(LineSink& spool, int errorPages) : spool_(spool), page_(errorPages) {}
  void WriteLine(std::string_view line, bool pageNumberLine) override;

 private:
  LineSink& spool_;
  int page_;
};

// The whole spool of a WORK.TMP image held in memory, lines ended by CR LF.
std::string MakeReportSpool(std::string_view workText, std::string_view versionText, const RunStamp& stamp);

}  // namespace tonnage::report
