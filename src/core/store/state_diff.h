// What changed between two states of a data file, ticket by ticket.
//
// Books are not numbered in the file: deleting book 3 renumbers every book
// behind it. So books are paired before their tickets are compared, in this
// order, each step only among books not yet paired:
//   1. same number and the same header and tickets;
//   2. the same header and tickets under another number (a book that moved
//      up when one before it was deleted), in file order;
//   3. the same header (comments, type, gravity), in file order;
//   4. most page numbers in common, at least half of the smaller book's;
//   5. the same number.
// What is left over was set up (new side) or deleted (old side). Within a
// pair, tickets are followed by their page number (the k-th ticket of a page
// number with the k-th of the same number), so moving rows is no change.
#pragma once

#include <vector>

#include "store/data_state.h"
#include "store/project_store.h"

namespace tonnage::store {

std::vector<Change> DiffStates(const DataState& before, const DataState& after);

// The books (numbers after the change; before it for deleted ones) and the
// number of tickets the changes touch, for telling the user.
struct ChangeSummary {
  std::vector<int> books;
  int tickets = 0;
  bool index = false;
};
ChangeSummary Summarize(const std::vector<Change>& changes);
// "books 3, 7 (12 tickets) and the index record"
std::string DescribeSummary(const ChangeSummary& summary);

// The caption of a ticket field in a book of `dataType`.
const char* TicketFieldCaption(int field, const std::string& dataType);

}  // namespace tonnage::store
