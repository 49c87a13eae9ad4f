// Printing the spool of a full 500 x 200 file (about 5,300 pages, 300,000
// lines): all pages, the last few pages (the whole file is still read), and
// Print To File. The printer only counts, so the time is the spool's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "io/file_writer.h"
#include "print/spool_printing.h"

namespace {

const std::string& SpoolPath() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() / "bench-print-PRINT.SPL").string();
    std::string text;
    for (int page = 1; page <= 5300; ++page) {
      if (page > 1) text += "\f\r\n";
      for (int row = 0; row < 57; ++row) {
        char line[120];
        std::snprintf(line, sizeof line, "  %06d 09/%02d/2026  %5d  %5d  %5d   23.500   23.600    1.300    5.20\r\n",
                      page * 57 + row, 1 + row % 28, 60000 + row, 28000 + row, 32000 + row);
        text += line;
      }
    }
    if (!tonnage::io::WriteWholeFile(p, text)) std::abort();
    return p;
  }();
  return path;
}

struct CountingPrinter final : tonnage::print::LinePrinter {
  std::size_t bytes = 0;
  void SetFont(const std::string&, int) override {}
  void PrintLine(std::string_view line) override { bytes += line.size(); }
  void NewPage() override {}
  tonnage::Outcome EndDocument() override { return {}; }
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
void BM_PrintLastPages(benchmark::State& state) { PrintRange(state, 5298, 5300); }

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

BENCHMARK_MAIN();
