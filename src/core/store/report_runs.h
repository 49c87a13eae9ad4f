// Tickets that appeared in a report run. The agency is paid from the report,
// so a ticket it showed and that is changed or removed later needs a reason
// on record; the store keeps which tickets each run covered and follows them
// as books are renumbered by later saves (report_ticket is one of the
// book-keyed tables every recording keeps in step).
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "data/outcome.h"
#include "store/data_state.h"
#include "store/project_store.h"

namespace tonnage::store {

// Per book, the page numbers (as numbers: "001201" is 1201).
using ReportedTickets = std::map<int, std::set<long>>;

long PageNumber(const std::string& page);

// The tickets of `state`, per book.
ReportedTickets TicketsOf(const DataState& state);

// The reported tickets kept in `store` (books numbered as in the state last
// recorded); none when no report ever ran.
struct ReportedRead {
  Outcome outcome;
  ReportedTickets tickets;
};
ReportedRead LoadReportedTickets(ProjectStore& store);

// Records a report run over `reported`, whose differences from the state
// last recorded are `sinceRecorded` (DiffStates of the two): an entry
// "report" in the history and every ticket it showed, under the book's
// number in the recorded state. Books set up since that state have no such
// number yet: their tickets come back, numbered as in `reported`, for the
// next save to cover.
struct ReportRecording {
  Outcome outcome;
  ReportedTickets pending;
};
ReportRecording RecordReportRun(ProjectStore& store, const DataState& reported,
                                const std::vector<Change>& sinceRecorded);

// After a save whose changes are `changes`: the pending tickets of books it
// set up (see RecordReportRun) are covered from now on.
Outcome CoverPendingTickets(ProjectStore& store, const ReportedTickets& pending, const std::vector<Change>& changes);

// The changes among `changes` that change or remove a reported ticket.
std::vector<Change> ChangesNeedingReason(const std::vector<Change>& changes, const ReportedTickets& reported);

}  // namespace tonnage::store
