#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "data/session.h"
#include "data_commands.h"
#include "import/layout_memory.h"
#include "import/reconcile.h"
#include "import/ticket_details.h"
#include "import/ticket_import.h"
#include "store/history.h"

namespace tonnage::cli {
namespace {

using namespace tonnage::import;

struct ImportArgs {
  std::string path, tickets, out, units;
  int book = 0;
  bool perMix = false, overflow = false, csv = false;
  std::vector<std::string> maps;
};

std::string FileName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// --map FIELD=COLUMN: COLUMN a header (case and punctuation ignored) or a
// column number from 1; an empty COLUMN drops the field.
bool ApplyMaps(const std::vector<std::string>& maps, const CsvTable& table, ColumnMap& columns) {
  for (const std::string& m : maps) {
    const auto eq = m.find('=');
    const auto field = ColumnFromFieldName(m.substr(0, eq == std::string::npos ? m.size() : eq));
    if (eq == std::string::npos || !field) {
      std::fprintf(stderr,
                   "tonnage: --map %s: FIELD=COLUMN, FIELD one of ticket, date, time, gross, "
                   "tare, net, mix, truck, pct, plant\n",
                   m.c_str());
      return false;
    }
    const std::string column = m.substr(eq + 1);
    int index = -1;
    for (std::size_t i = 0; i < table.header.size() && !column.empty(); ++i)
      if (LayoutKey({table.header[i]}) == LayoutKey({column}) || column == std::to_string(i + 1))
        index = static_cast<int>(i);
    if (index < 0 && !column.empty()) {
      std::fprintf(stderr, "tonnage: --map %s: the file has no column %s\n", m.c_str(), column.c_str());
      return false;
    }
    MapColumn(columns, table.header, *field, index);
  }
  return true;
}

// The preview of the command's options: 0, or the exit code with the reason
// printed.
int Prepare(const ImportArgs& a, Session& session, CsvTable& table, ImportPreview& preview) {
  if (!OpenQuietly(session, a.path)) return 1;
  table = ReadCsvFile(a.tickets);
  ImportOptions options;
  options.columns = RecognizeColumns(table.header);
  if (!ApplyMaps(a.maps, table, options.columns)) return 2;
  if (!a.units.empty()) options.askedUnit = *UnitFromName(a.units);
  options.book = a.book;
  options.overflow = a.overflow;
  preview = PreviewImport(table, options, session);
  if (!preview.ok()) {
    std::fprintf(stderr, "Import Error: %s: %s\n", a.tickets.c_str(), preview.error.c_str());
    return 1;
  }
  return 0;
}

int RunImport(const ImportArgs& a) {
  Session session;
  session.program = "tonnage import";
  // A refused import writes nothing, not even a history: it starts with the save.
  session.keepHistory = false;
  CsvTable table;
  ImportPreview preview;
  const int prepared = Prepare(a, session, table, preview);
  bool ok = prepared == 0;
  if (ok) {
    const ImportCounts& c = preview.counts;
    std::printf("imported: %d\n", c.import);
    std::printf("duplicate of a ticket in the book: %d\n", c.duplicateInBook);
    std::printf("duplicate of a ticket earlier in the file: %d\n", c.duplicateInFile);
    std::printf("refused: %d\n", c.refused);
    for (int r = 1; r < kRefusedReasons; ++r)
      if (c.byReason[static_cast<std::size_t>(r)])
        std::printf("refused, %s: %d\n", ReasonText(static_cast<RefusedReason>(r)),
                    c.byReason[static_cast<std::size_t>(r)]);
    for (const ETicket& t : preview.rows)
      if (t.status == RowStatus::Refused) std::fprintf(stderr, "row %d: %s\n", t.row, t.detail.c_str());
    if (preview.beyondBook > 0 && !a.overflow)
      std::fprintf(stderr, "tonnage: %d tickets do not fit the book; --overflow puts them into a new book\n",
                   preview.beyondBook);
    ok = c.import > 0;
  }
  if (ok) {
    session.keepHistory = true;
    // The file as found goes first into its history, so the import's own
    // entry holds only the imported tickets (a first history otherwise
    // starts with the whole file).
    store::ProjectStore history;
    if (a.out.empty() && history.Open(a.path, session.program).outcome) (void)store::RecordOnOpen(history, a.path);
    history.Close();
    Outcome done = ApplyImport(session, preview);
    if (done) (void)QueueImportDetails(session, preview, FileName(a.tickets));
    if (done) done = a.out.empty() ? session.Save() : session.SaveAs(a.out);
    if (!done) {
      std::fprintf(stderr, "Save Error: %s\n", done.message.c_str());
      ok = false;
    } else {
      for (const PlannedBook& b : preview.books)
        if (!b.tickets.empty())
          std::printf("book %d%s: %zu tickets, %s\n", b.slot, b.created ? " (new)" : "", b.tickets.size(),
                      b.header.comments.c_str());
      std::printf("%s\n", ImportHistoryText(preview, FileName(a.tickets)).c_str());
    }
  }
  session.Cleanup();
  return ok ? 0 : prepared == 2 ? 2 : 1;
}

int RunReconcile(const ImportArgs& a) {
  Session session;
  session.keepHistory = false;  // reads only
  CsvTable table;
  ImportPreview preview;
  const int prepared = Prepare(a, session, table, preview);
  if (prepared == 0) {
    const Reconciliation r = Reconcile(preview.rows, BookTickets(session, a.book));
    if (a.csv) {
      std::fputs(ReconciliationCsv(r, preview.rows).c_str(), stdout);
    } else {
      for (int c = 0; c < kMatchClasses; ++c)
        std::printf("%s: %d\n", MatchClassText(static_cast<MatchClass>(c)), r.counts[static_cast<std::size_t>(c)]);
      for (const ReconcileLine& l : r.lines) {
        if (l.match != MatchClass::Matched) std::printf("%s\n", FindingLine(l).c_str());
      }
    }
  }
  session.Cleanup();
  return prepared;
}

void AddCommon(CLI::App* cmd, const std::shared_ptr<ImportArgs>& a) {
  cmd->add_option("FILE", a->path, "Data file (*.K81)")->required()->check(CLI::ExistingFile);
  cmd->add_option("TICKETS", a->tickets, "E-ticket export (CSV)")->required()->check(CLI::ExistingFile);
  cmd->add_option("--map", a->maps, "FIELD=COLUMN: the column that holds a field (header or number)");
  cmd->add_option("--units", a->units, "Unit of weight columns whose header names none")
      ->check(CLI::IsMember({"lb", "kg", "ton", "t"}));
}

}  // namespace

void AddImportCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("import", "Add the tickets of an e-ticket export to the books of a data file");
  auto a = std::make_shared<ImportArgs>();
  AddCommon(cmd, a);
  auto* book = cmd->add_option("--book", a->book, "Book the tickets are added to")->check(CLI::Range(1, 500));
  auto* perMix = cmd->add_flag("--book-per-mix", a->perMix, "A new book for each mix");
  book->excludes(perMix);
  cmd->add_flag("--overflow", a->overflow, "Tickets beyond a book's 200 go into a new book NAME (2)");
  cmd->add_option("-o,--output", a->out, "Data file to write; FILE itself when left out");
  cmd->callback([a, &exitCode] {
    if (a->book == 0 && !a->perMix) throw CLI::RequiredError("--book N or --book-per-mix");
    exitCode = RunImport(*a);
  });
}

void AddReconcileCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("reconcile", "Compare an e-ticket export with the tickets of a book");
  auto a = std::make_shared<ImportArgs>();
  AddCommon(cmd, a);
  cmd->add_option("--book", a->book, "Book to compare")->required()->check(CLI::Range(1, 500));
  cmd->add_flag("--csv", a->csv, "One CSV row per finding");
  a->overflow = true;
  cmd->callback([a, &exitCode] { exitCode = RunReconcile(*a); });
}

}  // namespace tonnage::cli
