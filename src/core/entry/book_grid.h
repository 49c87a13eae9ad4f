// The book grid as the data-entry window sees it, without drawing: 200 rows
// of nine cell texts, the active cell, and the rules that run when a cell is
// left, Delete is pressed, or the window opens and closes.
#pragma once

#include <string>
#include <string_view>

#include "data/model.h"
#include "data/outcome.h"
#include "entry/grid_columns.h"

namespace tonnage {

class Session;

class BookGrid {
 public:
  BookGrid() : columns_(SetGridColumns("E", "")) {}

  // Rows 1..200, columns 1..9.
  const std::string& Cell(int row, int column) const { return At(row, column); }
  void SetCell(int row, int column, std::string text) { At(row, column) = std::move(text); }
  const TicketRow& Row(int row) const { return rows_[static_cast<std::size_t>(row - 1)]; }
  TicketRow& Row(int row) { return rows_[static_cast<std::size_t>(row - 1)]; }
  const BookRows& rows() const { return rows_; }
  BookRows& rows() { return rows_; }

  // A row is used when its page number, trimmed, is not empty.
  bool RowUsed(int row) const;

  // `count` empty rows before `row`; the bottom `count` rows drop off.
  void InsertBlankRows(int row, int count);
  // Removes rows `first`..`first + count - 1`; empty rows come in at the bottom.
  void DeleteRows(int first, int count);

  void SetColumns(GridColumns columns) { columns_ = std::move(columns); }
  const GridColumns& columns() const { return columns_; }

  int activeRow = 1;
  int activeColumn = 1;

 private:
  std::string& At(int row, int column) {
    return rows_[static_cast<std::size_t>(row - 1)].cells[static_cast<std::size_t>(column - 1)];
  }
  const std::string& At(int row, int column) const {
    return rows_[static_cast<std::size_t>(row - 1)].cells[static_cast<std::size_t>(column - 1)];
  }

  BookRows rows_;
  GridColumns columns_;
};

// Columns for `book`'s data type and the file's units, on the grid.
void SetGridColumns(const Session& session, int book, BookGrid& grid);

// Fills the session's rows from the book's section file (only when the book
// has comments) and shows them in the grid, numbers as typed ones show,
// active cell at the first empty row, column 1.
// Returns the comment line for `Label2`.
std::string LoadBookIntoGrid(Session& session, int book, BookGrid& grid);

// Copies the grid into the session's rows (marks become "Y"), names an
// unnamed book that has page numbers "BOOK NUMBER  n", and rewrites the
// book's section file. A failed write is returned; the rows stay in memory.
// The book's journal goes once the section file is written.
Outcome SaveGridToBook(Session& session, int book, const BookGrid& grid);

// Keeps the grid's rows in the book's journal in the work folder (the cursor
// left a row, or a row operation ran), for recovery after a killed run.
Outcome KeepGridRows(const Session& session, int book, const BookGrid& grid);

// What leaving a cell did.
struct CellLeave {
  std::string message;  // shown to the user when not empty
  // Where the cursor goes instead of the requested cell (0: as requested).
  int moveRow = 0;
  int moveColumn = 0;
};

// Two ways of typing fewer keys, chosen in the grid's menu.
struct GridOptions {
  bool skipMarks = false;  // the row ends at Pct. Bitum.; marks by mouse or Space
  bool carryPct = false;   // the next row gets this row's Pct. Bitum.
};

// Leaving (column, row) for (newColumn, newRow): text the cell cannot take
// is kept and its reason given; moving on past the end of a row (Note, or
// Pct. Bitum. with the marks skipped) to the next row carries the page
// number (plus one), the date and, if asked, the percent into that row's
// empty cells and goes to its first weight.
CellLeave LeaveCell(BookGrid& grid, int column, int row, int newColumn, int newRow, const GridOptions& options = {});

// The row after the last one that holds anything (200 when that is full).
int FirstEmptyRow(const BookGrid& grid);
// The first used row whose page number is `page`; 0 when none is.
int FindPageRow(const BookGrid& grid, std::string_view page);

// Delete with no modifier: empties the active cell.
void DeleteActiveCell(BookGrid& grid);

}  // namespace tonnage
