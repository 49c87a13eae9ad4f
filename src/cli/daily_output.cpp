#include "daily_output.h"

#include "daily/stored_yield_entries.h"
#include "import/ticket_details.h"
#include "store/project_store.h"

#ifdef TONNAGE_DAILY_PDF
#include <QGuiApplication>

#include <cstdio>

#include "daily_pdf.h"
#endif

namespace tonnage::cli {

#ifdef TONNAGE_DAILY_PDF
bool CanWriteDailyPdf() { return true; }

Outcome WriteDailyPdf(const std::string& path, const daily::DailySummary& s) {
  // Fonts need a GUI application; the command line never shows a window.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's notes about the session (no runtime folder and the like) are no
  // business of a script reading stderr.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
  });
  int argc = 1;
  char name[] = "tonnage";
  char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  return charts::WriteDailyPdf(path, s);
}
#else
bool CanWriteDailyPdf() { return false; }
Outcome WriteDailyPdf(const std::string& path, const daily::DailySummary&) {
  return Outcome::Io(path + ": this build writes no PDF");
}
#endif

daily::DailyExtras DailyExtrasBeside(const std::string& dataFile) {
  daily::DailyExtras extras;
  store::ProjectStore store;
  // A file with no history has no yield entries or load times either.
  if (!store.OpenToRead(dataFile)) return extras;
  extras.loadTimes = import::StoredLoadTimes(store);
  extras.yieldEntries = daily::LoadYieldEntries(store);
  return extras;
}

}  // namespace tonnage::cli
