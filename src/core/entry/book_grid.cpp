#include "entry/book_grid.h"

#include <algorithm>
#include <charconv>

#include "data/section_file.h"
#include "data/session.h"
#include "text/fixed_width.h"

namespace tonnage {
namespace {

std::string Trimmed(std::string_view text) { return std::string(TrimBlanks(text)); }
std::string UpperTrimmed(std::string_view text) { return ToUpper(TrimBlanks(text)); }

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
  for (int row = 1; row <= kGridRows; ++row) grid.Row(row) = session.rows[static_cast<std::size_t>(row - 1)];
  grid.activeRow = 1;
  grid.activeColumn = 1;
  return header.comments;
}

Outcome SaveGridToBook(Session& session, int book, const BookGrid& grid) {
  for (int row = 1; row <= kGridRows; ++row) {
    const TicketRow& cells = grid.Row(row);
    TicketRow& kept = session.rows[static_cast<std::size_t>(row - 1)];
    kept[TicketField::PageNo] = Trimmed(cells[TicketField::PageNo]);
    kept[TicketField::Gross] = Trimmed(cells[TicketField::Gross]);
    for (TicketField f : {TicketField::Date, TicketField::Tare, TicketField::Net, TicketField::PctBitumen})
      kept[f] = UpperTrimmed(cells[f]);
    for (TicketField f : {TicketField::PrivWaste, TicketField::Void, TicketField::Note})
      kept[f] = UpperTrimmed(cells[f]).empty() ? std::string() : std::string("Y");
  }
  BookHeader& header = session.Book(book);
  const bool named = header.comments.empty() && BookHasRows(session.rows);
  if (named) header.comments = "BOOK NUMBER  " + WholeNumberText(book);
  Outcome written = WriteSectionFile(session.SectionPath(book), session.rows,
                                     session.index.unitSystem, header.dataType);
  if (named) {
    Outcome state = session.SaveState();
    if (written && !state) return state;
  }
  return written;
}

CellLeave LeaveCell(BookGrid& grid, int column, int row, int newColumn, int newRow) {
  CellLeave leave;
  if (column == kDateColumn) {
    const std::string date = UpperTrimmed(grid.Cell(row, column));
    if (!date.empty() && date.size() != 10) {
      grid.SetCell(row, column, {});
      grid.activeRow = row;
      grid.activeColumn = column;
      leave.cancel = true;
      leave.message = kInvalidDateMessage;
      return leave;
    }
  }
  grid.activeRow = newRow;
  grid.activeColumn = newColumn;
  if (column == kNoteColumn && newRow >= 2 && newRow > row && newRow <= kGridRows) {
    if (TrimBlanks(grid.Cell(newRow, kPageColumn)).empty()) {
      const long long next = static_cast<long long>(ParseLeadingNumber(grid.Cell(row, kPageColumn))) + 1;
      // A page beyond the cell's six digits is left for the user to type.
      if (next >= 0 && next <= 999999) grid.SetCell(newRow, kPageColumn, WholeNumberText(next));
    }
    if (TrimBlanks(grid.Cell(newRow, kDateColumn)).empty())
      grid.SetCell(newRow, kDateColumn, grid.Cell(row, kDateColumn));
    leave.moveRow = newRow;
    leave.moveColumn = kGrossColumn;
    grid.activeColumn = kGrossColumn;
  }
  return leave;
}

void DeleteActiveCell(BookGrid& grid) {
  if (grid.activeRow >= 1 && grid.activeRow <= kGridRows && grid.activeColumn >= 1 &&
      grid.activeColumn <= kGridColumns)
    grid.SetCell(grid.activeRow, grid.activeColumn, {});
}

}  // namespace tonnage
