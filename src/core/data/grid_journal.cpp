#include "data/grid_journal.h"

#include <cstdio>

#include "data/section_file.h"
#include "io/file_writer.h"
#include "io/line_reader.h"
#include "text/fixed_width.h"

namespace tonnage {
namespace {

constexpr std::string_view kJournalMark = "GRID JOURNAL ";

std::string Header(int book) { return std::string(kJournalMark) + FormatMask(book, "0"); }

bool RowEmpty(const TicketRow& row) {
  for (const std::string& cell : row.cells)
    if (!cell.empty()) return false;
  return true;
}

}  // namespace

std::string GridJournalName(int book) {
  char name[16];
  std::snprintf(name, sizeof name, "SECT%04d.JNL", book);
  return name;
}

std::string FormatGridJournal(int book, const BookRows& rows) {
  std::size_t last = rows.size();
  while (last > 0 && RowEmpty(rows[last - 1])) --last;
  std::string text = Header(book) + "\n";
  for (std::size_t i = 0; i < last; ++i) {
    for (std::size_t c = 0; c < rows[i].cells.size(); ++c) {
      if (c > 0) text += '\t';
      // A cell never holds a tab or a line end: the grid's editor takes one line.
      for (char ch : rows[i].cells[c]) text += (ch == '\t' || ch == '\n' || ch == '\r') ? ' ' : ch;
    }
    text += '\n';
  }
  return text;
}

std::optional<BookRows> ParseGridJournal(std::string_view text, int book) {
  const std::vector<std::string> lines = io::SplitLines(text);
  if (lines.empty() || lines[0] != Header(book) || lines.size() > kMaxRows + 1) return std::nullopt;
  BookRows rows;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    TicketRow& row = rows[i - 1];
    for (std::size_t c = 0; c < row.cells.size(); ++c) {
      const std::size_t tab = line.find('\t');
      row.cells[c] = std::string(line.substr(0, tab));
      if (tab == std::string_view::npos) break;
      line.remove_prefix(tab + 1);
    }
  }
  return rows;
}

Outcome KeepGridJournal(const std::string& path, int book, const BookRows& rows) {
  // Written whole and renamed into place, without waiting for the disk: a
  // killed run leaves the file to the system, and a sync per cell would
  // slow typing on a busy disk.
  return io::WriteWholeFile(path, FormatGridJournal(book, rows), io::WriteMode::Atomic);
}

bool StoreGridRows(const BookRows& grid, int book, BookHeader& header, BookRows& kept) {
  for (std::size_t i = 0; i < grid.size(); ++i) {
    const TicketRow& cells = grid[i];
    TicketRow& row = kept[i];
    row[TicketField::PageNo] = std::string(TrimBlanks(cells[TicketField::PageNo]));
    row[TicketField::Gross] = std::string(TrimBlanks(cells[TicketField::Gross]));
    for (TicketField f : {TicketField::Date, TicketField::Tare, TicketField::Net, TicketField::PctBitumen})
      row[f] = ToUpper(TrimBlanks(cells[f]));
    for (TicketField f : {TicketField::PrivWaste, TicketField::Void, TicketField::Note})
      row[f] = TrimBlanks(cells[f]).empty() ? std::string() : std::string("Y");
  }
  const bool named = header.comments.empty() && BookHasRows(kept);
  if (named) header.comments = "BOOK NUMBER  " + FormatMask(book, "0");
  return named;
}

int ApplyGridJournals(const std::string& folder, const std::string& unitSystem, BookTable& books) {
  int brought = 0;
  for (int book = 1; book <= kMaxBooks; ++book) {
    const std::string journal = folder + GridJournalName(book);
    io::ReadResult text = io::ReadWholeFile(journal);
    if (!text.outcome) continue;
    const std::optional<BookRows> rows = ParseGridJournal(text.bytes, book);
    if (rows) {
      BookHeader& header = books[static_cast<std::size_t>(book - 1)];
      BookRows kept;
      StoreGridRows(*rows, book, header, kept);
      if (!WriteSectionFile(folder + SectionFileName(book), kept, unitSystem, header.dataType)) continue;
      ++brought;
    }
    io::RemoveQuietly(journal);
  }
  return brought;
}

}  // namespace tonnage
