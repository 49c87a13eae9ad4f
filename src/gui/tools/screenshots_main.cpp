// tonnage-screenshots DIR [FILE.K81]: a picture of every window of the
// desktop program into DIR, for the user's guide (scripts/screenshots.sh).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <cstdio>

#include "context.h"
#include "data/session.h"
#include "icons.h"
#include "main_form.h"
#include "platform/qt_platform.h"
#include "screenshots.h"
#include "tonnage_version.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("quarrendale-tonnage"));
  QApplication::setApplicationVersion(QString::fromLatin1(tonnage::version::kText));
  QApplication::setDesktopFileName(QStringLiteral("quarrendale-tonnage"));
  QApplication::setWindowIcon(gui::ProgramIcon());
  const QStringList args = QApplication::arguments();
  if (args.size() < 2 || args.size() > 3) {
    std::fputs("usage: tonnage-screenshots DIR [FILE.K81]\n", stderr);
    return 2;
  }

  tonnage::Session session;
  platform::QtPlatform services;
  tonnage::RowMenuState rowMenu;
  gui::Services windows{session, services.get(), rowMenu};
  // The file dialogs open where the program's would: the documents folder.
  QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty() || !QFileInfo(documents).isDir()) documents = QDir::homePath();
  if (!gui::StartSession(session, *windows.platform.messages, std::string(QFile::encodeName(documents).constData())))
    return 1;

  gui::MainForm1 main(windows, [] { QCoreApplication::exit(0); });
  const std::string sample = args.size() == 3 ? std::string(QFile::encodeName(args[2]).constData()) : std::string();
  const int rc = gui::RunScreenshots(windows, main, services.help(), args[1], sample);
  main.ExitProgram();
  return rc;
}
