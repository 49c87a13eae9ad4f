// The windows are tested without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  // Settings the windows remember go to a test folder, never the user's.
  QStandardPaths::setTestModeEnabled(true);
  // Each test process keeps the grid's options apart: ctest runs tests side by side, and one that
  // turns an option on must not change the keys another test types.
  QTemporaryDir settings;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
