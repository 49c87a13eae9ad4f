// The report viewer on the spool of a full 500 x 200 file: open and paint the
// first screen, and jump to the end. A plain text edit fed the whole file is
// measured beside it, as the way not taken.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "full_spool.h"
#include "spool_view.h"

namespace {

const std::string& SpoolPath() { return bench::FullSpool("bench-viewer-PRINT.SPL"); }

void Paint(QWidget& widget, QImage& image) {
  QPainter painter(&image);
  widget.render(&painter);
}

void BM_ViewerOpenAndFirstPaint(benchmark::State& state) {
  const std::string& path = SpoolPath();
  QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
  std::size_t lines = 0;
  for (auto _ : state) {
    gui::SpoolView view;
    view.resize(800, 600);
    view.setFontSize(10);
    view.setFileName(path);
    Paint(view, image);
    lines = view.lineCount();
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_ViewerOpenAndFirstPaint)->Unit(benchmark::kMillisecond);

void BM_ViewerScrollToEndAndPaint(benchmark::State& state) {
  gui::SpoolView view;
  view.resize(800, 600);
  view.setFontSize(10);
  view.setFileName(SpoolPath());
  QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
  bool atEnd = false;
  for (auto _ : state) {
    view.verticalScrollBar()->setValue(atEnd ? 0 : view.verticalScrollBar()->maximum());
    atEnd = !atEnd;
    Paint(view, image);
  }
}
BENCHMARK(BM_ViewerScrollToEndAndPaint)->Unit(benchmark::kMillisecond);

void BM_PlainTextEditWholeFile(benchmark::State& state) {
  QFile file(QString::fromStdString(SpoolPath()));
  if (!file.open(QIODevice::ReadOnly)) std::abort();
  const QString text = QString::fromLatin1(file.readAll());
  QImage image(800, 600, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPlainTextEdit edit;
    edit.setReadOnly(true);
    edit.resize(800, 600);
    edit.setPlainText(text);
    Paint(edit, image);
  }
}
BENCHMARK(BM_PlainTextEditWholeFile)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunOffscreenOverFullSpool<QApplication>(argc, argv, "bench-viewer-PRINT.SPL");
}
