// The history of a data file kept in its project store: the state last
// recorded (the content of every book, so the next save can say what
// changed), an entry for every write of the file and for every change found
// on opening it, and the check of chain and file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/data_state.h"
#include "store/project_store.h"

namespace tonnage::store {

inline constexpr const char* kChangedOutside = "changed outside the program";

// The state last recorded; `recorded` false when the store holds none yet.
struct RecordedState {
  Outcome outcome;
  DataState state;
  bool recorded = false;
};
RecordedState LoadRecordedState(ProjectStore& store);

// What a recording did, so that it can be taken back.
struct Recording {
  Outcome outcome;
  std::int64_t seq = 0;
  RecordedState before;
  std::vector<Change> changes;
};

// Records `now` (whose data-file bytes hash to `bytesHash`) as the file's
// state: an entry of `kind` with every difference from the state recorded
// before, the kept state brought up to date and the queued writes run, in
// one transaction.
Recording RecordState(ProjectStore& store, const DataState& now, const std::string& bytesHash, const std::string& kind,
                      const std::string& reason);
// Takes back a recording whose data file never reached the disk.
Outcome UndoRecording(ProjectStore& store, const Recording& recording);

// On opening `dataFile`: starts its history with the whole content when the
// store holds none, or records what differs from the state recorded last
// ("changed outside the program"). `notice` tells the user, once, which
// books and how many tickets.
struct OpenRecording {
  Outcome outcome;
  std::string notice;
};
OpenRecording RecordOnOpen(ProjectStore& store, const std::string& dataFile);

// The chain of entries unbroken, the kept state the last entry's, and the
// data file holding that state. `message` names the first broken entry or
// the first difference (book, page, field).
struct Verification {
  bool ok = false;
  std::string message;
};
Verification VerifyHistory(ProjectStore& store, const std::string& dataFile);

// A change as one line of text: "book 3 page 003201 Net Weight: 47000 -> 47250".
std::string DescribeChange(const Change& change);

}  // namespace tonnage::store
