// The file commands of the main, unit, process and save windows, driven
// through their controls with the services answered by test doubles.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "book_form.h"
#include "sect_list.h"
#include "dataform.h"
#include "enddata_form.h"
#include "eng_met_form.h"
#include "nt_setup.h"
#include "proc_form.h"
#include "prtbox.h"
#include "entry/row_menu.h"
#include <set>
#include "fakes.h"
#include "main_form.h"

namespace {

namespace fs = std::filesystem;
using namespace steps;
using platform::Button;

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
  gui::MainForm1 main(h.services, h.quit);
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

TEST_F(Shell, NewEnglishThenSaveDataOffersSaveAsThenSaveAndExitAsksAboutNoName) {
  const fs::path target = h.root / "docs" / "JOB.K81";
  h.files.saves = {target.string()};
  gui::MainForm1 main(h.services, h.quit);
  main.show();
  QString path, procTitle;
  std::vector<bool> shown;
  bool stayedAfterCancel = false;
  driver.Then([&](QWidget* w) { Click(w, "Cmd_English"); })
      .Then([&](QWidget* w) {
        procTitle = w->windowTitle();
        Click(w, "ExitCmd");  // never saved: asked, answered Cancel
        stayedAfterCancel = w->isVisible();
        Click(w, "SaveCmd");
        procTitle += " | " + w->windowTitle();
        Click(w, "ExitCmd");  // saved now: nothing to ask
      })
      .Then([&](QWidget* w) {
        for (const char* name : {"Endsave", "Endsaveas", "Image1", "Image2"}) shown.push_back(Shown(w, name));
        path = Text(w, "Label1");
        Click(w, "Endsaveas");
        // Named now: Save is offered at once.
        for (const char* name : {"Endsave", "Image2"}) shown.push_back(Shown(w, name));
        Click(w, "saveexit");
      });
  h.messages.answers = {Button::Cancel};
  Click(&main, "Cmd_New");
  EXPECT_TRUE(driver.unexpected.empty());
  EXPECT_EQ(procTitle, "Process Options* | Process Options");
  EXPECT_TRUE(stayedAfterCancel);
  EXPECT_EQ(h.session.index.unitSystem, "E");
  EXPECT_EQ(shown, (std::vector<bool>{false, true, false, false, true, true}));
  EXPECT_EQ(path, "NoName");
  EXPECT_EQ(ReadFile(target.string()).substr(0, 5), "CST81");
  ASSERT_EQ(h.messages.asked.size(), 1u);
  const platform::Message& q = h.messages.asked[0];
  EXPECT_EQ(q.title, "Save Data");
  EXPECT_EQ(q.text, "Do You Want To Save The Data\n\nNoName");
  EXPECT_EQ(q.icon, platform::Icon::Question);
  EXPECT_EQ(q.buttons, (std::vector<Button>{Button::Save, Button::Discard, Button::Cancel}));
}

TEST_F(Shell, OpenOfAnInvalidFileStaysOnTheMainWindow) {
  h.session.dataFilePath = "/somewhere/JOB.K81";
  gui::MainForm1 main(h.services, h.quit);
  main.show();
  Click(&main, "Cmd_Open");  // cancelled in the dialog: nothing changes
  EXPECT_EQ(h.session.dataFilePath, "/somewhere/JOB.K81");
  EXPECT_TRUE(h.messages.asked.empty());

  const fs::path bad = h.root / "docs" / "notes.K81";
  std::ofstream(bad) << "THIS IS NOT A DATA FILE\r\n* 0 2.0000 BOOK\r\n";
  h.files.opens = {bad.string()};
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
  ASSERT_EQ(h.files.openRequests.size(), 2u);
  EXPECT_EQ(h.files.openRequests[0].initialFolder, (h.root / "docs").string());
  EXPECT_EQ(h.files.openRequests[0].filter, tonnage::kDataFileFilter);
  EXPECT_EQ(h.session.dataFolder, (h.root / "docs").string());
}

// Files that cannot be data files: each is refused with one message and the
// main window stays for another try.
TEST(BadFiles, EachIsRefusedWithItsReasonAndTheMainWindowStays) {
  fakes::Harness h;
  ASSERT_TRUE(h.started);
  const fs::path docs = h.root / "docs";
  const int fd = ::open((docs / "HUGE.K81").c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_EQ(::ftruncate(fd, 2LL << 30), 0);
  ::close(fd);
  ASSERT_EQ(::mkfifo((docs / "PIPE.K81").c_str(), 0600), 0);
  const struct {
    fs::path file;
    QString title, text;
  } cases[] = {
      {docs / "HUGE.K81", "File Input Error",
       "The file is 2048 MB, far too large for a data file - Select Another File!"},
      {docs / "PIPE.K81", "File Input Error", "Not a file but a device, pipe or folder - Select Another File!"},
      {docs / "GONE.K81", "File Error",
       QString::fromStdString("Cannot open " + (docs / "GONE.K81").string() + ": No such file or directory")},
  };
  gui::MainForm1 main(h.services, h.quit);
  main.show();
  fakes::ModalDriver driver;
  for (const auto& c : cases) {
    h.messages.asked.clear();
    h.files.opens = {c.file.string()};
    Click(&main, "Cmd_Open");
    ASSERT_EQ(h.messages.asked.size(), 1u) << c.file;
    EXPECT_EQ(h.messages.asked[0].title, c.title);
    EXPECT_EQ(h.messages.asked[0].text, c.text);
    EXPECT_EQ(h.messages.asked[0].icon, platform::Icon::Warning);
    EXPECT_FALSE(main.exited());
    EXPECT_TRUE(main.status().isEmpty());
    EXPECT_FALSE(fs::exists(c.file.string() + ".lock")) << "no lock kept for a refused file";
  }
  EXPECT_TRUE(driver.seen.empty());
  EXPECT_EQ(h.quits, 0);
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
  gui::MainForm1 main(h.services, h.quit);
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

// Leaving asks only when the data differ from the file, and each answer
// does what it says; Ctrl+S saves and the title marks unsaved changes.
TEST_F(Shell, LeavingAsksOnlyAboutChangesAndSaveSaves) {
  const fs::path copy = h.root / "docs" / "JOB.K81";
  fs::copy_file(kSample, copy);
  h.files.opens = {copy.string(), copy.string()};
  int edits = 0;
  const auto edit = [&](QWidget* index) {
    Find<QLineEdit>(index, "DEng")->setText(QString::fromStdString("EDIT " + std::to_string(++edits)));
    qobject_cast<QDialog*>(index)->accept();
  };
  gui::MainForm1 main(h.services, h.quit);
  main.show();
  std::vector<QString> titles;
  bool stayedAfterCancel = false, leftUnchanged = false;
  std::string afterCancel, afterCtrlS;
  driver.Then([&](QWidget* w) {
        Click(w, "ExitCmd");  // opened and left as it was: nothing asked
        leftUnchanged = !w->isVisible();
      })
      .Then([&](QWidget* w) {
        Click(w, "IndexCmd");
        titles.push_back(w->windowTitle());
        Click(w, "ExitCmd");  // answered Cancel
        stayedAfterCancel = w->isVisible();
        afterCancel = ReadFile(copy);
        Activate(w);
        Key(Qt::Key_S, Qt::ControlModifier);
        afterCtrlS = ReadFile(copy);
        titles.push_back(w->windowTitle());
        Click(w, "IndexCmd");
        Click(w, "ExitCmd");  // answered Save: saved, then left
      })
      .Then(edit)
      .Then(edit);
  h.messages.answers = {Button::Cancel, Button::Save};
  Click(&main, "Cmd_Open");
  Click(&main, "Cmd_Open");
  EXPECT_TRUE(driver.unexpected.empty());
  EXPECT_TRUE(leftUnchanged);
  EXPECT_TRUE(stayedAfterCancel);
  EXPECT_EQ(afterCancel, ReadFile(kSample));
  EXPECT_NE(afterCtrlS.find("EDIT 1"), std::string::npos);
  EXPECT_EQ(titles, (std::vector<QString>{"Process Options*", "Process Options"}));
  EXPECT_NE(ReadFile(copy).find("EDIT 2"), std::string::npos);
  ASSERT_EQ(h.messages.asked.size(), 2u);
  EXPECT_EQ(h.messages.asked[0].text.toStdString(), "Do You Want To Save The Data\n\n" + copy.string());
}

TEST_F(Shell, SavingInTheSaveWindowLeavesNothingToAskOnExit) {
  const fs::path copy = h.root / "docs" / "JOB.K81";
  fs::copy_file(kSample, copy);
  h.files.opens = {copy.string()};
  gui::MainForm1 main(h.services, h.quit);
  main.show();
  bool savedAfterSave = false, mark1 = false;
  QWidget* process = nullptr;
  driver.Then([&](QWidget* w) {
        process = w;
        Click(w, "SaveCmd");
      })
      .Then([&](QWidget* w) {
        Click(w, "Endsave");
        mark1 = Shown(w, "Image1");
        savedAfterSave = h.session.dataSaved;
        Click(w, "saveexit");
        Click(process, "ExitCmd");
      });
  Click(&main, "Cmd_Open");
  EXPECT_TRUE(driver.unexpected.empty());
  EXPECT_TRUE(savedAfterSave);
  EXPECT_TRUE(mark1);
  EXPECT_TRUE(h.messages.asked.empty());
  // Save writes the same file back.
  EXPECT_EQ(ReadFile(copy), ReadFile(kSample));
}

TEST_F(Shell, SaveAsToANameWithoutExtensionWritesExactlyThatName) {
  const fs::path target = h.root / "jobs" / "STP0312";
  fs::create_directories(target.parent_path());
  h.files.saves = {std::nullopt, target.string()};
  h.session.New();
  h.session.ChooseUnits("M");
  h.session.Book(1) = {"BINDER COURSE 19MM", "1", "1.0300"};
  gui::EnddataForm save(h.services.Files(), nullptr);
  Click(&save, "Endsaveas");  // cancelled in the dialog: no error, nothing saved
  EXPECT_FALSE(Shown(&save, "Image2"));
  Click(&save, "Endsaveas");
  EXPECT_FALSE(fs::exists(target.string() + ".K81"));
  EXPECT_EQ(ReadFile(target).substr(0, 5), "CST81");
  EXPECT_NE(ReadFile(target).find("* 1 1.0300 BINDER COURSE 19MM\r\n"), std::string::npos);
  EXPECT_TRUE(Shown(&save, "Image2"));
  EXPECT_FALSE(Shown(&save, "Image1"));
  EXPECT_EQ(Text(&save, "Label1").toStdString(), target.string());
  EXPECT_EQ(h.session.dataFilePath, target.string());
  EXPECT_TRUE(h.session.dataSaved);
  // The next dialog opens where this file went.
  ASSERT_EQ(h.files.saveRequests.size(), 2u);
  EXPECT_EQ(h.files.saveRequests[0].initialFolder, (h.root / "docs").string());
  EXPECT_EQ(h.session.dataFolder, target.parent_path().string());
  EXPECT_TRUE(h.messages.asked.empty());
}

// Every button has an access key of its own in its window, and the first
// window shows where the keyboard focus is before any Tab.
TEST_F(Shell, EveryButtonHasAnAccessKeyOfItsOwnAndTheFocusShowsFromTheStart) {
  h.session.dataFilePath = "/home/inspector/JOB.K81";
  h.session.currentBook = 1;
  tonnage::RowMenuState rows;
  gui::MainForm1 main(h.services, h.quit);
  main.show();
  EXPECT_EQ(main.focusWidget(), main.findChild<QWidget*>("Cmd_New"));
  EXPECT_TRUE(main.testAttribute(Qt::WA_KeyboardFocusChange));
  std::vector<std::unique_ptr<QWidget>> windows;
  windows.push_back(std::make_unique<gui::ProcForm>(h.services, nullptr));
  windows.push_back(std::make_unique<gui::EnddataForm>(h.services.Files(), nullptr));
  windows.push_back(std::make_unique<gui::EngMet_Form>(h.session, h.messages, nullptr));
  windows.push_back(std::make_unique<gui::SectList>(h.services.Entry(), rows, nullptr));
  windows.push_back(std::make_unique<gui::BookForm>(h.services.Entry(), rows, nullptr));
  windows.push_back(std::make_unique<gui::Dataform>(h.services.Entry(), rows, nullptr));
  windows.push_back(std::make_unique<gui::Prtbox>(h.services.Print(), false, nullptr));
  windows.push_back(std::make_unique<gui::NTSetup>(h.busy, gui::PrintersOf(h.services.platform.printing), h.help, nullptr));
  std::vector<QWidget*> all{&main};
  for (const auto& w : windows) all.push_back(w.get());
  for (QWidget* window : all) {
    std::set<QChar> keys;
    for (auto* b : window->findChildren<QPushButton*>()) {
      if (b->parentWidget()->inherits("QDialogButtonBox")) continue;
      const QString text = b->text();
      const qsizetype amp = text.indexOf(QLatin1Char('&'));
      ASSERT_TRUE(amp >= 0 && amp + 1 < text.size()) << window->objectName().toStdString() << ": " << text.toStdString();
      EXPECT_TRUE(keys.insert(text[amp + 1].toUpper()).second)
          << window->objectName().toStdString() << ": " << text.toStdString() << " clashes";
    }
  }
}

TEST_F(Shell, AboutShowsVersionAndDate) {
  QString version, date;
  driver.Then([&](QWidget* w) {
    version = Text(w, "Lbl_Version");
    date = Text(w, "Label1");
    Click(w, "Cmd_OK");
  });
  gui::MainForm1 main(h.services, h.quit);
  main.show();
  Click(&main, "Cmd_About");
  EXPECT_EQ(version + " " + date, "Version 4.2.1 Date 04/2006");
}

TEST(Placement, WindowsAreCentredAcrossWithTheMainWindowsTop) {
  fakes::Harness h;
  ASSERT_TRUE(h.started);
  h.session.New();
  gui::MainForm1 main(h.services, h.quit);
  main.show();
  const QRect area = main.screen()->availableGeometry();
  EXPECT_EQ(main.frameGeometry().top(), area.y() + (area.height() - main.frameGeometry().height()) / 4);
  gui::EnddataForm save(h.services.Files(), &main);
  save.show();
  EXPECT_EQ(save.frameGeometry().top(), main.frameGeometry().top());
  EXPECT_LE(std::abs(save.frameGeometry().center().x() - area.center().x()), 1);
}

}  // namespace
