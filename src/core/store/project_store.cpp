#include "store/project_store.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "store/sha256.h"
#include "tonnage_version.h"

namespace tonnage::store {
namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE entry(
  seq INTEGER PRIMARY KEY,
  utc TEXT NOT NULL, local TEXT NOT NULL, login TEXT NOT NULL, version TEXT NOT NULL,
  program TEXT NOT NULL, kind TEXT NOT NULL, reason TEXT NOT NULL, details TEXT NOT NULL,
  state TEXT NOT NULL, content TEXT NOT NULL, prev TEXT NOT NULL, hash TEXT NOT NULL);
CREATE TABLE change(
  entry INTEGER NOT NULL, n INTEGER NOT NULL, what TEXT NOT NULL,
  book INTEGER NOT NULL, old_book INTEGER NOT NULL, page TEXT NOT NULL, field TEXT NOT NULL,
  old TEXT NOT NULL, new TEXT NOT NULL,
  PRIMARY KEY(entry, n)) WITHOUT ROWID;
CREATE INDEX change_ticket ON change(book, page);
CREATE TABLE state_index(id INTEGER PRIMARY KEY CHECK(id = 1), line TEXT NOT NULL);
CREATE TABLE state_book(pos INTEGER PRIMARY KEY, header TEXT NOT NULL, tickets BLOB NOT NULL);
CREATE TABLE module(name TEXT PRIMARY KEY, version INTEGER NOT NULL);
PRAGMA user_version = 1;
)sql";

// A year's job keeps its store far below this; a larger file is no store of ours.
constexpr std::uint64_t kMaxStoreBytes = 1ull << 30;

void Field(std::string& out, std::string_view value) {
  out += std::to_string(value.size());
  out += ':';
  out.append(value.data(), value.size());
  out += '\n';
}

std::string TimeText(const std::tm& t, const char* format) {
  char text[64];
  std::strftime(text, sizeof text, format, &t);
  return text;
}

std::string LoginName() {
  if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name) return pw->pw_name;
  for (const char* var : {"LOGNAME", "USER"})
    if (const char* v = std::getenv(var); v && *v) return v;
  return std::to_string(::geteuid());
}

// Why a file cannot be a store at all, or empty.
std::string Unusable(const std::string& path, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return path + " is a folder, not a history file. Move it away, then save again.";
  if (S_ISLNK(st.st_mode))
    return path +
           " is a link. The history is kept only in a plain file beside the data file: "
           "move the link away, then save again.";
  if (!S_ISREG(st.st_mode)) return path + " is not a plain file. Move it away, then save again.";
  return {};
}

std::uint32_t BigEndian(const unsigned char* p, int n) {
  std::uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = (v << 8) | p[i];
  return v;
}

// Why the bytes of `path` are no SQLite database whole, or empty.
std::string DamagedHeader(const std::string& path, std::uint64_t size) {
  if (size == 0) return {};
  if (size > kMaxStoreBytes) return "it is larger than any history file";
  unsigned char header[100] = {};
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return std::string("it cannot be read: ") + std::strerror(errno);
  const std::size_t n = std::fread(header, 1, sizeof header, in);
  std::fclose(in);
  if (n < sizeof header || std::memcmp(header, "SQLite format 3", 16) != 0) return "it is not a history file";
  std::uint64_t pageSize = BigEndian(header + 16, 2);
  if (pageSize == 1) pageSize = 65536;
  const std::uint64_t pages = BigEndian(header + 28, 4);
  // The page count is valid when the change counter matches its copy.
  if (BigEndian(header + 24, 4) == BigEndian(header + 92, 4) && pages * pageSize > size) return "it is cut short";
  return {};
}

std::string SetAsideName(const std::string& path) {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  ::localtime_r(&now, &t);
  const std::string base = path + ".damaged-" + TimeText(t, "%Y%m%d-%H%M%S");
  std::string name = base;
  struct stat st {};
  for (int n = 2; ::lstat(name.c_str(), &st) == 0; ++n) name = base + "-" + std::to_string(n);
  return name;
}

// The last entry of a store being set aside, read as far as it can be.
std::string LastHashOf(const std::string& path) {
  Database old;
  if (!old.Open(path, OpenMode::ReadOnly)) return "unreadable";
  Statement last(old, "SELECT seq, hash FROM entry ORDER BY seq DESC LIMIT 1");
  if (last.Next() != Step::Row) return "unreadable";
  return "entry " + std::to_string(last.Int(0)) + ", hash " + last.Text(1).substr(0, 200);
}

}  // namespace

std::string StorePathFor(const std::string& dataFile) {
  std::string real = dataFile;
  struct stat st {};
  if (::lstat(dataFile.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* resolved = ::realpath(dataFile.c_str(), nullptr)) {
      real = resolved;
      std::free(resolved);
    }
  }
  return real + kStoreSuffix;
}

EntryStamp StampNow(const std::string& program) {
  const std::time_t now = std::time(nullptr);
  std::tm utc{}, local{};
  ::gmtime_r(&now, &utc);
  ::localtime_r(&now, &local);
  return {TimeText(utc, "%Y-%m-%dT%H:%M:%SZ"), TimeText(local, "%Y-%m-%d %H:%M:%S %z"), LoginName(), version::kText,
          program};
}

std::string CanonicalEntry(const Entry& e, const std::vector<Change>& changes) {
  std::string out = "tonnage history entry 1\n";
  const std::string seq = std::to_string(e.seq);  // outlives the list of views below
  for (std::string_view f :
       {std::string_view(seq), std::string_view(e.stamp.utc), std::string_view(e.stamp.local),
        std::string_view(e.stamp.login), std::string_view(e.stamp.version), std::string_view(e.stamp.program),
        std::string_view(e.kind), std::string_view(e.reason), std::string_view(e.details), std::string_view(e.state),
        std::string_view(e.content), std::string_view(e.prev)})
    Field(out, f);
  Field(out, std::to_string(changes.size()));
  for (const Change& c : changes) {
    Field(out, c.what);
    Field(out, std::to_string(c.book));
    Field(out, std::to_string(c.oldBook));
    Field(out, c.page);
    Field(out, c.field);
    Field(out, c.oldValue);
    Field(out, c.newValue);
  }
  return out;
}

std::string EntryHash(const Entry& entry, const std::vector<Change>& changes) {
  return Sha256Hex(CanonicalEntry(entry, changes));
}

StoreOpen ProjectStore::Open(const std::string& dataFile, const std::string& program) {
  Close();
  program_ = program;
  const std::string path = StorePathFor(dataFile);
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) return {Outcome::Io("Cannot open " + path + ": " + std::strerror(errno)), {}, false};
    return Start(path, {});
  }
  if (std::string why = Unusable(path, st); !why.empty())
    return {Outcome::Failure(OutcomeKind::IoError, "History", why), {}, false};
  std::string damage = DamagedHeader(path, static_cast<std::uint64_t>(st.st_size));
  if (damage.empty()) {
    if (Outcome opened = db_.Open(path, OpenMode::ReadWrite); !opened) return {opened, {}, false};
    Outcome schema = CheckSchema();
    if (schema) return {Outcome::Success(), {}, false};
    // Busy, unreadable, out of memory: not the file's fault, so not set aside.
    if (schema.kind != OutcomeKind::BadLine) {
      db_.Close();
      return {schema, {}, false};
    }
    damage = schema.message;
  }
  db_.Close();
  const std::string aside = SetAsideName(path);
  const std::string last = LastHashOf(path);
  if (::rename(path.c_str(), aside.c_str()) != 0)
    return {Outcome::Io("Cannot set aside the damaged " + path + ": " + std::strerror(errno)), {}, false};
  // A journal belongs to the file it was written for.
  ::rename((path + "-journal").c_str(), (aside + "-journal").c_str());
  std::string details = "the history file " + path + " could not be used: " + damage + ". It was kept as " + aside +
                        "; its last entry: " + last + ".";
  StoreOpen started = Start(path, details);
  if (started.outcome)
    started.notice = "The history of this file could not be used (" + damage + "). It was kept as " + aside +
                     " and a new history was started.";
  return started;
}

StoreOpen ProjectStore::Start(const std::string& path, std::string firstDetails) {
  if (Outcome opened = db_.Open(path, OpenMode::Create); !opened) {
    db_.Close();
    ::unlink(path.c_str());
    // SQLite names the file it could not make, not why: a folder that may
    // not be written in is the usual cause.
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (::access(folder.c_str(), W_OK) != 0)
      opened = Outcome::Io("Cannot start the history " + path + ": its folder cannot be written in (" +
                           std::strerror(errno) + ").");
    return {opened, {}, false};
  }
  Outcome made = Write([&](ProjectStore& s) -> Outcome {
    if (Outcome r = s.db_.Exec(kSchema); !r) return r;
    if (!firstDetails.empty()) return s.AppendEntry("restart", "history could not be used", firstDetails);
    return Outcome::Success();
  });
  if (!made) {
    db_.Close();
    ::unlink(path.c_str());
    ::unlink((path + "-journal").c_str());
    return {made, {}, false};
  }
  return {Outcome::Success(), {}, true};
}

Outcome ProjectStore::CheckSchema() {
  // A failure the file's bytes explain makes it damaged (BadLine); others not.
  auto failed = [&](std::string why) {
    return db_.FileIsDamaged() ? Outcome::Failure(OutcomeKind::BadLine, "History", std::move(why))
                               : db_.Error("Cannot read");
  };
  auto damaged = [](std::string why) { return Outcome::Failure(OutcomeKind::BadLine, "History", std::move(why)); };
  Statement version(db_, "PRAGMA user_version");
  if (version.Next() != Step::Row) return failed("it is not a history file");
  const std::int64_t v = version.Int(0);
  if (v == 0) {
    Statement any(db_, "SELECT count(*) FROM sqlite_master");
    if (any.Next() != Step::Row) return failed("it is not a history file");
    if (any.Int(0) != 0) return damaged("it is not a history file");
    // An empty database (a file made empty): start it.
    return db_.Exec(kSchema);
  }
  if (v != kSchemaVersion)
    return damaged("it was written in a form (" + std::to_string(v) + ") this version does not know");
  Statement hostile(db_, "SELECT count(*) FROM sqlite_master WHERE type IN ('trigger', 'view')");
  if (hostile.Next() != Step::Row) return failed("it cannot be read");
  if (hostile.Int(0) != 0) return damaged("it holds triggers or views");
  Statement tables(db_,
                   "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                   "('entry', 'change', 'state_index', 'state_book', 'module')");
  if (tables.Next() != Step::Row) return failed("it cannot be read");
  if (tables.Int(0) != 5) return damaged("its tables are missing");
  // Reading the last entry and the state walks the pages a save needs.
  Statement last(db_, "SELECT seq, hash FROM entry ORDER BY seq DESC LIMIT 1");
  if (last.Next() == Step::Error) return failed("it cannot be read");
  Statement state(db_, "SELECT count(*), sum(length(tickets)) FROM state_book");
  if (state.Next() != Step::Row) return failed("it cannot be read");
  return Outcome::Success();
}

Outcome ProjectStore::OpenToRead(const std::string& dataFile) {
  Close();
  const std::string path = StorePathFor(dataFile);
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return Outcome::Io(path + " does not exist: the file has no history yet.");
  if (std::string why = Unusable(path, st); !why.empty()) return Outcome::Io(why);
  if (std::string damage = DamagedHeader(path, static_cast<std::uint64_t>(st.st_size)); !damage.empty())
    return Outcome::Io(path + " cannot be used: " + damage + ".");
  if (Outcome opened = db_.Open(path, OpenMode::ReadOnly); !opened) return opened;
  if (Outcome schema = CheckSchema(); !schema) {
    db_.Close();
    return Outcome::Io(path + " cannot be used: " + schema.message + ".");
  }
  return Outcome::Success();
}

void ProjectStore::Close() {
  db_.Close();
  queued_.clear();
  depth_ = 0;
}

Outcome ProjectStore::EnsureModule(std::string_view module, int version, std::string_view createSql,
                                   const std::function<Outcome(ProjectStore&, int)>& migrate) {
  const int found = ModuleVersion(module);
  if (found == version) return Outcome::Success();
  if (found > version)
    return Outcome::Io("The " + std::string(module) + " tables of " + path() +
                       " were written by a newer version of the program.");
  return Write([&](ProjectStore& s) -> Outcome {
    Outcome r = found == 0 ? s.db_.Exec(createSql)
                           : (migrate ? migrate(s, found)
                                      : Outcome::Io("The " + std::string(module) + " tables of " + s.path() +
                                                    " are of an older form that cannot be brought up to date."));
    if (!r) return r;
    Statement put(s.db_, "INSERT OR REPLACE INTO module(name, version) VALUES(?1, ?2)");
    put.Bind(1, module).Bind(2, std::int64_t{version});
    return put.Run();
  });
}

int ProjectStore::ModuleVersion(std::string_view module) {
  Statement get(db_, "SELECT version FROM module WHERE name = ?1");
  get.Bind(1, module);
  return get.Next() == Step::Row ? static_cast<int>(get.Int(0)) : 0;
}

Outcome ProjectStore::Write(const std::function<Outcome(ProjectStore&)>& body) {
  if (!db_.isOpen()) return Outcome::Io("No history file is open");
  if (depth_ > 0) return body(*this);
  Transaction t(db_);
  if (!t.outcome()) return t.outcome();
  ++depth_;
  Outcome done = body(*this);
  --depth_;
  if (!done) return done;
  return t.Commit();
}

Outcome ProjectStore::AppendEntry(std::string_view kind, std::string_view reason, std::string_view details,
                                  const std::vector<Change>& changes, std::string_view state,
                                  std::string_view content) {
  return Write([&](ProjectStore& s) -> Outcome {
    Entry e;
    e.prev = kFirstPrev;
    e.seq = 1;
    if (std::optional<Entry> last = s.LastEntry()) {
      e.seq = last->seq + 1;
      e.prev = last->hash;
      e.state = last->state;
      e.content = last->content;
    }
    if (!state.empty()) e.state = state;
    if (!content.empty()) e.content = content;
    e.stamp = StampNow(s.program_);
    e.kind = kind;
    e.reason = reason;
    e.details = details;
    e.hash = EntryHash(e, changes);
    Statement put(s.db_,
                  "INSERT INTO entry(seq, utc, local, login, version, program, kind, reason, details, state, "
                  "content, prev, hash) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
    put.Bind(1, e.seq).Bind(2, e.stamp.utc).Bind(3, e.stamp.local).Bind(4, e.stamp.login);
    put.Bind(5, e.stamp.version).Bind(6, e.stamp.program).Bind(7, e.kind).Bind(8, e.reason);
    put.Bind(9, e.details).Bind(10, e.state).Bind(11, e.content).Bind(12, e.prev).Bind(13, e.hash);
    if (Outcome r = put.Run(); !r) return r;
    Statement change(s.db_,
                     "INSERT INTO change(entry, n, what, book, old_book, page, field, old, new) "
                     "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
    std::int64_t n = 0;
    for (const Change& c : changes) {
      change.Reset();
      change.Bind(1, e.seq).Bind(2, ++n).Bind(3, c.what).Bind(4, std::int64_t{c.book});
      change.Bind(5, std::int64_t{c.oldBook}).Bind(6, c.page).Bind(7, c.field);
      change.Bind(8, c.oldValue).Bind(9, c.newValue);
      if (Outcome r = change.Run(); !r) return r;
    }
    return Outcome::Success();
  });
}

Outcome ProjectStore::RunQueued() {
  for (const auto& write : queued_)
    if (Outcome r = write(*this); !r) return r;
  return Outcome::Success();
}

namespace {

Entry ReadEntry(const Statement& q) {
  Entry e;
  e.seq = q.Int(0);
  e.stamp = {q.Text(1), q.Text(2), q.Text(3), q.Text(4), q.Text(5)};
  e.kind = q.Text(6);
  e.reason = q.Text(7);
  e.details = q.Text(8);
  e.state = q.Text(9);
  e.content = q.Text(10);
  e.prev = q.Text(11);
  e.hash = q.Text(12);
  return e;
}

constexpr const char* kEntryColumns =
    "SELECT seq, utc, local, login, version, program, kind, reason, details, state, content, prev, hash FROM entry ";

}  // namespace

std::optional<Entry> ProjectStore::LastEntry() {
  Statement q(db_, std::string(kEntryColumns) + "ORDER BY seq DESC LIMIT 1");
  if (q.Next() != Step::Row) return std::nullopt;
  return ReadEntry(q);
}

std::vector<std::pair<Entry, std::vector<Change>>> ProjectStore::Entries() {
  std::vector<std::pair<Entry, std::vector<Change>>> out;
  Statement q(db_, std::string(kEntryColumns) + "ORDER BY seq DESC");
  Statement c(db_, "SELECT what, book, old_book, page, field, old, new FROM change WHERE entry = ?1 ORDER BY n");
  while (q.Next() == Step::Row) {
    out.emplace_back(ReadEntry(q), std::vector<Change>{});
    c.Reset();
    c.Bind(1, out.back().first.seq);
    while (c.Next() == Step::Row)
      out.back().second.push_back({c.Text(0), static_cast<int>(c.Int(1)), static_cast<int>(c.Int(2)), c.Text(3),
                                   c.Text(4), c.Text(5), c.Text(6)});
  }
  return out;
}

}  // namespace tonnage::store
