#include "data/section_file.h"

#include <cstdio>

#include "data/line_layout.h"
#include "io/file_writer.h"
#include "io/line_reader.h"
#include "text/fixed_width.h"

namespace tonnage {
namespace {

namespace ticket_line = line_layout::ticket_line;

bool Blank(std::string_view text) { return TrimBlanks(text).empty(); }

// "####0.000" right-aligned in `width`; when that is too wide, as many
// decimals as still fit, so the next field keeps its column.
std::string FitDecimals(double value, std::size_t width) {
  static constexpr const char* kMasks[] = {"####0.000", "####0.00", "####0.0", "####0"};
  std::string text;
  for (const char* mask : kMasks) {
    text = FormatMask(value, mask);
    if (text.size() <= width) break;
  }
  return PadText(text, width, PadSide::Left);
}

bool WholePounds(std::string_view unitSystem, std::string_view dataType) {
  return unitSystem == "E" && (dataType == "0" || dataType == "2");
}

std::string WeightCell(std::string_view text, bool wholePounds) {
  if (Blank(text)) return std::string(10, ' ');
  const double value = ParseLeadingNumber(text);
  if (wholePounds) {
    // Five digits and five blanks; a bigger weight spends the blanks first.
    return PadText(PadText(FormatMask(RoundHalfEven(value), "####0"), 5, PadSide::Left), 10, PadSide::Right);
  }
  std::string cell = FitDecimals(value, 9);
  return PadText(cell, 10, PadSide::Right);
}

// A mark cell of `width`: its first character or blanks.
std::string MarkCell(std::string_view text, std::size_t width) {
  const std::string_view t = TrimBlanks(text);
  std::string cell = t.empty() ? std::string() : std::string(1, t.front());
  return PadText(cell, width, PadSide::Right);
}

}  // namespace

std::string SectionFileName(int book) {
  char name[16];
  std::snprintf(name, sizeof name, "SECT%04d.TMP", book);
  return name;
}

TicketRow ParseTicketLine(std::string_view rawLine) {
  const std::string line = ToUpper(rawLine);
  TicketRow row;
  auto field = [&](line_layout::Span span) { return std::string(TrimBlanks(line_layout::Take(line, span))); };
  row[TicketField::PageNo] = field(ticket_line::kPageNo);
  std::string date(line_layout::Take(line, ticket_line::kDate));
  // A date written without leading zeros reads with them; an all-blank date
  // (an empty date kept in its columns) stays empty.
  if (Blank(date)) {
    date.clear();
  } else {
    if (date[0] == ' ') date[0] = '0';
    if (date.size() >= 4 && date[3] == ' ') date[3] = '0';
  }
  row[TicketField::Date] = date;
  row[TicketField::Gross] = field(ticket_line::kGross);
  row[TicketField::Tare] = field(ticket_line::kTare);
  row[TicketField::Net] = field(ticket_line::kNet);
  row[TicketField::PctBitumen] = field(ticket_line::kPctBitumen);
  row[TicketField::PrivWaste] = field(ticket_line::kPrivWaste);
  row[TicketField::Void] = field(ticket_line::kVoid);
  row[TicketField::Note] = field(ticket_line::kNote);
  return row;
}

std::string FormatTicketLine(const TicketRow& row, std::string_view unitSystem, std::string_view dataType) {
  const bool whole = WholePounds(unitSystem, dataType);
  std::string line;
  line.reserve(60);
  // Six digits; a negative page (only a hand-edited file has one) gives up a
  // leading zero for its sign instead of pushing the date out of place.
  std::string page;
  for (const char* mask : {"000000", "00000", "0000", "000", "00", "0"}) {
    page = FormatMask(ParseLeadingNumber(row[TicketField::PageNo]), mask);
    if (page.size() <= ticket_line::kPageNo.width()) break;
  }
  line += page;
  line += ' ';
  line += PadText(row[TicketField::Date], ticket_line::kDate.width(), PadSide::Right);
  line += ' ';
  line += WeightCell(row[TicketField::Gross], whole);
  line += WeightCell(row[TicketField::Tare], whole);
  line += WeightCell(row[TicketField::Net], whole);
  const std::string& pct = row[TicketField::PctBitumen];
  if (Blank(pct)) {
    line += std::string(7, ' ');
  } else {
    static constexpr const char* kMasks[] = {"#0.000", "#0.00", "#0.0", "#0"};
    std::string text;
    for (const char* mask : kMasks) {
      text = FormatMask(ParseLeadingNumber(pct), mask);
      if (text.size() <= ticket_line::kPctBitumen.width()) break;
    }
    line += PadText(text, ticket_line::kPctBitumen.width(), PadSide::Left);
    line += ' ';
  }
  line += MarkCell(row[TicketField::PrivWaste], 2);
  line += MarkCell(row[TicketField::Void], 2);
  line += MarkCell(row[TicketField::Note], 1);
  return line;
}

bool RowIsWritten(const TicketRow& row) {
  return !Blank(row[TicketField::Gross]) || !Blank(row[TicketField::Net]) || !Blank(row[TicketField::Void]);
}

bool BookHasRows(const BookRows& rows) {
  for (const TicketRow& row : rows)
    if (!row[TicketField::PageNo].empty()) return true;
  return false;
}

void ClearBookRows(BookRows& rows) {
  for (TicketRow& row : rows) row = TicketRow{};
}

bool ReadSectionFile(const std::string& path, BookRows& rows) {
  io::FileLineReader reader(path);
  if (!reader.is_open()) return false;
  std::string line;
  for (std::size_t i = 0; i < rows.size() && reader.Next(line); ++i) rows[i] = ParseTicketLine(line);
  return true;
}

Outcome WriteSectionFile(const std::string& path, const BookRows& rows, std::string_view unitSystem,
                         std::string_view dataType) {
  io::FileWriter writer(path, io::WriteMode::Atomic);
  for (const TicketRow& row : rows)
    if (RowIsWritten(row)) writer.WriteLine(FormatTicketLine(row, unitSystem, dataType));
  return writer.Commit();
}

}  // namespace tonnage
