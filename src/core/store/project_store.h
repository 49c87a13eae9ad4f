// The project store: one SQLite file beside a data file ("JOB.K81.history")
// holding what the data file's fixed columns cannot: the history of every
// change, chained by SHA-256 so that an edit, a deletion or a reordering of
// an entry shows, and the tables of other features.
//
// Using the store from another feature
// ------------------------------------
// 1. Keep your own tables. Once per open, before touching them, call
//
//      store.EnsureModule("import", 1,
//                         "CREATE TABLE import_ticket(book INTEGER, page TEXT, ...);");
//
//    The first call in a store runs the SQL and records the module's
//    version; later calls only check it. A store written by a newer version
//    of your module fails with a message (do not touch its tables then). To
//    change your tables later, raise the version and pass a `migrate`
//    function that brings tables of an older version up to date; it runs in
//    the same transaction as the version change. Name your tables with your
//    module's name first (import_..., yield_...): the core's own are entry,
//    change, state_index, state_book and module. Triggers and views are not
//    allowed in a store (a store carrying any is set aside as damaged).
//
// 2. Change your tables and say so in the history, in one transaction:
//
//      Outcome done = store.Write([&](store::ProjectStore& s) -> Outcome {
//        store::Statement put(s.db(), "INSERT INTO import_ticket VALUES(?1, ?2, ...)");
//        put.Bind(1, book).Bind(2, page) ...;
//        if (Outcome r = put.Run(); !r) return r;
//        return s.AppendEntry("import", reason, canonicalDetails);
//      });
//
//    Everything in the body commits together or not at all; a body that
//    returns a failure rolls back. `details` is part of the entry's hash:
//    put there the content of your change in a fixed textual form (for
//    example one "field=value" line per ticket), so that an edit of it shows
//    in `tonnage verify`. Your table rows themselves are not hashed.
//
// 3. Writes that belong with the next save of the data file (for example
//    details of tickets that exist only once the file is saved) go to
//    QueueForNextSave() of the open file's store: they run inside the save's
//    own transaction, after the save's entry, and are dropped once it
//    commits (kept when the save fails).
//
// Reading needs no transaction: store::Statement over store.db().
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/outcome.h"
#include "store/database.h"

namespace tonnage::store {

inline constexpr const char* kStoreSuffix = ".history";
// The schema this program writes (PRAGMA user_version).
inline constexpr int kSchemaVersion = 1;
// The prev of the first entry.
inline const std::string kFirstPrev(64, '0');

// Beside the data file itself when `dataFile` is a link.
std::string StorePathFor(const std::string& dataFile);

// Who wrote, when and with what: every entry carries one.
struct EntryStamp {
  std::string utc;    // 2026-12-07T06:58:12Z
  std::string local;  // 2026-12-07 07:58:12 +0100
  std::string login;
  std::string version;
  std::string program;  // "quarrendale-tonnage", "tonnage resave" ...
};
EntryStamp StampNow(const std::string& program);

// One recorded difference. Book numbers are those of the data file: `book`
// after the change, `oldBook` before it (0 where there is none).
struct Change {
  std::string what;  // one of the kChange... texts below
  int book = 0;
  int oldBook = 0;
  std::string page;   // page number as written ("001201"), empty for books and the index
  std::string field;  // caption of the field ("Net Weight", "Comments", "Ref No.")
  std::string oldValue;
  std::string newValue;
  bool operator==(const Change&) const = default;
};
inline constexpr const char* kChangeIndex = "index";
inline constexpr const char* kBookSetUp = "book set up";
inline constexpr const char* kBookChanged = "book changed";
inline constexpr const char* kBookMoved = "book moved";
inline constexpr const char* kBookDeleted = "book deleted";
inline constexpr const char* kTicketAdded = "ticket added";
inline constexpr const char* kTicketChanged = "ticket changed";
inline constexpr const char* kTicketRemoved = "ticket removed";

struct Entry {
  std::int64_t seq = 0;
  EntryStamp stamp;
  std::string kind;  // "start", "save", "outside", "restart", or a module's
  std::string reason;
  std::string details;
  std::string state;    // SHA-256 of the data file's bytes once this entry holds
  std::string content;  // SHA-256 of that content as a save writes it (the kept state)
  std::string prev;
  std::string hash;
};

// The bytes an entry's hash is taken over: every field, its changes
// included, in a fixed order, each as its length, ':' and its bytes.
std::string CanonicalEntry(const Entry& entry, const std::vector<Change>& changes);
std::string EntryHash(const Entry& entry, const std::vector<Change>& changes);

struct StoreOpen {
  Outcome outcome;     // a store that cannot be used at all (a folder, a link...)
  std::string notice;  // for the user: a damaged store was set aside
  bool created = false;
};

class ProjectStore {
 public:
  ProjectStore() = default;
  ProjectStore(ProjectStore&&) noexcept = default;
  ProjectStore& operator=(ProjectStore&&) noexcept = default;

  // Opens (or starts) the store of `dataFile`. A damaged store (not SQLite,
  // cut short, a schema this program does not know, triggers or views) is
  // renamed aside and a new one started whose first entry names it and its
  // last hash. A store path that is a folder, a link or a device is refused.
  // `program` goes into every entry this object writes.
  StoreOpen Open(const std::string& dataFile, const std::string& program);
  // Opens an existing store to read it only (verify, history).
  Outcome OpenToRead(const std::string& dataFile);
  void Close();
  bool isOpen() const { return db_.isOpen(); }
  const std::string& path() const { return db_.path(); }
  Database& db() { return db_; }
  const std::string& program() const { return program_; }

  Outcome EnsureModule(std::string_view module, int version, std::string_view createSql,
                       const std::function<Outcome(ProjectStore&, int oldVersion)>& migrate = {});
  // 0 when the module has no tables here.
  int ModuleVersion(std::string_view module);

  // Runs `body` in one transaction (nested calls join the outer one).
  Outcome Write(const std::function<Outcome(ProjectStore&)>& body);
  // Appends an entry after the last one (in Write, or a transaction of its
  // own). The data file's state stays the last entry's unless `state` and
  // `content` say (the history's own recording of saves does).
  Outcome AppendEntry(std::string_view kind, std::string_view reason, std::string_view details,
                      const std::vector<Change>& changes = {}, std::string_view state = {},
                      std::string_view content = {});

  // Writes run by the next save (see above). Should the data file not be
  // put in place after the store committed, the save's entry is taken back
  // and the queue kept: the next save runs it again, so write idempotently
  // (INSERT OR REPLACE).
  void QueueForNextSave(std::function<Outcome(ProjectStore&)> write) { queued_.push_back(std::move(write)); }
  // Runs the queued writes (inside the save's transaction).
  Outcome RunQueued();
  void DropQueued() { queued_.clear(); }
  // The queued writes, for a save that records in another store (Save As).
  std::vector<std::function<Outcome(ProjectStore&)>> TakeQueued() { return std::exchange(queued_, {}); }

  std::optional<Entry> LastEntry();
  // Entries newest first, with their changes.
  std::vector<std::pair<Entry, std::vector<Change>>> Entries();

 private:
  StoreOpen Start(const std::string& path, std::string firstDetails);
  Outcome CheckSchema();

  Database db_;
  std::string program_;
  int depth_ = 0;
  std::vector<std::function<Outcome(ProjectStore&)>> queued_;
};

}  // namespace tonnage::store
