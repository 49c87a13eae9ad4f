#include "report/spool_place.h"

#include "report/report_lines.h"
#include "text/fixed_width.h"

namespace tonnage::report {

namespace {

bool StartsWith(std::string_view line, std::string_view prefix) { return line.substr(0, prefix.size()) == prefix; }

constexpr std::string_view kErrorPrefix = " *** ERROR *** ";
constexpr std::string_view kGravityPrefix = " ***SPEC. GRAV. THIS BOOK = ";

enum class LineKind { Other, ErrorLine, Echo, Detail, UnderDetail };

// Where in the report a line stands, walked from the top.
class SpoolWalk {
 public:
  LineKind Take(std::string_view line) {
    if (line == kPageSeparator) {
      inHeader_ = true;
      return LineKind::Other;
    }
    if (inHeader_) {
      // The header is five or six lines (a long version text wraps); its last
      // names the units.
      if (StartsWith(line, " DATA IS IN ")) {
        inHeader_ = false;
        inHeadings_ = true;
      }
      return LineKind::Other;
    }
    if (inHeadings_) return TakeHeading(line);
    if (TrimBlanks(line).empty()) return LineKind::Other;
    switch (area_) {
      case Area::ErrorReport:
        if (StartsWith(line, kErrorPrefix)) {
          if (!afterError_) errorColumn_ = ColumnOfError(line);
          afterError_ = true;
          return LineKind::ErrorLine;
        }
        if (afterError_) {
          afterError_ = false;
          return LineKind::Echo;
        }
        ++errorBook_;
        errorComments_ = std::string(TrimBlanks(Columns(line, 3, 37)));
        return LineKind::Other;
      case Area::Book:
        if (StartsWith(line, " --------")) return ticket_ > 0 ? LineKind::UnderDetail : LineKind::Other;
        if (Columns(line, 19, 28) == "BOOK TOTAL") {
          bookOpen_ = false;
          return LineKind::Other;
        }
        ++ticket_;
        ticketPage_ = static_cast<long>(ParseLeadingNumber(line));
        return LineKind::Detail;
      case Area::Sections:
        return LineKind::Other;
    }
    return LineKind::Other;
  }

  // The cell to look at first for an error line's error.
  static int ColumnOfError(std::string_view line) {
    if (line == kGrossLessThanTareError) return 3;
    if (line == kTableFullError) return 2;
    if (line == kPageOrderError) return 1;
    return 5;  // THEO against KP: the net weight is what was typed last
  }

  SpoolTicket Ticket(std::string_view line, LineKind kind) const {
    SpoolTicket t;
    if (kind == LineKind::Echo) {
      t.book = errorBook_;
      t.comments = errorComments_;
      t.echo = std::string(ColumnsFrom(line, 2));
      t.page = static_cast<long>(ParseLeadingNumber(Columns(t.echo, 1, 6)));
      t.column = errorColumn_;
    } else {
      t.book = mainBook_;
      t.comments = mainComments_;
      t.ticket = ticket_;
      t.page = ticketPage_;
    }
    if (t.book == 0) t.error = "This line belongs to no book of the report.";
    return t;
  }

 private:
  enum class Area { ErrorReport, Book, Sections };

  LineKind TakeHeading(std::string_view line) {
    if (TrimBlanks(line).empty()) return LineKind::Other;
    if (line == "    ERROR REPORT") {
      area_ = Area::ErrorReport;
      inHeadings_ = false;
    } else if (StartsWith(line, " PAGE NO ")) {
      area_ = Area::Book;  // the gravity line follows
    } else if (StartsWith(line, kGravityPrefix)) {
      // Every page of a book repeats it; a new book starts after the totals.
      if (!bookOpen_) {
        ++mainBook_;
        ticket_ = 0;
        bookOpen_ = true;
      }
      mainComments_ = std::string(TrimBlanks(ColumnsFrom(line, 42)));
      inHeadings_ = false;
    } else {
      area_ = Area::Sections;
      inHeadings_ = false;
    }
    return LineKind::Other;
  }

  bool inHeader_ = true;
  bool inHeadings_ = false;
  Area area_ = Area::ErrorReport;
  int errorBook_ = 0;
  std::string errorComments_;
  bool afterError_ = false;
  int errorColumn_ = 1;
  int mainBook_ = 0;
  std::string mainComments_;
  bool bookOpen_ = false;
  int ticket_ = 0;
  long ticketPage_ = 0;
};

}  // namespace

SpoolTicket LocateSpoolTicket(const std::vector<std::string_view>& lines, std::size_t line) {
  SpoolTicket none;
  none.error = "Not a ticket or an error line: Enter or a double-click opens the grid on one of those.";
  if (line >= lines.size()) return none;
  SpoolWalk walk;
  LineKind kind = LineKind::Other;
  for (std::size_t i = 0; i <= line; ++i) kind = walk.Take(lines[i]);
  // An error line leads to the ticket echoed under its last error line.
  for (std::size_t i = line + 1; kind == LineKind::ErrorLine && i < lines.size(); ++i) {
    const LineKind next = walk.Take(lines[i]);
    if (next != LineKind::Echo) continue;
    SpoolTicket t = walk.Ticket(lines[i], next);
    t.column = SpoolWalk::ColumnOfError(lines[line]);
    return t;
  }
  if (kind == LineKind::Other || kind == LineKind::ErrorLine) return none;
  return walk.Ticket(lines[line], kind);
}

SpoolTicket LocateSpoolTicket(const std::vector<std::string>& lines, std::size_t line) {
  const std::vector<std::string_view> views(lines.begin(), lines.end());
  return LocateSpoolTicket(views, line);
}

}  // namespace tonnage::report
