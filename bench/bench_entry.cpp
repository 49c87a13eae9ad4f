// Opening and closing the grid of a full 200-row book, and filling the list
// of 500 books.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "data/section_file.h"
#include "data/session.h"
#include "entry/book_grid.h"
#include "entry/book_list.h"
#include "text/fixed_width.h"

namespace {

struct FullBook {
  std::string folder;
  tonnage::Session session;
  FullBook() {
    std::string pattern = "/tmp/tonnage-bench-XXXXXX";
    folder = ::mkdtemp(pattern.data());
    if (!session.Start(".", folder)) std::abort();
    session.New();
    session.ChooseUnits("E");
    for (int b = 1; b <= tonnage::kMaxBooks; ++b) {
      session.Book(b).comments = "BOOK " + std::to_string(b) + " SURFACE COURSE NH-0094-07";
      session.Book(b).dataType = "0";
    }
    for (int p = 1; p <= tonnage::kMaxRows; ++p) {
      tonnage::TicketRow& row = session.rows[static_cast<std::size_t>(p - 1)];
      row.cells = {tonnage::FormatMask(1200 + p, "000000"), "09/28/2026", std::to_string(70000 + p * 31),
                   "30056", std::to_string(39944 + p * 31), "5.600", p % 9 ? "" : "Y", "", p % 7 ? "" : "Y"};
    }
    if (!tonnage::WriteSectionFile(session.SectionPath(1), session.rows, "E", "0")) std::abort();
  }
  ~FullBook() {
    session.Cleanup();
    std::system(("rm -rf " + folder).c_str());
  }
};

FullBook& Book() {
  static FullBook book;
  return book;
}

void BM_LoadFullBookIntoGrid(benchmark::State& state) {
  tonnage::BookGrid grid;
  for (auto _ : state) {
    tonnage::SetGridColumns(Book().session, 1, grid);
    benchmark::DoNotOptimize(tonnage::LoadBookIntoGrid(Book().session, 1, grid));
  }
}
BENCHMARK(BM_LoadFullBookIntoGrid)->Unit(benchmark::kMillisecond);

void BM_SaveFullGridToBook(benchmark::State& state) {
  tonnage::BookGrid grid;
  tonnage::LoadBookIntoGrid(Book().session, 1, grid);
  for (auto _ : state) {
    if (!tonnage::SaveGridToBook(Book().session, 1, grid)) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveFullGridToBook)->Unit(benchmark::kMillisecond);

void BM_ListFiveHundredBooks(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(tonnage::ListBooks(Book().session.books));
}
BENCHMARK(BM_ListFiveHundredBooks)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
