// The spool of a full 500 x 200 file, for the benchmarks that read one:
// 5,300 report pages of 57 lines (five header lines, then ticket lines) with
// a form-feed line between pages, some 307,000 lines. 500 books of 200
// tickets give about 2,000 pages of detail; the error report, totals and date
// sections bring the whole to this size. Streamed to the file, never held.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "io/file_writer.h"

namespace bench {

inline constexpr int kFullSpoolPages = 5300;

inline void WriteFullSpool(const std::string& path) {
  tonnage::io::FileWriter spool(path, tonnage::io::WriteMode::Atomic);
  char line[200];
  for (int page = 1; page <= kFullSpoolPages; ++page) {
    if (page > 1) spool.WriteLine("\f");
    std::snprintf(line, sizeof line,
                  " PRAX V4.2.1 04/2006          QUARRENDALE (TONNAGE)\r\n"
                  " PROGRAM HARKST81      DATE PROC 10/06/2026    TIME PROC 14:05:09   PAGE %5d\r\n",
                  page);
    spool.Write(line);
    spool.Write(
        " REF. # - 4417        PROJECT NO. STP-0312(8)\r\n SUBM ENGINEER: R. HALVORSEN\r\n"
        " DATA IS IN ENGLISH\r\n");
    for (int row = 0; row < 52; ++row) {
      const int ticket = page * 52 + row;
      std::snprintf(line, sizeof line, "  %06d 09/%02d/2026  %5d  %5d  %5d   %6.3f  %7.3f  %7.3f    %5.2f",
                    ticket % 1000000, 1 + ticket % 28, 60000 + ticket % 19000, 28000 + ticket % 3000,
                    32000 + ticket % 16000, 23.5 + (ticket % 90) / 10.0, 23.5 + (ticket % 91) / 10.0,
                    1.3 + (ticket % 7) / 10.0, 5.2 + (ticket % 9) / 10.0);
      spool.WriteLine(line);
    }
  }
  if (!spool.Commit()) std::abort();
}

// The spool `name` in the temporary folder, written at the first call (one
// spool a program).
inline const std::string& FullSpool(const char* name) {
  static const std::string path = [name] {
    const std::string p = (std::filesystem::temp_directory_path() / name).string();
    WriteFullSpool(p);
    return p;
  }();
  return path;
}

// Runs a program's benchmarks under Qt's offscreen platform (`Application`
// is the Qt application class it needs) over the spool `name`, then removes
// the spool.
template <class Application>
int RunOffscreenOverFullSpool(int argc, char** argv, const char* name) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Application app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const std::string& spool = FullSpool(name);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(spool);
  return 0;
}

}  // namespace bench
