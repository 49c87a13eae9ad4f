// The nine columns of the book grid: titles, widths and what each cell may
// hold, which for the weight columns depends on the book's data type and the
// file's units.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "data/model.h"

namespace tonnage {

inline constexpr int kGridRows = kMaxRows;
inline constexpr int kGridColumns = kTicketFields;

// Grid columns are numbered 1..9 like the ticket fields they hold.
inline constexpr int kPageColumn = 1;
inline constexpr int kDateColumn = 2;
inline constexpr int kGrossColumn = 3;
inline constexpr int kPctColumn = 6;
inline constexpr int kNoteColumn = 9;

enum class CellKind {
  WholeNumber,  // digits only, 0..max
  Decimal3,     // digits, one period, at most three decimals, 0..max
  Date,         // mm/dd/yyyy, 01/01/1990..12/31/2100
  Mark,         // at most one character
};

struct ColumnRule {
  std::string title;
  double width = 0;  // in character widths
  CellKind kind = CellKind::Mark;
  // Upper bound of a number cell and its text as shown to the user.
  double max = 0;
  std::string maxText;
  bool alignRight = false;
};

struct GridColumns {
  std::array<ColumnRule, kGridColumns> columns;
  // `Label1`: the unit the weights are typed in.
  std::string weightUnitLine;

  const ColumnRule& operator[](int column) const {  // 1-based
    return columns[static_cast<std::size_t>(column - 1)];
  }
};

// The columns for a book of `dataType` ("0", "1", "2" or empty) in a file of
// `unitSystem` ("M" metric, anything else English).
GridColumns SetGridColumns(std::string_view unitSystem, std::string_view dataType);

// The grid window's caption.
std::string DataEntryCaption(std::string_view unitSystem);

// How far a text typed into a cell is from a value the cell accepts. Used
// while typing (Intermediate: can still become one) and on pasting.
enum class CellInput { Acceptable, Intermediate, Invalid };

struct CellCheck {
  CellInput state = CellInput::Acceptable;
  // Why an Invalid text is refused; for a number above its bound, the bound.
  std::string reason;
};

CellCheck CheckCellInput(const ColumnRule& rule, std::string_view text);

// True when `text` is a finished value of the cell's kind (empty is one).
bool CellAccepts(const ColumnRule& rule, std::string_view text);

}  // namespace tonnage
