#include "store/report_runs.h"

#include <cstdlib>
#include <string_view>

#include "data/section_file.h"
#include "store/state_diff.h"

namespace tonnage::store {
namespace {

constexpr const char* kModule = "report";
constexpr const char* kTables =
    "CREATE TABLE report_ticket(book INTEGER NOT NULL, page INTEGER NOT NULL, PRIMARY KEY(book, page)) "
    "WITHOUT ROWID;";

Outcome PutTickets(ProjectStore& s, int book, const std::set<long>& pages) {
  Statement put(s.db(), "INSERT OR IGNORE INTO report_ticket(book, page) VALUES(?1, ?2)");
  for (long page : pages) {
    put.Reset();
    put.Bind(1, std::int64_t{book}).Bind(2, std::int64_t{page});
    if (Outcome r = put.Run(); !r) return r;
  }
  return Outcome::Success();
}

}  // namespace

long PageNumber(const std::string& page) { return std::atol(page.c_str()); }

ReportedTickets TicketsOf(const DataState& state) {
  ReportedTickets out;
  for (std::size_t k = 0; k < state.books.size(); ++k) {
    if (state.books[k].tickets.empty()) continue;
    std::set<long>& pages = out[static_cast<int>(k) + 1];
    for (const std::string& line : state.books[k].tickets)
      pages.insert(PageNumber(ParseTicketLine(line)[TicketField::PageNo]));
  }
  return out;
}

ReportedRead LoadReportedTickets(ProjectStore& store) {
  ReportedRead out;
  if (store.ModuleVersion(kModule) == 0) return out;
  Statement q(store.db(), "SELECT book, page FROM report_ticket");
  Step step;
  while ((step = q.Next()) == Step::Row) out.tickets[static_cast<int>(q.Int(0))].insert(static_cast<long>(q.Int(1)));
  if (step == Step::Error) out.outcome = store.db().Error("Cannot read the reported tickets of");
  return out;
}

ReportRecording RecordReportRun(ProjectStore& store, const DataState& reported,
                                const std::vector<Change>& sinceRecorded) {
  ReportRecording out;
  const ReportedTickets shown = TicketsOf(reported);
  // The recorded number of each book of `reported`; 0 for books set up since.
  std::map<int, int> recordedNumber;
  for (const auto& [book, pages] : shown) recordedNumber[book] = book;
  for (const Change& c : sinceRecorded) {
    if (c.what == std::string_view(kBookSetUp)) recordedNumber[c.book] = 0;
    if (c.what == std::string_view(kBookMoved)) recordedNumber[c.book] = c.oldBook;
  }
  ChangeSummary summary;
  for (const auto& [book, pages] : shown) {
    summary.books.push_back(book);
    summary.tickets += static_cast<int>(pages.size());
  }
  out.outcome = store.Write([&](ProjectStore& s) -> Outcome {
    if (Outcome r = s.EnsureModule(kModule, 1, kTables); !r) return r;
    for (const auto& [book, pages] : shown) {
      const int number = recordedNumber[book];
      if (number == 0) {
        out.pending[book] = pages;
        continue;
      }
      if (Outcome r = PutTickets(s, number, pages); !r) return r;
    }
    return s.AppendEntry("report", "", "the report showed " + DescribeSummary(summary));
  });
  return out;
}

Outcome CoverPendingTickets(ProjectStore& store, const ReportedTickets& pending, const std::vector<Change>& changes) {
  if (pending.empty()) return Outcome::Success();
  return store.Write([&](ProjectStore& s) -> Outcome {
    if (Outcome r = s.EnsureModule(kModule, 1, kTables); !r) return r;
    for (const Change& c : changes) {
      if (c.what != std::string_view(kBookSetUp)) continue;
      const auto it = pending.find(c.book);
      if (it == pending.end()) continue;
      // Only pages the save wrote into the book.
      std::set<long> written;
      for (const Change& t : changes)
        if (t.what == std::string_view(kTicketAdded) && t.book == c.book && it->second.count(PageNumber(t.page)))
          written.insert(PageNumber(t.page));
      if (Outcome r = PutTickets(s, c.book, written); !r) return r;
    }
    return Outcome::Success();
  });
}

std::vector<Change> ChangesNeedingReason(const std::vector<Change>& changes, const ReportedTickets& reported) {
  std::vector<Change> out;
  if (reported.empty()) return out;
  for (const Change& c : changes) {
    if (c.what != std::string_view(kTicketChanged) && c.what != std::string_view(kTicketRemoved)) continue;
    const auto it = reported.find(c.oldBook);
    if (it != reported.end() && it->second.count(PageNumber(c.page))) out.push_back(c);
  }
  return out;
}

}  // namespace tonnage::store
