// Opening (read and split into section files) and saving a full file of 500
// books of 200 tickets, beside a plain `cp` of the same bytes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "data/session.h"
#include "text/fixed_width.h"
#include "full_file.h"

namespace {

FullFile& File() {
  static FullFile file;
  return file;
}

void BM_CopyWithCp(benchmark::State& state) {
  const std::string cmd = "cp " + File().path + " " + File().folder + "/COPY.K81";
  for (auto _ : state) benchmark::DoNotOptimize(std::system(cmd.c_str()));
}
BENCHMARK(BM_CopyWithCp)->Unit(benchmark::kMillisecond);

void BM_OpenFullFile(benchmark::State& state) {
  tonnage::Session session;
  if (!session.Start(".", File().folder)) return state.SkipWithError("no work folder");
  for (auto _ : state) {
    if (!session.Open(File().path)) state.SkipWithError("open failed");
  }
  session.Cleanup();
}
BENCHMARK(BM_OpenFullFile)->Unit(benchmark::kMillisecond);

void BM_SaveFullFile(benchmark::State& state) {
  tonnage::Session session;
  if (!session.Start(".", File().folder) || !session.Open(File().path)) return state.SkipWithError("open failed");
  const std::string out = File().folder + "/SAVED.K81";
  for (auto _ : state) {
    if (!session.SaveAs(out)) state.SkipWithError("save failed");
  }
  session.Cleanup();
}
BENCHMARK(BM_SaveFullFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
