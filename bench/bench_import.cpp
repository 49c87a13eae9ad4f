// Importing a large e-ticket export (read, recognised, checked, converted,
// classified and placed: the preview) and reconciling it against as many
// book tickets.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "data/session.h"
#include "import/reconcile.h"
#include "import/ticket_import.h"

namespace {

using namespace tonnage;
using namespace tonnage::import;

constexpr int kTickets = 10000;

// 10,000 loads of a plant in short tons, ten mixes, three weeks of days.
std::string Export() {
  std::string csv = "Ticket Number,Load Date,Load Time,Truck No,Mix ID,Gross Tons,Tare Tons,Net Tons,Plant\n";
  for (int i = 0; i < kTickets; ++i) {
    const int gross = 3000000 + (i * 7919) % 1000000;  // in 1/100000 ton
    const int tare = 1400000 + (i * 104729) % 200000;
    auto tons = [](int h) { return std::to_string(h / 100000) + "." + std::to_string(h / 1000 % 100 + 100).substr(1); };
    csv += std::to_string(27100000 + i) + ",10/" + std::to_string(1 + i % 21) +
           "/2026,07:" + std::to_string(10 + i % 50) + ",T-" + std::to_string(100 + i % 40) + ",SP 12.5 MIX " +
           std::to_string(i % 10) + "," + tons(gross) + "," + tons(tare) + "," + tons(gross - tare) + ",PLANT 2\n";
  }
  return csv;
}

struct Job {
  std::string folder;
  Session session;
  std::string csv = Export();
  Job() {
    std::string pattern = "/tmp/tonnage-bench-XXXXXX";
    folder = ::mkdtemp(pattern.data());
    if (!session.Start(".", folder)) std::abort();
    session.New();
    session.ChooseUnits("E");
  }
  ~Job() {
    session.Cleanup();
    std::system(("rm -rf " + folder).c_str());
  }
};

Job& TheJob() {
  static Job job;
  return job;
}

void BM_PreviewTenThousandETickets(benchmark::State& state) {
  Job& job = TheJob();
  for (auto _ : state) {
    const CsvTable table = ReadCsvText(job.csv);
    ImportOptions options;
    options.columns = RecognizeColumns(table.header);
    options.overflow = true;  // 10 mixes of 1,000: five books each
    const ImportPreview preview = PreviewImport(table, options, job.session);
    if (preview.counts.import != kTickets) state.SkipWithError(preview.error.c_str());
    benchmark::DoNotOptimize(preview.rows.data());
  }
}
BENCHMARK(BM_PreviewTenThousandETickets)->Unit(benchmark::kMillisecond);

void BM_ReconcileTenThousandAgainstTenThousand(benchmark::State& state) {
  Job& job = TheJob();
  const CsvTable table = ReadCsvText(job.csv);
  ImportOptions options;
  options.columns = RecognizeColumns(table.header);
  options.overflow = true;
  const ImportPreview preview = PreviewImport(table, options, job.session);
  std::vector<TicketRow> book;
  for (std::size_t i = 0; i < preview.rows.size(); ++i) {
    book.push_back(preview.rows[i].cells);
    if (i % 50 == 0) book.back()[TicketField::Net] = "1";  // some differ
  }
  for (auto _ : state) {
    const Reconciliation r = Reconcile(preview.rows, book);
    if (r.counts[0] == 0) state.SkipWithError("nothing matched");
    benchmark::DoNotOptimize(r.lines.data());
  }
}
BENCHMARK(BM_ReconcileTenThousandAgainstTenThousand)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
