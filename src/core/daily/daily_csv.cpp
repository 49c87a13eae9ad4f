#include "daily/daily_csv.h"

#include "daily/daily_tables.h"
#include "io/file_writer.h"
#include "report/ticket_export.h"

namespace tonnage::daily {
namespace {

void Row(std::string& out, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    out += report::CsvField(fields[i]);
  }
  out += "\r\n";
}

}  // namespace

std::string DailyCsv(const DailySummary& s) {
  std::string out;
  Row(out, {SummaryTitle(s), "Ref. No. " + s.refNo, "Project No. " + s.projectNo, "Engineer " + s.engineer,
            s.metric ? "Metric" : "English"});
  for (const Table& t : DailyTables(s)) {
    out += "\r\n";
    Row(out, {t.title});
    Row(out, t.headings);
    for (const auto& row : t.rows) {
      std::vector<std::string> fields;
      for (const TableCell& c : row) fields.push_back(c.text);
      Row(out, fields);
    }
  }
  return out;
}

Outcome WriteDailyCsv(const std::string& path, const DailySummary& s) { return io::WriteWholeFile(path, DailyCsv(s)); }

}  // namespace tonnage::daily
