// The row menu of the book grid: which items a whole-row selection enables,
// and the five operations on the selected rows and the clipboard.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/model.h"
#include "entry/book_grid.h"

namespace tonnage {

// Kept for the whole run, across windows and books, so rows cut or copied in
// one book paste into another. All start at 0.
struct RowMenuState {
  int SelFirstRow = 0;
  int SelLastRow = 0;
  int ClipRowCount = 0;
  // The text of the last Cut or Copy and the kinds of the columns it came
  // from: pasted back into columns of the same kinds it is taken as it is,
  // so every cell returns unchanged even if it was loaded from a file in a
  // form the cell would not let the user type.
  std::string copiedText;
  std::vector<CellKind> copiedKinds;
};

struct RowMenuItems {
  bool insertBlank = false;
  bool cut = true;
  bool copy = true;
  bool paste = false;
  bool clipInsert = false;
  bool cancel = true;
};

// A block selection of columns firstColumn..lastColumn, rows firstRow..
// lastRow (column 0 or less: whole rows). Opens the menu (returns its items
// and records the selection) only for whole rows above row 200.
std::optional<RowMenuItems> OpenRowMenu(RowMenuState& state, const BookGrid& grid, int firstColumn, int firstRow,
                                        int lastColumn, int lastRow);

// What an item did; the caller puts `clipboardText` on the clipboard when
// `setClipboard` and shows `message` when not empty (the grid is then as it
// was).
struct RowOperation {
  bool changed = false;
  bool setClipboard = false;
  std::string clipboardText;
  std::string message;
};

inline constexpr const char* kOverwriteQuestion = "Are You Sure You Want To Overwrite The Data";
inline constexpr const char* kOverwriteTitle = "Overwrite Existing Data";
inline constexpr const char* kPasteRefusedTitle = "Paste Rows";

RowOperation InsertBlankRows(RowMenuState& state, BookGrid& grid);
RowOperation CutRows(RowMenuState& state, BookGrid& grid);
RowOperation CopyRows(RowMenuState& state, BookGrid& grid);
// `confirmOverwrite` is asked (Yes/No, No the default) when a row of the
// block is used; only true pastes.
RowOperation PasteRows(RowMenuState& state, BookGrid& grid, std::string_view clipboardText,
                       const std::function<bool()>& confirmOverwrite);
RowOperation InsertRowsFromClipboard(RowMenuState& state, BookGrid& grid, std::string_view clipboardText);
void CancelRowMenu(const RowMenuState& state, BookGrid& grid);

// Rows as text: one line per row, the nine cells separated by tabs, each
// line ended by a line feed (the layout spreadsheets exchange).
std::string FormatClipboardRows(const BookGrid& grid, int firstRow, int lastRow);

struct ClipboardRows {
  std::vector<TicketRow> rows;
  std::string error;  // why the text was refused; empty when it was taken
};

// Splits clipboard text into rows of nine cells and checks every cell
// against the grid's columns, as typing would take it (9/28/2026 becomes
// 09/28/2026). A spreadsheet's header row is skipped. At most `maxRows`
// rows are taken. Refused text gives no rows and names every row and cell
// that does not fit, a line each.
ClipboardRows ParseClipboardRows(std::string_view text, const GridColumns& columns, int maxRows);

// The lines of clipboard text split at tabs (blank lines at the end dropped).
std::vector<std::vector<std::string>> SplitClipboardCells(std::string_view text);

// How many rows the clipboard's text would paste (a header row not counted),
// at most 200: what the paste items are enabled by.
int ClipboardRowCount(std::string_view text, const GridColumns& columns);

// Cells firstColumn..lastColumn of rows firstRow..lastRow as tab-separated lines.
std::string FormatClipboardCells(const BookGrid& grid, int firstRow, int lastRow, int firstColumn, int lastColumn);

// Pastes a block of cells with its top left at (row, column); nothing
// changes when any cell does not fit its column or the block leaves the grid.
RowOperation PasteCells(BookGrid& grid, int row, int column, std::string_view text);

}  // namespace tonnage
