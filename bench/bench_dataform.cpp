// The data-entry window over a full 200-row book: opened (columns set, the
// book loaded, the first screen painted) and closed (the grid stored into
// its section file); the list of books filled with 500 books.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cstdlib>
#include <string>

#include <QListWidget>

#include "sect_list.h"
#include "book_grid_view.h"
#include "dataform.h"
#include "data/section_file.h"
#include "platform/qt_platform.h"
#include "text/fixed_width.h"

namespace {

struct FullBook {
  std::string folder;
  tonnage::Session session;
  platform::QtPlatform services;
  tonnage::RowMenuState rowMenu;
  gui::Services windows{session, services.get(), rowMenu};
  FullBook() {
    std::string pattern = "/tmp/tonnage-bench-XXXXXX";
    folder = ::mkdtemp(pattern.data());
    if (!session.Start(".", folder)) std::abort();
    session.New();
    session.ChooseUnits("E");
    session.Book(1) = {"SURFACE COURSE SP 12.5 NB LANES", "0", "2.6500"};
    session.currentBook = 1;
    for (int p = 1; p <= tonnage::kMaxRows; ++p)
      session.rows[static_cast<std::size_t>(p - 1)].cells = {tonnage::FormatMask(1200 + p, "000000"),
                                                             "09/28/2026",
                                                             std::to_string(70000 + p * 31),
                                                             "30056",
                                                             std::to_string(39944 + p * 31),
                                                             "5.600",
                                                             "",
                                                             "",
                                                             p % 7 ? "" : "Y"};
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

void BM_OpenDataform(benchmark::State& state) {
  for (auto _ : state) {
    gui::Dataform form(Book().windows.Entry(), Book().rowMenu, nullptr);
    form.show();
    QImage first = form.grab().toImage();
    benchmark::DoNotOptimize(first.bits());
    state.PauseTiming();
    form.reject();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenDataform)->Unit(benchmark::kMillisecond);

void BM_CloseDataform(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto* form = new gui::Dataform(Book().windows.Entry(), Book().rowMenu, nullptr);
    form->show();
    state.ResumeTiming();
    form->accept();
    state.PauseTiming();
    delete form;
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CloseDataform)->Unit(benchmark::kMillisecond);

// One cell typed in the window: the entry rule, the undo step, the book's
// checks, the row kept in the journal and the grid redrawn.
void BM_TypeCellInDataform(benchmark::State& state) {
  gui::Dataform form(Book().windows.Entry(), Book().rowMenu, nullptr);
  form.show();
  QAbstractItemModel* model = form.view()->model();
  const QModelIndex net = model->index(99, 4);
  int n = 0;
  for (auto _ : state) {
    model->setData(net, QString::number(43000 + (++n % 2)), Qt::EditRole);
    QCoreApplication::processEvents();
  }
  form.reject();
}
BENCHMARK(BM_TypeCellInDataform)->Unit(benchmark::kMillisecond);

// The list window filled with 500 books, all in use.
void BM_OpenSectList(benchmark::State& state) {
  for (int b = 1; b <= tonnage::kMaxBooks; ++b)
    if (!Book().session.Book(b).InUse())
      Book().session.Book(b) = {"BOOK " + std::to_string(b) + " BASE COURSE", "0", ""};
  for (auto _ : state) {
    gui::SectList list(Book().windows.Entry(), Book().rowMenu, nullptr);
    benchmark::DoNotOptimize(list.list()->count());
  }
}
BENCHMARK(BM_OpenSectList)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  ::benchmark::Initialize(&argc, argv);
  ::benchmark::RunSpecifiedBenchmarks();
  ::benchmark::Shutdown();
  return 0;
}
