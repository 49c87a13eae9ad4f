// The printing tests run without a display and never near a real printer:
// the print service is one that is not there, unless a test starts its own.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  std::string home = "/tmp/tonnage-print-home-XXXXXX";
  if (!::mkdtemp(home.data())) return 2;
  // No saved printer choices (lpoptions) of the user running the tests.
  ::setenv("HOME", home.c_str(), 1);
  const std::string nowhere = home + "/no-print-service.sock";
  ::setenv("CUPS_SERVER", nowhere.c_str(), 1);
  int rc = 0;
  {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    rc = RUN_ALL_TESTS();
  }
  std::error_code ignored;
  std::filesystem::remove_all(home, ignored);
  return rc;
}
