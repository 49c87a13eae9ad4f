#include "import/ticket_details.h"

#include <cctype>

#include "data/session.h"

namespace tonnage::import {
namespace {

constexpr const char* kModule = "import";
constexpr int kModuleVersion = 1;
constexpr const char* kTables = R"sql(
CREATE TABLE import_ticket(
  book INTEGER NOT NULL, page INTEGER NOT NULL, ticket TEXT NOT NULL, load_time TEXT NOT NULL,
  truck TEXT NOT NULL, mix TEXT NOT NULL, plant TEXT NOT NULL, source_file TEXT NOT NULL,
  source_row INTEGER NOT NULL,
  PRIMARY KEY(book, page)) WITHOUT ROWID;
)sql";

constexpr const char* kColumns =
    "SELECT book, page, ticket, load_time, truck, mix, plant, source_file, source_row FROM import_ticket ";

TicketDetails Read(const store::Statement& q) {
  return {static_cast<int>(q.Int(0)),
          static_cast<long>(q.Int(1)),
          q.Text(2),
          q.Text(3),
          q.Text(4),
          q.Text(5),
          q.Text(6),
          q.Text(7),
          static_cast<int>(q.Int(8))};
}

bool HasDetails(store::ProjectStore& store) { return store.isOpen() && store.ModuleVersion(kModule) == kModuleVersion; }

// Imports waiting for a save, by session; an entry lapses with the queued
// write that holds it (a save that ran it, or a file closed unsaved).
std::vector<std::pair<const Session*, std::weak_ptr<PendingImport>>>& Waiting() {
  static std::vector<std::pair<const Session*, std::weak_ptr<PendingImport>>> waiting;
  return waiting;
}

}  // namespace

Outcome EnsureTicketDetailsTables(store::ProjectStore& store) {
  return store.EnsureModule(kModule, kModuleVersion, kTables);
}

Outcome PutTicketDetails(store::ProjectStore& store, const std::vector<TicketDetails>& tickets) {
  if (Outcome r = EnsureTicketDetailsTables(store); !r) return r;
  return store.Write([&](store::ProjectStore& s) -> Outcome {
    store::Statement put(s.db(),
                         "INSERT OR REPLACE INTO import_ticket(book, page, ticket, load_time, truck, mix, plant, "
                         "source_file, source_row) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
    for (const TicketDetails& t : tickets) {
      put.Reset();
      put.Bind(1, std::int64_t{t.book}).Bind(2, std::int64_t{t.page}).Bind(3, t.ticket).Bind(4, t.time);
      put.Bind(5, t.truck).Bind(6, t.mix).Bind(7, t.plant).Bind(8, t.sourceFile);
      put.Bind(9, std::int64_t{t.sourceRow});
      if (Outcome r = put.Run(); !r) return r;
    }
    return Outcome::Success();
  });
}

std::map<long, TicketDetails> BookTicketDetails(store::ProjectStore& store, int fileBook) {
  std::map<long, TicketDetails> out;
  if (!HasDetails(store)) return out;
  store::Statement q(store.db(), std::string(kColumns) + "WHERE book = ?1");
  q.Bind(1, std::int64_t{fileBook});
  while (q.Next() == store::Step::Row) {
    TicketDetails t = Read(q);
    out.emplace(t.page, std::move(t));
  }
  return out;
}

std::optional<TicketDetails> FindTicketDetails(store::ProjectStore& store, int fileBook, long page) {
  if (!HasDetails(store)) return std::nullopt;
  store::Statement q(store.db(), std::string(kColumns) + "WHERE book = ?1 AND page = ?2");
  q.Bind(1, std::int64_t{fileBook}).Bind(2, std::int64_t{page});
  if (q.Next() != store::Step::Row) return std::nullopt;
  return Read(q);
}

std::string TicketDetailsText(const TicketDetails& t) {
  std::string line = "E-ticket " + t.ticket;
  const std::pair<const char*, const std::string*> parts[] = {
      {", loaded ", &t.time}, {", truck ", &t.truck}, {", mix ", &t.mix}, {", plant ", &t.plant}};
  for (const auto& [label, value] : parts)
    if (!value->empty()) line += label + *value;
  return line + "\nImported from " + t.sourceFile + ", row " + std::to_string(t.sourceRow);
}

int FileBookNumber(const BookTable& books, int slot) {
  int n = 0;
  for (int k = 1; k <= slot && k <= kMaxBooks; ++k)
    if (books[static_cast<std::size_t>(k - 1)].InUse()) ++n;
  return n;
}

std::shared_ptr<PendingImport> QueueImportDetails(Session& session, const ImportPreview& preview,
                                                  const std::string& fileName) {
  auto pending = std::make_shared<PendingImport>();
  for (const ETicket& t : preview.rows)
    if (t.status == RowStatus::Import && t.book > 0)
      pending->tickets.push_back({t.book, t.page, t.ticket, t.time, t.truck, t.mix, t.plant, fileName, t.row});
  pending->reason = ImportHistoryText(preview, fileName);
  AddSaveReason(session, pending->reason);
  const BookTable* books = &session.books;
  session.store().QueueForNextSave([pending, books](store::ProjectStore& s) -> Outcome {
    if (pending->withdrawn) return Outcome::Success();
    std::vector<TicketDetails> numbered = pending->tickets;
    for (TicketDetails& t : numbered) t.book = FileBookNumber(*books, t.book);
    Outcome put = PutTicketDetails(s, numbered);
    pending->written = put.ok();
    return put;
  });
  Waiting().emplace_back(&session, pending);
  return pending;
}

std::vector<std::shared_ptr<const PendingImport>> PendingImports(const Session& session) {
  auto& waiting = Waiting();
  std::erase_if(waiting, [](const auto& w) { return w.second.expired(); });
  std::vector<std::shared_ptr<const PendingImport>> out;
  for (const auto& [owner, weak] : waiting)
    if (owner == &session)
      if (std::shared_ptr<PendingImport> p = weak.lock(); p && !p->withdrawn && !p->written) out.push_back(p);
  return out;
}

void AddSaveReason(Session& session, const std::string& reason) {
  if (reason.empty()) return;
  session.saveReason += (session.saveReason.empty() ? "" : "; ") + reason;
}

std::optional<int> MinutesOfDay(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  int parts[3] = {-1, -1, -1};
  int n = 0, digits = 0, value = 0;
  std::size_t i = 0;
  for (; i < text.size() && n < 3; ++i) {
    const char c = text[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      value = value * 10 + (c - '0');
      if (++digits > 4) return std::nullopt;
    } else if (c == ':' && digits > 0) {
      parts[n++] = value;
      value = digits = 0;
    } else {
      break;
    }
  }
  if (digits > 0 && n < 3) parts[n++] = value;
  if (n == 1 && digits == 4) {  // "0703"
    parts[0] = value / 100;
    parts[1] = value % 100;
    n = 2;
  }
  if (n < 2) return std::nullopt;
  std::string rest(text.substr(i));
  for (char& c : rest) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  while (!rest.empty() && rest.front() == ' ') rest.erase(0, 1);
  int hour = parts[0];
  if (rest == "AM" || rest == "PM") {
    if (hour < 1 || hour > 12) return std::nullopt;
    hour = hour % 12 + (rest == "PM" ? 12 : 0);
  } else if (!rest.empty()) {
    return std::nullopt;
  }
  if (hour > 23 || parts[1] > 59 || (n == 3 && parts[2] > 59)) return std::nullopt;
  return hour * 60 + parts[1];
}

daily::LoadTimes StoredLoadTimes(store::ProjectStore& store) {
  daily::LoadTimes out;
  if (!HasDetails(store)) return out;
  store::Statement q(store.db(), "SELECT book, page, load_time FROM import_ticket");
  while (q.Next() == store::Step::Row)
    if (const auto minutes = MinutesOfDay(q.Text(2)))
      out[{static_cast<int>(q.Int(0)), static_cast<long>(q.Int(1))}] = *minutes;
  return out;
}

}  // namespace tonnage::import
