// A small wrapper over SQLite: a connection, prepared statements and a
// transaction that rolls back unless committed. Every failure comes back as
// an Outcome naming the database file and SQLite's reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/outcome.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tonnage::store {

enum class OpenMode { ReadOnly, ReadWrite, Create };

class Database {
 public:
  Database() = default;
  ~Database();
  Database(Database&& other) noexcept;
  Database& operator=(Database&& other) noexcept;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Opens `path` (never through a link: a link is refused). The connection
  // runs in SQLite's defensive mode and trusts nothing in the file's schema.
  Outcome Open(const std::string& path, OpenMode mode);
  void Close();
  bool isOpen() const { return db_ != nullptr; }
  const std::string& path() const { return path_; }

  // Runs one or more statements that return no rows.
  Outcome Exec(std::string_view sql);
  std::int64_t LastInsertId() const;

  // The failure of the last call, as the user reads it: what was being done,
  // the file and SQLite's reason (with the system's, when there is one).
  Outcome Error(std::string_view doing) const;

  // True when the last failure says the file is no database or a damaged one.
  bool FileIsDamaged() const;

  sqlite3* handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
  std::string path_;
};

enum class Step { Row, Done, Error };

class Statement {
 public:
  Statement(Database& db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Ok when the statement was prepared; later failures show in Step().
  const Outcome& outcome() const { return outcome_; }

  // Parameters count from 1, as in the SQL ("?1", "?2" ...).
  Statement& Bind(int index, std::int64_t value);
  Statement& Bind(int index, std::string_view text);
  Statement& BindBlob(int index, std::string_view bytes);
  Statement& BindNull(int index);

  Step Next();
  // Steps to the end; Ok or the failure.
  Outcome Run();
  // Ready to be bound and run again.
  void Reset();

  // Columns count from 0.
  std::int64_t Int(int column) const;
  std::string Text(int column) const;
  bool IsNull(int column) const;

 private:
  Database& db_;
  sqlite3_stmt* stmt_ = nullptr;
  Outcome outcome_;
};

// BEGIN IMMEDIATE on construction: the write lock is taken at once, so two
// writers never both get half-way. Rolls back on destruction unless
// Commit() succeeded.
class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  const Outcome& outcome() const { return began_; }
  Outcome Commit();

 private:
  Database& db_;
  Outcome began_;
  bool open_ = false;
};

}  // namespace tonnage::store
