// Page printing over the spool of a full 500 x 200 file (about 5,300 pages,
// 300,000 lines): all pages, the last few pages (the whole file is still
// read), and Print To File. The printer only counts, so the time is the
// reading and paging of the spool; bench_print has the real printer's cost.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "full_spool.h"
#include "print/spool_printing.h"

namespace {

const std::string& SpoolPath() { return bench::FullSpool("bench-spool-pages-PRINT.SPL"); }

struct CountingPrinter final : tonnage::print::LinePrinter {
  std::size_t bytes = 0;
  void SetFont(const std::string&, int) override {}
  void PrintLine(std::string_view line) override { bytes += line.size(); }
  void NewPage() override {}
  tonnage::Outcome EndDocument() override { return {}; }
  void Abandon() override {}
};

void PrintRange(benchmark::State& state, std::int16_t from, std::int16_t to) {
  const std::string& spool = SpoolPath();
  for (auto _ : state) {
    CountingPrinter printer;
    if (!tonnage::print::PrintSpoolPages(spool, from, to, printer)) state.SkipWithError("print failed");
    benchmark::DoNotOptimize(printer.bytes);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(spool)));
}

void BM_PrintAllPages(benchmark::State& state) { PrintRange(state, 0, 0); }
void BM_PrintLastPages(benchmark::State& state) {
  PrintRange(state, bench::kFullSpoolPages - 2, bench::kFullSpoolPages);
}

void BM_PrintToFile(benchmark::State& state) {
  const std::string& spool = SpoolPath();
  const std::string target = spool + ".PRN";
  for (auto _ : state) {
    if (!tonnage::print::CopySpoolToFile(spool, target)) state.SkipWithError("copy failed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(spool)));
  std::filesystem::remove(target);
}

BENCHMARK(BM_PrintAllPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintLastPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintToFile)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const std::string spool = SpoolPath();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(spool);
  return 0;
}
