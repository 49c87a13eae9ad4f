// The file commands of the main, unit, process and save windows, driven
// through their controls with the services answered by test doubles.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fakes.h"
#include "enddata_form.h"
#include "main_form.h"
#include "window_steps.h"

namespace {

namespace fs = std::filesystem;
using steps::Click;
using steps::ReadFile;
using platform::Button;

const std::string kSample = std::string(TONNAGE_SAMPLES_DIR) + "/us-standard-tickets.K81";

bool AnySectionFile(const tonnage::Session& session) {
  for (int book = 1; book <= tonnage::kMaxBooks; ++book)
    if (fs::exists(session.SectionPath(book))) return true;
  return false;
}

class Shell : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(h.started); }
  fakes::Harness h;
  fakes::ModalDriver driver;
};

TEST_F(Shell, NewThenCancelStaysOnTheMainWindowWithEverythingCleared) {
  h.session.Book(4).comments = "LEFT OVER";
  gui::MainForm1 main(h.context);
  main.show();
  QString caption;
  driver.Then([&](QWidget* w) {
    caption = w->windowTitle();
    Click(w, "Cmd_Cancel");
  });
  Click(&main, "Cmd_New");
  EXPECT_EQ(caption, "Creating A New Data File");
  EXPECT_EQ(driver.seen, std::vector<QString>{"EngMet_Form"});
  EXPECT_TRUE(driver.unexpected.empty());
  EXPECT_EQ(h.session.dataFilePath, "NoName");
  EXPECT_TRUE(h.session.index.unitSystem.empty());
  EXPECT_FALSE(h.session.Book(4).InUse());
  EXPECT_TRUE(main.status().isEmpty());
}

TEST_F(Shell, NewEnglishThenSaveDataOffersOnlySaveAsAndExitAsksAboutNoName) {
  gui::MainForm1 main(h.context);
  main.show();
  bool saveShown = true, saveAsShown = false, image1 = true, image2 = true;
  QString path, procTitle;
  driver.Then([&](QWidget* w) { Click(w, "Cmd_English"); })
      .Then([&](QWidget* w) {
        procTitle = w->windowTitle();
        Click(w, "SaveCmd");
      })
      .Then([&](QWidget* w) {
        saveShown = !w->findChild<QPushButton*>("Endsave")->isHidden();
        saveAsShown = !w->findChild<QPushButton*>("Endsaveas")->isHidden();
        image1 = !w->findChild<QLabel*>("Image1")->isHidden();
        image2 = !w->findChild<QLabel*>("Image2")->isHidden();
        path = w->findChild<QLabel*>("Label1")->text();
        Click(w, "saveexit");
        // Back in the process window: leave it; the double answers No.
        Click(w->parentWidget(), "ExitCmd");
      });
  h.messages.answers = {Button::No};
  Click(&main, "Cmd_New");
  EXPECT_TRUE(driver.unexpected.empty());
  EXPECT_EQ(procTitle, "Process Options");
  EXPECT_EQ(h.session.index.unitSystem, "E");
  EXPECT_FALSE(saveShown);
  EXPECT_TRUE(saveAsShown);
  EXPECT_FALSE(image1);
  EXPECT_FALSE(image2);
  EXPECT_EQ(path, "NoName");
  ASSERT_EQ(h.messages.asked.size(), 1u);
  const platform::Message& q = h.messages.asked[0];
  EXPECT_EQ(q.title, "Save Data");
  EXPECT_EQ(q.text, "Do You Want To Save The Data\n\nNoName");
  EXPECT_EQ(q.icon, platform::Icon::Question);
  EXPECT_EQ(q.buttons, (std::vector<Button>{Button::Yes, Button::No}));
}

TEST_F(Shell, OpenOfAnInvalidFileStaysOnTheMainWindow) {
  const fs::path bad = h.root / "docs" / "notes.K81";
  std::ofstream(bad) << "THIS IS NOT A DATA FILE\r\n* 0 2.0000 BOOK\r\n";
  h.files.opens = {bad.string()};
  gui::MainForm1 main(h.context);
  main.show();
  Click(&main, "Cmd_Open");
  EXPECT_TRUE(driver.seen.empty());
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_EQ(h.messages.asked[0].title, "File Input Error");
  EXPECT_EQ(h.messages.asked[0].text, "Invalid File - Select Another File!");
  EXPECT_FALSE(main.exited());
  EXPECT_EQ(h.quits, 0);
  EXPECT_TRUE(main.status().isEmpty());
  EXPECT_FALSE(AnySectionFile(h.session));
  EXPECT_EQ(h.busy.depth, 0);
  // The open dialog started in the documents folder and now follows the file.
  ASSERT_EQ(h.files.openRequests.size(), 1u);
  EXPECT_EQ(h.files.openRequests[0].initialFolder, (h.root / "docs").string());
  EXPECT_EQ(h.files.openRequests[0].filter, tonnage::kDataFileFilter);
  EXPECT_EQ(h.session.dataFolder, (h.root / "docs").string());
}

TEST_F(Shell, CancelledOpenChangesNothing) {
  h.session.dataFilePath = "/somewhere/JOB.K81";
  gui::MainForm1 main(h.context);
  Click(&main, "Cmd_Open");
  EXPECT_EQ(h.session.dataFilePath, "/somewhere/JOB.K81");
  EXPECT_TRUE(h.messages.asked.empty());
  EXPECT_TRUE(driver.seen.empty());
}

TEST_F(Shell, TheFiveHundredAndFirstBookEndsTheProgramWithTheWorkFilesRemoved) {
  const fs::path big = h.root / "docs" / "TOOBIG.K81";
  {
    std::ofstream out(big, std::ios::binary);
    out << "CST81 4417    STP-0312(8) 10/06/2026 E R. HALVORSEN\r\n";
    for (int book = 1; book <= 501; ++book)
      out << "* 0 1.0200 BOOK " << book << "\r\n"
          << "001201 09/28/2026 77756     30056     47700      5.600      \r\n";
  }
  h.files.opens = {big.string()};
  const std::string folder = h.session.workFolder().path();
  gui::MainForm1 main(h.context);
  main.show();
  Click(&main, "Cmd_Open");
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_EQ(h.messages.asked[0].title, "Critical Error");
  EXPECT_EQ(h.messages.asked[0].text, "More than 500 books - Program aborted!");
  EXPECT_EQ(h.messages.asked[0].icon, platform::Icon::Critical);
  EXPECT_TRUE(main.exited());
  EXPECT_EQ(h.quits, 1);
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_EQ(h.help.calls, std::vector<std::string>{"quit"});
  EXPECT_TRUE(driver.seen.empty());
}

TEST_F(Shell, ExitAnsweredYesKeepsTheProcessWindowNoLeavesIt) {
  h.files.opens = {kSample};
  gui::MainForm1 main(h.context);
  main.show();
  bool stayedAfterYes = false;
  driver.Then([&](QWidget* w) {
    Click(w, "ExitCmd");  // answered Yes
    stayedAfterYes = w->isVisible();
    Click(w, "ExitCmd");  // answered No
  });
  h.messages.answers = {Button::Yes, Button::No};
  Click(&main, "Cmd_Open");
  EXPECT_TRUE(driver.unexpected.empty());
  EXPECT_TRUE(stayedAfterYes);
  ASSERT_EQ(h.messages.asked.size(), 2u);
  EXPECT_EQ(h.messages.asked[0].text.toStdString(), "Do You Want To Save The Data\n\n" + kSample);
  // The data stay in memory and in the section files after leaving.
  EXPECT_EQ(h.session.index.refNo, "4417");
  EXPECT_TRUE(fs::exists(h.session.SectionPath(1)));
  EXPECT_FALSE(main.exited());
}

TEST_F(Shell, LeavingTheSaveWindowWithoutSavingMakesExitAskAgain) {
  const fs::path copy = h.root / "docs" / "JOB.K81";
  fs::copy_file(kSample, copy);
  h.files.opens = {copy.string()};
  gui::MainForm1 main(h.context);
  main.show();
  bool savedAfterSave = false, mark1 = false, savedAfterReopen = true;
  QWidget* process = nullptr;
  driver.Then([&](QWidget* w) {
        process = w;
        Click(w, "SaveCmd");
      })
      .Then([&](QWidget* w) {
        Click(w, "Endsave");
        mark1 = !w->findChild<QLabel*>("Image1")->isHidden();
        savedAfterSave = h.session.dataSaved;
        Click(w, "saveexit");
        Click(process, "SaveCmd");
      })
      .Then([&](QWidget* w) {
        savedAfterReopen = h.session.dataSaved;
        Click(w, "saveexit");
        Click(process, "ExitCmd");
      });
  h.messages.answers = {Button::No};
  Click(&main, "Cmd_Open");
  EXPECT_TRUE(driver.unexpected.empty());
  EXPECT_TRUE(savedAfterSave);
  EXPECT_TRUE(mark1);
  EXPECT_FALSE(savedAfterReopen);
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_EQ(h.messages.asked[0].title, "Save Data");
  // Save writes the same file back.
  EXPECT_EQ(ReadFile(copy), ReadFile(kSample));
}

TEST_F(Shell, SaveAsToANameWithoutExtensionWritesExactlyThatName) {
  const fs::path target = h.root / "jobs" / "STP0312";
  fs::create_directories(target.parent_path());
  h.files.saves = {target.string()};
  h.session.New();
  h.session.ChooseUnits("M");
  h.session.Book(1) = {"BINDER COURSE 19MM", "1", "1.0300"};
  gui::EnddataForm save(h.context, nullptr);
  Click(&save, "Endsaveas");
  EXPECT_TRUE(fs::exists(target));
  EXPECT_FALSE(fs::exists(target.string() + ".K81"));
  EXPECT_EQ(ReadFile(target).substr(0, 5), "CST81");
  EXPECT_NE(ReadFile(target).find("* 1 1.0300 BINDER COURSE 19MM\r\n"), std::string::npos);
  EXPECT_FALSE(save.findChild<QLabel*>("Image2")->isHidden());
  EXPECT_TRUE(save.findChild<QLabel*>("Image1")->isHidden());
  EXPECT_EQ(save.findChild<QLabel*>("Label1")->text().toStdString(), target.string());
  EXPECT_EQ(h.session.dataFilePath, target.string());
  EXPECT_TRUE(h.session.dataSaved);
  // The next dialog opens where this file went.
  ASSERT_EQ(h.files.saveRequests.size(), 1u);
  EXPECT_EQ(h.files.saveRequests[0].initialFolder, (h.root / "docs").string());
  EXPECT_EQ(h.session.dataFolder, target.parent_path().string());
  EXPECT_TRUE(h.messages.asked.empty());
}

TEST_F(Shell, AFailedSaveShowsSaveErrorAndChangesNothing) {
  const fs::path target = h.root / "missing-folder" / "JOB.K81";
  h.files.saves = {target.string(), std::nullopt};
  h.session.New();
  h.session.ChooseUnits("E");
  gui::EnddataForm save(h.context, nullptr);
  Click(&save, "Endsaveas");
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_EQ(h.messages.asked[0].title, "Save Error");
  EXPECT_EQ(h.messages.asked[0].icon, platform::Icon::Critical);
  EXPECT_TRUE(h.messages.asked[0].text.contains(QString::fromStdString(target.string())));
  EXPECT_TRUE(save.findChild<QLabel*>("Image2")->isHidden());
  EXPECT_EQ(h.session.dataFilePath, "NoName");
  EXPECT_FALSE(h.session.dataSaved);
  EXPECT_EQ(h.busy.depth, 0);
  // Cancel in the dialog is no error.
  Click(&save, "Endsaveas");
  EXPECT_EQ(h.messages.asked.size(), 1u);
}

TEST_F(Shell, ExitRemovesEveryWorkFileAndClosesHelp) {
  ASSERT_TRUE(h.session.Open(kSample).ok());
  ASSERT_TRUE(h.session.WriteWorkFile().ok());
  const std::string folder = h.session.workFolder().path();
  gui::MainForm1 main(h.context);
  main.show();
  Click(&main, "Cmd_Exit");
  EXPECT_TRUE(main.exited());
  EXPECT_EQ(main.status(), "Cleaning up files and memory");
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_EQ(h.help.calls, std::vector<std::string>{"quit"});
  // Closing again (the window manager after Exit) does no second clean-up.
  main.close();
  EXPECT_EQ(h.help.calls.size(), 1u);
  EXPECT_EQ(h.quits, 1);
}

TEST_F(Shell, AboutShowsVersionAndDate) {
  QString version, date, name;
  driver.Then([&](QWidget* w) {
    name = w->findChild<QLabel*>("Lbl_IconWorks")->text();
    version = w->findChild<QLabel*>("Lbl_Version")->text();
    date = w->findChild<QLabel*>("Label1")->text();
    Click(w, "Cmd_OK");
  });
  gui::MainForm1 main(h.context);
  main.show();
  Click(&main, "Cmd_About");
  EXPECT_EQ(name, " Quarrendale Tonnage");
  EXPECT_EQ(version, "Version 4.2.1");
  EXPECT_EQ(date, "Date 04/2006");
}

}  // namespace

namespace {

TEST(Placement, WindowsAreCentredAcrossWithTheMainWindowsTop) {
  fakes::Harness h;
  ASSERT_TRUE(h.started);
  h.session.New();
  gui::MainForm1 main(h.context);
  main.show();
  const QRect area = main.screen()->availableGeometry();
  EXPECT_EQ(main.frameGeometry().top(),
            area.y() + (area.height() - main.frameGeometry().height()) / 4);
  EXPECT_EQ(h.session.mainWindowTop, main.frameGeometry().top());
  gui::EnddataForm save(h.context, &main);
  save.show();
  EXPECT_EQ(save.frameGeometry().top(), h.session.mainWindowTop);
  EXPECT_LE(std::abs(save.frameGeometry().center().x() - area.center().x()), 1);
}

}  // namespace
