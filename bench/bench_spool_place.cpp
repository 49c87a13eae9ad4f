// Enter on a line of the largest report: which book and ticket the line is,
// found by walking the spool from its top (`LocateSpoolTicket`). The spool is
// the real report of a full 500 x 200 job, held in memory as the viewer holds it.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "full_job.h"
#include "io/line_reader.h"
#include "report/spool_place.h"
#include "report/tonnage_run.h"

namespace {

struct FullReport {
  std::string text = tonnage::report::MakeReportSpool(DataFile(500, 200), "V 4.2", {"10/06/2026", "14:05:09"});
  std::vector<std::string> owned = tonnage::io::SplitLines(text);
  std::vector<std::string_view> lines{owned.begin(), owned.end()};
  std::size_t lastTicket = 0;
  FullReport() {
    for (std::size_t i = lines.size(); i-- > 0 && lastTicket == 0;)
      if (tonnage::report::LocateSpoolTicket(lines, i).found()) lastTicket = i;
  }
};

const FullReport& Report() {
  static const FullReport report;
  return report;
}

// The worst line: the last ticket of the last book, under every line before it.
void BM_LocateLastTicketOfFullReport(benchmark::State& state) {
  const FullReport& r = Report();
  for (auto _ : state) {
    const tonnage::report::SpoolTicket t = tonnage::report::LocateSpoolTicket(r.lines, r.lastTicket);
    if (t.book != 500) state.SkipWithError("not the last book");
    benchmark::DoNotOptimize(t.ticket);
  }
  state.counters["lines"] = static_cast<double>(r.lines.size());
}
BENCHMARK(BM_LocateLastTicketOfFullReport)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
