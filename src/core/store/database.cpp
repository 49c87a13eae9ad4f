#include "store/database.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

#include "io/file_writer.h"

namespace tonnage::store {
namespace {

// SQLite's files go through a thin layer of our own over its unix layer, so
// the same fault hook that fails any step of a FileWriter fails the store's
// opens, writes and syncs too.
constexpr const char* kVfsName = "tonnage-store";

sqlite3_vfs* gReal = nullptr;
thread_local int gLastInjected = 0;
// The system's reason for the last failed file step, which SQLite does not
// keep for every path (a failed COMMIT among them).
thread_local int gOsError = 0;
thread_local std::string gOsErrorPath;

struct ShimFile {
  sqlite3_file base;
  std::string* path;
  int writes;
  int pad;
};

sqlite3_file* Real(sqlite3_file* f) {
  return reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(f) + sizeof(ShimFile));
}
ShimFile* Shim(sqlite3_file* f) { return reinterpret_cast<ShimFile*>(f); }

int Inject(io::FaultPoint point, const std::string& path, int index) {
  const int err = io::InjectedFault(point, path, index);
  if (err) {
    gOsError = gLastInjected = errno = err;
    gOsErrorPath = path;
  }
  return err;
}

int Seen(int rc, const std::string& path) {
  if (rc != SQLITE_OK && errno != 0) {
    gOsError = errno;
    gOsErrorPath = path;
  }
  return rc;
}

int ShimClose(sqlite3_file* f) {
  const int rc = Real(f)->pMethods->xClose(Real(f));
  delete Shim(f)->path;
  Shim(f)->path = nullptr;
  return rc;
}
int ShimRead(sqlite3_file* f, void* buf, int n, sqlite3_int64 off) {
  return Real(f)->pMethods->xRead(Real(f), buf, n, off);
}
int ShimWrite(sqlite3_file* f, const void* buf, int n, sqlite3_int64 off) {
  if (Inject(io::FaultPoint::Write, *Shim(f)->path, Shim(f)->writes++)) return SQLITE_IOERR_WRITE;
  errno = 0;
  return Seen(Real(f)->pMethods->xWrite(Real(f), buf, n, off), *Shim(f)->path);
}
int ShimTruncate(sqlite3_file* f, sqlite3_int64 size) { return Real(f)->pMethods->xTruncate(Real(f), size); }
int ShimSync(sqlite3_file* f, int flags) {
  if (Inject(io::FaultPoint::Sync, *Shim(f)->path, 0)) return SQLITE_IOERR_FSYNC;
  errno = 0;
  return Seen(Real(f)->pMethods->xSync(Real(f), flags), *Shim(f)->path);
}
int ShimFileSize(sqlite3_file* f, sqlite3_int64* size) { return Real(f)->pMethods->xFileSize(Real(f), size); }
int ShimLock(sqlite3_file* f, int level) { return Real(f)->pMethods->xLock(Real(f), level); }
int ShimUnlock(sqlite3_file* f, int level) {
  // A transaction ends: the next one counts its writes from 0 again, as a
  // FileWriter counts each file's.
  if (level <= SQLITE_LOCK_SHARED) Shim(f)->writes = 0;
  return Real(f)->pMethods->xUnlock(Real(f), level);
}
int ShimCheckReserved(sqlite3_file* f, int* out) { return Real(f)->pMethods->xCheckReservedLock(Real(f), out); }
int ShimFileControl(sqlite3_file* f, int op, void* arg) { return Real(f)->pMethods->xFileControl(Real(f), op, arg); }
int ShimSectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
int ShimDevice(sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); }

// Version 1 methods: no shared memory (so no WAL) and no memory mapping; the
// store keeps SQLite's rollback journal.
const sqlite3_io_methods kShimMethods = {
    1,        ShimClose,  ShimRead,          ShimWrite,       ShimTruncate,   ShimSync,   ShimFileSize,
    ShimLock, ShimUnlock, ShimCheckReserved, ShimFileControl, ShimSectorSize, ShimDevice, nullptr,
    nullptr,  nullptr,    nullptr,           nullptr,         nullptr};

int ShimOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
  f->pMethods = nullptr;
  const std::string path = name ? name : "";
  if (Inject(io::FaultPoint::Open, path, 0)) return SQLITE_CANTOPEN;
  errno = 0;
  const int rc = Seen(gReal->xOpen(gReal, name, Real(f), flags, outFlags), path);
  if (rc != SQLITE_OK) return rc;
  ShimFile* shim = Shim(f);
  shim->path = new (std::nothrow) std::string(path);
  shim->writes = 0;
  if (!shim->path) {
    Real(f)->pMethods->xClose(Real(f));
    return SQLITE_NOMEM;
  }
  f->pMethods = &kShimMethods;
  return SQLITE_OK;
}

int ShimDelete(sqlite3_vfs*, const char* name, int syncDir) { return gReal->xDelete(gReal, name, syncDir); }
int ShimAccess(sqlite3_vfs*, const char* name, int flags, int* out) { return gReal->xAccess(gReal, name, flags, out); }
int ShimFullPath(sqlite3_vfs*, const char* name, int n, char* out) { return gReal->xFullPathname(gReal, name, n, out); }
void* ShimDlOpen(sqlite3_vfs*, const char* name) { return gReal->xDlOpen(gReal, name); }
void ShimDlError(sqlite3_vfs*, int n, char* out) { gReal->xDlError(gReal, n, out); }
void (*ShimDlSym(sqlite3_vfs*, void* h, const char* sym))(void) { return gReal->xDlSym(gReal, h, sym); }
void ShimDlClose(sqlite3_vfs*, void* h) { gReal->xDlClose(gReal, h); }
int ShimRandom(sqlite3_vfs*, int n, char* out) { return gReal->xRandomness(gReal, n, out); }
int ShimSleep(sqlite3_vfs*, int us) { return gReal->xSleep(gReal, us); }
int ShimTime(sqlite3_vfs*, double* out) { return gReal->xCurrentTime(gReal, out); }
int ShimLastError(sqlite3_vfs*, int n, char* out) {
  if (gLastInjected) {
    const int err = gLastInjected;
    gLastInjected = 0;
    return err;
  }
  return gReal->xGetLastError(gReal, n, out);
}

const char* VfsName() {
  static std::once_flag once;
  static sqlite3_vfs vfs{};
  std::call_once(once, [] {
    sqlite3_initialize();
    gReal = sqlite3_vfs_find(nullptr);
    vfs.iVersion = 1;
    vfs.szOsFile = static_cast<int>(sizeof(ShimFile)) + gReal->szOsFile;
    vfs.mxPathname = gReal->mxPathname;
    vfs.zName = kVfsName;
    vfs.xOpen = ShimOpen;
    vfs.xDelete = ShimDelete;
    vfs.xAccess = ShimAccess;
    vfs.xFullPathname = ShimFullPath;
    vfs.xDlOpen = ShimDlOpen;
    vfs.xDlError = ShimDlError;
    vfs.xDlSym = ShimDlSym;
    vfs.xDlClose = ShimDlClose;
    vfs.xRandomness = ShimRandom;
    vfs.xSleep = ShimSleep;
    vfs.xCurrentTime = ShimTime;
    vfs.xGetLastError = ShimLastError;
    sqlite3_vfs_register(&vfs, 0);
  });
  return kVfsName;
}

}  // namespace

Database::~Database() { Close(); }

Database::Database(Database&& other) noexcept : db_(std::exchange(other.db_, nullptr)), path_(std::move(other.path_)) {}

Database& Database::operator=(Database&& other) noexcept {
  if (this != &other) {
    Close();
    db_ = std::exchange(other.db_, nullptr);
    path_ = std::move(other.path_);
  }
  return *this;
}

Outcome Database::Open(const std::string& path, OpenMode mode) {
  Close();
  path_ = path;
  int flags = SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX;
  if (mode == OpenMode::ReadOnly) flags |= SQLITE_OPEN_READONLY;
  if (mode == OpenMode::ReadWrite) flags |= SQLITE_OPEN_READWRITE;
  if (mode == OpenMode::Create) flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, VfsName());
  if (rc != SQLITE_OK) {
    Outcome failed = Error("Cannot open");
    Close();
    return failed;
  }
  sqlite3_extended_result_codes(db_, 1);
  // Another program reading the store holds it only for a moment.
  sqlite3_busy_timeout(db_, 2000);
  // A file from elsewhere may carry triggers or views meant to run in our
  // writes: none of its schema is trusted, and the file cannot be used to
  // corrupt itself.
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
  // A store of a job is tens of megabytes at most; a file claiming more
  // cannot make us hold more than this.
  sqlite3_limit(db_, SQLITE_LIMIT_LENGTH, 64 << 20);
  sqlite3_limit(db_, SQLITE_LIMIT_SQL_LENGTH, 1 << 20);
  return Outcome::Success();
}

void Database::Close() {
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
}

Outcome Database::Exec(std::string_view sql) {
  if (!db_) return Outcome::Io("No history store is open");
  const std::string text(sql);
  gOsError = 0;
  if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return Error("Cannot write");
  return Outcome::Success();
}

bool Database::FileIsDamaged() const {
  if (!db_) return false;
  const int code = sqlite3_errcode(db_) & 0xff;
  return code == SQLITE_CORRUPT || code == SQLITE_NOTADB || code == SQLITE_FORMAT || code == SQLITE_RANGE ||
         code == SQLITE_MISMATCH || code == SQLITE_ERROR || code == SQLITE_TOOBIG;
}

std::int64_t Database::LastInsertId() const { return db_ ? sqlite3_last_insert_rowid(db_) : 0; }

Outcome Database::Error(std::string_view doing) const {
  // The file that failed: the database or its journal.
  const std::string& file = gOsError != 0 && !gOsErrorPath.empty() ? gOsErrorPath : path_;
  std::string message = std::string(doing) + " " + file + ": ";
  if (!db_) return Outcome::Io(message + "out of memory");
  message += sqlite3_errmsg(db_);
  const int err = sqlite3_system_errno(db_) ? sqlite3_system_errno(db_) : gOsError;
  if (err != 0) message += std::string(" (") + std::strerror(err) + ")";
  return Outcome::Io(message);
}

Statement::Statement(Database& db, std::string_view sql) : db_(db) {
  if (!db.handle()) {
    outcome_ = Outcome::Io("No history store is open");
    return;
  }
  if (sqlite3_prepare_v2(db.handle(), sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK)
    outcome_ = db.Error("Cannot read");
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::Bind(int index, std::int64_t value) {
  if (stmt_) sqlite3_bind_int64(stmt_, index, value);
  return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
  if (stmt_) sqlite3_bind_text64(stmt_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  return *this;
}

Statement& Statement::BindBlob(int index, std::string_view bytes) {
  if (stmt_) sqlite3_bind_blob64(stmt_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
  return *this;
}

Statement& Statement::BindNull(int index) {
  if (stmt_) sqlite3_bind_null(stmt_, index);
  return *this;
}

Step Statement::Next() {
  if (!stmt_) return Step::Error;
  gOsError = 0;
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return Step::Row;
  if (rc == SQLITE_DONE) return Step::Done;
  outcome_ = db_.Error(sqlite3_stmt_readonly(stmt_) ? "Cannot read" : "Cannot write");
  return Step::Error;
}

Outcome Statement::Run() {
  Step s;
  while ((s = Next()) == Step::Row) {
  }
  return s == Step::Done ? Outcome::Success() : outcome_;
}

void Statement::Reset() {
  if (!stmt_) return;
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::int64_t Statement::Int(int column) const { return stmt_ ? sqlite3_column_int64(stmt_, column) : 0; }

std::string Statement::Text(int column) const {
  if (!stmt_) return {};
  const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
  const int n = sqlite3_column_bytes(stmt_, column);
  return p ? std::string(p, static_cast<std::size_t>(n)) : std::string();
}

bool Statement::IsNull(int column) const { return !stmt_ || sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

Transaction::Transaction(Database& db) : db_(db) {
  began_ = db.Exec("BEGIN IMMEDIATE");
  open_ = began_.ok();
}

Transaction::~Transaction() {
  // Nothing more to do when a rollback fails: SQLite rolls back the journal
  // on the next open.
  if (open_) (void)db_.Exec("ROLLBACK");
}

Outcome Transaction::Commit() {
  if (!open_) return began_.ok() ? Outcome::Success() : began_;
  Outcome done = db_.Exec("COMMIT");
  // A COMMIT that failed may leave the transaction open: end it here.
  if (!done && sqlite3_get_autocommit(db_.handle()) == 0) (void)db_.Exec("ROLLBACK");
  open_ = false;
  return done;
}

}  // namespace tonnage::store
