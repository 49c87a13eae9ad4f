#include "entry/book_grid.h"

#include <algorithm>
#include <charconv>

#include "data/grid_journal.h"
#include "entry/cell_entry.h"
#include "data/section_file.h"
#include "io/file_writer.h"
#include "data/session.h"
#include "text/fixed_width.h"

namespace tonnage {
namespace {

std::string WholeNumberText(long long value) {
  char buffer[24];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

}  // namespace

bool BookGrid::RowUsed(int row) const { return !TrimBlanks(At(row, kPageColumn)).empty(); }

void BookGrid::InsertBlankRows(int row, int count) {
  count = std::clamp(count, 0, kGridRows - row + 1);
  const auto first = rows_.begin() + (row - 1);
  // The bottom `count` rows go round to the insertion point, then are emptied.
  std::rotate(first, rows_.end() - count, rows_.end());
  std::for_each(first, first + count, [](TicketRow& r) { r = TicketRow{}; });
}

void BookGrid::DeleteRows(int first, int count) {
  count = std::clamp(count, 0, kGridRows - first + 1);
  const auto begin = rows_.begin() + (first - 1);
  std::rotate(begin, begin + count, rows_.end());
  std::for_each(rows_.end() - count, rows_.end(), [](TicketRow& r) { r = TicketRow{}; });
}

void SetGridColumns(const Session& session, int book, BookGrid& grid) {
  grid.SetColumns(SetGridColumns(session.index.unitSystem, session.Book(book).dataType));
}

std::string LoadBookIntoGrid(Session& session, int book, BookGrid& grid) {
  ClearBookRows(session.rows);
  const BookHeader& header = session.Book(book);
  // A book without comments is a free slot: whatever its section file holds
  // belongs to a deleted book.
  if (!TrimBlanks(header.comments).empty()) ReadSectionFile(session.SectionPath(book), session.rows);
  // Numbers read from the file show as typed ones do (page 000012 as 12).
  for (int row = 1; row <= kGridRows; ++row)
    for (int column = 1; column <= kGridColumns; ++column)
      grid.SetCell(
          row, column,
          ShowAsEntered(grid.columns()[column],
                        session.rows[static_cast<std::size_t>(row - 1)].cells[static_cast<std::size_t>(column - 1)]));
  grid.activeRow = FirstEmptyRow(grid);
  grid.activeColumn = 1;
  return header.comments;
}

Outcome SaveGridToBook(Session& session, int book, const BookGrid& grid) {
  BookHeader header = session.Book(book);
  const bool named = StoreGridRows(grid.rows(), book, header, session.rows);
  Outcome written =
      WriteSectionFile(session.SectionPath(book), session.rows, session.index.unitSystem, header.dataType);
  if (named) {
    Outcome state = session.SetBookHeader(book, header);
    if (written && !state) return state;
  }
  if (written) io::RemoveQuietly(session.workFolder().File(GridJournalName(book)));
  return written;
}

Outcome KeepGridRows(const Session& session, int book, const BookGrid& grid) {
  return KeepGridJournal(session.workFolder().File(GridJournalName(book)), book, grid.rows());
}

CellLeave LeaveCell(BookGrid& grid, int column, int row, int newColumn, int newRow, const GridOptions& options) {
  CellLeave leave;
  // Text the cell cannot take stays for correcting; the user is told why.
  if (const CellEntry entry = EnterCell(grid.columns()[column], grid.Cell(row, column)); !entry.accepted)
    leave.message = entry.reason;
  grid.activeRow = newRow;
  grid.activeColumn = newColumn;
  const bool pastNote = column == kNoteColumn && newRow > row;
  // With the marks skipped, the row ends at Pct. Bitum.
  const bool pastPct =
      options.skipMarks && column == kPctColumn && (newRow > row || (newRow == row && newColumn == column + 1));
  if (!pastNote && !pastPct) return leave;
  const int next = pastPct ? row + 1 : newRow;
  if (next < 2 || next > kGridRows) return leave;
  if (TrimBlanks(grid.Cell(next, kPageColumn)).empty()) {
    const long long page = static_cast<long long>(ParseLeadingNumber(grid.Cell(row, kPageColumn))) + 1;
    // A page beyond the cell's six digits is left for the user to type.
    if (page >= 0 && page <= 999999) grid.SetCell(next, kPageColumn, WholeNumberText(page));
  }
  if (TrimBlanks(grid.Cell(next, kDateColumn)).empty()) grid.SetCell(next, kDateColumn, grid.Cell(row, kDateColumn));
  if (options.carryPct && TrimBlanks(grid.Cell(next, kPctColumn)).empty())
    grid.SetCell(next, kPctColumn, grid.Cell(row, kPctColumn));
  leave.moveRow = next;
  leave.moveColumn = kGrossColumn;
  grid.activeRow = next;
  grid.activeColumn = kGrossColumn;
  return leave;
}

int FirstEmptyRow(const BookGrid& grid) {
  int last = 0;
  for (int row = 1; row <= kGridRows; ++row)
    for (const std::string& cell : grid.Row(row).cells)
      if (!TrimBlanks(cell).empty()) last = row;
  return std::min(last + 1, kGridRows);
}

int FindPageRow(const BookGrid& grid, std::string_view page) {
  const std::string_view wanted = TrimBlanks(page);
  if (wanted.empty()) return 0;
  const double value = ParseLeadingNumber(wanted);
  for (int row = 1; row <= kGridRows; ++row)
    if (grid.RowUsed(row) && ParseLeadingNumber(grid.Cell(row, kPageColumn)) == value) return row;
  return 0;
}

void DeleteActiveCell(BookGrid& grid) {
  if (grid.activeRow >= 1 && grid.activeRow <= kGridRows && grid.activeColumn >= 1 && grid.activeColumn <= kGridColumns)
    grid.SetCell(grid.activeRow, grid.activeColumn, {});
}

}  // namespace tonnage
