#include "report/tonnage_run.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "report/date_amounts.h"
#include "report/date_table.h"
#include "report/fast_number.h"
#include "data/line_layout.h"
#include "report/report_lines.h"
#include "text/fixed_width.h"

namespace tonnage::report {
namespace {

using line_layout::Take;
namespace index_line = line_layout::index_line;
namespace book_header_line = line_layout::book_header_line;
namespace ticket_line = line_layout::ticket_line;
namespace report_line = line_layout::report_line;

std::string Trimmed(std::string_view line, line_layout::Span span) {
  return std::string(TrimBlanks(Take(line, span)));
}

// A one-column Y/N flag; a short line reads as no.
bool IsYes(std::string_view line, line_layout::Span flag) {
  return line.size() >= flag.first && line[flag.first - 1] == 'Y';
}

// A page number as a 32-bit integer, rounding as the conversion always has.
long PageNumberOf(std::string_view text) {
  double value = RoundHalfEven(ParseLeadingNumber(text));
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  return static_cast<long>(value);
}

// Months are grouped by year and month, so one January is never summed with
// the next year's.
std::string_view MonthOf(std::string_view key) { return key.substr(0, 6); }

class Run {
 public:
  Run(std::string_view versionText, const RunStamp& stamp, LineSink& errorReport,
      MainReportSink& mainReport, const TicketObserver& observer)
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
        expectedPage_ = 0;
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
    for (std::size_t i = 0; i < header.lines.size(); ++i)
      main_.WriteLine(header.lines[i], i == header.pageNumberLine);
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
    errorCount_ = 7;
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
    gravity_ = ParseLeadingNumber(Take(line, book_header_line::kGravity));
    comments_ = Trimmed(line, report_line::kComments);
    dataType_ = std::string(Take(line, book_header_line::kDataType));
    batch_ = dataType_ == "2";
    layout_ = batch_ ? LayoutCode::BatchPlant : LayoutCode::GrossTareNet;
    mainCount_ = 99;  // every book starts on a page of its own
    CheckMainPage();
    tons_ = dataType_ == "1";
    ++book_;
    CheckErrorPage();
    for (const std::string& l : ErrorBookLines(comments_, gravity_)) error_.WriteLine(l);
    errorCount_ += 2;
  }

  void Ticket(const std::string& line) {
    CheckMainPage();
    TicketSeen t;
    t.book = book_;
    t.comments = comments_;
    t.dataType = dataType_;
    t.bookGravity = gravity_;
    t.metric = header_.metric;
    t.pageNo = PageNumberOf(Take(line, ticket_line::kPageNo));
    const std::string_view date = TrimBlanks(Take(line, ticket_line::kDate));
    t.date = date;
    t.w1Text = TrimBlanks(Take(line, report_line::kWeight1));
    t.w2Text = TrimBlanks(Take(line, report_line::kWeight2));
    t.w3Text = TrimBlanks(Take(line, report_line::kWeight3));
    t.pctText = TrimBlanks(Take(line, ticket_line::kPctBitumen));
    t.w1 = ParseLeadingNumber(t.w1Text);
    t.w2 = ParseLeadingNumber(t.w2Text);
    t.w3 = ParseLeadingNumber(t.w3Text);
    t.pct = ParseLeadingNumber(t.pctText);
    t.privWaste = IsYes(line, ticket_line::kPrivWaste);
    t.isVoid = IsYes(line, ticket_line::kVoid);
    t.note = IsYes(line, ticket_line::kNote);
    const bool metric = header_.metric;
    if (tons_) {
      const double f = TonFactor(metric);
      t.w1 = Keep3(t.w1 * f);
      t.w2 = Keep3(t.w2 * f);
      t.w3 = Keep3(t.w3 * f);
    }
    std::string_view tag;
    t.kp = Keep3(t.w3);
    t.theo = t.kp;

    if (expectedPage_ == 0) expectedPage_ = t.pageNo;
    if (t.pageNo != expectedPage_) {
      Error(kPageOrderError);
      t.errors |= kErrorPageOrder;
      tag = kPageOrderTag;
    }
    expectedPage_ = t.pageNo + 1;

    if (t.isVoid) {
      CheckMainPage();
      for (const std::string& l : VoidLines(t.pageNo, date, tag)) Main(l);
      mainCount_ += 3;
    } else if (const int slotIndex = dates_.SlotFor(date); slotIndex < 0) {
      Error(kTableFullError);
      t.errors |= kErrorTableFull;
    } else {
      if (!t.w1Text.empty() && !t.w2Text.empty()) {
        if (batch_) {
          t.theo = Keep3(t.w1 + t.w2);
          t.batchAsphalt = true;
        } else {
          if (t.w1 < t.w2) {
            Error(kGrossLessThanTareError);
            t.errors |= kErrorGrossLessThanTare;
          }
          t.theo = Keep3(t.w1 - t.w2);
        }
        if (t.kp != t.theo) {
          Error(TheoKpMismatchLine(t.theo, t.kp));
          t.errors |= kErrorTheoKpMismatch;
        }
      }
      if (t.privWaste) {
        const TicketGallons g = PrivateTicketGallons(t.theo, t.kp, t.pct, metric);
        t.theoGallons = g.theo;
        t.kpGallons = g.kp;
      }
      t.counted = true;
      AddToDate(dates_[slotIndex], t);
      if (!t.privWaste) {
        totals_.projectKp += t.kp;
        totals_.projectTheo += t.theo;
      } else {
        totals_.privateKp += t.kp;
        totals_.privateTheo += t.theo;
        totals_.privateTheoGallons += t.theoGallons;
        totals_.privateKpGallons += t.kpGallons;
      }

      CheckMainPage();
      BuildDetailLine(detail_, {t.pageNo, date, t.w1, t.w2, t.theo, t.kp, tons_, metric, tag});
      Main(detail_);
      ++mainCount_;
      bool closing = false;
      if (t.note) {
        MainCounted(kNoteLine);
        closing = true;
      }
      if (t.privWaste) {
        MainCounted(t.pct == 0 ? std::string(kNoBitumenLine)
                               : BitumenLine(t.pct, t.theoGallons, t.kpGallons, metric));
        closing = true;
      }
      if (closing) MainCounted(kBlankLine);
    }

    if (t.errors != 0) {
      CheckErrorPage();
      error_.WriteLine(TicketEcho(line));
      error_.WriteLine(kBlankLine);
      errorCount_ += 2;
    }
    if (observer_) observer_(t);
  }

  void MainCounted(std::string_view line) {
    CheckMainPage();
    Main(line);
    ++mainCount_;
  }

  void WriteBookTotals() {
    mainCount_ += 6;
    CheckMainPage();
    for (const std::string& l : BookTotalLines(totals_, header_.metric)) Main(l);
    totals_ = BookTotals{};
    mainCount_ = 0;
  }

  void WriteDateSummaries() {
    dates_.Sort();
    const bool metric = header_.metric;
    const int n = dates_.size();

    layout_ = LayoutCode::ProjectMaterial;
    mainCount_ = 99;
    double projectTheo = 0, projectKp = 0, projectGallons = 0;
    for (int d = 0; d < n; ++d) {
      DateSlot& slot = dates_[d];
      const ProjectDate p = ProjectByDate(slot, metric);
      slot.payGallons += p.payGallons;
      projectTheo += slot.projectTheo;
      projectKp += slot.projectKp;
      projectGallons += p.payGallons;
      CheckMainPage();
      Main(kBlankLine);
      Main(ProjectDateLine(ShowDateKey(slot.key), p.theoTons, p.kpTons, p.payGallons, p.theoPct,
                           p.kpPct, metric));
      mainCount_ += 2;
    }
    Main(kBlankLine);
    Main(ProjectTotalLine(projectTheo, projectKp, projectGallons, metric));

    layout_ = LayoutCode::PrivateWaste;
    mainCount_ = 99;
    double privTheo = 0, privKp = 0, privTheoGallons = 0, privKpGallons = 0;
    for (int d = 0; d < n; ++d) {
      const DateSlot& slot = dates_[d];
      const PrivateDate p = PrivateByDate(slot, metric);
      if (p.shown) {
        privTheo += slot.privateTheo;
        privKp += slot.privateKp;
      }
      privTheoGallons += p.theoGallons;
      privKpGallons += p.kpGallons;
      CheckMainPage();
      Main(kBlankLine);
      Main(PrivateDateLine(ShowDateKey(slot.key), p.theoTons, p.theoGallons, p.kpTons, p.kpGallons,
                           metric));
      mainCount_ += 2;
    }
    Main(kBlankLine);
    Main(PrivateTotalLine(privTheo, privTheoGallons, privKp, privKpGallons, metric));

    layout_ = LayoutCode::MonthlySummary;
    mainCount_ = 99;
    std::string from = ShowDateKey(dates_[0].key);
    std::string to = from;
    std::string month(MonthOf(dates_[0].key));
    double sum = 0;
    for (int d = 0; d < n; ++d) {
      const DateSlot& slot = dates_[d];
      CheckMainPage();
      if (MonthOf(slot.key) == month) {
        sum += slot.payGallons;
        to = ShowDateKey(slot.key);
      } else {
        Main(kBlankLine);
        Main(MonthLine(from, to, sum, metric));
        mainCount_ += 2;
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
  int mainCount_ = 99;
  int errorPage_ = 0;
  int errorCount_ = 99;
  LayoutCode layout_ = LayoutCode::GrossTareNet;
  bool batch_ = false;
  bool tons_ = false;
  double gravity_ = 0;
  std::string comments_;
  std::string dataType_;
  std::string detail_;  // the detail line's room, used again for every ticket
  long expectedPage_ = 0;
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

RunResult ComputeTonnageReport(io::LineSource& work, std::string_view versionText,
                               const RunStamp& stamp, LineSink& errorReport,
                               MainReportSink& mainReport, const TicketObserver& observer) {
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

std::string MakeReportSpool(std::string_view workText, std::string_view versionText,
                            const RunStamp& stamp) {
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
