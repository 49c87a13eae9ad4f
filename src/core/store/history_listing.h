// The history as the History window and `tonnage history` list it: one row
// per recorded change, newest entry first, filtered by book, page, date and
// text; as CSV and as plain text.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "store/project_store.h"

namespace tonnage::store {

struct HistoryFilter {
  int book = 0;          // 0: every book; else the book before or after the change
  std::string page;      // empty: every page; "1201" matches "001201"
  std::string fromDate;  // YYYY-MM-DD, local date of the entry; empty: no bound
  std::string toDate;
  std::string text;  // anywhere in the entry or the change, any case
};

struct HistoryRow {
  Entry entry;
  Change change;
  bool hasChange = false;  // an entry that changed no ticket (a save with nothing new)
};

std::vector<HistoryRow> ListHistory(ProjectStore& store, const HistoryFilter& filter);

// Header row and one row per HistoryRow, CR LF ended.
std::string HistoryCsv(const std::vector<HistoryRow>& rows);
// Each entry's heading once, then its changes indented.
std::string HistoryText(const std::vector<HistoryRow>& rows);
// "2026-12-07 08:12:00 +0100  inspector  tonnage resave 4.2.1  save: reason"
std::string EntryHeading(const Entry& entry);
// HistoryText in pages of at most `linesPerPage` lines, each headed by
// `title` and a blank line.
std::vector<std::vector<std::string>> HistoryPages(const std::vector<HistoryRow>& rows, const std::string& title,
                                                   std::size_t linesPerPage = 60);

// The last recorded change of every ticket of book `book` (its number now)
// that changed after the history started, by page number: what changed, who,
// when and why, a few lines for a tooltip. Books renumbered by earlier saves
// are followed back through their moves.
std::map<long, std::string> TicketHistoryNotes(ProjectStore& store, int book);

}  // namespace tonnage::store
