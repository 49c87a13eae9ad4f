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

#include "io/file_writer.h"
#include "platform/qt_line_printer.h"

namespace {

constexpr int kPages = 5300;

// Pages as the report writes them (the same text as the viewer's benchmark),
// streamed into the file so the spool itself is never all in memory.
const std::string& SpoolPath() {
  static const std::string path = [] {
    const std::string p =
        (std::filesystem::temp_directory_path() / "bench-print-PRINT.SPL").string();
    tonnage::io::FileWriter spool(p, tonnage::io::WriteMode::Atomic);
    char line[200];
    for (int page = 1; page <= kPages; ++page) {
      if (page > 1) spool.WriteLine("\f");
      std::snprintf(line, sizeof line,
                    " PRAX V4.2.1 04/2006          QUARRENDALE (TONNAGE)\r\n"
                    " PROGRAM HARKST81      DATE PROC 10/06/2026    TIME PROC 14:05:09   PAGE %5d\r\n",
                    page);
      spool.Write(line);
      spool.Write(" REF. # - 4417        PROJECT NO. STP-0312(8)\r\n SUBM ENGINEER: R. HALVORSEN\r\n"
                  " DATA IS IN ENGLISH\r\n");
      for (int row = 0; row < 52; ++row) {
        const int ticket = page * 52 + row;
        std::snprintf(line, sizeof line,
                      "  %06d 09/%02d/2026  %5d  %5d  %5d   %6.3f  %7.3f  %7.3f    %5.2f",
                      ticket % 1000000, 1 + ticket % 28, 60000 + ticket % 19000,
                      28000 + ticket % 3000, 32000 + ticket % 16000, 23.5 + (ticket % 90) / 10.0,
                      23.5 + (ticket % 91) / 10.0, 1.3 + (ticket % 7) / 10.0,
                      5.2 + (ticket % 9) / 10.0);
        spool.WriteLine(line);
      }
    }
    if (!spool.Commit()) std::abort();
    return p;
  }();
  return path;
}

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
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SpoolPath();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(SpoolPath());
  return 0;
}
