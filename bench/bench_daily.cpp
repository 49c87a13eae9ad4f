// The daily summary of the full 500 x 200 job: one day on screen (the
// summary worked out and the window's tables and charts built and painted),
// and thirty days to PDF and to XLSX.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDate>
#include <QImage>
#include <cstdlib>
#include <string>

#include "daily/daily_summary.h"
#include "daily/daily_xlsx.h"
#include "daily_form.h"
#include "daily_pdf.h"
#include "full_job.h"
#include "io/file_writer.h"
#include "platform/qt_platform.h"

namespace {

namespace daily = tonnage::daily;

struct FullJob {
  std::string folder, path, image;
  tonnage::Session session;
  platform::QtPlatform services;
  tonnage::RowMenuState rowMenu;
  gui::Services windows{session, services.get(), rowMenu};
  daily::HeldYieldEntries yield;
  FullJob() {
    std::string pattern = "/tmp/tonnage-bench-XXXXXX";
    folder = ::mkdtemp(pattern.data());
    path = folder + "/FULL.K81";
    image = DataFile(500, 200);
    if (!tonnage::io::WriteWholeFile(path, image)) std::abort();
    if (!session.Start(folder, folder) || !session.Open(path)) std::abort();
    // A yield entry for every book of the first thirty days.
    for (int b = 1; b <= 500; ++b)
      if (!yield.Put({b, "202603" + FormatMaskText(3, 1 + b % 28).substr(3, 2), "12+50", "45+00", 0, 12, 2, 110, 0}))
        std::abort();
  }
};

FullJob& Job() {
  static FullJob job;
  return job;
}

daily::DailySummary Summary(const char* from, const char* to) {
  tonnage::io::StringLineSource work(Job().image);
  daily::DailyExtras extras;
  extras.yieldEntries = Job().yield.Entries();
  return daily::SummarizeDays(work, from, to, extras).summary;
}

void BM_DailyOneDayComputation(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Summary("20260315", "20260315"));
}
BENCHMARK(BM_DailyOneDayComputation)->Unit(benchmark::kMillisecond)->UseRealTime();

// The day chosen in the open window: the summary, the tables and the charts
// rebuilt, and the window painted.
void BM_DailyOneDayOnScreen(benchmark::State& state) {
  gui::DailyForm form(Job().windows.Files(), Job().yield, nullptr);
  form.resize(1100, 720);
  form.show();
  int day = 1;
  for (auto _ : state) {
    form.ShowDays(QDate(2026, 3, day), QDate(2026, 3, day));
    QImage shot = form.grab().toImage();
    benchmark::DoNotOptimize(shot.bits());
    day = day % 28 + 1;
  }
  state.counters["loads"] = form.summary().days.empty() ? 0 : form.summary().days[0].loads;
}
BENCHMARK(BM_DailyOneDayOnScreen)->Unit(benchmark::kMillisecond)->UseRealTime();

// Opening the window: the data written and read once, the calendar marked.
void BM_DailyWindowOpen(benchmark::State& state) {
  for (auto _ : state) {
    gui::DailyForm form(Job().windows.Files(), Job().yield, nullptr);
    benchmark::DoNotOptimize(form.summary().days.size());
  }
}
BENCHMARK(BM_DailyWindowOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DailyThirtyDaysToPdf(benchmark::State& state) {
  const std::string out = Job().folder + "/THIRTY.pdf";
  for (auto _ : state)
    if (!tonnage::charts::WriteDailyPdf(out, Summary("20260301", "20260402"))) std::abort();
  state.counters["days"] = static_cast<double>(Summary("20260301", "20260402").days.size());
}
BENCHMARK(BM_DailyThirtyDaysToPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DailyThirtyDaysToXlsx(benchmark::State& state) {
  const std::string out = Job().folder + "/THIRTY.xlsx";
  for (auto _ : state)
    if (!daily::WriteDailyXlsx(out, Summary("20260301", "20260402"))) std::abort();
}
BENCHMARK(BM_DailyThirtyDaysToXlsx)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
