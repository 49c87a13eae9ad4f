// The file commands of the main, unit, process and save windows, driven
// through their controls with the services answered by test doubles.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <filesystem>
#include <fstream>

#include "enddata_form.h"
#include "fakes.h"
#include "main_form.h"

namespace {

namespace fs = std::filesystem;
using namespace steps;
using platform::Button;

class Shell : public ::testing::Test {
 protected:
  void SetUp() override {
    main = h.Make<gui::MainForm1>();
    main->show();
  }
  fakes::Harness h;
  std::unique_ptr<gui::MainForm1> main;
  fakes::ModalDriver driver;
};

// About shows the version; New asks for the units (Cancel leaves everything
// cleared); a new file asks before it is left unsaved; Save As writes exactly
// the name typed, without adding an extension; the save window then offers
// Save at once, and the next dialog opens where the file went. Exit removes
// the work files once.
TEST_F(Shell, ANewFileIsSavedAsThenOffersSaveAndExitCleansUpOnce) {
  h.session.Book(4).comments = "LEFT OVER";
  QString caption;
  driver
      .Then([&](QWidget* w) {
        caption = Text(w, "Lbl_Version") + " " + Text(w, "Label1") + "|";
        Click(w, "Cmd_OK");
      })
      .Then([&](QWidget* w) {
        caption += w->windowTitle();
        Click(w, "Cmd_Cancel");
      });
  Click(main.get(), "Cmd_About");
  Click(main.get(), "Cmd_New");
  EXPECT_EQ(caption, "Version 4.2.1 Date 04/2006|Creating A New Data File");
  EXPECT_EQ(h.session.dataFilePath, "NoName");
  EXPECT_FALSE(h.session.Book(4).InUse());

  const fs::path target = h.root / "jobs" / "STP0312";
  fs::create_directories(target.parent_path());
  h.files.saves = {std::nullopt, target.string()};
  QString procTitle;
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
        for (const char* name : {"Endsave", "Endsaveas", "Image2"}) shown.push_back(Shown(w, name));
        EXPECT_EQ(Text(w, "Label1"), "NoName");
        Click(w, "Endsaveas");  // cancelled in the dialog: nothing said, nothing saved
        Click(w, "Endsaveas");
        for (const char* name : {"Endsave", "Image2"}) shown.push_back(Shown(w, name));
        Click(w, "saveexit");
      });
  h.messages.answers = {Button::Cancel};
  Click(main.get(), "Cmd_New");
  EXPECT_EQ(driver.seen, (std::vector<QString>{"AboutBox", "EngMet_Form", "EngMet_Form", "ProcForm", "EnddataForm"}));
  EXPECT_EQ(procTitle, "Process Options* | Process Options");
  EXPECT_TRUE(stayedAfterCancel);
  EXPECT_EQ(shown, (std::vector<bool>{false, true, false, true, true}));
  EXPECT_EQ(ReadFile(target.string()), "CST81                                E \r\n");
  EXPECT_FALSE(fs::exists(target.string() + ".K81"));
  EXPECT_EQ(h.files.saveRequests.at(0).initialFolder, (h.root / "docs").string());
  EXPECT_EQ(h.session.dataFolder, target.parent_path().string());
  ASSERT_EQ(h.messages.asked.size(), 1u);
  const platform::Message& q = h.messages.asked[0];
  EXPECT_EQ(q.title + "|" + q.text, "Save Data|Do You Want To Save The Data\n\nNoName");
  EXPECT_EQ(q.buttons, (std::vector<Button>{Button::Save, Button::Discard, Button::Cancel}));

  const std::string folder = h.session.workFolder().path();
  Click(main.get(), "Cmd_Exit");
  EXPECT_TRUE(main->exited());
  EXPECT_EQ(main->status(), "Cleaning up files and memory");
  EXPECT_FALSE(fs::exists(folder));
  main->close();  // the window manager after Exit: no second clean-up
  EXPECT_EQ(h.help.calls, std::vector<std::string>{"quit"});
  EXPECT_EQ(h.quits, 1);
}

// Files that cannot be data files: each is refused with one message and the
// main window stays for another try, with no lock and no section file kept;
// a file of more books than the program holds ends it. Which files are
// refused, and why, is core's (tests/core/data/bad_input_test.cpp).
TEST_F(Shell, FilesThatAreNoDataFilesAreRefusedWithTheirReason) {
  const fs::path docs = h.root / "docs";
  std::ofstream(docs / "notes.K81") << "THIS IS NOT A DATA FILE\r\n* 0 2.0000 BOOK\r\n";
  {
    std::ofstream big(docs / "TOOBIG.K81", std::ios::binary);
    big << "CST81 4417    STP-0312(8) 10/06/2026 E R. HALVORSEN\r\n";
    for (int book = 1; book <= 501; ++book) big << "* 0 1.0200 BOOK " << book << "\r\n";
  }
  const struct {
    fs::path file;
    QString said;
    platform::Icon icon;
  } cases[] = {
      {docs / "notes.K81", "File Input Error|Invalid File - Select Another File!", platform::Icon::Warning},
      {docs / "GONE.K81",
       QString::fromStdString("File Error|Cannot open " + (docs / "GONE.K81").string() + ": No such file or directory"),
       platform::Icon::Warning},
      {docs / "TOOBIG.K81", "Critical Error|More than 500 books - Program aborted!", platform::Icon::Critical},
  };
  Click(main.get(), "Cmd_Open");  // cancelled in the dialog: nothing said
  EXPECT_TRUE(h.messages.asked.empty());
  const std::string folder = h.session.workFolder().path();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    h.messages.asked.clear();
    h.files.opens = {c.file.string()};
    EXPECT_FALSE(main->exited());
    Click(main.get(), "Cmd_Open");
    ASSERT_EQ(h.messages.asked.size(), 1u);
    EXPECT_EQ(h.messages.asked[0].title + "|" + h.messages.asked[0].text, c.said);
    EXPECT_EQ(h.messages.asked[0].icon, c.icon);
    EXPECT_FALSE(fs::exists(c.file.string() + ".lock")) << "no lock kept for a refused file";
    EXPECT_FALSE(fs::exists(h.session.SectionPath(1)));
  }
  EXPECT_TRUE(driver.seen.empty());
  EXPECT_TRUE(main->exited());
  EXPECT_EQ(h.quits, 1);
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_EQ(h.busy.depth, 0);
  EXPECT_EQ(h.files.openRequests[0].initialFolder, docs.string());
  EXPECT_EQ(h.files.openRequests[0].filter, tonnage::kDataFileFilter);
}

// Leaving asks only when the data differ from the file, and Save saves
// before it leaves; Ctrl+S saves.
TEST_F(Shell, LeavingAsksOnlyAboutChangesAndSaveSaves) {
  const std::string copy = h.Copy("us-standard-tickets.K81");
  h.files.opens = {copy, copy};
  int edits = 0;
  const auto edit = [&](QWidget* index) {
    Find<QLineEdit>(index, "DEng")->setText(QString::fromStdString("EDIT " + std::to_string(++edits)));
    qobject_cast<QDialog*>(index)->accept();
  };
  std::size_t askedUnchanged = 9;
  std::string afterCtrlS;
  driver.Then([&](QWidget* w) { Click(w, "ExitCmd"), askedUnchanged = h.messages.asked.size(); })
      .Then([&](QWidget* w) {
        Click(w, "IndexCmd");
        Activate(w);
        Key(Qt::Key_S, Qt::ControlModifier);
        afterCtrlS = ReadFile(copy);
        Click(w, "IndexCmd");
        Click(w, "ExitCmd");  // answered Save: saved, then left
      })
      .Then(edit)
      .Then(edit);
  h.messages.answers = {Button::Save};
  Click(main.get(), "Cmd_Open");
  Click(main.get(), "Cmd_Open");
  EXPECT_TRUE(driver.unexpected.empty());
  EXPECT_EQ(askedUnchanged, 0u);
  EXPECT_NE(afterCtrlS.find("EDIT 1"), std::string::npos);
  EXPECT_NE(ReadFile(copy).find("EDIT 2"), std::string::npos);
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_EQ(h.messages.asked[0].text.toStdString(), "Do You Want To Save The Data\n\n" + copy);
}

}  // namespace
