// The print dialog as a user drives it, on made-up printers that record what
// they print. The dialog's rules (copies, the selection's size, the pages of a
// range, progress and stops) and printer setup's are core's (tests/core/print);
// here each way out of the window is driven once.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <filesystem>

#include "fakes.h"
#include "io/file_writer.h"
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
  static void Copies(QWidget* box, const QString& text) {
    Find<QLineEdit>(box, "No_Copies")->selectAll();
    QTest::keyClicks(Find<QLineEdit>(box, "No_Copies"), text);
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
    Copies(w, "3");
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
  for (std::size_t d = 0; d < 4; ++d) EXPECT_EQ(printer().Sheets(d), d ? "P1.1,P1.2|P2.1,P2.2|P3.1,P3.2" : "P1.2|P2.1");
  // Afterwards: the spool as it was, no selection file, nothing selected.
  EXPECT_EQ(
      std::tuple(h.session.spoolPath, fs::exists(gui::SelTextFilePath(h.session)), view->display()->selectionLength()),
      std::tuple(h.Work("PRINT.SPL"), false, std::size_t{0}));
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
  }
  for (std::size_t i = 0; i < 3; ++i) EXPECT_TRUE(h.messages.Text(i).contains(refused[i].says)) << refused[i].button;
  EXPECT_TRUE(h.messages.asked.size() == 3u && h.files.saveRequests.empty() && printer().documents.empty() &&
              h.printing.preview.documents.empty());
  h.messages.asked.clear();

  Pages(box.get(), 2, 3);
  Copies(box.get(), "2x");
  Click(box.get(), "Cmd_Print");  // letters are refused
  ASSERT_EQ(printer().documents.size(), 2u);
  EXPECT_EQ(printer().Sheets(1), "P2.1,P2.2|P3.1,P3.2");
  EXPECT_TRUE(box->isVisible() && h.busy.depth() == 0);
  Click(box.get(), "Cmd_Preview");
  EXPECT_EQ(h.printing.preview.documents.size(), 1u);
  Click(box.get(), "Cmd_Pdf");  // chooser cancelled
  h.files.saves = {(docs / "JOB 7").string(), "/srv/reports/JOB.PDF"};
  Click(box.get(), "Cmd_Pdf");
  EXPECT_EQ(h.printing.pdf.Sheets(0), "P2.1,P2.2|P3.1,P3.2");
  EXPECT_TRUE(Text(box.get(), "Lbl_Written").contains(QString::fromStdString((docs / "JOB 7.pdf").string())));
  const platform::FileRequest& asked = h.files.saveRequests.back();
  EXPECT_EQ(asked.filter + "|" + asked.initialFolder + "|" + asked.proposedName,
            "PDF File (*.PDF)|*.PDF|Any File (*.*)|*.*|" + docs.string() + "|JOB.pdf");
  EXPECT_TRUE(h.messages.asked.empty());

  h.printing.pdf.failures.push_back(tonnage::Outcome::Io("Cannot write /srv/reports/JOB.PDF: Read-only file system"));
  Click(box.get(), "Cmd_Pdf");
  EXPECT_EQ(h.printing.pdfPaths, (std::vector<std::string>{(docs / "JOB 7.pdf").string(), "/srv/reports/JOB.PDF"}));
  printer().failures.push_back(
      tonnage::Outcome::Failure(tonnage::OutcomeKind::IoError, "Print", "The queue of Site Office Laser is stopped."));
  Copies(box.get(), "1");
  Click(box.get(), "Cmd_Print");
  fs::remove(h.session.spoolPath);
  Find<QRadioButton>(box.get(), "Range0")->click();
  Click(box.get(), "Cmd_Print");
  ASSERT_EQ(h.messages.asked.size(), 3u);
  EXPECT_TRUE(h.messages.Text(0).contains("Read-only file system") && h.messages.asked[1].title == "Print" &&
              h.messages.Text(1).contains("The queue of Site Office Laser is stopped.") &&
              h.messages.Text(2).contains("PRINT.SPL"));
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
  EXPECT_EQ(asked.title.toStdString() + "|" + asked.filter + "|" + asked.initialFolder + "|" + asked.proposedName,
            "Save Report " + h.session.spoolPath + " As|Saved Report (*.PRN)|*.PRN|Any File (*.*)|*.*|" +
                docs.string() + "|JOB.PRN");
  EXPECT_TRUE(printer().documents.empty() && h.messages.asked.empty());
  Click(box.get(), "Cmd_Print");  // a folder that is not there: the path and the reason
  EXPECT_TRUE(h.messages.Text(0).contains("gone/JOB.PRN: No such file or directory"))
      << h.messages.Text(0).toStdString();
  Find<QCheckBox>(box.get(), "Prtfile_Check")->click();
  for (const char* name : hidden) EXPECT_FALSE(Find<QWidget>(box.get(), name)->isHidden()) << name;
}

// Without a printer Print says so and the dialog how to add one; without a
// printing service there is no preview and no PDF either.
TEST_F(PrintWindows, WithoutAPrinterPrintSaysSoAndWithoutPrintingThereIsNoPreviewOrPdf) {
  h.printing.system.installed.clear();
  h.printing.system.current = {};
  auto box = Box();
  Click(box.get(), "Cmd_Print");
  EXPECT_TRUE(Text(box.get(), "Label1").startsWith("No printer is installed. Add one"));
  h.services.platform.printing = nullptr;
  auto bare = h.Make<gui::Prtbox>(false);
  Click(bare.get(), "Cmd_Print");
  EXPECT_EQ(h.messages.Text(0) + "|" + h.messages.Text(1), "No printer is installed.|No printer is installed.");
  for (const char* name : {"Cmd_Preview", "Cmd_Pdf"}) EXPECT_FALSE(Find<QPushButton>(bare.get(), name)->isEnabled());
}

}  // namespace
