// E-tickets from a plant's export into the books of the open data: every
// row read, checked and converted to the file's units and the book's type
// as the grid stores a typed value, classified for the preview, and placed
// into books. Nothing changes until ApplyImport.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "data/model.h"
#include "data/outcome.h"
#include "import/csv_table.h"
#include "import/ticket_columns.h"

namespace tonnage {
class Session;
}

namespace tonnage::import {

enum class RowStatus { Import, DuplicateInBook, DuplicateInFile, Refused };

// Why a row is refused, one class each so they can be counted.
enum class RefusedReason {
  None,
  Fields,      // more or fewer fields than the header
  NoTicket,    // no ticket number, or not a number
  NoDate,      // no date, or not a date
  NoWeights,   // neither gross nor net weight
  NotANumber,  // a weight or the percent is not a number
  GrossBelowTare,
  NetNotGrossLessTare,
  OutOfRange,  // a value the book's cell cannot hold
  BookFull,    // no room left and no second book wanted
};
inline constexpr int kRefusedReasons = 10;

// "no weights", "gross below tare", ...
const char* ReasonText(RefusedReason reason);

// One data row of the export, as read and as it would go into the book.
struct ETicket {
  int row = 0;         // row in the file, the header being row 1
  std::string ticket;  // the whole ticket number as written
  int page = -1;       // Page No: the ticket number, or its last six digits
  std::string date;    // mm/dd/yyyy
  std::string time, mix, truck, plant;
  // Weights as numbers in the export's units; empty when the cell was.
  std::optional<double> gross, tare, net;
  std::optional<double> pct;
  std::array<int, 3> decimals{};  // decimals written on gross, tare and net
  // The row as the book's grid would hold it (only once it is placed).
  TicketRow cells;
  bool converted = false;  // `cells` hold the weights in the book's units
  // How far a converted weight may be from the book's own figure for the
  // same load: the export's last decimal in the book's units, or next to
  // nothing when the export is in the book's units already.
  std::array<double, 3> tolerance{};
  RowStatus status = RowStatus::Import;
  RefusedReason reason = RefusedReason::None;
  std::string detail;  // the reason in words with the values, for the preview
  int book = 0;        // book the row goes into
};

struct ImportOptions {
  ColumnMap columns;
  // Unit of the weight columns whose header names none.
  WeightUnit askedUnit = WeightUnit::Unknown;
  // 0: one book per mix; otherwise the book the tickets are added to.
  int book = 0;
  // Tickets beyond a book's 200 go into a new book "NAME (2)".
  bool overflow = false;
};

struct PlannedBook {
  int slot = 0;
  bool created = false;  // a new book
  BookHeader header;
  int usedRows = 0;                  // tickets the book holds before the import
  std::vector<std::size_t> tickets;  // indexes into ImportPreview::rows
};

struct ImportCounts {
  int import = 0;
  int duplicateInBook = 0;
  int duplicateInFile = 0;
  int refused = 0;
  std::array<int, kRefusedReasons> byReason{};
};

struct ImportPreview {
  std::string error;  // the whole file refused
  std::vector<ETicket> rows;
  std::vector<PlannedBook> books;
  ImportCounts counts;
  std::array<WeightUnit, 3> units{};  // gross, tare, net as used
  int beyondBook = 0;                 // rows that only a second book can take

  bool ok() const { return error.empty(); }
};

// The weight columns whose unit is neither in the header nor asked: the
// question the user must answer first. Empty when none.
std::vector<TicketColumn> UnitsToAsk(const ImportOptions& options);

// Reads every row of `table` by `options.columns` without placing it.
ImportPreview ReadTickets(const CsvTable& table, const ImportOptions& options);

// Reads, converts, classifies and places the rows: what Import would do.
ImportPreview PreviewImport(const CsvTable& table, const ImportOptions& options, const Session& session);

// Adds the rows that will import to their books (new books set up) as one
// step: every section file is written, or none is changed.
Outcome ApplyImport(Session& session, const ImportPreview& preview);

// "imported from FILE, rows a-b" for the history.
std::string ImportHistoryText(const ImportPreview& preview, const std::string& fileName);

// Ticket rows of a book as its section file holds them.
std::vector<TicketRow> BookTickets(const Session& session, int book);

// A date as mm/dd/yyyy from mm/dd/yyyy, m/d/yyyy, yyyy-mm-dd or m/d/yy;
// empty when the text names no real day.
std::string NormalizeDate(std::string_view text);

}  // namespace tonnage::import
