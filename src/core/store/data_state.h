// A data file's content as the history compares it: the index line and each
// book's header line and ticket lines, upper-cased and in file order, as a
// save would write them.
#pragma once

#include <string>
#include <vector>

#include "data/model.h"
#include "data/outcome.h"

namespace tonnage::store {

struct StateBook {
  std::string header;                // "* t g.gggg comments"
  std::vector<std::string> tickets;  // ticket lines
  bool operator==(const StateBook&) const = default;
};

struct DataState {
  std::string indexLine;
  std::vector<StateBook> books;  // book k of the file is books[k - 1]
  bool operator==(const DataState&) const = default;
};

struct DataStateRead {
  Outcome outcome;
  DataState state;
};

// The state of a data file on disk, read by the rules of Open.
DataStateRead ReadDataState(const std::string& path);
// The state the open data would be saved as: every book in use with its
// section file's lines. Empty data types count as "0", as a save writes them.
DataStateRead CollectDataState(const IndexRecord& index, const BookTable& books, const std::string& sectionFolder);

// The bytes of the data file holding `state` (CR LF line ends).
std::string DataFileBytes(const DataState& state);

int TicketCount(const DataState& state);

}  // namespace tonnage::store
