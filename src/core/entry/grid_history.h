// One step of the grid's undo history: the rows a change touched, before
// and after, so a hundred steps of a 200-row book stay small.
#pragma once

#include <vector>

#include "data/model.h"

namespace tonnage {

struct GridDelta {
  int first = 0;  // 0-based index of the first row that changed
  std::vector<TicketRow> before, after;

  bool empty() const { return before.empty(); }
};

// The run of rows from the first to the last that differ.
GridDelta DiffRows(const BookRows& before, const BookRows& after);

// Puts the delta's `after` rows (forward) or its `before` rows into `rows`.
void ApplyDelta(BookRows& rows, const GridDelta& delta, bool forward);

}  // namespace tonnage
