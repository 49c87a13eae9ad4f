// The real windows driven through a whole day: New, a book, Save As, Open,
// Report; the data file and the spool checked on disk.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <algorithm>
#include <filesystem>

#include "data/section_file.h"
#include "fakes.h"
#include "io/file_writer.h"
#include "main_form.h"
#include "spool_view.h"

namespace {

namespace fs = std::filesystem;
using namespace steps;

TEST(EndToEnd, NewSaveAsOpenAndReport) {
  fakes::Harness h;
  ASSERT_TRUE(h.started);
  const fs::path file = h.root / "docs" / "STP-0312.K81";

  h.files.saves = {file.string()};
  h.files.opens = {file.string()};

  gui::MainForm1 main(h.services, h.quit);
  main.show();
  {
  fakes::ModalDriver driver;
  driver.Then([](QWidget* w) { Click(w, "Cmd_English"); })
      .Then([](QWidget* w) {
        Click(w, "BookCmd");
        Click(w, "SaveCmd");
      })
      .Then([&h](QWidget* books) {
        // What the entry windows would do: one book of two tickets.
        tonnage::Session& s = h.session;
        ASSERT_TRUE(s.SetBookHeader(1, {"SURFACE COURSE SP 12.5", "0", "1.0250"}).ok());
        tonnage::ClearBookRows(s.rows);
        s.rows[0].cells = {"1201", "09/28/2026", "77756", "30056", "47700", "5.6", "", "", ""};
        s.rows[1].cells = {"1202", "09/28/2026", "72708", "29773", "42935", "5.6", "", "", ""};
        ASSERT_TRUE(s.WriteBookTickets(1, s.rows).ok());
        qobject_cast<QDialog*>(books)->reject();
      })
      .Then([](QWidget* w) {
        Click(w, "Endsaveas");
        QWidget* process = w->parentWidget();
        Click(w, "saveexit");
        Click(process, "ExitCmd");  // saved: no question
      });
  Click(&main, "Cmd_New");
  ASSERT_TRUE(driver.unexpected.empty());
  EXPECT_TRUE(h.messages.asked.empty());
  }

  const std::string saved = ReadFile(file);
  EXPECT_EQ(saved,
            "CST81                                E \r\n"
            "* 0 1.0250 SURFACE COURSE SP 12.5\r\n"
            "001201 09/28/2026 77756     30056     47700      5.600      \r\n"
            "001202 09/28/2026 72708     29773     42935      5.600      \r\n");

  std::size_t lines = 0;
  int busyInReport = 0, busyInViewer = -1;
  std::string spool;
  fakes::ModalDriver again;
  again
      .Then([&](QWidget* w) {
        busyInReport = h.busy.begins;
        Click(w, "ReportCmd");
      })
      .Then([&](QWidget* w) {
        busyInReport = h.busy.begins - busyInReport;
        busyInViewer = h.busy.depth;
        auto* display = w->findChild<gui::SpoolView*>("MhFileDisplay1");
        lines = display->lineCount();
        spool = ReadFile(display->fileName());
        QWidget* process = w->parentWidget();
        w->findChild<QAction*>("Mnu_Exit")->trigger();
        Click(process, "ExitCmd");  // opened, not saved: No
      });
  h.messages.answers = {platform::Button::No};
  Click(&main, "Cmd_Open");
  ASSERT_TRUE(again.unexpected.empty());
  EXPECT_EQ(again.seen, (std::vector<QString>{"ProcForm", "ViewForm"}));
  // The report of the saved tickets, every line of it in the viewer.
  EXPECT_NE(spool.find("1202  09/28/2026   72708      29773       42935"), std::string::npos) << spool;
  EXPECT_EQ(lines, static_cast<std::size_t>(std::count(spool.begin(), spool.end(), '\n')));
  EXPECT_EQ(h.session.index.unitSystem, "E");

  EXPECT_EQ(h.session.spoolPath, h.Work("PRINT.SPL"));
  EXPECT_EQ(busyInReport, 1) << "the report runs under the busy pointer";
  EXPECT_EQ(busyInViewer, 0);

  // Exit removes every work file and closes the help.
  const std::string folder = h.session.workFolder().path();
  Click(&main, "Cmd_Exit");
  EXPECT_TRUE(main.exited());
  EXPECT_EQ(main.status(), "Cleaning up files and memory");
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(fs::exists(file));
  EXPECT_EQ(h.help.calls, std::vector<std::string>{"quit"});
  // Closing again (the window manager after Exit) does no second clean-up.
  main.close();
  EXPECT_EQ(h.help.calls.size(), 1u);
  EXPECT_EQ(h.quits, 1);
}

}  // namespace
