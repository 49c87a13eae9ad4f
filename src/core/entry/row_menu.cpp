#include "entry/row_menu.h"

#include <charconv>

#include <algorithm>

#include "entry/cell_entry.h"
#include "io/line_reader.h"
#include "text/fixed_width.h"

namespace tonnage {
namespace {

int RowCount(const RowMenuState& state) { return state.SelLastRow - state.SelFirstRow + 1; }

// None of the bottom `count` rows is used, so `count` rows can be pushed off.
bool BottomFree(const BookGrid& grid, int count) {
  for (int row = kGridRows - count + 1; row <= kGridRows; ++row)
    if (row >= 1 && grid.RowUsed(row)) return false;
  return true;
}

// A clipboard block of `count` rows at the selection fits and pushes no
// used row off the bottom if it is inserted.
bool ClipBlockFits(const RowMenuState& state, const BookGrid& grid) {
  const int count = state.ClipRowCount;
  return count > 0 && state.SelFirstRow >= 1 && state.SelFirstRow + count - 1 <= kGridRows && BottomFree(grid, count);
}

std::vector<CellKind> KindsOf(const GridColumns& columns) {
  std::vector<CellKind> kinds;
  for (const ColumnRule& rule : columns.columns) kinds.push_back(rule.kind);
  return kinds;
}

void ActivateFirstCell(const RowMenuState& state, BookGrid& grid) {
  grid.activeRow = state.SelFirstRow;
  grid.activeColumn = 1;
}

std::string Number(int value) {
  char buffer[16];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// A cell as it travels: a tab or a line end inside it would split the row.
std::string ClipCell(const std::string& text, bool mark) {
  if (text.find_first_of("\t\r\n") == std::string::npos) return text;
  if (mark) return "Y";  // any character counts as a set mark
  std::string clean = text;
  for (char& c : clean)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return clean;
}

// A first line whose cells name at least two of the grid's columns is a
// spreadsheet's header row.
bool IsHeaderRow(const std::vector<std::string>& cells, const GridColumns& columns) {
  int named = 0;
  for (const std::string& cell : cells)
    for (const ColumnRule& rule : columns.columns)
      if (!cell.empty() && ToUpper(TrimBlanks(cell)) == ToUpper(rule.title)) ++named;
  return named >= 2;
}

// `columns` null: cells taken as they are (the run's own copied rows).
ClipboardRows SplitRows(std::string_view text, const GridColumns* columns, int maxRows, int firstColumn = 1) {
  ClipboardRows result;
  std::vector<std::vector<std::string>> lines = SplitClipboardCells(text);
  if (columns && !lines.empty() && IsHeaderRow(lines.front(), *columns)) lines.erase(lines.begin());
  if (lines.empty()) {
    result.error = "The clipboard holds no rows to paste.";
    return result;
  }
  if (maxRows > 0 && static_cast<int>(lines.size()) > maxRows) {
    result.error = "The clipboard holds " + Number(static_cast<int>(lines.size())) + " rows; only " + Number(maxRows) +
                   " fit here.";
    return result;
  }
  std::string errors;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string where = "Row " + Number(static_cast<int>(i + 1)) + " of the clipboard";
    TicketRow row;
    const std::vector<std::string>& cells = lines[i];
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const int column = firstColumn + static_cast<int>(c);
      if (column > kGridColumns) {
        if (!TrimBlanks(cells[c]).empty()) {
          errors += where + " has more cells than the grid has columns from here.\n";
          break;
        }
        continue;
      }
      std::string& cell = row.cells[static_cast<std::size_t>(column - 1)];
      if (!columns) {
        cell = cells[c];
        continue;
      }
      const ColumnRule& rule = (*columns)[column];
      const CellEntry entry = EnterCell(rule, cells[c]);
      if (!entry.accepted) {
        errors += where + ", " + rule.title + ": \"" + std::string(TrimBlanks(cells[c])) + "\" does not fit. " +
                  entry.reason + ".\n";
        continue;
      }
      cell = entry.text;
    }
    result.rows.push_back(std::move(row));
  }
  if (!errors.empty()) {
    errors.pop_back();
    result.error = std::move(errors);
    result.rows.clear();
  }
  return result;
}

}  // namespace

std::vector<std::vector<std::string>> SplitClipboardCells(std::string_view text) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> lines = io::SplitLines(text);
  while (!lines.empty() && TrimBlanks(lines.back()).empty()) lines.pop_back();
  for (const std::string& line : lines) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
      const std::size_t tab = line.find('\t', start);
      cells.emplace_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    rows.push_back(std::move(cells));
  }
  return rows;
}

int ClipboardRowCount(std::string_view text, const GridColumns& columns) {
  std::vector<std::vector<std::string>> rows = SplitClipboardCells(text);
  if (!rows.empty() && IsHeaderRow(rows.front(), columns)) rows.erase(rows.begin());
  return static_cast<int>(std::min<std::size_t>(rows.size(), kGridRows));
}

namespace {

ClipboardRows TakeClipboard(const RowMenuState& state, const BookGrid& grid, std::string_view text) {
  const bool ownCopy = text == state.copiedText && state.copiedKinds == KindsOf(grid.columns());
  return SplitRows(text, ownCopy ? nullptr : &grid.columns(), state.ClipRowCount);
}

void PutRows(BookGrid& grid, int firstRow, const std::vector<TicketRow>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) grid.Row(firstRow + static_cast<int>(i)) = rows[i];
}

RowOperation Refused(std::string message) {
  RowOperation op;
  op.message = std::move(message);
  return op;
}

RowOperation PutOnClipboard(RowMenuState& state, const BookGrid& grid) {
  RowOperation op;
  op.setClipboard = true;
  op.clipboardText = FormatClipboardRows(grid, state.SelFirstRow, state.SelLastRow);
  state.copiedText = op.clipboardText;
  state.copiedKinds = KindsOf(grid.columns());
  return op;
}

}  // namespace

std::optional<RowMenuItems> OpenRowMenu(RowMenuState& state, const BookGrid& grid, int firstColumn, int firstRow,
                                        int lastColumn, int lastRow) {
  (void)lastColumn;
  if (firstColumn >= 1 || firstRow < 1 || lastRow >= kGridRows || lastRow < firstRow) return std::nullopt;
  state.SelFirstRow = firstRow;
  state.SelLastRow = lastRow;
  RowMenuItems items;
  items.insertBlank = BottomFree(grid, RowCount(state));
  // The clipboard items are judged by the rows they will really touch: the
  // block of ClipRowCount rows must end by row 200, and inserting it must
  // push no used row off the bottom.
  items.paste = items.clipInsert = ClipBlockFits(state, grid);
  return items;
}

RowOperation InsertBlankRows(RowMenuState& state, BookGrid& grid) {
  const int count = RowCount(state);
  ActivateFirstCell(state, grid);
  if (!BottomFree(grid, count)) return Refused("The last rows of the grid are in use.");
  state.ClipRowCount = 0;
  grid.InsertBlankRows(state.SelFirstRow, count);
  RowOperation op;
  op.changed = true;
  return op;
}

RowOperation CutRows(RowMenuState& state, BookGrid& grid) {
  state.ClipRowCount = 0;
  RowOperation op = PutOnClipboard(state, grid);
  grid.DeleteRows(state.SelFirstRow, RowCount(state));
  state.ClipRowCount = RowCount(state);
  ActivateFirstCell(state, grid);
  op.changed = true;
  return op;
}

RowOperation CopyRows(RowMenuState& state, BookGrid& grid) {
  state.ClipRowCount = 0;
  RowOperation op = PutOnClipboard(state, grid);
  state.ClipRowCount = RowCount(state);
  ActivateFirstCell(state, grid);
  return op;
}

RowOperation PasteRows(RowMenuState& state, BookGrid& grid, std::string_view clipboardText,
                       const std::function<bool()>& confirmOverwrite) {
  if (state.ClipRowCount == 0) return {};
  state.SelLastRow = state.SelFirstRow + state.ClipRowCount - 1;
  ActivateFirstCell(state, grid);
  if (state.SelLastRow > kGridRows) return Refused("The rows do not fit below the selected row.");
  ClipboardRows taken = TakeClipboard(state, grid, clipboardText);
  if (!taken.error.empty()) return Refused(taken.error);
  bool used = false;
  for (int row = state.SelFirstRow; row <= state.SelLastRow; ++row) used = used || grid.RowUsed(row);
  if (used && !confirmOverwrite()) return {};
  PutRows(grid, state.SelFirstRow, taken.rows);
  RowOperation op;
  op.changed = true;
  return op;
}

RowOperation InsertRowsFromClipboard(RowMenuState& state, BookGrid& grid, std::string_view clipboardText) {
  if (state.ClipRowCount == 0) return {};
  state.SelLastRow = state.SelFirstRow + state.ClipRowCount - 1;
  ActivateFirstCell(state, grid);
  if (!ClipBlockFits(state, grid))
    return Refused("Inserting the rows would push used rows off the bottom of the book.");
  ClipboardRows taken = TakeClipboard(state, grid, clipboardText);
  if (!taken.error.empty()) return Refused(taken.error);
  grid.InsertBlankRows(state.SelFirstRow, state.ClipRowCount);
  PutRows(grid, state.SelFirstRow, taken.rows);
  RowOperation op;
  op.changed = true;
  return op;
}

void CancelRowMenu(const RowMenuState& state, BookGrid& grid) { ActivateFirstCell(state, grid); }

std::string FormatClipboardRows(const BookGrid& grid, int firstRow, int lastRow) {
  return FormatClipboardCells(grid, firstRow, lastRow, 1, kGridColumns);
}

ClipboardRows ParseClipboardRows(std::string_view text, const GridColumns& columns, int maxRows) {
  return SplitRows(text, &columns, maxRows);
}

RowOperation PasteCells(BookGrid& grid, int row, int column, std::string_view text) {
  const ClipboardRows taken = SplitRows(text, &grid.columns(), kGridRows - row + 1, column);
  if (!taken.error.empty()) return Refused(taken.error);
  std::size_t width = 0;
  for (const std::vector<std::string>& line : SplitClipboardCells(text)) width = std::max(width, line.size());
  width = std::min<std::size_t>(width, static_cast<std::size_t>(kGridColumns - column + 1));
  for (std::size_t i = 0; i < taken.rows.size(); ++i) {
    for (std::size_t c = 0; c < width; ++c) {
      const int at = column + static_cast<int>(c);
      grid.SetCell(row + static_cast<int>(i), at, taken.rows[i].cells[static_cast<std::size_t>(at - 1)]);
    }
  }
  RowOperation op;
  op.changed = true;
  return op;
}

std::string FormatClipboardCells(const BookGrid& grid, int firstRow, int lastRow, int firstColumn, int lastColumn) {
  std::string text;
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int c = firstColumn; c <= lastColumn; ++c) {
      if (c > firstColumn) text += '\t';
      text += ClipCell(grid.Cell(row, c), grid.columns()[c].kind == CellKind::Mark);
    }
    text += '\n';
  }
  return text;
}

}  // namespace tonnage
