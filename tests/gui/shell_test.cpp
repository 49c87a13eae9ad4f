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
        caption = Text(w, "Lbl_Version") + " " + Text(w, "Label1");
        Click(w, "Cmd_OK");
      })
      .Then([&](QWidget* w) {
        caption += "|" + w->windowTitle();
        Click(w, "Cmd_Cancel");
      });
  Click(main.get(), "Cmd_About");
  Click(main.get(), "Cmd_New");
  EXPECT_EQ(caption, "Version 4.2.1 Date 04/2006|Creating A New Data File");
  EXPECT_EQ(h.session.dataFilePath + (h.session.Book(4).InUse() ? " LEFT OVER" : ""), "NoName");

  const fs::path target = h.root / "jobs" / "STP0312";
  fs::create_directories(target.parent_path());
  h.files.saves = {std::nullopt, target.string()};
  QString procTitle;
  std::vector<bool> shown;
  driver.Then([&](QWidget* w) { Click(w, "Cmd_English"); })
      .Then([&](QWidget* w) {
        procTitle = w->windowTitle();
        Click(w, "ExitCmd");  // never saved: asked, answered Cancel
        procTitle += w->isVisible() ? " stayed" : "";
        Click(w, "SaveCmd");
        procTitle += " | " + w->windowTitle();
        Click(w, "ExitCmd");  // saved now: nothing to ask
      })
      .Then([&](QWidget* w) {
        for (const char* name : {"Endsave", "Endsaveas", "Image2"}) shown.push_back(Shown(w, name));
        EXPECT_EQ(Text(w, "Label1"), "NoName");
        Click(w, "Endsaveas");
        Click(w, "Endsaveas");  // the first cancelled in the dialog: nothing said, nothing saved
        for (const char* name : {"Endsave", "Image2"}) shown.push_back(Shown(w, name));
        Click(w, "saveexit");
      });
  h.messages.answers = {Button::Cancel};
  Click(main.get(), "Cmd_New");
  EXPECT_EQ(driver.seen, (std::vector<QString>{"AboutBox", "EngMet_Form", "EngMet_Form", "ProcForm", "EnddataForm"}));
  EXPECT_EQ(procTitle, "Process Options* stayed | Process Options");
  EXPECT_EQ(shown, (std::vector<bool>{false, true, false, true, true}));
  EXPECT_EQ(ReadFile(target.string()), "CST81                                E \r\n");
  EXPECT_FALSE(fs::exists(target.string() + ".K81"));
  EXPECT_EQ(h.files.saveRequests.at(0).initialFolder + "|" + h.session.dataFolder,
            (h.root / "docs").string() + "|" + target.parent_path().string());
  EXPECT_EQ(h.messages.asked.at(0).title + "|" + h.messages.Text(0) + "|" + h.messages.Text(1),
            "Save Data|Do You Want To Save The Data\n\nNoName|<none>");
  EXPECT_EQ(h.messages.asked[0].buttons, (std::vector<Button>{Button::Save, Button::Discard, Button::Cancel}));

  const std::string folder = h.session.workFolder().path();
  Click(main.get(), "Cmd_Exit");
  EXPECT_TRUE(main->exited() && !fs::exists(folder));
  EXPECT_EQ(main->status(), "Cleaning up files and memory");
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
  // clang-format off
  const struct { std::string file; QString said; platform::Icon icon; } cases[] = {
      {(docs / "notes.K81").string(), "File Input Error|Invalid File - Select Another File!", platform::Icon::Warning},
      {(docs / "TOOBIG.K81").string(), "Critical Error|More than 500 books - Program aborted!", platform::Icon::Critical}};
  // clang-format on
  Click(main.get(), "Cmd_Open");  // cancelled in the dialog: nothing said
  EXPECT_TRUE(h.messages.asked.empty());
  const std::string folder = h.session.workFolder().path();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    h.messages.asked.clear();
    h.files.opens = {c.file};
    EXPECT_FALSE(main->exited());
    Click(main.get(), "Cmd_Open");
    ASSERT_EQ(h.messages.asked.size(), 1u);
    EXPECT_EQ(h.messages.asked[0].title + "|" + h.messages.asked[0].text, c.said);
    EXPECT_EQ(h.messages.asked[0].icon, c.icon);
    // No lock and no section file kept for a refused file.
    EXPECT_FALSE(fs::exists(c.file + ".lock") || fs::exists(h.session.SectionPath(1)));
  }
  EXPECT_EQ(std::tuple(driver.seen.size(), main->exited(), h.quits, fs::exists(folder), h.busy.depth()),
            std::tuple(0u, true, 1, false, 0));
  EXPECT_EQ(h.files.openRequests[0].initialFolder + "|" + h.files.openRequests[0].filter,
            docs.string() + "|" + tonnage::kDataFileFilter);
}

// An edit in a window is kept in the work folder for a crash at once; Ctrl+S
// saves; leaving with changes asks, and Save saves before it leaves. When the
// data count as changed is core's (tests/core/data/session_test.cpp).
TEST_F(Shell, EditsAreKeptForACrashAndSavedWithCtrlSOrOnLeaving) {
  const std::string copy = h.Copy("us-standard-tickets.K81");
  h.files.opens = {copy};
  int edits = 0;
  const auto edit = [&](QWidget* index) {
    Find<QLineEdit>(index, "DEng")->setText("EDIT " + QString::number(++edits));
    qobject_cast<QDialog*>(index)->accept();
  };
  std::string state, afterCtrlS;
  driver
      .Then([&](QWidget* w) {
        Click(w, "IndexCmd");
        state = ReadFile(h.Work("STATE.TMP"));
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
  EXPECT_TRUE(driver.unexpected.empty() && h.messages.asked.size() == 1u);
  // Kept for a crash, saved by Ctrl+S, saved on leaving.
  EXPECT_TRUE(state.find("EDIT 1") != std::string::npos && afterCtrlS.find("EDIT 1") != std::string::npos &&
              ReadFile(copy).find("EDIT 2") != std::string::npos);
}

}  // namespace
