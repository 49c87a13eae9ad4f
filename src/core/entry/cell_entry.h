// What a cell of the book grid makes of the text typed into it. Nothing the
// user typed is changed silently: text the cell cannot take is kept as typed,
// with the reason, for the user to correct.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "entry/grid_columns.h"

namespace tonnage {

struct CellEntry {
  std::string text;  // what the cell holds from now on
  bool accepted = true;
  std::string reason;  // why it was not accepted
};

// The text a cell holds when the user leaves it: blanks trimmed, a decimal
// comma read as the point where the cell takes decimals, a date given its
// slashes and leading zeros (09282026 and 9/28/2026 give 09/28/2026), a mark
// Y or empty, a number in the grid's one form (whole, or three decimals).
CellEntry EnterCell(const ColumnRule& rule, std::string_view typed);

// A cell read from a file shown as a typed one would be; text the cell
// cannot take stays as it is.
std::string ShowAsEntered(const ColumnRule& rule, std::string_view text);

// The slashes of a date put in while it is typed: "0928" gives "09/28" and
// "09282" "09/28/2"; anything but digits typed in order is left alone.
std::string ShapeDateAsTyped(std::string_view typed);

// A key pressed on a mark cell: Y sets it, N, Space on a set mark and Delete
// clear it, Space on a clear mark sets it. Any other key: nullopt.
std::optional<std::string> MarkAfterKey(std::string_view current, char key);

}  // namespace tonnage
