#include "store/history_listing.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "report/ticket_export.h"
#include "store/history.h"

namespace tonnage::store {
namespace {

std::string WithoutLeadingZeros(const std::string& page) {
  const std::size_t first = page.find_first_not_of('0');
  return first == std::string::npos ? (page.empty() ? page : "0") : page.substr(first);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

bool Contains(const std::string& haystack, const std::string& lowerNeedle) {
  return Lower(haystack).find(lowerNeedle) != std::string::npos;
}

bool EntryMatches(const Entry& e, const HistoryFilter& f) {
  const std::string day = e.stamp.local.substr(0, 10);
  if (!f.fromDate.empty() && day < f.fromDate) return false;
  if (!f.toDate.empty() && day > f.toDate) return false;
  return true;
}

bool ChangeMatches(const Change& c, const HistoryFilter& f) {
  if (f.book && c.book != f.book && c.oldBook != f.book) return false;
  if (!f.page.empty() && (c.page.empty() || WithoutLeadingZeros(c.page) != WithoutLeadingZeros(f.page))) return false;
  return true;
}

bool TextMatches(const Entry& e, const Change* c, const std::string& needle) {
  if (needle.empty()) return true;
  for (const std::string* s : {&e.reason, &e.details, &e.kind, &e.stamp.login, &e.stamp.program})
    if (Contains(*s, needle)) return true;
  if (!c) return false;
  for (const std::string* s : {&c->what, &c->field, &c->oldValue, &c->newValue, &c->page})
    if (Contains(*s, needle)) return true;
  return false;
}

}  // namespace

std::vector<HistoryRow> ListHistory(ProjectStore& store, const HistoryFilter& f) {
  std::vector<HistoryRow> rows;
  const std::string needle = Lower(f.text);
  const bool ticketFilter = f.book != 0 || !f.page.empty();
  for (auto& [entry, changes] : store.Entries()) {
    if (!EntryMatches(entry, f)) continue;
    bool any = false;
    for (const Change& c : changes) {
      if (!ChangeMatches(c, f) || !TextMatches(entry, &c, needle)) continue;
      rows.push_back({entry, c, true});
      any = true;
    }
    // An entry without changes (a save that changed nothing, a restart) is
    // listed by itself.
    if (!any && changes.empty() && !ticketFilter && TextMatches(entry, nullptr, needle))
      rows.push_back({entry, {}, false});
  }
  return rows;
}

std::string EntryHeading(const Entry& e) {
  std::string text = "#" + std::to_string(e.seq) + "  " + e.stamp.local + "  " + e.stamp.login + "  " +
                     e.stamp.program + " " + e.stamp.version + "  " + e.kind;
  if (!e.reason.empty()) text += ": " + e.reason;
  return text;
}

std::string HistoryText(const std::vector<HistoryRow>& rows) {
  std::string text;
  std::int64_t last = -1;
  for (const HistoryRow& r : rows) {
    if (r.entry.seq != last) {
      text += EntryHeading(r.entry) + "\n";
      if (!r.entry.details.empty()) text += "    " + r.entry.details + "\n";
      last = r.entry.seq;
    }
    if (r.hasChange) text += "    " + DescribeChange(r.change) + "\n";
  }
  return text;
}

std::string HistoryCsv(const std::vector<HistoryRow>& rows) {
  using report::CsvField;
  std::string csv =
      "Entry,UTC,Local,Login,Program,Version,Kind,Reason,Change,Book,Old Book,Page,Field,Old Value,New Value\r\n";
  for (const HistoryRow& r : rows) {
    const Entry& e = r.entry;
    csv += std::to_string(e.seq) + "," + CsvField(e.stamp.utc) + "," + CsvField(e.stamp.local) + "," +
           CsvField(e.stamp.login) + "," + CsvField(e.stamp.program) + "," + CsvField(e.stamp.version) + "," +
           CsvField(e.kind) + "," + CsvField(e.reason) + ",";
    if (r.hasChange) {
      const Change& c = r.change;
      csv += CsvField(c.what) + "," + (c.book ? std::to_string(c.book) : "") + "," +
             (c.oldBook ? std::to_string(c.oldBook) : "") + "," + CsvField(c.page) + "," + CsvField(c.field) + "," +
             CsvField(c.oldValue) + "," + CsvField(c.newValue);
    } else {
      csv += ",,,,,,";
    }
    csv += "\r\n";
  }
  return csv;
}

}  // namespace tonnage::store

namespace tonnage::store {

std::vector<std::vector<std::string>> HistoryPages(const std::vector<HistoryRow>& rows, const std::string& title,
                                                   std::size_t linesPerPage) {
  const std::size_t perPage = std::max<std::size_t>(linesPerPage, 3);
  std::vector<std::vector<std::string>> pages(1, {title, ""});
  const std::string text = HistoryText(rows);
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t nl = text.find('\n', from);
    if (pages.back().size() >= perPage) pages.push_back({title, ""});
    pages.back().push_back(text.substr(from, nl - from));
    from = nl == std::string::npos ? text.size() : nl + 1;
  }
  return pages;
}

std::map<long, std::string> TicketHistoryNotes(ProjectStore& store, int book) {
  std::map<long, std::string> notes;
  // The book's number in each stretch of the history, newest first: from
  // entry `since` on it was `number`.
  struct Stretch {
    std::int64_t since;
    int number;
  };
  std::vector<Stretch> stretches;
  int number = book;
  Statement moves(store.db(),
                  "SELECT entry, what, book, old_book FROM change WHERE what IN (?1, ?2) ORDER BY entry DESC, n");
  moves.Bind(1, std::string_view(kBookMoved)).Bind(2, std::string_view(kBookSetUp));
  while (number > 0 && moves.Next() == Step::Row) {
    if (moves.Int(2) != number) continue;
    stretches.push_back({moves.Int(0), number});
    number = moves.Text(1) == kBookMoved ? static_cast<int>(moves.Int(3)) : 0;
  }
  stretches.push_back({0, number});
  auto numberAt = [&](std::int64_t entry) {
    for (const Stretch& s : stretches)
      if (entry >= s.since) return s.number;
    return 0;
  };

  Statement changes(store.db(),
                    "SELECT c.entry, c.what, c.book, c.page, c.field, c.old, c.new, e.local, e.login, e.reason "
                    "FROM change c JOIN entry e ON e.seq = c.entry "
                    "WHERE c.what IN (?1, ?2) AND e.kind <> 'start' ORDER BY c.entry DESC, c.n");
  changes.Bind(1, std::string_view(kTicketChanged)).Bind(2, std::string_view(kTicketAdded));
  std::map<long, std::int64_t> noted;  // page -> the entry its note is from
  std::map<long, std::string> why;
  while (changes.Next() == Step::Row) {
    const std::int64_t entry = changes.Int(0);
    if (changes.Int(2) == 0 || changes.Int(2) != numberAt(entry)) continue;
    const long page = std::atol(changes.Text(3).c_str());
    const auto seen = noted.find(page);
    if (seen != noted.end() && seen->second != entry) continue;
    std::string& note = notes[page];
    if (seen == noted.end()) {
      noted[page] = entry;
      const bool added = changes.Text(1) == kTicketAdded;
      note = std::string(added ? "Added" : "Changed") + " " + changes.Text(7) + " by " + changes.Text(8);
      const std::string reason = changes.Text(9);
      why[page] = "Why: " + (reason.empty() ? std::string("no reason given") : reason);
      if (added) continue;
    }
    note += "\n" + changes.Text(4) + ": " + changes.Text(5) + " -> " + changes.Text(6);
  }
  for (auto& [page, note] : notes) note += "\n" + why[page];
  return notes;
}

}  // namespace tonnage::store
