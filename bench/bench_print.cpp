// Printing the spool of a full 500 x 200 file (5,300 pages of 57 lines) as a
// PDF, the way every printed document is made: read line by line, drawn page
// by page, written as it goes. Reports pages a second and the peak resident
// memory of the printing alone.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "full_spool.h"
#include "platform/qt_line_printer.h"

namespace {

const std::string& SpoolPath() { return bench::FullSpool("bench-print-PRINT.SPL"); }

// Peak resident memory since the last reset, in MiB (Linux).
void ResetPeakMemory() {
  if (FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", refs);
    std::fclose(refs);
  }
}

double PeakMemoryMiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      double kib = 0;
      status >> kib;
      return kib / 1024.0;
    }
    status.ignore(1 << 10, '\n');
  }
  return 0;
}

// The spool's pages, line by line, as page printing sends them.
int PrintSpool(tonnage::print::LinePrinter& printer, const std::string& spool) {
  std::ifstream in(spool, std::ios::binary);
  std::string line;
  int pages = 1;
  printer.SetFont("Courier New", 12);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find('\f') != std::string::npos) {
      ++pages;
      printer.NewPage();
      continue;
    }
    printer.PrintLine(line);
  }
  if (!printer.EndDocument()) std::abort();
  return pages;
}

void BM_PrintFullSpoolToPdf(benchmark::State& state) {
  const std::string& spool = SpoolPath();
  const std::string pdf = (std::filesystem::temp_directory_path() / "bench-print.pdf").string();
  // A4 with a laser printer's margins holds a 57-line page on one sheet.
  platform::QueuePaper a4{"A4", "A4", 595, 842, {12, 12, 12, 12}, 9};
  const QPageLayout layout = platform::SheetLayout(&a4, 1);
  int pages = 0;
  ResetPeakMemory();
  const double before = PeakMemoryMiB();
  for (auto _ : state) {
    platform::PdfLinePrinter printer(pdf, layout);
    pages = PrintSpool(printer, spool);
  }
  state.counters["pages"] = pages;
  state.counters["pages_per_s"] =
      benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["peak_rss_MiB"] = PeakMemoryMiB();
  state.counters["rss_before_MiB"] = before;
  state.counters["pdf_MB"] = static_cast<double>(std::filesystem::file_size(pdf)) / 1e6;
  std::filesystem::remove(pdf);
}
BENCHMARK(BM_PrintFullSpoolToPdf)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  return bench::RunOffscreenOverFullSpool<QGuiApplication>(argc, argv, "bench-print-PRINT.SPL");
}
