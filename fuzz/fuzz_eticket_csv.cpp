// Any bytes as an e-ticket export: read, previewed for a book per mix and
// reconciled without a fault; every row is accounted for, and every row
// that would import fits the ticket line and its grid cells.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/section_file.h"
#include "data/session.h"
#include "entry/grid_columns.h"
#include "fuzz_scratch.h"
#include "import/reconcile.h"
#include "import/ticket_import.h"
#include "text/calendar_date.h"

using namespace tonnage;
using namespace tonnage::import;

namespace {

Session& OpenSession() {
  static Session session;
  static const bool started = [] {
    if (!session.Start(".", fuzz::Scratch())) std::abort();
    // Registered after the scratch folder's own clean-up, so it runs first.
    std::atexit([] { session.Cleanup(); });
    session.New();
    return true;
  }();
  (void)started;
  return session;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const CsvTable table = ReadCsvText(bytes);
  if (!table.ok()) {
    if (!table.records.empty()) std::abort();  // refused whole, nothing kept
    return 0;
  }
  ImportOptions options;
  options.columns = RecognizeColumns(table.header);
  // A header nothing recognises still has its rows read, by position.
  for (int f = 0; f < kTicketColumnCount; ++f)
    if (options.columns.index[f] < 0 && static_cast<std::size_t>(f) < table.header.size()) options.columns.index[f] = f;
  options.askedUnit = size % 2 ? WeightUnit::Pound : WeightUnit::MetricTon;
  options.overflow = true;
  Session& session = OpenSession();
  session.ChooseUnits(size % 3 ? "E" : "M");
  const ImportPreview preview = PreviewImport(table, options, session);
  if (!preview.ok()) return 0;
  const ImportCounts& c = preview.counts;
  if (c.import + c.duplicateInBook + c.duplicateInFile + c.refused != static_cast<int>(preview.rows.size()))
    std::abort();
  for (const ETicket& t : preview.rows) {
    if (t.status == RowStatus::Refused) {
      if (t.detail.empty()) std::abort();
      continue;
    }
    if (t.page < 0 || t.page > 999999 || !ParseMonthDayYear(t.date) || !t.converted) std::abort();
    if (t.status != RowStatus::Import) continue;
    const BookHeader* header = nullptr;
    for (const PlannedBook& b : preview.books)
      if (b.slot == t.book) header = &b.header;
    if (!header) std::abort();
    const GridColumns columns = SetGridColumns(session.index.unitSystem, header->dataType);
    for (int col = kGrossColumn; col <= kPctColumn; ++col)
      if (!CellAccepts(columns[col], t.cells.cells[static_cast<std::size_t>(col - 1)])) std::abort();
    if (FormatTicketLine(t.cells, session.index.unitSystem, header->dataType).size() != 60) std::abort();
  }
  const Reconciliation r = Reconcile(preview.rows, {});
  int total = 0;
  for (int n : r.counts) total += n;
  if (total != static_cast<int>(r.lines.size())) std::abort();
  return 0;
}
