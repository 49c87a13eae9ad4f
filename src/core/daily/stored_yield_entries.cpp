#include "daily/stored_yield_entries.h"

#include <charconv>
#include <optional>

#include "daily/daily_summary.h"
#include "data/session.h"

namespace tonnage::daily {
namespace {

constexpr const char* kModule = "yield";
constexpr int kModuleVersion = 1;
constexpr const char* kTables = R"sql(
CREATE TABLE yield_entry(
  book INTEGER NOT NULL, date TEXT NOT NULL, station_from TEXT NOT NULL, station_to TEXT NOT NULL,
  length TEXT NOT NULL, width TEXT NOT NULL, thickness TEXT NOT NULL, target_rate TEXT NOT NULL,
  gmm TEXT NOT NULL,
  PRIMARY KEY(book, date)) WITHOUT ROWID;
)sql";

// Shortest text that reads back as the same double, never the locale's.
std::string Num(double v) {
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, v);
  return std::string(text, r.ptr);
}

double ReadNum(const std::string& text) {
  double v = 0;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

struct Field {
  const char* name;
  std::string value;
};

std::vector<Field> Fields(const YieldEntry& e) {
  return {{"stations", e.stationFrom.empty() && e.stationTo.empty() ? "" : e.stationFrom + " to " + e.stationTo},
          {"length", e.stationFrom.empty() ? Num(e.length) : ""},
          {"width", Num(e.width)},
          {"thickness", Num(e.thickness)},
          {"target rate", e.gmm > 0 ? "" : Num(e.targetRate)},
          {"Gmm", e.gmm > 0 ? Num(e.gmm) : ""}};
}

}  // namespace

Outcome EnsureYieldTables(store::ProjectStore& store) { return store.EnsureModule(kModule, kModuleVersion, kTables); }

std::vector<YieldEntry> LoadYieldEntries(store::ProjectStore& store) {
  std::vector<YieldEntry> out;
  if (!store.isOpen() || store.ModuleVersion(kModule) != kModuleVersion) return out;
  store::Statement q(store.db(),
                     "SELECT book, date, station_from, station_to, length, width, thickness, target_rate, gmm "
                     "FROM yield_entry ORDER BY date, book");
  while (q.Next() == store::Step::Row)
    out.push_back({static_cast<int>(q.Int(0)), q.Text(1), q.Text(2), q.Text(3), ReadNum(q.Text(4)), ReadNum(q.Text(5)),
                   ReadNum(q.Text(6)), ReadNum(q.Text(7)), ReadNum(q.Text(8))});
  return out;
}

std::string DescribeYieldChange(const YieldEntry* before, const YieldEntry* after) {
  const std::vector<Field> was = before ? Fields(*before) : std::vector<Field>{};
  const std::vector<Field> is = after ? Fields(*after) : std::vector<Field>{};
  std::string out;
  const std::vector<Field>& names = before ? was : is;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string a = before ? was[i].value : "", b = after ? is[i].value : "";
    if (a == b) continue;
    out += (out.empty() ? "" : ", ") + std::string(names[i].name) + " ";
    out += !before ? b : !after ? a : (a.empty() ? "(none)" : a) + " -> " + (b.empty() ? "(none)" : b);
  }
  return out;
}

StoredYieldEntries::StoredYieldEntries(Session& session) : session_(session) {
  for (const YieldEntry& e : LoadYieldEntries(session.store())) (void)held_.Put(e);
}

Outcome StoredYieldEntries::Put(const YieldEntry& entry) {
  std::optional<YieldEntry> before;
  for (const YieldEntry& e : held_.Entries())
    if (e.book == entry.book && e.dateKey == entry.dateKey) before = e;
  if (before && *before == entry) return Outcome::Success();
  if (Outcome r = Record(before ? &*before : nullptr, &entry, entry.book, entry.dateKey); !r) return r;
  return held_.Put(entry);
}

Outcome StoredYieldEntries::Remove(int book, const std::string& dateKey) {
  std::optional<YieldEntry> before;
  for (const YieldEntry& e : held_.Entries())
    if (e.book == book && e.dateKey == dateKey) before = e;
  if (!before) return Outcome::Success();
  if (Outcome r = Record(&*before, nullptr, book, dateKey); !r) return r;
  return held_.Remove(book, dateKey);
}

Outcome StoredYieldEntries::Record(const YieldEntry* before, const YieldEntry* after, int book,
                                   const std::string& dateKey) {
  const std::string what = "yield entry of book " + std::to_string(book) + " for " + ShowDay(dateKey);
  const std::string reason = what +
                             (!before  ? " added: "
                              : !after ? " removed: "
                                       : ": ") +
                             DescribeYieldChange(before, after);
  std::string details = "book=" + std::to_string(book) + "\ndate=" + dateKey + "\n";
  if (after)
    for (const Field& f : Fields(*after)) details += std::string(f.name) + "=" + f.value + "\n";
  std::optional<YieldEntry> row;
  if (after) row = *after;
  auto write = [row, book, dateKey, reason, details](store::ProjectStore& s) -> Outcome {
    if (Outcome r = EnsureYieldTables(s); !r) return r;
    return s.Write([&](store::ProjectStore& w) -> Outcome {
      store::Statement drop(w.db(), "DELETE FROM yield_entry WHERE book = ?1 AND date = ?2");
      drop.Bind(1, std::int64_t{book}).Bind(2, dateKey);
      if (Outcome r = drop.Run(); !r) return r;
      if (row) {
        store::Statement put(w.db(),
                             "INSERT INTO yield_entry(book, date, station_from, station_to, length, width, "
                             "thickness, target_rate, gmm) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
        put.Bind(1, std::int64_t{row->book}).Bind(2, row->dateKey).Bind(3, row->stationFrom);
        put.Bind(4, row->stationTo).Bind(5, Num(row->length)).Bind(6, Num(row->width));
        put.Bind(7, Num(row->thickness)).Bind(8, Num(row->targetRate)).Bind(9, Num(row->gmm));
        if (Outcome r = put.Run(); !r) return r;
      }
      return w.AppendEntry(kModule, reason, details);
    });
  };
  store::ProjectStore& store = session_.store();
  if (!store.isOpen()) {
    // No store before the first save: the entry goes with it.
    store.QueueForNextSave(write);
    return Outcome::Success();
  }
  return write(store);
}

}  // namespace tonnage::daily
