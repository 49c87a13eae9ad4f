// What an imported e-ticket told beyond the book's columns (load time, truck,
// mix, plant, the whole ticket number, where it came from), kept per ticket
// in the project store. Rows are keyed by the book's number in the data file
// and the Page No, and follow the books when a save renumbers them.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "daily/daily_summary.h"
#include "data/model.h"
#include "data/outcome.h"
#include "import/ticket_import.h"
#include "store/project_store.h"

namespace tonnage {
class Session;
}

namespace tonnage::import {

struct TicketDetails {
  int book = 0;  // number in the data file (the slot while the import waits for its save)
  long page = 0;
  std::string ticket;  // the whole ticket number as the export wrote it
  std::string time, truck, mix, plant;
  std::string sourceFile;
  int sourceRow = 0;  // the header being row 1
  bool operator==(const TicketDetails&) const = default;
};

// The import module's tables; call before reading or writing them.
Outcome EnsureTicketDetailsTables(store::ProjectStore& store);
// INSERT OR REPLACE of every row (books numbered as in the data file).
Outcome PutTicketDetails(store::ProjectStore& store, const std::vector<TicketDetails>& tickets);

// The stored details of one book, by Page No; empty when there are none.
std::map<long, TicketDetails> BookTicketDetails(store::ProjectStore& store, int fileBook);
std::optional<TicketDetails> FindTicketDetails(store::ProjectStore& store, int fileBook, long page);

// For the grid's row tooltip and the reconciliation:
// "E-ticket 27001240, loaded 07:03, truck T-101, mix ..., plant ...
//  Imported from eticket-short-tons.csv, row 2"
std::string TicketDetailsText(const TicketDetails& details);

// The number a book slot will have in the saved data file (slots not in
// use are left out of it).
int FileBookNumber(const BookTable& books, int slot);

// An import whose details wait for the next save of the data file; marking
// it withdrawn (Undo Import) keeps them out of the store.
struct PendingImport {
  std::vector<TicketDetails> tickets;  // `book` is the slot
  std::string reason;                  // "imported from FILE, rows a-b"
  bool withdrawn = false;
  bool written = false;  // by a save, into the store
};

// After ApplyImport: queues the details of the imported rows for the next
// save of `session` (numbered by the slots' places then) and adds the
// import to the reason that save records.
std::shared_ptr<PendingImport> QueueImportDetails(Session& session, const ImportPreview& preview,
                                                  const std::string& fileName);

// The imports of `session` whose details wait for its next save, so they
// can be shown before it.
std::vector<std::shared_ptr<const PendingImport>> PendingImports(const Session& session);

// Adds `reason` to what the next save records ("; " between two).
void AddSaveReason(Session& session, const std::string& reason);

// Minutes after midnight of "07:03", "7:03:40", "2:15 PM" or "0703".
std::optional<int> MinutesOfDay(std::string_view time);

// Load times of every stored ticket with a readable time, for the daily summary.
daily::LoadTimes StoredLoadTimes(store::ProjectStore& store);

}  // namespace tonnage::import
