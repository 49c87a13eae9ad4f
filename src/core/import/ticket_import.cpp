#include "import/ticket_import.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <utility>

#include "data/section_file.h"
#include "data/session.h"
#include "entry/grid_columns.h"
#include "io/file_writer.h"
#include "io/line_reader.h"
#include "text/calendar_date.h"
#include "text/fixed_width.h"

namespace tonnage::import {
namespace {

constexpr std::array<const char*, kRefusedReasons> kReasonTexts = {
    "",
    "wrong number of fields",
    "no ticket number",
    "not a date",
    "no weights",
    "not a number",
    "gross below tare",
    "net not gross less tare",
    "too large for the book",
    "no room in the book",
};

constexpr std::size_t kGrossIndex = 0, kTareIndex = 1, kNetIndex = 2;
constexpr std::array<TicketColumn, 3> kWeightColumns = {TicketColumn::Gross, TicketColumn::Tare, TicketColumn::Net};
constexpr std::array<const char*, 3> kWeightNames = {"gross", "tare", "net"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!IsDigit(c)) return false;
  return true;
}

std::string Trimmed(std::string_view text) {
  std::size_t a = 0, b = text.size();
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\xA0'; };
  while (a < b && blank(text[a])) ++a;
  while (b > a && blank(text[b - 1])) --b;
  return std::string(text.substr(a, b - a));
}

// Kilograms in one unit.
double Kilograms(WeightUnit unit) {
  switch (unit) {
    case WeightUnit::Pound:
      return 0.45359237;
    case WeightUnit::ShortTon:
      return 907.18474;
    case WeightUnit::MetricTon:
      return 1000.0;
    case WeightUnit::Kilogram:
    case WeightUnit::Unknown:
      break;
  }
  return 1.0;
}

double Convert(double value, WeightUnit from, WeightUnit to) {
  if (from == to) return value;
  if (from == WeightUnit::ShortTon && to == WeightUnit::Pound) return value * 2000.0;
  if (from == WeightUnit::Pound && to == WeightUnit::ShortTon) return value / 2000.0;
  if (from == WeightUnit::MetricTon && to == WeightUnit::Kilogram) return value * 1000.0;
  if (from == WeightUnit::Kilogram && to == WeightUnit::MetricTon) return value / 1000.0;
  return value * Kilograms(from) / Kilograms(to);
}

// The unit a book's weight cells are typed in.
WeightUnit BookUnit(std::string_view unitSystem, std::string_view dataType) {
  const bool tons = dataType == "1";
  if (unitSystem == "M") return tons ? WeightUnit::MetricTon : WeightUnit::Kilogram;
  return tons ? WeightUnit::ShortTon : WeightUnit::Pound;
}

// A number as a plant writes it: blanks and thousands separators allowed,
// a decimal comma where the file uses them. No sign: weights are never
// negative.
struct Number {
  bool ok = true;
  std::optional<double> value;
  int decimals = 0;
};

Number ParseNumber(std::string_view raw, bool decimalComma) {
  Number n;
  std::string text;
  for (char c : raw) {
    if (c == ' ' || c == '\t' || c == '\xA0') continue;
    if (decimalComma ? c == '.' : c == ',') continue;  // thousands separator
    text += decimalComma && c == ',' ? '.' : c;
  }
  if (text.empty()) return n;
  const std::size_t period = text.find('.');
  const std::string_view whole = std::string_view(text).substr(0, period);
  const std::string_view fraction =
      period == std::string::npos ? std::string_view() : std::string_view(text).substr(period + 1);
  if ((whole.empty() && fraction.empty()) || (!whole.empty() && !AllDigits(whole)) ||
      (!fraction.empty() && !AllDigits(fraction)) || text.size() > 30) {
    n.ok = false;
    return n;
  }
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) {
    n.ok = false;
    return n;
  }
  n.value = value;
  n.decimals = static_cast<int>(fraction.size());
  return n;
}

std::string Plain(double value) {
  std::string text = FormatMask(value, "####0.000");
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

// The text a cell of `rule` holds for `value`, as a typed value is stored.
std::string CellText(const ColumnRule& rule, double value) {
  if (rule.kind == CellKind::WholeNumber) return FormatMask(RoundHalfEven(value), "####0");
  return FormatMask(value, "####0.000");
}

struct BookPlan {
  std::string dataType;
  WeightUnit unit = WeightUnit::Unknown;
  GridColumns columns;
};

class Reader {
 public:
  Reader(const CsvTable& table, const ImportOptions& options) : table_(table), options_(options) {
    for (std::size_t w = 0; w < 3; ++w) {
      units_[w] = options.columns.headerUnits[w];
      if (units_[w] == WeightUnit::Unknown) units_[w] = options.askedUnit;
    }
    decimalComma_ = table.delimiter != ',' && AnyNumberWithComma();
  }

  const std::array<WeightUnit, 3>& units() const { return units_; }

  ETicket Read(const CsvRecord& record) const {
    ETicket t;
    t.row = record.row;
    auto cell = [&](TicketColumn c) -> std::string {
      const int i = options_.columns[c];
      if (i < 0 || static_cast<std::size_t>(i) >= record.fields.size()) return {};
      return Trimmed(record.fields[static_cast<std::size_t>(i)]);
    };
    t.ticket = cell(TicketColumn::Ticket);
    t.time = cell(TicketColumn::Time);
    t.mix = cell(TicketColumn::Mix);
    t.truck = cell(TicketColumn::Truck);
    t.plant = cell(TicketColumn::Plant);
    const std::size_t fields = record.fields.size();
    if (fields < table_.header.size() || (fields > table_.header.size() && !ExtraBlank(record))) {
      return Refuse(std::move(t), RefusedReason::Fields,
                    std::to_string(fields) + " fields where the header has " + std::to_string(table_.header.size()));
    }
    if (!AllDigits(t.ticket))
      return Refuse(std::move(t), RefusedReason::NoTicket,
                    t.ticket.empty() ? "no ticket number" : "ticket number \"" + t.ticket + "\" is not a number");
    t.page = std::stoi(t.ticket.size() > 6 ? t.ticket.substr(t.ticket.size() - 6) : t.ticket);

    std::string date = cell(TicketColumn::Date);
    // A date and time in one cell: "2026-08-27 07:15" or "2026-08-27T07:15".
    if (const std::size_t cut = date.find_first_of(" T"); cut != std::string::npos) {
      if (t.time.empty()) t.time = Trimmed(std::string_view(date).substr(cut + 1));
      date.resize(cut);
    }
    if (date.empty()) return Refuse(std::move(t), RefusedReason::NoDate, "no date");
    t.date = NormalizeDate(date);
    if (t.date.empty()) return Refuse(std::move(t), RefusedReason::NoDate, "not a date: " + date);
    if (!ParseMonthDayYear(t.date))
      return Refuse(std::move(t), RefusedReason::NoDate, "date " + t.date + " outside 01/01/1990 to 12/31/2100");

    std::array<std::optional<double>, 3> w;
    std::array<int, 3> decimals{};
    for (std::size_t k = 0; k < 3; ++k) {
      const std::string text = cell(kWeightColumns[k]);
      const Number n = ParseNumber(text, decimalComma_);
      if (!n.ok)
        return Refuse(std::move(t), RefusedReason::NotANumber,
                      std::string(kWeightNames[k]) + " weight \"" + text + "\" is not a number");
      w[k] = n.value;
      decimals[k] = n.decimals;
    }
    const std::string pctText = cell(TicketColumn::Pct);
    const Number pct = ParseNumber(pctText, decimalComma_);
    if (!pct.ok) return Refuse(std::move(t), RefusedReason::NotANumber, "percent \"" + pctText + "\" is not a number");
    t.pct = pct.value;
    t.gross = w[kGrossIndex];
    t.tare = w[kTareIndex];
    t.net = w[kNetIndex];
    t.decimals = decimals;

    if (!t.gross && !t.net) return Refuse(std::move(t), RefusedReason::NoWeights, "no gross or net weight");
    // Compared in kilograms, each column in its own unit.
    auto kg = [&](std::size_t k) { return Convert(*w[k], units_[k], WeightUnit::Kilogram); };
    if (t.gross && t.tare && kg(kGrossIndex) < kg(kTareIndex))
      return Refuse(std::move(t), RefusedReason::GrossBelowTare,
                    "gross " + Plain(*t.gross) + " below tare " + Plain(*t.tare));
    if (t.gross && t.tare && t.net) {
      // Each weight is rounded to its last written decimal, so net and gross
      // less tare may differ by up to half a unit of each without a fault.
      double tolerance = 0;
      for (std::size_t k = 0; k < 3; ++k)
        tolerance += Convert(0.5 * std::pow(10.0, -decimals[k]), units_[k], WeightUnit::Kilogram);
      const double difference = kg(kNetIndex) - (kg(kGrossIndex) - kg(kTareIndex));
      if (std::fabs(difference) > tolerance * 1.000001)
        return Refuse(std::move(t), RefusedReason::NetNotGrossLessTare,
                      "net " + Plain(*t.net) + " is not gross " + Plain(*t.gross) + " less tare " + Plain(*t.tare));
    }
    return t;
  }

  // Fills the row's cells for a book of `plan`; false (the row refused)
  // when a value does not fit its cell.
  bool Place(ETicket& t, const BookPlan& plan) const {
    t.cells = TicketRow{};
    t.cells[TicketField::PageNo] = std::to_string(t.page);
    t.cells[TicketField::Date] = t.date;
    const std::array<std::optional<double>, 3> w = {t.gross, t.tare, t.net};
    for (std::size_t k = 0; k < 3; ++k) {
      if (!w[k]) continue;
      const int column = kGrossColumn + static_cast<int>(k);
      const ColumnRule& rule = plan.columns[column];
      const std::string text = CellText(rule, import::Convert(*w[k], units_[k], plan.unit));
      const CellCheck check = CheckCellInput(rule, text);
      if (check.state != CellInput::Acceptable) {
        t = Refuse(std::move(t), RefusedReason::OutOfRange,
                   kWeightNames[k] + std::string(" ") + text + ": " + check.reason);
        return false;
      }
      t.cells[static_cast<TicketField>(static_cast<int>(TicketField::Gross) + static_cast<int>(k))] = text;
      const double cellUnit = rule.kind == CellKind::WholeNumber ? 1.0 : 0.001;
      t.tolerance[k] = units_[k] == plan.unit
                           ? cellUnit / 2
                           : import::Convert(std::pow(10.0, -t.decimals[k]), units_[k], plan.unit) + cellUnit / 2;
    }
    if (t.pct) {
      const ColumnRule& rule = plan.columns[kPctColumn];
      const std::string text = CellText(rule, *t.pct);
      const CellCheck check = CheckCellInput(rule, text);
      if (check.state != CellInput::Acceptable) {
        t = Refuse(std::move(t), RefusedReason::OutOfRange, "percent " + text + ": " + check.reason);
        return false;
      }
      t.cells[TicketField::PctBitumen] = text;
    }
    t.converted = true;
    return true;
  }

  static ETicket Refuse(ETicket t, RefusedReason reason, std::string detail) {
    t.status = RowStatus::Refused;
    t.reason = reason;
    t.detail = std::move(detail);
    return t;
  }

 private:
  bool ExtraBlank(const CsvRecord& record) const {
    for (std::size_t i = table_.header.size(); i < record.fields.size(); ++i)
      if (!Trimmed(record.fields[i]).empty()) return false;
    return true;
  }

  bool AnyNumberWithComma() const {
    for (const CsvRecord& r : table_.records)
      for (TicketColumn c : {TicketColumn::Gross, TicketColumn::Tare, TicketColumn::Net, TicketColumn::Pct}) {
        const int i = options_.columns[c];
        if (i >= 0 && static_cast<std::size_t>(i) < r.fields.size() &&
            r.fields[static_cast<std::size_t>(i)].find(',') != std::string::npos)
          return true;
      }
    return false;
  }

  const CsvTable& table_;
  const ImportOptions& options_;
  std::array<WeightUnit, 3> units_{};
  bool decimalComma_ = false;
};

std::string MissingColumns(const ColumnMap& map) {
  std::string missing;
  auto need = [&](bool present, const char* what) {
    if (present) return;
    if (!missing.empty()) missing += ", ";
    missing += what;
  };
  need(map[TicketColumn::Ticket] >= 0, "ticket number");
  need(map[TicketColumn::Date] >= 0, "date");
  need(map[TicketColumn::Gross] >= 0 || map[TicketColumn::Net] >= 0, "gross or net weight");
  return missing;
}

// "COMMENTS (2)" within the 35 characters of a comment line.
std::string NumberedName(const std::string& name, int n) {
  const std::string suffix = " (" + std::to_string(n) + ")";
  return name.substr(0, 35 - std::min<std::size_t>(35, suffix.size())) + suffix;
}

std::string BookName(const std::string& mix) {
  std::string name = ToUpper(Trimmed(mix));
  if (name.empty()) name = "NO MIX";
  return name.substr(0, 35);
}

using Key = std::pair<int, std::string>;  // page, date

}  // namespace

const char* ReasonText(RefusedReason reason) { return kReasonTexts[static_cast<std::size_t>(reason)]; }

std::string NormalizeDate(std::string_view raw) {
  const std::string text = Trimmed(raw);
  const char sep = text.find('-') != std::string::npos ? '-' : '/';
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == sep)
      parts.emplace_back();
    else
      parts.back() += c;
  }
  if (parts.size() != 3) return {};
  for (const std::string& p : parts)
    if (!AllDigits(p) || p.size() > 4) return {};
  int y = 0, m = 0, d = 0;
  if (sep == '-') {
    if (parts[0].size() != 4 || parts[1].size() > 2 || parts[2].size() > 2) return {};
    y = std::stoi(parts[0]);
    m = std::stoi(parts[1]);
    d = std::stoi(parts[2]);
  } else {
    if (parts[0].size() > 2 || parts[1].size() > 2 || (parts[2].size() != 4 && parts[2].size() != 2)) return {};
    m = std::stoi(parts[0]);
    d = std::stoi(parts[1]);
    y = std::stoi(parts[2]);
    if (parts[2].size() == 2) y += y >= 90 ? 1900 : 2000;
  }
  using namespace std::chrono;
  const year_month_day day{year{y}, month{static_cast<unsigned>(m)}, std::chrono::day{static_cast<unsigned>(d)}};
  if (!day.ok()) return {};
  char out[16];
  std::snprintf(out, sizeof out, "%02d/%02d/%04d", m, d, y);
  return out;
}

std::vector<TicketColumn> UnitsToAsk(const ImportOptions& options) {
  std::vector<TicketColumn> ask;
  if (options.askedUnit != WeightUnit::Unknown) return ask;
  for (std::size_t k = 0; k < 3; ++k)
    if (options.columns[kWeightColumns[k]] >= 0 && options.columns.headerUnits[k] == WeightUnit::Unknown)
      ask.push_back(kWeightColumns[k]);
  return ask;
}

ImportPreview ReadTickets(const CsvTable& table, const ImportOptions& options) {
  ImportPreview preview;
  if (!table.ok()) {
    preview.error = table.error;
    return preview;
  }
  if (const std::string missing = MissingColumns(options.columns); !missing.empty()) {
    preview.error = "No column can be recognised for the " + missing + ".";
    return preview;
  }
  if (const auto ask = UnitsToAsk(options); !ask.empty()) {
    preview.error = "The unit of the " + std::string(ColumnFieldName(ask.front())) +
                    " weights is not named in the header; choose lb, kg, ton or t.";
    return preview;
  }
  Reader reader(table, options);
  preview.units = reader.units();
  preview.rows.reserve(table.records.size());
  for (const CsvRecord& record : table.records) preview.rows.push_back(reader.Read(record));
  if (preview.rows.empty()) preview.error = "The file holds no tickets.";
  return preview;
}

std::vector<TicketRow> BookTickets(const Session& session, int book) {
  std::vector<TicketRow> rows;
  io::FileLineReader reader(session.SectionPath(book));
  if (!reader.is_open()) return rows;
  std::string line;
  while (reader.Next(line) && rows.size() < static_cast<std::size_t>(kMaxRows)) rows.push_back(ParseTicketLine(line));
  return rows;
}

ImportPreview PreviewImport(const CsvTable& table, const ImportOptions& options, const Session& session) {
  ImportPreview preview = ReadTickets(table, options);
  if (!preview.ok()) return preview;
  const std::string& units = session.index.unitSystem;

  std::set<int> taken;  // slots in use or given to a new book
  for (int slot = 1; slot <= kMaxBooks; ++slot)
    if (session.Book(slot).InUse()) taken.insert(slot);
  auto freeSlot = [&]() {
    for (int slot = 1; slot <= kMaxBooks; ++slot)
      if (!taken.count(slot)) {
        taken.insert(slot);
        return slot;
      }
    return 0;
  };

  // Where each group's rows go: its books in order, the last one filling.
  struct Group {
    BookPlan plan;
    std::string name;
    std::vector<std::size_t> books;  // indexes into preview.books
    std::set<Key> inBook;
  };
  std::map<std::string, Group> groups;
  std::set<Key> inFile;

  const WeightUnit weightUnit = preview.units[options.columns[TicketColumn::Gross] >= 0 ? kGrossIndex : kNetIndex];
  auto makeGroup = [&](const std::string& key) -> Group* {
    Group g;
    PlannedBook book;
    if (options.book > 0) {
      const BookHeader& header = session.Book(options.book);
      if (!header.InUse()) {
        preview.error = "Book " + std::to_string(options.book) + " is not in use.";
        return nullptr;
      }
      if (header.dataType != "0" && header.dataType != "1") {
        preview.error = "Book " + std::to_string(options.book) +
                        " holds batch-plant tickets (aggregate, bitumen and total weights), "
                        "not gross, tare and net.";
        return nullptr;
      }
      book.slot = options.book;
      book.header = header;
      for (const TicketRow& row : BookTickets(session, options.book)) {
        ++book.usedRows;
        g.inBook.insert({static_cast<int>(ParseLeadingNumber(row[TicketField::PageNo])), row[TicketField::Date]});
      }
    } else {
      book.slot = freeSlot();
      book.created = true;
      book.header = {BookName(key), IsTons(weightUnit) ? "1" : "0", "0"};
      if (book.slot == 0) {
        preview.error = "No free book is left for the mix " + book.header.comments + ".";
        return nullptr;
      }
    }
    g.name = book.header.comments;
    g.plan.dataType = book.header.dataType;
    g.plan.unit = BookUnit(units, g.plan.dataType);
    g.plan.columns = SetGridColumns(units, g.plan.dataType);
    g.books.push_back(preview.books.size());
    preview.books.push_back(std::move(book));
    return &groups.emplace(key, std::move(g)).first->second;
  };

  Reader reader(table, options);
  for (std::size_t i = 0; i < preview.rows.size(); ++i) {
    ETicket& t = preview.rows[i];
    // A ticket whose weights disagree is refused but still compared in a
    // reconciliation, so its cells are filled all the same.
    const bool weighedOnly = t.status == RowStatus::Refused && (t.reason == RefusedReason::GrossBelowTare ||
                                                                t.reason == RefusedReason::NetNotGrossLessTare);
    if (t.status == RowStatus::Refused && !weighedOnly) continue;
    const std::string key = options.book > 0 ? std::string() : BookName(t.mix);
    auto found = groups.find(key);
    Group* group = found != groups.end() ? &found->second : makeGroup(key);
    if (!group) return preview;
    if (weighedOnly) {
      ETicket copy = t;
      if (reader.Place(copy, group->plan)) {
        t.cells = copy.cells;
        t.converted = true;
      }
      continue;
    }
    if (!reader.Place(t, group->plan)) continue;
    const Key ticketKey{t.page, t.date};
    if (!inFile.insert(ticketKey).second) {
      t.status = RowStatus::DuplicateInFile;
      t.detail = "ticket " + t.ticket + " of " + t.date + " came earlier in the file";
      continue;
    }
    if (group->inBook.count(ticketKey)) {
      t.status = RowStatus::DuplicateInBook;
      t.detail = "ticket " + std::to_string(t.page) + " of " + t.date + " is already in book " +
                 std::to_string(preview.books[group->books.front()].slot);
      continue;
    }
    PlannedBook* book = &preview.books[group->books.back()];
    if (book->usedRows + static_cast<int>(book->tickets.size()) >= kMaxRows) {
      ++preview.beyondBook;
      if (!options.overflow) {
        t = Reader::Refuse(std::move(t), RefusedReason::BookFull,
                           "book " + std::to_string(book->slot) + " holds 200 tickets");
        continue;
      }
      PlannedBook next;
      next.slot = freeSlot();
      next.created = true;
      next.header = book->header;
      next.header.comments = NumberedName(group->name, static_cast<int>(group->books.size()) + 1);
      if (next.slot == 0) {
        preview.error = "No free book is left for " + next.header.comments + ".";
        return preview;
      }
      group->books.push_back(preview.books.size());
      preview.books.push_back(std::move(next));
      book = &preview.books.back();
    }
    t.book = book->slot;
    book->tickets.push_back(i);
  }

  for (const ETicket& t : preview.rows) {
    switch (t.status) {
      case RowStatus::Import:
        ++preview.counts.import;
        break;
      case RowStatus::DuplicateInBook:
        ++preview.counts.duplicateInBook;
        break;
      case RowStatus::DuplicateInFile:
        ++preview.counts.duplicateInFile;
        break;
      case RowStatus::Refused:
        ++preview.counts.refused;
        ++preview.counts.byReason[static_cast<std::size_t>(t.reason)];
        break;
    }
  }
  // A new book that would get nothing is not made.
  std::erase_if(preview.books, [](const PlannedBook& b) { return b.created && b.tickets.empty(); });
  return preview;
}

Outcome ApplyImport(Session& session, const ImportPreview& preview) {
  if (!preview.ok() || preview.counts.import == 0)
    return Outcome::Failure(OutcomeKind::BadLine, "Import Tickets", "Nothing to import.");
  struct Undo {
    std::string path;
    bool existed = false;
    std::string bytes;
  };
  std::vector<Undo> written;
  // Puts back the books written so far; says which could not be.
  auto rollBack = [&](Outcome failed) {
    for (const Undo& u : written) {
      if (!u.existed) {
        io::RemoveQuietly(u.path);
      } else if (Outcome back = io::WriteWholeFile(u.path, u.bytes, io::WriteMode::Atomic); !back) {
        failed.message += "\nNot put back: " + back.message;
      }
    }
    return failed;
  };
  for (const PlannedBook& book : preview.books) {
    if (book.tickets.empty()) continue;
    const std::string path = session.SectionPath(book.slot);
    Undo undo{path, false, {}};
    BookRows rows;
    std::size_t at = 0;
    if (!book.created) {
      io::FileLineReader reader(path);
      undo.existed = reader.is_open();
      std::string line;
      while (reader.Next(line)) {
        undo.bytes += line + "\r\n";
        if (at < rows.size()) rows[at++] = ParseTicketLine(line);
      }
    }
    for (std::size_t i : book.tickets)
      if (at < rows.size()) rows[at++] = preview.rows[i].cells;
    if (Outcome out = WriteSectionFile(path, rows, session.index.unitSystem, book.header.dataType); !out)
      return rollBack(std::move(out));
    written.push_back(std::move(undo));
  }
  for (const PlannedBook& book : preview.books)
    if (book.created && !book.tickets.empty()) session.Book(book.slot) = book.header;
  session.dataSaved = false;
  session.KeepState();
  return Outcome::Success();
}

std::string ImportHistoryText(const ImportPreview& preview, const std::string& fileName) {
  int first = 0, last = 0;
  for (const ETicket& t : preview.rows) {
    if (t.status != RowStatus::Import) continue;
    if (first == 0) first = t.row;
    last = t.row;
  }
  if (first == 0) return {};
  return "imported from " + fileName + ", rows " + std::to_string(first) + "-" + std::to_string(last);
}

}  // namespace tonnage::import
