#include "report/tonnage_run.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "report/date_amounts.h"
#include "report/date_table.h"
#include "report/fast_number.h"
#include "data/line_layout.h"
#include "report/report_lines.h"
#include "report/ticket_rules.h"
#include "text/fixed_width.h"

namespace tonnage::report {
namespace {

using line_layout::Take;
namespace index_line = line_layout::index_line;
namespace book_header_line = line_layout::book_header_line;
namespace ticket_line = line_layout::ticket_line;
namespace report_line = line_layout::report_line;

std::string Trimmed(std::string_view line, line_layout::Span span) { return std::string(TrimBlanks(Take(line, span))); }

// Months are grouped by year and month, so one January is never summed with
// the next year's.
std::string_view MonthOf(std::string_view key) { return key.substr(0, 6); }

// Line counts of the page bookkeeping.
// A count past any page: the next line written starts a new page.
constexpr int kPageFull = 99;
// What an error page's header leaves counted: five header lines and the two
// error headings (a wrapped title's extra line is not counted).
constexpr int kErrorHeaderLines = 7;
// A book's name and gravity line on the error report, after a blank line.
constexpr int kErrorBookLines = 2;
// A faulty ticket's echo on the error report, and the blank line after it.
constexpr int kTicketEchoLines = 2;
// A void ticket on the main report: its line, the reason line and a blank.
constexpr int kVoidLines = 3;
// A book's totals: a blank line and five total lines, kept on one page.
constexpr int kBookTotalLines = 6;
// One date of a date section: a blank line and the date's line.
constexpr int kDateLines = 2;

class Run {
 public:
  Run(std::string_view versionText, const RunStamp& stamp, LineSink& errorReport, MainReportSink& mainReport,
      const TicketObserver& observer)
      : error_(errorReport), main_(mainReport), observer_(observer) {
    header_.versionText = std::string(versionText);
    header_.runDate = stamp.date;
    header_.runTime = stamp.time;
  }

  RunResult Execute(io::LineSource& work) {
    std::string line;
    if (!work.Next(line)) line.clear();
    ToUpperInPlace(line);
    const std::string_view fileType = Take(line, index_line::kFileType);
    if (fileType != "BST81" && fileType != "CST81") {
      for (const std::string& l : InvalidFormatBlock()) error_.WriteLine(l);
      return {false, 0};
    }
    dates_.Clear();
    ReadReportIndex(line);
    CheckErrorPage();
    const bool upper = work.UpperCase();
    while (work.Next(line)) {
      if (!upper) ToUpperInPlace(line);
      if (!line.empty() && line[0] == '*') {
        if (!firstBook_) WriteBookTotals();
        StartReportBook(line);
        firstBook_ = false;
        pageOrder_.Restart();
      } else {
        Ticket(line);
      }
    }
    WriteBookTotals();
    WriteDateSummaries();
    error_.WriteLine(kPageSeparator);
    return {true, errorPage_};
  }

 private:
  void Main(std::string_view line) { main_.WriteLine(line, false); }
  void Error(std::string_view line) {
    CheckErrorPage();
    error_.WriteLine(line);
    ++errorCount_;
  }

  void CheckMainPage() {
    if (mainCount_ < kLinesPerPage) return;
    ++mainPage_;
    if (mainPage_ > 1) Main(kPageSeparator);
    const PageHeader header = PageHeaderLines(header_, mainPage_);
    for (std::size_t i = 0; i < header.lines.size(); ++i) main_.WriteLine(header.lines[i], i == header.pageNumberLine);
    const Headings headings = MainHeadings(layout_, header_.metric, gravity_, comments_);
    for (const std::string& l : headings.lines) Main(l);
    mainCount_ = headings.lineCount;
  }

  void CheckErrorPage() {
    if (errorCount_ < kLinesPerPage) return;
    ++errorPage_;
    if (errorPage_ > 1) error_.WriteLine(kPageSeparator);
    for (const std::string& l : PageHeaderLines(header_, errorPage_).lines) error_.WriteLine(l);
    for (const std::string& l : ErrorPageHeadings()) error_.WriteLine(l);
    errorCount_ = kErrorHeaderLines;
  }

  void ReadReportIndex(std::string_view line) {
    header_.refNo = Trimmed(line, index_line::kRefNo);
    header_.projectNo = Trimmed(line, index_line::kProjectNo);
    std::string units;
    if (Take(line, index_line::kFileType) == "CST81") {
      units = Trimmed(line, index_line::kUnitSystem);
      header_.engineer = Trimmed(line, report_line::kEngineer);
    } else {
      header_.engineer = Trimmed(line, index_line::kOlderEngineer);
      units = Trimmed(line, index_line::kOlderUnitSystem);
    }
    header_.metric = units == "M";
    mainPage_ = 0;
  }

  void StartReportBook(std::string_view line) {
    rules_ = ReadBookRules(line, header_.metric);
    gravity_ = rules_.gravity;
    comments_ = std::string(TrimBlanks(ColumnsFrom(line, 12)));
    dataType_ = std::string(Columns(line, 3, 3));
    layout_ = rules_.batch ? LayoutCode::BatchPlant : LayoutCode::GrossTareNet;
    mainCount_ = kPageFull;  // every book starts on a page of its own
    CheckMainPage();
    ++book_;
    CheckErrorPage();
    for (const std::string& l : ErrorBookLines(comments_, gravity_)) error_.WriteLine(l);
    errorCount_ += kErrorBookLines;
  }

  // One ticket line: read, checked, counted, written, and shown to the export.
  void Ticket(const std::string& line) {
    CheckMainPage();
    TicketSeen t = ParseTicket(line);
    const std::string_view tag = CheckPageOrder(t);
    if (t.isVoid) {
      WriteVoidTicket(t, tag);
    } else if (const int slotIndex = dates_.SlotFor(t.date); slotIndex < 0) {
      Error(kTableFullError);
      t.errors |= kErrorTableFull;
    } else {
      CheckWeights(t);
      CountTicket(t, dates_[slotIndex], totals_);
      WriteTicketLines(t, tag);
    }
    WriteTicketErrors(line, t);
    ExportTicket(t);
  }

  TicketSeen ParseTicket(const std::string& line) const {
    TicketSeen t;
    t.book = book_;
    t.comments = comments_;
    t.dataType = dataType_;
    ReadTicketLine(line, rules_, t);
    return t;
  }

  // The tag the ticket's main lines carry: empty, or the page-order fault.
  std::string_view CheckPageOrder(TicketSeen& t) {
    if (pageOrder_.Accept(t.pageNo)) return {};
    Error(kPageOrderError);
    t.errors |= kErrorPageOrder;
    return kPageOrderTag;
  }

  void CheckWeights(TicketSeen& t) {
    CheckTicketWeights(rules_, t);
    if (t.errors & kErrorGrossLessThanTare) Error(kGrossLessThanTareError);
    if (t.errors & kErrorTheoKpMismatch) Error(TheoKpMismatchLine(t.theo, t.kp));
  }

  void WriteVoidTicket(const TicketSeen& t, std::string_view tag) {
    CheckMainPage();
    for (const std::string& l : VoidLines(t.pageNo, t.date, tag)) Main(l);
    mainCount_ += kVoidLines;
  }

  // The detail line, then the note and bitumen lines with a blank after them.
  void WriteTicketLines(const TicketSeen& t, std::string_view tag) {
    const bool metric = header_.metric;
    CheckMainPage();
    BuildDetailLine(detail_, {t.pageNo, t.date, t.w1, t.w2, t.theo, t.kp, rules_.tons, metric, tag});
    Main(detail_);
    ++mainCount_;
    bool closing = false;
    if (t.note) {
      MainCounted(kNoteLine);
      closing = true;
    }
    if (t.privWaste) {
      MainCounted(t.pct == 0 ? std::string(kNoBitumenLine) : BitumenLine(t.pct, t.theoGallons, t.kpGallons, metric));
      closing = true;
    }
    if (closing) MainCounted(kBlankLine);
  }

  void WriteTicketErrors(std::string_view line, const TicketSeen& t) {
    if (t.errors == 0) return;
    CheckErrorPage();
    error_.WriteLine(TicketEcho(line));
    error_.WriteLine(kBlankLine);
    errorCount_ += kTicketEchoLines;
  }

  void ExportTicket(const TicketSeen& t) const {
    if (observer_) observer_(t);
  }

  void MainCounted(std::string_view line) {
    CheckMainPage();
    Main(line);
    ++mainCount_;
  }

  void WriteBookTotals() {
    mainCount_ += kBookTotalLines;
    CheckMainPage();
    for (const std::string& l : BookTotalLines(totals_, header_.metric)) Main(l);
    totals_ = BookTotals{};
    mainCount_ = 0;
  }

  // Each section starts a page of its own. The project section adds each
  // date's pay gallons to its slot; the monthly section sums them.
  void WriteDateSummaries() {
    dates_.Sort();
    WriteProjectSection();
    WritePrivateSection();
    WriteMonthlySection();
  }

  void StartDateSection(LayoutCode layout) {
    layout_ = layout;
    mainCount_ = kPageFull;
  }

  void WriteDateLine(const std::string& line) {
    CheckMainPage();
    Main(kBlankLine);
    Main(line);
    mainCount_ += kDateLines;
  }

  void WriteProjectSection() {
    const bool metric = header_.metric;
    StartDateSection(LayoutCode::ProjectMaterial);
    double projectTheo = 0, projectKp = 0, projectGallons = 0;
    for (int d = 0; d < dates_.size(); ++d) {
      DateSlot& slot = dates_[d];
      const ProjectDate p = ProjectByDate(slot, metric);
      slot.payGallons += p.payGallons;
      projectTheo += slot.projectTheo;
      projectKp += slot.projectKp;
      projectGallons += p.payGallons;
      WriteDateLine(
          ProjectDateLine(ShowDateKey(slot.key), p.theoTons, p.kpTons, p.payGallons, p.theoPct, p.kpPct, metric));
    }
    Main(kBlankLine);
    Main(ProjectTotalLine(projectTheo, projectKp, projectGallons, metric));
  }

  void WritePrivateSection() {
    const bool metric = header_.metric;
    StartDateSection(LayoutCode::PrivateWaste);
    double privTheo = 0, privKp = 0, privTheoGallons = 0, privKpGallons = 0;
    for (int d = 0; d < dates_.size(); ++d) {
      const DateSlot& slot = dates_[d];
      const PrivateDate p = PrivateByDate(slot, metric);
      if (p.shown) {
        privTheo += slot.privateTheo;
        privKp += slot.privateKp;
      }
      privTheoGallons += p.theoGallons;
      privKpGallons += p.kpGallons;
      WriteDateLine(PrivateDateLine(ShowDateKey(slot.key), p.theoTons, p.theoGallons, p.kpTons, p.kpGallons, metric));
    }
    Main(kBlankLine);
    Main(PrivateTotalLine(privTheo, privTheoGallons, privKp, privKpGallons, metric));
  }

  // One line per run of dates in the same month, the last one after the loop.
  void WriteMonthlySection() {
    const bool metric = header_.metric;
    StartDateSection(LayoutCode::MonthlySummary);
    std::string from = ShowDateKey(dates_[0].key);
    std::string to = from;
    std::string month(MonthOf(dates_[0].key));
    double sum = 0;
    for (int d = 0; d < dates_.size(); ++d) {
      const DateSlot& slot = dates_[d];
      CheckMainPage();
      if (MonthOf(slot.key) == month) {
        sum += slot.payGallons;
        to = ShowDateKey(slot.key);
      } else {
        Main(kBlankLine);
        Main(MonthLine(from, to, sum, metric));
        mainCount_ += kDateLines;
        from = to = ShowDateKey(slot.key);
        month = std::string(MonthOf(slot.key));
        sum = slot.payGallons;
      }
    }
    Main(kBlankLine);
    Main(MonthLine(from, to, sum, metric));
    mainCount_ = 0;
  }

  LineSink& error_;
  MainReportSink& main_;
  const TicketObserver& observer_;
  HeaderInfo header_;

  int mainPage_ = 0;
  int mainCount_ = kPageFull;
  int errorPage_ = 0;
  int errorCount_ = kPageFull;
  LayoutCode layout_ = LayoutCode::GrossTareNet;
  BookRules rules_;
  double gravity_ = 0;
  std::string comments_;
  std::string dataType_;
  std::string detail_;  // the detail line's room, used again for every ticket
  PageOrder pageOrder_;
  bool firstBook_ = true;
  int book_ = 0;
  BookTotals totals_;
  DateTable dates_;
};

class StringSink final : public LineSink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  void WriteLine(std::string_view line) override {
    out_ += line;
    out_ += "\r\n";
  }

 private:
  std::string& out_;
};

class HeldMainReport final : public MainReportSink {
 public:
  void WriteLine(std::string_view line, bool pageNumberLine) override {
    lines.emplace_back(std::string(line), pageNumberLine);
  }
  std::vector<std::pair<std::string, bool>> lines;
};

}  // namespace

RunStamp MakeRunStamp(int year, int month, int day, int hour, int minute, int second) {
  auto two = [](int v) { return FormatMask(v, "00"); };
  return {two(month) + "/" + two(day) + "/" + FormatMask(year, "0000"),
          two(hour) + ":" + two(minute) + ":" + two(second)};
}

RunResult ComputeTonnageReport(io::LineSource& work, std::string_view versionText, const RunStamp& stamp,
                               LineSink& errorReport, MainReportSink& mainReport, const TicketObserver& observer) {
  Run run(versionText, stamp, errorReport, mainReport, observer);
  return run.Execute(work);
}

void LineSink::WriteLines(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find("\r\n");
    WriteLine(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 2);
  }
}

void RenumberingAppender::WriteLine(std::string_view line, bool pageNumberLine) {
  if (pageNumberLine)
    spool_.WriteLine(WithPageNumber(line, ++page_));
  else
    spool_.WriteLine(line);
}

std::string MakeReportSpool(std::string_view workText, std::string_view versionText, const RunStamp& stamp) {
  std::string spool;
  StringSink sink(spool);
  HeldMainReport main;
  io::StringLineSource work(workText);
  const RunResult result = ComputeTonnageReport(work, versionText, stamp, sink, main);
  if (result.validFormat) {
    RenumberingAppender appender(sink, result.errorPages);
    for (const auto& [line, numbered] : main.lines) appender.WriteLine(line, numbered);
  }
  return spool;
}

}  // namespace tonnage::report
