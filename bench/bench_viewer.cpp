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

#include "io/file_writer.h"
#include "spool_view.h"

namespace {

// Pages of 57 lines as the report prints them: five header lines, then
// ticket lines, a form-feed line between pages. 500 books of 200 tickets
// give about 2,000 pages of detail; the error report, totals and date
// sections bring the whole to some 300,000 lines.
const std::string& SpoolPath() {
  static const std::string path = [] {
    const std::string p =
        (std::filesystem::temp_directory_path() / "bench-viewer-PRINT.SPL").string();
    std::string text;
    text.reserve(26u << 20);
    const int pages = 5300;
    for (int page = 1; page <= pages; ++page) {
      if (page > 1) text += "\f\r\n";
      char line[160];
      std::snprintf(line, sizeof line,
                    " PRAX V4.2.1 04/2006          QUARRENDALE (TONNAGE)\r\n"
                    " PROGRAM HARKST81      DATE PROC 10/06/2026    TIME PROC 14:05:09   PAGE %5d\r\n",
                    page);
      text += line;
      text += " REF. # - 4417        PROJECT NO. STP-0312(8)\r\n SUBM ENGINEER: R. HALVORSEN\r\n"
              " DATA IS IN ENGLISH\r\n";
      for (int row = 0; row < 52; ++row) {
        const int ticket = page * 52 + row;
        std::snprintf(line, sizeof line,
                      "  %06d 09/%02d/2026  %5d  %5d  %5d   %6.3f  %7.3f  %7.3f    %5.2f\r\n",
                      ticket % 1000000, 1 + ticket % 28, 60000 + ticket % 19000,
                      28000 + ticket % 3000, 32000 + ticket % 16000, 23.5 + (ticket % 90) / 10.0,
                      23.5 + (ticket % 91) / 10.0, 1.3 + (ticket % 7) / 10.0, 5.2 + (ticket % 9) / 10.0);
        text += line;
      }
    }
    if (!tonnage::io::WriteWholeFile(p, text)) std::abort();
    return p;
  }();
  return path;
}

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
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SpoolPath();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(SpoolPath());
  return 0;
}
