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

std::string FormatMaskText(int month, int day) {
  return tonnage::FormatMask(month, "00") + "/" + tonnage::FormatMask(day, "00") + "/2026";
}

// A plant's season: batch, tons and standard books, 200 work days, some
// private loads with bitumen, notes and voids.
std::string DataFile(int books, int tickets) {
  std::string text = "CST81 9001    NH-0094-07  09/30/2026 E P. LINDQVIST\r\n";
  unsigned seed = 81;
  auto next = [&](int lo, int hi) {
    seed = seed * 1103515245u + 12345u;
    return lo + static_cast<int>((seed >> 8) % static_cast<unsigned>(hi - lo + 1));
  };
  int day = 0;
  for (int b = 1; b <= books; ++b) {
    const int type = b % 3;
    text += "* " + std::to_string(type) + (type == 2 ? " 1.0250" : " 0.0000") + " BOOK " +
            std::to_string(b) + " SURFACE COURSE SP 12.5\r\n";
    for (int p = 1; p <= tickets; ++p) {
      if (p % 40 == 1) ++day;
      const int d = day % 200;
      const std::string date = FormatMaskText(d / 28 + 3, d % 28 + 1);
      std::string w1, w2, w3;
      if (type == 1) {
        const double g = next(30000, 40000) / 1000.0, t = next(13000, 15500) / 1000.0;
        w1 = tonnage::PadText(tonnage::FormatMask(g, "####0.000"), 9, tonnage::PadSide::Left) + " ";
        w2 = tonnage::PadText(tonnage::FormatMask(t, "####0.000"), 9, tonnage::PadSide::Left) + " ";
        w3 = tonnage::PadText(tonnage::FormatMask(g - t, "####0.000"), 9, tonnage::PadSide::Left) + " ";
      } else {
        const int a = next(52000, 80000), c = type == 2 ? a / 19 : next(26000, 32000);
        auto cell = [](int v) {
          return tonnage::PadText(std::to_string(v), 5, tonnage::PadSide::Left) + "     ";
        };
        w1 = cell(a);
        w2 = cell(c);
        w3 = cell(type == 2 ? a + c : a - c + (p % 97 == 0 ? 20 : 0));
      }
      const bool priv = p % 23 == 0, isVoid = p % 61 == 0, note = p % 37 == 0;
      text += tonnage::FormatMask(p + (p % 89 == 0 ? 1 : 0), "000000") + " " + date + " ";
      text += isVoid ? std::string(30, ' ') : w1 + w2 + w3;
      text += " 5.600 ";
      text += priv ? "Y " : "  ";
      text += isVoid ? "Y " : "  ";
      text += note ? "Y" : " ";
      text += "\r\n";
    }
  }
  return text;
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
  if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return -1;
  return usage.ru_maxrss;
}

void BM_CpInputAndOutputBytes(benchmark::State& state) {
  Files& f = TheFiles();
  const std::string cmd = "cp " + f.full + " " + f.folder + "/COPY.K81 && cp " + f.fullSpool + " " +
                          f.folder + "/COPY.PRN";
  for (auto _ : state)
    if (RunMeasured(cmd) < 0) state.SkipWithError("cp failed");
  state.counters["spool_MB"] = static_cast<double>(f.spoolBytes) / 1e6;
}
BENCHMARK(BM_CpInputAndOutputBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TonnageReportFullFile(benchmark::State& state) {
  Files& f = TheFiles();
  const std::string cmd = CliPath() + " report " + f.full + " -o " + f.folder + "/OUT.PRN" +
                          " --run-date 09/30/2026 --run-time 16:45:00";
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
  const std::string cp = "cp " + f.full + " " + f.folder + "/COPY.K81 && cp " + f.fullSpool + " " +
                         f.folder + "/COPY.PRN";
  const std::string report = CliPath() + " report " + f.full + " -o " + f.folder + "/OUT.PRN" +
                             " --run-date 09/30/2026 --run-time 16:45:00";
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
