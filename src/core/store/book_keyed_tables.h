// Feature tables keyed by book number (and page) follow the books when a
// save or a change made outside renumbers them: the data file has no book
// numbers of its own, so deleting book 3 moves every book behind it up one.
#pragma once

#include <vector>

#include "data/outcome.h"
#include "store/project_store.h"

namespace tonnage::store {

// A table with an INTEGER column `book` and, when `byPage`, an INTEGER
// column `page` (the ticket's Page No).
struct BookKeyedTable {
  const char* name;
  bool byPage;
};

// The tables kept in step by every recording; a table not in the store is
// passed over.
const std::vector<BookKeyedTable>& BookKeyedTables();

// Rows of deleted books (and, for tables by page, of removed tickets) are
// dropped; rows of moved books take the new number. `changes` as DiffStates
// gives them, old numbers in `oldBook`.
Outcome FollowBookChanges(ProjectStore& store, const std::vector<Change>& changes);

}  // namespace tonnage::store
