// The print dialog and printer setup as a user drives them, on made-up
// printers that record what they print. The dialog's rules (copies, the
// selection's size, the pages of a range) are core's (tests/core/print); here
// each way out of the window is driven once.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <filesystem>

#include "fakes.h"
#include "io/file_writer.h"
#include "nt_setup.h"
#include "prtbox.h"
#include "spool_view.h"
#include "view_form.h"

namespace {

namespace fs = std::filesystem;
using namespace steps;

class PrintWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    h.session.spoolPath = h.Work("PRINT.SPL");
    h.session.dataFilePath = (docs / "JOB.K81").string();
    h.session.dataFolder = "/home/inspector";
    ASSERT_TRUE(tonnage::io::WriteWholeFile(h.session.spoolPath, spool).ok());
  }
  tonnage::testing::RecordingPrinter& printer() { return h.printing.system.printer; }
  // The dialog, shown without blocking, so a driver answers only the windows it opens.
  std::unique_ptr<gui::Prtbox> Box() {
    auto box = h.Make<gui::Prtbox>(false);
    box->setWindowModality(Qt::NonModal);
    box->show();
    return box;
  }
  static void Type(QWidget* box, const char* name, const QString& text) {
    auto* field = Find<QLineEdit>(box, name);
    field->selectAll();
    QTest::keyClicks(field, text);
  }
  static void Pages(QWidget* box, int from, int to) {
    Find<QRadioButton>(box, "Range1")->click();
    Find<QSpinBox>(box, "Page_From")->setValue(from);
    Find<QSpinBox>(box, "Page_To")->setValue(to);
  }

  fakes::Harness h;
  const std::string spool = "P1.1\r\nP1.2\r\n\f\r\nP2.1\r\nP2.2\r\n\f\r\nP3.1\r\nP3.2\r\n";
  const fs::path docs = h.root / "docs";
};

// The viewer's selection (enabled from 11 characters on, core's rule) prints
// once from its file, page break and all; the report prints after it.
TEST_F(PrintWindows, TheViewersSelectionPrintsOnceThenTheReport) {
  QString lines;
  fakes::ModalDriver driver;
  driver.Then([&](QWidget* w) {
    lines = Text(w, "Label1") + Text(w, "Label2") + Text(w, "Label3");
    Find<QRadioButton>(w, "Range2")->click();
    Type(w, "No_Copies", "3");
    Click(w, "Cmd_Print");
    Find<QRadioButton>(w, "Range0")->click();
    Click(w, "Cmd_Print");
    Click(w, "Cmd_Cancel");
  });
  h.printing.system.current.paperBin = 15;
  auto view = h.Make<gui::ViewForm>();
  view->setWindowModality(Qt::NonModal);
  view->show();
  view->display()->setSelection(6, 13);  // "P1.2", the page break, "P2.1"
  Find<QAction>(view.get(), "Mnu_Print")->trigger();
  EXPECT_EQ(driver.seen, std::vector<QString>{"Prtbox"});
  EXPECT_EQ(lines, " Printer: Site Office Laser   [lp0]  Paper: Letter   [Portrait]  Bin: Tray 1 ");
  ASSERT_EQ(printer().documents.size(), 4u);
  EXPECT_EQ(printer().Sheets(0), "P1.2|P2.1");
  for (std::size_t d = 1; d < 4; ++d) EXPECT_EQ(printer().Sheets(d), "P1.1,P1.2|P2.1,P2.2|P3.1,P3.2");
  // Afterwards: the spool as it was, no selection file, nothing selected.
  EXPECT_EQ(h.session.spoolPath, h.Work("PRINT.SPL"));
  EXPECT_FALSE(fs::exists(gui::SelTextFilePath(h.session)));
  EXPECT_EQ(view->display()->selectionLength(), 0u);
}

// A range that cannot print is told before anything is written. Each button
// then hands its pages to core and shows what came back: copies to the
// printer, one copy to the preview and the PDF, a failure in a message; the
// dialog stays open for another print. A PDF is proposed beside the data file
// under its name and gets its extension when typed without one.
TEST_F(PrintWindows, EachButtonPrintsItsPagesAndFailuresAreTold) {
  auto box = Box();
  // clang-format off
  const struct { int from, to; const char *button, *says; } refused[] = {
      {5, 3, "Cmd_Pdf", "Pages From 5 To 3 cannot be printed"},
      {4, 0, "Cmd_Print", "The report has 3 pages: Pages From 4"},
      {4, 9, "Cmd_Preview", "The report has 3 pages"}};
  // clang-format on
  for (const auto& r : refused) {
    Pages(box.get(), r.from, r.to);
    Click(box.get(), r.button);
    EXPECT_TRUE(h.messages.Text(h.messages.asked.size() - 1).contains(r.says)) << r.button;
  }
  EXPECT_EQ(h.messages.asked.size(), 3u);
  EXPECT_TRUE(h.files.saveRequests.empty());
  EXPECT_TRUE(printer().documents.empty() && h.printing.preview.documents.empty());
  h.messages.asked.clear();

  Pages(box.get(), 2, 3);
  Type(box.get(), "No_Copies", "2x");  // letters are refused
  Click(box.get(), "Cmd_Print");
  ASSERT_EQ(printer().documents.size(), 2u);
  EXPECT_EQ(printer().Sheets(1), "P2.1,P2.2|P3.1,P3.2");
  EXPECT_EQ(printer().documents[0].fonts, std::vector<std::string>{"Courier New 12"});
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(h.busy.depth, 0);
  Click(box.get(), "Cmd_Preview");
  EXPECT_EQ(h.printing.preview.documents.size(), 1u);
  Click(box.get(), "Cmd_Pdf");  // chooser cancelled
  h.files.saves = {(docs / "JOB 7").string(), "/srv/reports/JOB.PDF"};
  Click(box.get(), "Cmd_Pdf");
  EXPECT_EQ(h.printing.pdf.Sheets(0), "P2.1,P2.2|P3.1,P3.2");
  EXPECT_TRUE(Text(box.get(), "Lbl_Written").contains(QString::fromStdString((docs / "JOB 7.pdf").string())));
  const platform::FileRequest& asked = h.files.saveRequests.back();
  EXPECT_EQ(asked.filter, "PDF File (*.PDF)|*.PDF|Any File (*.*)|*.*");
  EXPECT_EQ(asked.initialFolder + "|" + asked.proposedName, docs.string() + "|JOB.pdf");
  EXPECT_TRUE(h.messages.asked.empty());

  h.printing.pdf.failures.push_back(tonnage::Outcome::Io("Cannot write /srv/reports/JOB.PDF: Read-only file system"));
  Click(box.get(), "Cmd_Pdf");
  EXPECT_EQ(h.printing.pdfPaths, (std::vector<std::string>{(docs / "JOB 7.pdf").string(), "/srv/reports/JOB.PDF"}));
  printer().failures.push_back(
      tonnage::Outcome::Failure(tonnage::OutcomeKind::IoError, "Print", "The queue of Site Office Laser is stopped."));
  Type(box.get(), "No_Copies", "1");
  Click(box.get(), "Cmd_Print");
  fs::remove(h.session.spoolPath);
  Find<QRadioButton>(box.get(), "Range0")->click();
  Click(box.get(), "Cmd_Print");
  ASSERT_EQ(h.messages.asked.size(), 3u);
  EXPECT_TRUE(h.messages.Text(0).contains("Read-only file system")) << h.messages.Text(0).toStdString();
  EXPECT_EQ(h.messages.asked[1].title, "Print");
  EXPECT_TRUE(h.messages.Text(1).contains("The queue of Site Office Laser is stopped."));
  EXPECT_TRUE(h.messages.Text(2).contains("PRINT.SPL")) << h.messages.Text(2).toStdString();
}

// Print To File hides the printer's controls and copies the whole spool,
// whatever the range, to a file named as the data file, with its extension
// added; a folder that is not there is told with the path and the reason.
TEST_F(PrintWindows, PrintToFileHidesThePrinterChoicesAndSavesTheWholeSpool) {
  auto box = Box();
  const char* const hidden[] = {"Frame1", "Label4", "No_Copies", "Cmd_Setup"};
  Pages(box.get(), 2, 0);
  Find<QCheckBox>(box.get(), "Prtfile_Check")->click();
  for (const char* name : hidden) EXPECT_TRUE(Find<QWidget>(box.get(), name)->isHidden()) << name;
  EXPECT_FALSE(Find<QPushButton>(box.get(), "Cmd_Pdf")->isEnabled());
  h.files.saves = {(docs / "JOB 8").string(), (h.root / "gone" / "JOB.PRN").string()};
  Click(box.get(), "Cmd_Print");
  EXPECT_EQ(ReadFile((docs / "JOB 8.PRN").string()), spool);
  const platform::FileRequest& asked = h.files.saveRequests.at(0);
  EXPECT_EQ(asked.title, QString::fromStdString("Save Report " + h.session.spoolPath + " As"));
  EXPECT_EQ(asked.filter, "Saved Report (*.PRN)|*.PRN|Any File (*.*)|*.*");
  EXPECT_EQ(asked.initialFolder + "|" + asked.proposedName, docs.string() + "|JOB.PRN");
  EXPECT_TRUE(printer().documents.empty());
  EXPECT_TRUE(h.messages.asked.empty());
  Click(box.get(), "Cmd_Print");
  EXPECT_TRUE(h.messages.Text(0).contains("gone/JOB.PRN: No such file or directory"))
      << h.messages.Text(0).toStdString();
  Find<QCheckBox>(box.get(), "Prtfile_Check")->click();
  for (const char* name : hidden) EXPECT_FALSE(Find<QWidget>(box.get(), name)->isHidden()) << name;
}

// Without a printer both windows say how to add one, and Print says there is
// none; without a printing service there is no preview and no PDF either.
TEST_F(PrintWindows, WithoutAPrinterBothWindowsSayHowToAddOne) {
  h.printing.system.installed.clear();
  h.printing.system.current = {};
  auto box = Box();
  EXPECT_TRUE(Text(box.get(), "Label1").startsWith("No printer is installed. Add one"));
  EXPECT_TRUE(Text(h.Make<gui::NTSetup>(h.busy, h.printing.system, h.help).get(), "Lbl_NoPrinter")
                  .startsWith("No printer is installed. Add one"));
  Click(box.get(), "Cmd_Print");
  h.services.platform.printing = nullptr;
  auto bare = h.Make<gui::Prtbox>(false);
  EXPECT_FALSE(Find<QPushButton>(bare.get(), "Cmd_Preview")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(bare.get(), "Cmd_Pdf")->isEnabled());
  Click(bare.get(), "Cmd_Print");
  EXPECT_EQ(h.messages.Text(0) + "|" + h.messages.Text(1), "No printer is installed.|No printer is installed.");
}

// Each long job shows its progress, and a stop writes nothing. When the core
// stops a job is its own (tests/core/print/spool_printing_test.cpp).
TEST_F(PrintWindows, LongJobsShowProgressAndAStopWritesNothing) {
  auto box = Box();
  // clang-format off
  const struct { const char *button; bool toFile; const char *title, *status; } jobs[] = {
      {"Cmd_Pdf", false, "Save as PDF", "Save as PDF stopped: nothing was written."},
      {"Cmd_Print", true, "Print To File", "Print To File stopped: nothing was written."},
      {"Cmd_Print", false, "Print", "Printing stopped: nothing was sent to the printer."}};
  // clang-format on
  for (const auto& job : jobs) {
    SCOPED_TRACE(job.title);
    h.progress = {};
    h.progress.stopAt = 2;
    h.files.saves = {(docs / "STOPPED").string()};
    if (Find<QCheckBox>(box.get(), "Prtfile_Check")->isChecked() != job.toFile)
      Find<QCheckBox>(box.get(), "Prtfile_Check")->click();
    Click(box.get(), job.button);
    EXPECT_EQ(h.progress.titles, (std::vector<QString>{job.title, job.title}));
    EXPECT_EQ(h.progress.last, std::make_pair(std::int64_t{2}, std::int64_t{3}));
    EXPECT_EQ(h.progress.finishes, 1);
    EXPECT_EQ(Text(box.get(), "Lbl_Written"), job.status);
  }
  EXPECT_TRUE(h.messages.asked.empty());
  EXPECT_FALSE(fs::exists(docs / "STOPPED.pdf") || fs::exists(docs / "STOPPED.PRN"));
  EXPECT_EQ(h.printing.pdf.abandoned + printer().abandoned, 2);
  EXPECT_TRUE(h.printing.pdf.documents.empty() && printer().documents.empty());
}

// Setup's OK refreshes the dialog's lines. Cancel giving the printer back is
// core's (tests/core/print/printer_setup_test.cpp).
TEST_F(PrintWindows, SetupOkRefreshesTheDialogsLines) {
  fakes::ModalDriver driver;
  driver.Then([](QWidget* w) {
    Find<QComboBox>(w, "Combo2")->setCurrentIndex(2);
    Find<QComboBox>(w, "Combo3")->setCurrentText("260  Manual Feed");
    Find<QRadioButton>(w, "Option1_1")->click();
    Click(w, "Cmd_OK");
  });
  auto box = Box();
  Click(box.get(), "Cmd_Setup");
  EXPECT_EQ(driver.seen, std::vector<QString>{"NTSetup"});
  EXPECT_EQ(Text(box.get(), "Label1") + Text(box.get(), "Label2") + Text(box.get(), "Label3"),
            " Printer: Site Office Laser   [lp0]  Paper: A4   [Landscape]  Bin: Manual Feed ");
}

}  // namespace
