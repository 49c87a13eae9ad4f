// quarrendale-tonnage: the desktop program.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "application.h"
#include "context.h"
#include "data/session.h"
#include "icons.h"
#include "main_form.h"
#include "platform/qt_platform.h"
#include "signal_exit.h"
#include "tonnage_version.h"

namespace {

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

// The user's documents folder: the program's own folder is not writable here.
std::string StartDataFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
  return std::string(QFile::encodeName(folder).constData());
}

}  // namespace

int main(int argc, char** argv) {
  if (!HasDisplay()) {
    std::fputs(
        "quarrendale-tonnage: no display to show the windows on (DISPLAY and WAYLAND_DISPLAY "
        "are not set).\nFor the report without windows use: tonnage report FILE.K81\n",
        stderr);
    return 2;
  }
  QApplication app(argc, argv);
  gui::ConfigureApplication();

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Quantity records of asphalt delivered to road projects."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A data file (*.K81) to open."),
                               QStringLiteral("[FILE.K81]"));
  parser.process(app);

  tonnage::Session session;
  platform::QtPlatform services;
  // The grids' row menu keeps what it copied for the whole run.
  tonnage::RowMenuState rowMenu;
  const gui::Services windows{session, services.get(), rowMenu};

  if (!gui::StartSession(session, *windows.platform.messages, StartDataFolder())) return 1;

  // Every event loop ends, the modal windows' too.
  gui::MainForm1 main(windows, [] { QCoreApplication::exit(0); });
  gui::SignalExit signalExit([&main](int) { main.ExitOnSignal(); });
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &main, [&main] { main.ExitProgram(); });

  const QStringList files = parser.positionalArguments();

  main.show();
  const QString file = files.isEmpty() ? QString() : files.first();
  // A run that was killed left its data behind: offered back first, before
  // the window is used; the file named on the command line follows.
  QTimer::singleShot(0, &main, [&main, file] { main.OpenAtStart(file); });
  const int rc = QApplication::exec();
  main.ExitProgram();
  return rc;
}
