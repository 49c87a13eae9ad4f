// What a user may open by mistake is refused at once, however big: a sparse
// 2 GB file, 64 MB of zeros without a line end, a megabyte-long line. The
// peak resident memory after each is reported as a counter (the goal is that
// it stays far below the size of the input).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "data/data_file.h"

namespace {

struct Inputs {
  std::string folder;
  std::string huge, zeros, longLine;
  Inputs() {
    std::string pattern = "/tmp/tonnage-bench-XXXXXX";
    folder = ::mkdtemp(pattern.data());
    huge = Sparse("HUGE.K81", 2LL << 30);
    zeros = Sparse("ZEROS.K81", static_cast<long long>(tonnage::kMaxDataFileBytes));
    longLine = folder + "/LONG.K81";
    std::ofstream out(longLine, std::ios::binary);
    out << "CST81 4417    STP-0312(8) 10/06/2026 E R. HALVORSEN\r\n* 0 1.0200 BOOK\r\n"
        << std::string(1 << 20, '7') << "\r\n";
  }
  ~Inputs() { std::system(("rm -rf " + folder).c_str()); }
  std::string Sparse(const char* name, long long size) const {
    const std::string path = folder + "/" + name;
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd < 0 || ::ftruncate(fd, size) != 0) std::abort();
    ::close(fd);
    return path;
  }
};

Inputs& Files() {
  static Inputs inputs;
  return inputs;
}

void Refuse(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    const tonnage::ReadDataFileResult read = tonnage::ReadDataFile(path, Files().folder + "/");
    if (read.outcome.ok()) state.SkipWithError("accepted");
  }
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_RefuseTwoGigabyteFile(benchmark::State& state) { Refuse(state, Files().huge); }
BENCHMARK(BM_RefuseTwoGigabyteFile)->Unit(benchmark::kMicrosecond);

void BM_RefuseZerosWithoutLineEnd(benchmark::State& state) { Refuse(state, Files().zeros); }
BENCHMARK(BM_RefuseZerosWithoutLineEnd)->Unit(benchmark::kMicrosecond);

void BM_RefuseMegabyteLine(benchmark::State& state) { Refuse(state, Files().longLine); }
BENCHMARK(BM_RefuseMegabyteLine)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
