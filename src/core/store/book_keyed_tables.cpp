#include "store/book_keyed_tables.h"

#include <cstdlib>
#include <string>

namespace tonnage::store {

const std::vector<BookKeyedTable>& BookKeyedTables() {
  static const std::vector<BookKeyedTable> tables = {
      {"import_ticket", true}, {"yield_entry", false}, {"report_ticket", true}};
  return tables;
}

namespace {

bool HasTable(ProjectStore& s, const char* name) {
  Statement q(s.db(), "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1");
  q.Bind(1, std::string_view(name));
  return q.Next() == Step::Row;
}

Outcome Run(ProjectStore& s, const std::string& sql, std::int64_t a, std::int64_t b = 0) {
  Statement q(s.db(), sql);
  q.Bind(1, a);
  if (sql.find("?2") != std::string::npos) q.Bind(2, b);
  return q.Run();
}

Outcome Follow(ProjectStore& s, const BookKeyedTable& t, const std::vector<Change>& changes) {
  const std::string table = t.name;
  // Every step below names books by their old numbers until the last one.
  for (const Change& c : changes) {
    if (c.what == kBookDeleted) {
      if (Outcome r = Run(s, "DELETE FROM " + table + " WHERE book = ?1", c.oldBook); !r) return r;
    } else if (t.byPage && c.what == kTicketRemoved && c.oldBook > 0) {
      if (Outcome r =
              Run(s, "DELETE FROM " + table + " WHERE book = ?1 AND page = ?2", c.oldBook, std::atol(c.page.c_str()));
          !r)
        return r;
    }
  }
  bool moved = false;
  for (const Change& c : changes)
    if (c.what == kBookMoved && c.oldBook > 0 && c.book != c.oldBook) {
      // Negative while books trade places, so no two share a number midway.
      if (Outcome r = Run(s, "UPDATE OR REPLACE " + table + " SET book = -?2 WHERE book = ?1", c.oldBook, c.book); !r)
        return r;
      moved = true;
    }
  if (!moved) return Outcome::Success();
  return s.db().Exec("UPDATE OR REPLACE " + table + " SET book = -book WHERE book < 0");
}

}  // namespace

Outcome FollowBookChanges(ProjectStore& store, const std::vector<Change>& changes) {
  if (changes.empty()) return Outcome::Success();
  return store.Write([&](ProjectStore& s) -> Outcome {
    for (const BookKeyedTable& t : BookKeyedTables())
      if (HasTable(s, t.name))
        if (Outcome r = Follow(s, t, changes); !r) return r;
    return Outcome::Success();
  });
}

}  // namespace tonnage::store
