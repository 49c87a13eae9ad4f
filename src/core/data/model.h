// The open data of one project: the index record, the 500 book slots and the
// 200 ticket rows of the book being edited. Everything is held as text, as
// typed or read; numbers are made only where a value is computed or written.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace tonnage {

inline constexpr int kMaxBooks = 500;
inline constexpr int kMaxRows = 200;
inline constexpr int kTicketFields = 9;

// Column order of a ticket row, of the grid and of a ticket line.
enum class TicketField : int {
  PageNo = 0,
  Date,
  Gross,  // aggregate weight in a batch-plant book
  Tare,   // bitumen weight in a batch-plant book
  Net,    // total weight in a batch-plant book
  PctBitumen,
  PrivWaste,
  Void,
  Note,
};

struct IndexRecord {
  std::string fileTypeCode;  // "CST81" or "BST81" as read
  std::string refNo;
  std::string projectNo;
  std::string date;
  std::string engineer;
  std::string unitSystem;  // "E", "M", or empty while a new file's choice is pending
};

struct BookHeader {
  std::string comments;         // a slot is in use exactly when this is not empty
  std::string dataType;         // "0" standard, "1" tons, "2" batch plant
  std::string specificGravity;  // kept as text

  bool InUse() const { return !comments.empty(); }
};

// Slot k (1-based book number) is element k - 1.
using BookTable = std::array<BookHeader, kMaxBooks>;

struct TicketRow {
  std::array<std::string, kTicketFields> cells;

  std::string& operator[](TicketField f) { return cells[static_cast<std::size_t>(f)]; }
  const std::string& operator[](TicketField f) const { return cells[static_cast<std::size_t>(f)]; }
  bool operator==(const TicketRow&) const = default;
};

// Row k (1-based) is element k - 1.
using BookRows = std::array<TicketRow, kMaxRows>;

}  // namespace tonnage
