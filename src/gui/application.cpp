#include "application.h"

#include <QApplication>

#include "icons.h"
#include "tonnage_version.h"

namespace gui {

void ConfigureApplication() {
  QApplication::setApplicationName(QStringLiteral("quarrendale-tonnage"));
  QApplication::setApplicationVersion(QString::fromLatin1(tonnage::version::kText));
  QApplication::setDesktopFileName(QStringLiteral("quarrendale-tonnage"));
  QApplication::setWindowIcon(ProgramIcon());
}

}  // namespace gui
