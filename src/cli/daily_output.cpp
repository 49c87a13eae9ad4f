#include "daily_output.h"

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

daily::DailyExtras DailyExtrasBeside(const std::string&) { return {}; }

}  // namespace tonnage::cli
