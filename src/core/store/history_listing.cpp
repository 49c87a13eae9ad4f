#include "store/history_listing.h"

#include <algorithm>
#include <cctype>

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
