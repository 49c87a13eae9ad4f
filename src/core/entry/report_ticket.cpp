#include "entry/report_ticket.h"

#include <vector>

#include "data/session.h"
#include "io/line_reader.h"
#include "text/fixed_width.h"

namespace tonnage {

namespace {

constexpr const char* kOlderReport = "The report is older than the books: press F5 to run it again.";

// The section file's lines as the report read them: upper case, no blanks
// on the right.
std::vector<std::string> ReportedLines(const std::string& path) {
  std::vector<std::string> lines;
  io::FileLineReader reader(path);
  std::string line;
  while (lines.size() < static_cast<std::size_t>(kMaxRows) && reader.Next(line))
    lines.emplace_back(TrimRightBlanks(ToUpper(line)));
  return lines;
}

long PageOf(std::string_view line) { return static_cast<long>(ParseLeadingNumber(Columns(line, 1, 6))); }

}  // namespace

TicketRowPlace FindTicketRow(const Session& session, const report::SpoolTicket& ticket) {
  TicketRowPlace place;
  if (!ticket.found()) {
    place.error = ticket.error;
    return place;
  }
  int seen = 0;
  for (int slot = 1; slot <= kMaxBooks && place.book == 0; ++slot)
    if (session.Book(slot).InUse() && ++seen == ticket.book) place.book = slot;
  if (place.book == 0) {
    place.error = "The book of this line is no longer in the file.";
    return place;
  }
  if (ToUpper(TrimBlanks(session.Book(place.book).comments)) != ticket.comments) {
    place.error = kOlderReport;
    return place;
  }
  const std::vector<std::string> lines = ReportedLines(session.SectionPath(place.book));
  const int count = static_cast<int>(lines.size());
  auto line = [&](int row) -> const std::string& { return lines[static_cast<std::size_t>(row - 1)]; };
  if (!ticket.echo.empty()) {
    for (int row = 1; row <= count && place.row == 0; ++row)
      if (line(row) == ticket.echo) place.row = row;
  } else if (ticket.ticket >= 1 && ticket.ticket <= count && PageOf(line(ticket.ticket)) == ticket.page) {
    place.row = ticket.ticket;
  } else {
    // A ticket the report left out (its date table was full) shifts the rest.
    for (int row = 1; row <= count && place.row == 0; ++row)
      if (PageOf(line(row)) == ticket.page) place.row = row;
  }
  if (place.row == 0) {
    place.error = kOlderReport;
    place.book = 0;
  }
  place.column = ticket.column;
  return place;
}

}  // namespace tonnage
