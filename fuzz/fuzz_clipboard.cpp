// Any text as the clipboard: rows are taken only when every cell fits its
// column, never more than asked, and rows taken write back to the same text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "entry/book_grid.h"
#include "entry/grid_columns.h"
#include "entry/row_menu.h"

using namespace tonnage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char* const kKinds[][2] = {{"E", "0"}, {"E", "1"}, {"E", "2"}, {"M", "0"}, {"M", "2"}};
  const auto& kind = kKinds[data[0] % 5];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const GridColumns columns = SetGridColumns(kind[0], kind[1]);
  const int maxRows = 1 + data[0] % 200;
  const ClipboardRows parsed = ParseClipboardRows(text, columns, maxRows);
  if (!parsed.error.empty()) {
    if (!parsed.rows.empty()) std::abort();
    return 0;
  }
  if (static_cast<int>(parsed.rows.size()) > maxRows) std::abort();
  if (parsed.rows.empty()) return 0;
  // Rows put into a grid and copied out parse back to the same rows.
  BookGrid grid;
  grid.SetColumns(columns);
  for (std::size_t i = 0; i < parsed.rows.size(); ++i) grid.Row(static_cast<int>(i) + 1) = parsed.rows[i];
  const std::string copied = FormatClipboardRows(grid, 1, static_cast<int>(parsed.rows.size()));
  const ClipboardRows again = ParseClipboardRows(copied, columns, maxRows);
  if (!again.error.empty() || again.rows != parsed.rows) std::abort();
  return 0;
}
