// Opening and closing the grid of a full 200-row book, the report's checks
// of its rows and the journal that keeps them, and filling the list of 500
// books.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "data/data_file.h"
#include "data/section_file.h"
#include "data/session.h"
#include "entry/book_checks.h"
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
      row.cells = {tonnage::FormatMask(1200 + p, "000000"),
                   "09/28/2026",
                   std::to_string(70000 + p * 31),
                   "30056",
                   std::to_string(39944 + p * 31),
                   "5.600",
                   p % 9 ? "" : "Y",
                   "",
                   p % 7 ? "" : "Y"};
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

// The grid's whole life without the window: columns, the book loaded, its
// rows checked, then stored.
void BM_OpenCheckAndCloseFullBook(benchmark::State& state) {
  const tonnage::BookHeader& header = Book().session.Book(1);
  const std::string headerLine = tonnage::FormatBookHeaderLine(header);
  for (auto _ : state) {
    tonnage::BookGrid grid;
    tonnage::SetGridColumns(Book().session, 1, grid);
    tonnage::LoadBookIntoGrid(Book().session, 1, grid);
    benchmark::DoNotOptimize(tonnage::CheckBookRows(grid.rows(), "E", header.dataType, headerLine));
    if (!tonnage::SaveGridToBook(Book().session, 1, grid)) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_OpenCheckAndCloseFullBook)->Unit(benchmark::kMillisecond);

// After every change the grid checks the whole book, so one row's check
// costs the book's.
void BM_CheckFullBookRows(benchmark::State& state) {
  tonnage::BookGrid grid;
  tonnage::LoadBookIntoGrid(Book().session, 1, grid);
  const std::string headerLine = tonnage::FormatBookHeaderLine(Book().session.Book(1));
  for (auto _ : state) benchmark::DoNotOptimize(tonnage::CheckBookRows(grid.rows(), "E", "0", headerLine));
}
BENCHMARK(BM_CheckFullBookRows)->Unit(benchmark::kMillisecond);

// A row left: the book's rows written whole to its journal and renamed into place.
void BM_KeepRowOfFullBook(benchmark::State& state) {
  tonnage::BookGrid grid;
  tonnage::LoadBookIntoGrid(Book().session, 1, grid);
  int n = 0;
  for (auto _ : state) {
    grid.SetCell(1, 6, ++n % 2 ? "5.700" : "5.600");
    if (!tonnage::KeepGridRows(Book().session, 1, grid)) state.SkipWithError("journal failed");
  }
}
BENCHMARK(BM_KeepRowOfFullBook)->Unit(benchmark::kMillisecond);

void BM_ListFiveHundredBooks(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(tonnage::ListBooks(Book().session.books));
}
BENCHMARK(BM_ListFiveHundredBooks)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
