// The printing tests run without a display and never near a real printer:
// the print service is one that is not there, unless a test starts its own.
#include <gtest/gtest.h>

#include <QApplication>

#include "../core/test_files.h"

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const tonnage::testing::ScratchFolder home;
  // No saved printer choices (lpoptions) of the user running the tests.
  ::setenv("HOME", home.path().c_str(), 1);
  ::setenv("CUPS_SERVER", home.File("no-print-service.sock").c_str(), 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
