// `tonnage report` of a full file of 500 books of 200 tickets, beside `cp` of
// the input plus writing as many bytes as the report has; and the command's
// peak resident memory for the full file against a one-book file.
//
// The command is found beside this program's build folder (../src/cli/tonnage)
// or in $TONNAGE_CLI.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/session.h"
#include "io/file_writer.h"
#include "report/run_tonnage_report.h"
#include "full_job.h"
#include "text/fixed_width.h"

namespace {

std::string CliPath() {
  if (const char* env = std::getenv("TONNAGE_CLI")) return env;
  char self[4096];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path(self, n > 0 ? static_cast<std::size_t>(n) : 0);
  path = path.substr(0, path.rfind('/'));
  return path.substr(0, path.rfind('/')) + "/src/cli/tonnage";
}

struct Files {
  std::string folder, full, oneBook, fullSpool;
  off_t spoolBytes = 0;
  Files() {
    std::string pattern = "/tmp/tonnage-bench-XXXXXX";
    folder = ::mkdtemp(pattern.data());
    full = folder + "/FULL.K81";
    oneBook = folder + "/ONE.K81";
    fullSpool = folder + "/FULL.PRN";
    if (!tonnage::io::WriteWholeFile(full, DataFile(500, 200)) ||
        !tonnage::io::WriteWholeFile(oneBook, DataFile(1, 200)))
      std::abort();
    std::system((CliPath() + " report " + full + " -o " + fullSpool).c_str());
    struct stat st {};
    if (::stat(fullSpool.c_str(), &st) == 0) spoolBytes = st.st_size;
  }
  ~Files() { std::system(("rm -rf " + folder).c_str()); }
};

Files& TheFiles() {
  static Files files;
  return files;
}

// Runs a command and gives its peak resident memory in KiB (or -1).
long RunMeasured(const std::string& command) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss;
}

void BM_CpInputAndOutputBytes(benchmark::State& state) {
  Files& f = TheFiles();
  const std::string cmd =
      "cp " + f.full + " " + f.folder + "/COPY.K81 && cp " + f.fullSpool + " " + f.folder + "/COPY.PRN";
  for (auto _ : state)
    if (RunMeasured(cmd) < 0) state.SkipWithError("cp failed");
  state.counters["spool_MB"] = static_cast<double>(f.spoolBytes) / 1e6;
}
BENCHMARK(BM_CpInputAndOutputBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TonnageReportFullFile(benchmark::State& state) {
  Files& f = TheFiles();
  const std::string cmd =
      CliPath() + " report " + f.full + " -o " + f.folder + "/OUT.PRN" + " --run-date 09/30/2026 --run-time 16:45:00";
  for (auto _ : state)
    if (RunMeasured(cmd) < 0) state.SkipWithError("tonnage report failed");
}
BENCHMARK(BM_TonnageReportFullFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The two side by side: each iteration copies with `cp`, then runs the
// report, and the ratio of the two times is kept. The host's load drifts
// over seconds; within a pair it hits both alike, so the median of the
// pairs' ratios is the steadier figure.
void BM_ReportToCpRatio(benchmark::State& state) {
  Files& f = TheFiles();
  const std::string cp =
      "cp " + f.full + " " + f.folder + "/COPY.K81 && cp " + f.fullSpool + " " + f.folder + "/COPY.PRN";
  const std::string report =
      CliPath() + " report " + f.full + " -o " + f.folder + "/OUT.PRN" + " --run-date 09/30/2026 --run-time 16:45:00";
  using Clock = std::chrono::steady_clock;
  std::vector<double> ratios, cpMs, reportMs;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    const long a = RunMeasured(cp);
    const auto t1 = Clock::now();
    const long b = RunMeasured(report);
    const auto t2 = Clock::now();
    if (a < 0 || b < 0) {
      state.SkipWithError("cp or tonnage report failed");
      return;
    }
    const double c = std::chrono::duration<double, std::milli>(t1 - t0).count();
    const double r = std::chrono::duration<double, std::milli>(t2 - t1).count();
    cpMs.push_back(c);
    reportMs.push_back(r);
    ratios.push_back(r / c);
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
  };
  state.counters["cp_ms"] = median(cpMs);
  state.counters["report_ms"] = median(reportMs);
  state.counters["ratio"] = median(ratios);
  state.counters["pairs"] = static_cast<double>(ratios.size());
}
BENCHMARK(BM_ReportToCpRatio)->Unit(benchmark::kMillisecond)->Iterations(41);

// The run alone, over a work folder that already holds WORK.TMP.
void BM_RunOverWorkFolder(benchmark::State& state) {
  Files& f = TheFiles();
  tonnage::Session session;
  if (!session.Start(".", f.folder) || !session.Open(f.full) || !session.WriteWorkFile())
    return state.SkipWithError("no work file");
  for (auto _ : state) {
    if (!tonnage::report::RunTonnageReport(session.workFolder().path(), {"09/30/2026", "16:45:00"}))
      state.SkipWithError("run failed");
  }
  session.Cleanup();
}
BENCHMARK(BM_RunOverWorkFolder)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PeakMemory(benchmark::State& state) {
  Files& f = TheFiles();
  long full = 0, one = 0;
  for (auto _ : state) {
    full = RunMeasured(CliPath() + " report " + f.full + " -o " + f.folder + "/M1.PRN");
    one = RunMeasured(CliPath() + " report " + f.oneBook + " -o " + f.folder + "/M2.PRN");
    if (full < 0 || one < 0) state.SkipWithError("tonnage report failed");
  }
  state.counters["full_KiB"] = static_cast<double>(full);
  state.counters["one_book_KiB"] = static_cast<double>(one);
  state.counters["growth_KiB"] = static_cast<double>(full - one);
}
BENCHMARK(BM_PeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
