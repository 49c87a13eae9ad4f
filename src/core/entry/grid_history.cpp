#include "entry/grid_history.h"

namespace tonnage {

GridDelta DiffRows(const BookRows& before, const BookRows& after) {
  GridDelta delta;
  std::size_t first = 0;
  while (first < before.size() && before[first] == after[first]) ++first;
  if (first == before.size()) return delta;
  std::size_t last = before.size() - 1;
  while (last > first && before[last] == after[last]) --last;
  delta.first = static_cast<int>(first);
  delta.before.assign(before.begin() + static_cast<long>(first), before.begin() + static_cast<long>(last) + 1);
  delta.after.assign(after.begin() + static_cast<long>(first), after.begin() + static_cast<long>(last) + 1);
  return delta;
}

void ApplyDelta(BookRows& rows, const GridDelta& delta, bool forward) {
  const std::vector<TicketRow>& source = forward ? delta.after : delta.before;
  for (std::size_t i = 0; i < source.size(); ++i) rows[static_cast<std::size_t>(delta.first) + i] = source[i];
}

}  // namespace tonnage
