// The print dialog and printer setup as a user drives them: from the
// viewer's Print menu, on made-up printers that record what they print.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "fakes.h"
#include "io/file_writer.h"
#include "nt_setup.h"
#include "print_screenshots.h"
#include "prtbox.h"
#include "spool_view.h"
#include "view_form.h"

namespace {

namespace fs = std::filesystem;
using namespace steps;

// Shown without blocking, so the modal driver answers only the windows it opens.
void ShowOpen(QWidget* window) {
  window->setWindowModality(Qt::NonModal);
  window->show();
}

class PrintWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(h.started);
    h.session.spoolPath = h.Work("PRINT.SPL");
    spool = "P1.1\r\nP1.2\r\n\f\r\nP2.1\r\nP2.2\r\n\f\r\nP3.1\r\nP3.2\r\n";
    ASSERT_TRUE(tonnage::io::WriteWholeFile(h.session.spoolPath, spool).ok());
  }
  tonnage::testing::RecordingPrinter& printer() { return h.printing.system.printer; }
  void Type(QWidget* box, const char* name, const QString& text) {
    auto* field = Find<QLineEdit>(box, name);
    field->selectAll();
    QTest::keyClicks(field, text);
  }

  fakes::Harness h;
  std::string spool;
};

TEST_F(PrintWindows, OpensFromTheViewerWithItsLinesAndChoices) {
  // Per opening: caption, the three lines, then "1" for each of Range2
  // enabled, "All" chosen and Frame2 enabled, then the copies field.
  std::vector<QStringList> seen;
  fakes::ModalDriver driver;
  const auto look = [&](QWidget* w) {
    const auto flag = [](bool b) { return QString::number(b); };
    seen.push_back({w->windowTitle(), Text(w, "Label1"), Text(w, "Label2"), Text(w, "Label3"),
                    flag(Find<QRadioButton>(w, "Range2")->isEnabled()) +
                        flag(Find<QRadioButton>(w, "Range0")->isChecked()) +
                        flag(Find<QWidget>(w, "Frame2")->isEnabled()),
                    Find<QLineEdit>(w, "No_Copies")->text()});
    Click(w, "Cmd_Cancel");
  };
  driver.Then(look).Then(look).Then(look);

  h.printing.system.current.paperBin = 15;
  gui::ViewForm view(h.services, nullptr);
  ShowOpen(&view);
  QAction* print = view.findChild<QAction*>("Mnu_Print");
  ASSERT_TRUE(print->isEnabled());
  view.display()->setSelection(0, 11);
  print->trigger();
  view.display()->setSelection(0, 10);
  print->trigger();
  h.services.platform.printing = nullptr;  // no printing service in this build
  print->trigger();

  EXPECT_EQ(driver.seen, (std::vector<QString>{"Prtbox", "Prtbox", "Prtbox"}));
  const QString title = QString::fromStdString("Print Report: " + h.session.spoolPath);
  EXPECT_EQ(seen, (std::vector<QStringList>{
                      {title, " Printer: Site Office Laser   [lp0] ", " Paper: Letter   [Portrait] ",
                       " Bin: Tray 1 ", "110", "1"},
                      {title, " Printer: Site Office Laser   [lp0] ", " Paper: Letter   [Portrait] ",
                       " Bin: Tray 1 ", "010", "1"},
                      {title, tonnage::print::kNoPrinterHelp, "", "", "010", "1"}}));
}

TEST_F(PrintWindows, PagesTwoToThreeInTwoCopiesAreTwoDocuments) {
  gui::Prtbox box(h.services.Print(), false, nullptr);
  ShowOpen(&box);
  Find<QRadioButton>(&box, "Range1")->click();
  EXPECT_TRUE(Find<QWidget>(&box, "Frame2")->isEnabled());
  EXPECT_EQ(Find<QSpinBox>(&box, "Page_From")->value(), 1);
  Find<QSpinBox>(&box, "Page_From")->setValue(2);
  Find<QSpinBox>(&box, "Page_To")->setValue(3);
  Type(&box, "No_Copies", "2x");  // letters are refused
  EXPECT_EQ(Find<QLineEdit>(&box, "No_Copies")->text(), "2");
  Click(&box, "Cmd_Print");

  ASSERT_EQ(printer().documents.size(), 2u);
  for (std::size_t d = 0; d < 2; ++d) {
    EXPECT_EQ(printer().Sheets(d), "P2.1,P2.2|P3.1,P3.2");
    EXPECT_EQ(printer().documents[d].fonts, std::vector<std::string>{"Courier New 12"});
  }
  EXPECT_TRUE(box.isVisible());  // stays open for another print
  EXPECT_GE(h.busy.begins, 2);
  EXPECT_EQ(h.busy.depth, 0);
  EXPECT_TRUE(h.messages.asked.empty());

  // "All" again prints everything; an empty copies field prints nothing.
  Find<QRadioButton>(&box, "Range0")->click();
  EXPECT_EQ(Find<QSpinBox>(&box, "Page_To")->value(), 0);
  Type(&box, "No_Copies", "1234");
  EXPECT_EQ(Find<QLineEdit>(&box, "No_Copies")->text(), "123");
  Find<QLineEdit>(&box, "No_Copies")->clear();
  Click(&box, "Cmd_Print");
  EXPECT_EQ(printer().documents.size(), 2u);
  Type(&box, "No_Copies", "1");
  Click(&box, "Cmd_Print");
  ASSERT_EQ(printer().documents.size(), 3u);
  EXPECT_EQ(printer().Sheets(2), "P1.1,P1.2|P2.1,P2.2|P3.1,P3.2");
}

TEST_F(PrintWindows, TheSelectionPrintsOnceAndTheReportAfterwards) {
  fakes::ModalDriver driver;
  driver.Then([&](QWidget* w) {
    Find<QRadioButton>(w, "Range2")->click();
    Type(w, "No_Copies", "3");
    Click(w, "Cmd_Print");
    Find<QRadioButton>(w, "Range0")->click();
    Click(w, "Cmd_Print");
    Click(w, "Cmd_Cancel");
  });
  gui::ViewForm view(h.services, nullptr);
  ShowOpen(&view);
  view.display()->setSelection(6, 13);  // "P1.2", the page break, "P2.1"
  view.findChild<QAction*>("Mnu_Print")->trigger();
  ASSERT_TRUE(driver.done());
  ASSERT_EQ(printer().documents.size(), 4u);
  EXPECT_EQ(printer().Sheets(0), "P1.2|P2.1");
  for (std::size_t d = 1; d < 4; ++d) EXPECT_EQ(printer().Sheets(d), "P1.1,P1.2|P2.1,P2.2|P3.1,P3.2");
  EXPECT_EQ(h.session.spoolPath, h.Work("PRINT.SPL"));
}

TEST_F(PrintWindows, PrintToFileHidesThePrinterChoicesAndSavesTheWholeSpool) {
  gui::Prtbox box(h.services.Print(), false, nullptr);
  ShowOpen(&box);
  const char* const hidden[] = {"Frame1", "Label4", "No_Copies", "Cmd_Setup"};
  Find<QRadioButton>(&box, "Range1")->click();
  Find<QSpinBox>(&box, "Page_From")->setValue(2);
  Find<QCheckBox>(&box, "Prtfile_Check")->click();
  for (const char* name : hidden) EXPECT_TRUE(Find<QWidget>(&box, name)->isHidden()) << name;
  EXPECT_FALSE(Find<QPushButton>(&box, "Cmd_Preview")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(&box, "Cmd_Pdf")->isEnabled());

  // Cancelled: nothing written, nothing said.
  Click(&box, "Cmd_Print");
  const std::string target = (h.root / "docs" / "JOB 7.PRN").string();
  h.files.saves.push_back(target);
  Click(&box, "Cmd_Print");
  EXPECT_EQ(ReadFile(target), spool);  // whole, whatever the range
  ASSERT_EQ(h.files.saveRequests.size(), 2u);
  EXPECT_EQ(h.files.saveRequests[0].title, QString::fromStdString("Save Report " + h.session.spoolPath + " As"));
  EXPECT_EQ(h.files.saveRequests[0].filter, "Saved Report (*.PRN)|*.PRN|Any File (*.*)|*.*");
  EXPECT_EQ(h.files.saveRequests[0].initialFolder, h.session.dataFolder);
  EXPECT_TRUE(printer().documents.empty());
  EXPECT_TRUE(h.messages.asked.empty());

  // A folder that is not there: the path and the reason.
  h.files.saves.push_back((h.root / "gone" / "JOB.PRN").string());
  Click(&box, "Cmd_Print");
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_EQ(h.messages.asked[0].title, "Print To File");
  EXPECT_TRUE(h.messages.asked[0].text.contains("gone/JOB.PRN")) << h.messages.asked[0].text.toStdString();
  EXPECT_TRUE(h.messages.asked[0].text.contains("No such file or directory"));

  Find<QCheckBox>(&box, "Prtfile_Check")->click();
  for (const char* name : hidden) EXPECT_FALSE(Find<QWidget>(&box, name)->isHidden()) << name;
  EXPECT_TRUE(Find<QPushButton>(&box, "Cmd_Preview")->isEnabled());
}

TEST_F(PrintWindows, PrinterErrorsAreToldAndTheDialogStaysUsable) {
  gui::Prtbox box(h.services.Print(), false, nullptr);
  ShowOpen(&box);
  printer().failures.push_back(
      tonnage::Outcome::Failure(tonnage::OutcomeKind::IoError, "Print", "The queue of Site Office Laser is stopped."));
  Click(&box, "Cmd_Print");
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_EQ(h.messages.asked[0].title, "Print");
  EXPECT_TRUE(h.messages.asked[0].text.contains("The queue of Site Office Laser is stopped."));
  Click(&box, "Cmd_Print");  // the queue started again
  EXPECT_EQ(h.messages.asked.size(), 1u);
  EXPECT_EQ(printer().documents.size(), 2u);

  fs::remove(h.session.spoolPath);
  Click(&box, "Cmd_Print");
  ASSERT_EQ(h.messages.asked.size(), 2u);
  EXPECT_TRUE(h.messages.asked[1].text.contains("PRINT.SPL"));

  // No printer at all, with or without a printing service.
  h.printing.system.installed.clear();
  Click(&box, "Cmd_Print");
  h.services.platform.printing = nullptr;
  gui::Prtbox bare(h.services.Print(), false, nullptr);
  bare.show();
  EXPECT_FALSE(Find<QPushButton>(&bare, "Cmd_Preview")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(&bare, "Cmd_Pdf")->isEnabled());
  Click(&bare, "Cmd_Print");
  ASSERT_EQ(h.messages.asked.size(), 4u);
  for (std::size_t i : {2u, 3u}) {
    EXPECT_EQ(h.messages.asked[i].title, "Print");
    EXPECT_EQ(h.messages.asked[i].text, "No printer is installed.");
  }
  EXPECT_EQ(printer().documents.size(), 2u);
}

TEST_F(PrintWindows, PreviewAndPdfShowOneCopyOfTheChosenPages) {
  gui::Prtbox box(h.services.Print(), false, nullptr);
  ShowOpen(&box);
  Find<QRadioButton>(&box, "Range1")->click();
  Find<QSpinBox>(&box, "Page_From")->setValue(3);
  Find<QSpinBox>(&box, "Page_To")->setValue(3);
  Type(&box, "No_Copies", "5");
  Click(&box, "Cmd_Preview");
  ASSERT_EQ(h.printing.preview.documents.size(), 1u);
  EXPECT_EQ(h.printing.preview.Sheets(0), "P3.1,P3.2");

  Click(&box, "Cmd_Pdf");  // chooser cancelled
  EXPECT_TRUE(h.printing.pdfPaths.empty());
  h.files.saves.push_back("/srv/reports/JOB.PDF");
  Click(&box, "Cmd_Pdf");
  EXPECT_EQ(h.printing.pdfPaths, std::vector<std::string>{"/srv/reports/JOB.PDF"});
  ASSERT_EQ(h.printing.pdf.documents.size(), 1u);
  EXPECT_EQ(h.printing.pdf.Sheets(0), "P3.1,P3.2");
  EXPECT_EQ(h.files.saveRequests.back().filter, "PDF File (*.PDF)|*.PDF|Any File (*.*)|*.*");
  EXPECT_TRUE(printer().documents.empty());

  h.printing.pdf.failures.push_back(tonnage::Outcome::Io("Cannot write /srv/reports/JOB.PDF: Read-only file system"));
  h.files.saves.push_back("/srv/reports/JOB.PDF");
  Click(&box, "Cmd_Pdf");
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_TRUE(h.messages.asked[0].text.contains("Read-only file system"));
}

// A range that cannot print is told before anything is written. Report files
// are proposed beside the data file under its name, get their extension when
// typed without one, and are confirmed with their path.
TEST_F(PrintWindows, BadRangesAreToldAndReportFilesAreNamedAfterTheDataFile) {
  const fs::path docs = h.root / "docs";
  h.session.dataFilePath = (docs / "JOB.K81").string();
  h.session.dataFolder = "/home/inspector";
  gui::Prtbox box(h.services.Print(), false, nullptr);
  ShowOpen(&box);
  Find<QRadioButton>(&box, "Range1")->click();
  const struct {
    int from, to;
    const char* button;
    const char* says;
  } refused[] = {{5, 3, "Cmd_Pdf", "Pages From 5 To 3 cannot be printed"},
                 {4, 0, "Cmd_Print", "The report has 3 pages: Pages From 4"},
                 {4, 9, "Cmd_Preview", "The report has 3 pages"}};
  for (const auto& r : refused) {
    h.messages.asked.clear();
    Find<QSpinBox>(&box, "Page_From")->setValue(r.from);
    Find<QSpinBox>(&box, "Page_To")->setValue(r.to);
    Click(&box, r.button);
    ASSERT_EQ(h.messages.asked.size(), 1u) << r.button;
    EXPECT_TRUE(h.messages.asked[0].text.contains(r.says)) << h.messages.asked[0].text.toStdString();
  }
  EXPECT_TRUE(h.files.saveRequests.empty());
  EXPECT_TRUE(printer().documents.empty() && h.printing.preview.documents.empty());

  Find<QSpinBox>(&box, "Page_From")->setValue(2);
  Find<QSpinBox>(&box, "Page_To")->setValue(3);
  h.files.saves = {(docs / "JOB 7").string(), (docs / "JOB 8").string()};
  Click(&box, "Cmd_Pdf");
  EXPECT_EQ(h.printing.pdfPaths, std::vector<std::string>{(docs / "JOB 7.pdf").string()});
  EXPECT_TRUE(Text(&box, "Lbl_Written").contains(QString::fromStdString((docs / "JOB 7.pdf").string())));
  Find<QCheckBox>(&box, "Prtfile_Check")->click();
  Click(&box, "Cmd_Print");
  EXPECT_EQ(ReadFile((docs / "JOB 8.PRN").string()), spool);
  ASSERT_EQ(h.files.saveRequests.size(), 2u);
  EXPECT_EQ(h.files.saveRequests[0].initialFolder, docs.string());
  EXPECT_EQ(h.files.saveRequests[0].proposedName + " " + h.files.saveRequests[1].proposedName, "JOB.pdf JOB.PRN");
  EXPECT_EQ(h.messages.asked.size(), 1u);
}

TEST_F(PrintWindows, LongJobsShowProgressAndAStopWritesNothing) {
  const fs::path docs = h.root / "docs";
  h.session.dataFilePath = (docs / "JOB.K81").string();
  gui::Prtbox box(h.services.Print(), false, nullptr);
  ShowOpen(&box);
  const struct {
    const char* button;
    bool toFile;
    const char* title;
    const char* status;
  } jobs[] = {{"Cmd_Pdf", false, "Save as PDF", "Save as PDF stopped: nothing was written."},
              {"Cmd_Print", true, "Print To File", "Print To File stopped: nothing was written."},
              {"Cmd_Print", false, "Print", "Printing stopped: nothing was sent to the printer."}};
  for (const auto& job : jobs) {
    h.progress = {};
    h.progress.stopAt = 2;
    h.files.saves = {(docs / "STOPPED").string()};
    if (Find<QCheckBox>(&box, "Prtfile_Check")->isChecked() != job.toFile)
      Find<QCheckBox>(&box, "Prtfile_Check")->click();
    Click(&box, job.button);
    ASSERT_EQ(h.progress.steps.size(), 2u) << job.title;
    EXPECT_EQ(h.progress.steps[1], std::make_pair(std::int64_t{2}, std::int64_t{3})) << job.title;
    EXPECT_EQ(h.progress.titles[0], job.title);
    EXPECT_EQ(h.progress.finishes, 1) << job.title;
    EXPECT_EQ(Text(&box, "Lbl_Written"), job.status);
  }
  EXPECT_TRUE(h.messages.asked.empty());
  EXPECT_FALSE(fs::exists(docs / "STOPPED.pdf") || fs::exists(docs / "STOPPED.PRN"));
  EXPECT_EQ(h.printing.pdf.abandoned + printer().abandoned, 2);
  EXPECT_TRUE(h.printing.pdf.documents.empty() && printer().documents.empty());
}

TEST_F(PrintWindows, WithNoPrinterBothWindowsSayHowToAddOne) {
  h.printing.system.installed.clear();
  h.printing.system.current = {};
  gui::Prtbox box(h.services.Print(), false, nullptr);
  EXPECT_TRUE(Text(&box, "Label1").startsWith("No printer is installed. Add one")) << Text(&box, "Label1").toStdString();
  gui::NTSetup setup(h.busy, h.printing.system, h.help, nullptr);
  EXPECT_TRUE(Text(&setup, "Lbl_NoPrinter").startsWith("No printer is installed. Add one"));
}

TEST_F(PrintWindows, SetupOkRefreshesTheLinesAndCancelGivesThePrinterBack) {
  QString setupTitle;
  QStringList setupLabels, papers;
  bool portraitChosen = false;
  fakes::ModalDriver driver;
  driver.Then([&](QWidget* w) {
    setupTitle = w->windowTitle();
    setupLabels = {Text(w, "Label1"), Text(w, "Label4"), Text(w, "Label2")};
    auto* paper = Find<QComboBox>(w, "Combo2");
    for (int i = 0; i < paper->count(); ++i) papers << paper->itemText(i);
    papers << paper->currentText() << Find<QComboBox>(w, "combo1")->currentText();
    portraitChosen = Find<QRadioButton>(w, "Option1_0")->isChecked();
    paper->setCurrentIndex(2);
    Find<QComboBox>(w, "Combo3")->setCurrentText("260  Manual Feed");
    Find<QRadioButton>(w, "Option1_1")->click();
    Click(w, "Cmd_OK");
  });
  QStringList afterChoice;
  driver.Then([&](QWidget* w) {
    auto* printers = Find<QComboBox>(w, "combo1");
    printers->setCurrentIndex(1);
    emit printers->activated(1);
    afterChoice << Find<QComboBox>(w, "Combo2")->itemText(0) << Find<QComboBox>(w, "Combo2")->currentText()
                << QString::fromStdString(h.printing.system.current.deviceName);
    Click(w, "Cmd_Cancel");
  });

  gui::Prtbox box(h.services.Print(), false, nullptr);
  ShowOpen(&box);
  Click(&box, "Cmd_Setup");
  EXPECT_EQ(setupTitle, "Printer Setup NT");
  EXPECT_EQ(setupLabels, (QStringList{"Printer", "Papersize", "Paper Bin"}));
  EXPECT_EQ(papers, (QStringList{"1  Letter", "5  Legal", "9  A4", "1  Letter", "Site Office Laser"}));
  EXPECT_TRUE(portraitChosen);
  EXPECT_EQ(Text(&box, "Label2"), " Paper: A4   [Landscape] ");
  EXPECT_EQ(Text(&box, "Label3"), " Bin: Manual Feed ");

  Click(&box, "Cmd_Setup");
  EXPECT_EQ(afterChoice, (QStringList{"  <Unavailable>", "", "Plan Plotter"}));
  EXPECT_EQ(h.printing.system.current.deviceName, "Site Office Laser");
  EXPECT_EQ(h.printing.system.current.paperSize, 9);
  EXPECT_EQ(h.printing.system.current.orientation, 2);
  EXPECT_EQ(Text(&box, "Label1"), " Printer: Site Office Laser   [lp0] ");
  EXPECT_EQ(Text(&box, "Label2"), " Paper: A4   [Landscape] ");
  EXPECT_EQ(driver.seen, (std::vector<QString>{"NTSetup", "NTSetup"}));
}

TEST_F(PrintWindows, TheSetupWindowIsPlacedAboveTheMiddleAndEscapeIsCancel) {
  h.printing.system.MakeCurrent("Plan Plotter");
  gui::NTSetup setup(h.busy, h.printing.system, h.help, nullptr);
  setup.show();
  const QRect area = setup.screen()->availableGeometry();
  const QRect frame = setup.frameGeometry();
  EXPECT_NEAR(frame.left() - area.left(), (area.width() - frame.width()) / 2, 1);
  EXPECT_NEAR(frame.top() - area.top(), (area.height() - frame.height()) / 3, 1);
  emit Find<QComboBox>(&setup, "combo1")->activated(0);
  EXPECT_EQ(h.printing.system.current.deviceName, "Site Office Laser");
  QTest::keyClick(&setup, Qt::Key_Escape);
  EXPECT_EQ(h.printing.system.current.deviceName, "Plan Plotter");
}

TEST_F(PrintWindows, ScreenshotModeSavesBothWindowsAndTheFirstPagesAsPdf) {
  std::string many;
  for (int page = 1; page <= 5; ++page) many += (page > 1 ? "\f\r\n" : "") + ("PAGE " + std::to_string(page) + "\r\n");
  ASSERT_TRUE(tonnage::io::WriteWholeFile(h.session.spoolPath, many).ok());
  const fs::path folder = h.root / "shots";
  fs::create_directories(folder);
  EXPECT_TRUE(gui::SavePrintScreenshots(h.services.Print(), nullptr, QString::fromStdString(folder.string())));
  for (const char* png : {"print-dialog.png", "print-to-file.png", "printer-setup.png"})
    EXPECT_GT(fs::file_size(folder / png), 1000u) << png;
  EXPECT_EQ(h.printing.pdfPaths, std::vector<std::string>{(folder / "report-pages.pdf").string()});
  ASSERT_EQ(h.printing.pdf.documents.size(), 1u);
  EXPECT_EQ(h.printing.pdf.Sheets(0), "PAGE 1|PAGE 2|PAGE 3");
  // The selection it handed the dialog is gone again.
  EXPECT_FALSE(fs::exists(gui::SelTextFilePath(h.session)));
}

}  // namespace
