// The history's costs on a full file of 500 books of 200 tickets: a save
// with one ticket changed beside the same save without the history, the
// differences between two full files, an open with the history beside one
// without, and the size of a year's history.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "data/section_file.h"
#include "data/session.h"
#include "store/history.h"
#include "store/report_runs.h"
#include "store/state_diff.h"
#include "text/fixed_width.h"
#include "full_file.h"

namespace {

FullFile& File() {
  static FullFile file;
  return file;
}

// Save with one ticket of book 250 changed each time (its net weight
// alternating), with or without the history.
void SaveOneTicketChanged(benchmark::State& state, bool history) {
  tonnage::Session session;
  const std::string job = File().folder + (history ? "/WITH.K81" : "/WITHOUT.K81");
  std::system(("cp " + File().path + " " + job).c_str());
  session.keepHistory = history;
  if (!session.Start(".", File().folder) || !session.Open(job)) return state.SkipWithError("open failed");
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    tonnage::ClearBookRows(session.rows);
    tonnage::ReadSectionFile(session.SectionPath(250), session.rows);
    session.rows[99][tonnage::TicketField::Net] = std::to_string(47000 + (++n % 2));
    if (!tonnage::WriteSectionFile(session.SectionPath(250), session.rows, "E", "0")) state.SkipWithError("section");
    state.ResumeTiming();
    if (!session.Save()) state.SkipWithError("save failed");
  }
  session.Cleanup();
}
void BM_SaveOneTicketChangedWithoutHistory(benchmark::State& state) { SaveOneTicketChanged(state, false); }
void BM_SaveOneTicketChangedWithHistory(benchmark::State& state) { SaveOneTicketChanged(state, true); }
BENCHMARK(BM_SaveOneTicketChangedWithoutHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveOneTicketChangedWithHistory)->Unit(benchmark::kMillisecond);

tonnage::store::DataState FullState(int shift) {
  tonnage::store::DataState s;
  s.indexLine = "CST81 9001    NH-0094-07  09/30/2026 E P. LINDQVIST";
  for (int b = 1; b <= 500; ++b) {
    auto& book = s.books.emplace_back();
    book.header = "* 0 0.0000 BOOK " + std::to_string(b) + " SURFACE COURSE";
    for (int p = 1; p <= 200; ++p) book.tickets.push_back(TicketLine(b, p, 47700 + shift));
  }
  return s;
}

// 0: one ticket changed; 1: a book deleted and the 250 behind it renumbered;
// 2: every ticket changed.
void BM_DiffFullFiles(benchmark::State& state) {
  const tonnage::store::DataState before = FullState(0);
  tonnage::store::DataState after = state.range(0) == 2 ? FullState(1) : before;
  if (state.range(0) == 0) after.books[249].tickets[99] = TicketLine(250, 100, 47001);
  if (state.range(0) == 1) after.books.erase(after.books.begin() + 249);
  std::size_t changes = 0;
  for (auto _ : state) changes = tonnage::store::DiffStates(before, after).size();
  state.counters["changes"] = static_cast<double>(changes);
}
BENCHMARK(BM_DiffFullFiles)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void Open(benchmark::State& state, bool history) {
  tonnage::Session session;
  session.keepHistory = history;
  if (!session.Start(".", File().folder)) return state.SkipWithError("no work folder");
  if (history && !session.Open(File().path)) return state.SkipWithError("open failed");  // starts it
  for (auto _ : state) {
    if (!session.Open(File().path)) state.SkipWithError("open failed");
  }
  session.Cleanup();
}
void BM_OpenWithoutHistory(benchmark::State& state) { Open(state, false); }
void BM_OpenWithHistory(benchmark::State& state) { Open(state, true); }
BENCHMARK(BM_OpenWithoutHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenWithHistory)->Unit(benchmark::kMillisecond);

// A year's job: 100,000 tickets recorded as first found, then 10,000 changes
// in 500 saves of 20 (a net weight and a date each in 10 tickets), and a
// report run every 20 saves.
void BM_YearOfHistory(benchmark::State& state) {
  for (auto _ : state) {
    const std::string job = File().folder + "/YEAR.K81";
    std::system(("rm -f " + job + "*").c_str());
    tonnage::store::ProjectStore store;
    if (!store.Open(job, "bench").outcome) return state.SkipWithError("store");
    tonnage::store::DataState s = FullState(0);
    if (!tonnage::store::RecordState(store, s, "first", "start", "").outcome) return state.SkipWithError("start");
    for (int save = 0; save < 500; ++save) {
      // A report about twice a month: every ticket of the job on record as reported.
      if (save % 20 == 0 && !tonnage::store::RecordReportRun(store, s, {}).outcome)
        return state.SkipWithError("report");
      for (int t = 0; t < 10; ++t) {
        const int book = (save * 7 + t * 53) % 500, page = (save * 13 + t) % 200;
        s.books[static_cast<std::size_t>(book)].tickets[static_cast<std::size_t>(page)] =
            tonnage::FormatMask(book * 1000 + page + 1, "000000") + " 09/" + std::to_string(10 + t) +
            "/2026 77756     30056     " + std::to_string(46000 + save) + "      5.600      ";
      }
      if (!tonnage::store::RecordState(store, s, std::to_string(save), "save", "correction").outcome)
        return state.SkipWithError("save");
    }
    store.Close();
    struct stat st {};
    ::stat((job + ".history").c_str(), &st);
    state.counters["store_MB"] = static_cast<double>(st.st_size) / (1 << 20);
  }
}
BENCHMARK(BM_YearOfHistory)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
