// The screenshot mode draws the same pictures at every run: one fixed moment
// for the report's date and time, and the home folder shown as a user's.
#include <gtest/gtest.h>

#include <QDir>
#include <filesystem>

#include "fakes.h"
#include "main_form.h"
#include "platform/qt_platform.h"
#include "program_hooks.h"
#include "screenshots.h"

namespace {

namespace fs = std::filesystem;

TEST(ShownHome, PathsInTheHomeFolderShowAsInTheOtherOnlyUntilItIsCleared) {
  const std::string home = "/tmp/tonnage-shots-Xy12/home/inspector";
  gui::ShowHomeAs(home + "/", "/home/inspector");
  EXPECT_EQ(gui::DisplayPath(home + "/Documents/STP-0312.K81"), "/home/inspector/Documents/STP-0312.K81");
  EXPECT_EQ(gui::DisplayPath(home), "/home/inspector");
  // Only the folder itself: a neighbour whose name starts the same is not in it.
  EXPECT_EQ(gui::DisplayPath(home + "2/A.K81"), QString::fromStdString(home + "2/A.K81"));
  EXPECT_EQ(gui::DisplayPath("/srv" + home), QString::fromStdString("/srv" + home));
  gui::ShowHomeAs({}, {});
  EXPECT_EQ(gui::DisplayPath(home + "/A.K81"), QString::fromStdString(home + "/A.K81"));
}

TEST(ScreenshotMode, SavesEveryPictureWithTheReportOfAFixedMomentAndLeavesTheRunAsItWas) {
  fakes::Harness h;
  ASSERT_TRUE(h.started);
  gui::InstallProgramHooks(h.context.hooks);
  const fs::path sample = h.root / "docs" / "STP-0312.K81";
  fs::copy_file(fs::path(TONNAGE_SAMPLES_DIR) / "us-standard-tickets.K81", sample);
  const fs::path folder = h.root / "shots";
  platform::QtHelp help;
  gui::MainForm1 main(h.context);

  const int rc = gui::RunScreenshots(h.context, main, help, QString::fromStdString(folder.string()),
                                     sample.string());
  EXPECT_EQ(rc, 0);
  for (const char* name : {"main-window", "process-options", "save-data", "view-report", "print-dialog",
                           "printer-setup", "book-grid", "index-record", "help"})
    EXPECT_TRUE(fs::exists(folder / (std::string(name) + ".png"))) << name;
  // The data file as given, not a copy; the report of the fixed moment (the
  // harness's clock says 07/14/2006 09:30:05).
  EXPECT_EQ(h.session.dataFilePath, sample.string());
  const std::string spool = steps::ReadFile(h.session.spoolPath);
  EXPECT_NE(spool.find("DATE PROC 10/06/2026    TIME PROC 16:35:12"), std::string::npos)
      << spool.substr(0, 200);
  EXPECT_EQ(spool.find("07/14/2006"), std::string::npos);

  // Afterwards the program's own clock and paths are back.
  EXPECT_EQ(h.context.platform.clock, &h.clock);
  const std::string home(QFile::encodeName(QDir::homePath()).constData());
  EXPECT_EQ(gui::DisplayPath(home + "/Documents/A.K81"), QString::fromStdString(home + "/Documents/A.K81"));
}

}  // namespace
