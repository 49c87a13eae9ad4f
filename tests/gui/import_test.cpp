// Import Tickets and Reconcile With E-Tickets as the user drives them: the
// mapping found and remembered, the unit asked, the preview and its counts,
// Cancel changing nothing, Import adding the rows; the findings filtered,
// one taken into the book, printed and saved.
#include <QCheckBox>
#include <QComboBox>
#include <QShortcut>
#include <QTableWidget>

#include "fakes.h"
#include "import/ticket_details.h"
#include "import/ticket_import.h"
#include "book_grid_view.h"
#include "dataform.h"
#include "import_form.h"
#include "proc_form.h"
#include "reconcile_form.h"

namespace {

using namespace steps;
using tonnage::testing::SamplePath;
using tonnage::testing::WriteFile;

struct ImportWindows : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(h.started); }
  void OpenJob(const char* sample) {
    const std::string job = (h.root / "docs" / sample).string();
    WriteFile(job, ReadFile(SamplePath(sample)));
    ASSERT_TRUE(h.session.Open(job).ok());
  }
  static void ChooseBook(QWidget* w, int book) {
    auto* combo = Find<QComboBox>(w, "Cmb_Book");
    combo->setCurrentIndex(combo->findData(book));
  }
  static QString Cell(QWidget* w, const char* grid, int row, int column) {
    QTableWidgetItem* item = Find<QTableWidget>(w, grid)->item(row, column);
    return item ? item->text() : QString();
  }
  fakes::Harness h;
  std::string layouts = (h.root / "config" / "eticket-layouts.txt").string();
};

TEST_F(ImportWindows, PreviewCancelImportAndTheRememberedLayout) {
  OpenJob("us-standard-tickets.K81");
  const std::string section = ReadFile(h.session.SectionPath(3));
  {
    gui::ImportForm form(h.session, h.messages, h.help, SamplePath("eticket-short-tons.csv"), layouts, nullptr);
    ASSERT_EQ(form.error(), "");
    EXPECT_EQ(Find<QComboBox>(&form, "Cmb_Map_ticket")->currentText(), "Ticket Number");
    EXPECT_FALSE(Find<QComboBox>(&form, "Cmb_Units")->isEnabled()) << "every header names its unit";
    ChooseBook(&form, 3);
    EXPECT_TRUE(Text(&form, "Lbl_Counts").startsWith("Will import: 2    Duplicates in the book: 16"));
    ASSERT_EQ(Find<QTableWidget>(&form, "Grd_Preview")->rowCount(), 19);
    EXPECT_EQ(Cell(&form, "Grd_Preview", 16, 2), "1257") << "the last six digits of 27001257";
    EXPECT_EQ(Cell(&form, "Grd_Preview", 16, 5), "77420") << "38.71 tons in whole pounds";
    EXPECT_EQ(Cell(&form, "Grd_Preview", 18, 11), "refused: gross 14.97 below tare 15.04");
    Click(&form, "Cmd_Cancel");
  }
  EXPECT_EQ(ReadFile(h.session.SectionPath(3)), section) << "Cancel changes nothing";

  const std::string csv = (h.root / "plant.csv").string();
  WriteFile(csv, "Tkt,Shipped,Gewicht\n1257,10/03/2026,47380\n1258,10/03/2026,42480\n");
  {
    gui::ImportForm form(h.session, h.messages, h.help, csv, layouts, nullptr);
    ChooseBook(&form, 3);
    EXPECT_FALSE(Find<QPushButton>(&form, "Cmd_Import")->isEnabled()) << Text(&form, "Lbl_Counts").toStdString();
    Find<QComboBox>(&form, "Cmb_Map_date")->setCurrentText("Shipped");
    Find<QComboBox>(&form, "Cmb_Map_net")->setCurrentText("Gewicht");
    EXPECT_TRUE(Text(&form, "Lbl_Counts").contains("unit of the net")) << Text(&form, "Lbl_Counts").toStdString();
    Find<QComboBox>(&form, "Cmb_Units")->setCurrentIndex(1);  // pounds
    EXPECT_TRUE(Text(&form, "Lbl_Counts").startsWith("Will import: 2"));
    Click(&form, "Cmd_Import");
    EXPECT_EQ(form.result(), QDialog::Accepted);
  }
  const std::vector<tonnage::TicketRow> book = tonnage::import::BookTickets(h.session, 3);
  ASSERT_EQ(book.size(), 19u);
  EXPECT_EQ(book[18][tonnage::TicketField::Net], "42480");
  EXPECT_FALSE(h.session.dataSaved);
  // The next file of the same layout needs no questions.
  gui::ImportForm again(h.session, h.messages, h.help, csv, layouts, nullptr);
  EXPECT_EQ(Find<QComboBox>(&again, "Cmb_Map_net")->currentText(), "Gewicht");
  EXPECT_EQ(Find<QComboBox>(&again, "Cmb_Units")->currentIndex(), 1);
  ChooseBook(&again, 3);
  EXPECT_TRUE(Text(&again, "Lbl_Counts").contains("Duplicates in the book: 2"));
}

TEST_F(ImportWindows, ReconcileFiltersTakesAValueAndPrintsAndSaves) {
  OpenJob("checks-page-order-and-weights.K81");
  gui::ReconcileForm form(h.session, h.messages, h.files, h.printing, h.help, SamplePath("eticket-quoted-bom.csv"), layouts, nullptr);
  ASSERT_EQ(form.error(), "");
  EXPECT_EQ(Text(&form, "Lbl_Count_Matched"), "7");
  EXPECT_EQ(Text(&form, "Lbl_Count_Differs"), "2");
  EXPECT_EQ(Text(&form, "Lbl_Count_DupBook"), "1");
  auto* grid = Find<QTableWidget>(&form, "Grd_Findings");
  EXPECT_EQ(grid->rowCount(), 5) << "all but the matched ones";
  Find<QCheckBox>(&form, "Chk_ETicketOnly")->setChecked(false);
  Find<QCheckBox>(&form, "Chk_DupBook")->setChecked(false);
  ASSERT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(Cell(&form, "Grd_Findings", 1, 7), "net e-ticket 38660, book 38600 (+60)");

  grid->selectRow(1);
  h.messages.answers = {platform::Button::Yes};
  Click(&form, "Cmd_Take");
  EXPECT_EQ(tonnage::import::BookTickets(h.session, 1)[5][tonnage::TicketField::Net], "38660");
  EXPECT_EQ(Text(&form, "Lbl_Count_Differs"), "1");
  EXPECT_EQ(Text(&form, "Lbl_Count_Matched"), "8");
  ASSERT_TRUE(h.session.Save().ok());
  EXPECT_EQ(h.session.store().LastEntry()->reason,
            "took the e-ticket's values for ticket 7306 of book 1 from eticket-quoted-bom.csv, row 7 "
            "(net e-ticket 38660, book 38600 (+60))");

  Click(&form, "Cmd_Print");
  ASSERT_EQ(h.printing.system.printer.documents.size(), 1u);
  const auto& sheet = h.printing.system.printer.documents[0].sheets.at(0);
  EXPECT_NE(std::find(sheet.begin(), sheet.end(),
                      "weights differ             7305       06/17/2026 gross e-ticket 70180, book 29940 (+40240); "
                      "tare e-ticket 29940, book 70180 (-40240)"),
            sheet.end());
  EXPECT_EQ(sheet.size(), 2u + 7u + 1u + 1u) << "title, counts, and the one finding shown";
  const std::string out = (h.root / "findings.csv").string();
  h.files.saves = {out, (h.root / "findings.pdf").string()};
  Click(&form, "Cmd_Csv");
  EXPECT_EQ(ReadFile(out),
            "Class,Ticket,Date,Book Row,File Row,Load Time,Truck,Mix,Details\r\n"
            "weights differ,7305,06/17/2026,5,6,,,\"SP 12.5, PG 64-22, TH 61\",\"gross e-ticket 70180, book 29940 "
            "(+40240); tare e-ticket 29940, book 70180 (-40240)\"\r\n");
  Click(&form, "Cmd_Pdf");
  EXPECT_EQ(h.printing.pdfPaths, std::vector<std::string>{(h.root / "findings.pdf").string()});
  EXPECT_EQ(h.printing.pdf.documents.at(0).sheets, h.printing.system.printer.documents.at(0).sheets);
}

TEST_F(ImportWindows, UndoImportTakesItBackUntilTheSaveWhichKeepsTheDetails) {
  OpenJob("us-standard-tickets.K81");
  const std::string before = ReadFile(h.session.SectionPath(3));
  gui::ProcForm process(h.services, nullptr);
  auto* undo = Find<QPushButton>(&process, "UndoImportCmd");
  EXPECT_FALSE(undo->isEnabled());
  auto importTheSample = [&] {
    h.files.opens = {SamplePath("eticket-short-tons.csv")};
    fakes::ModalDriver driver;
    driver.Then([&](QWidget* w) {
      ChooseBook(w, 3);
      Click(w, "Cmd_Import");
    });
    Click(&process, "ImportCmd");
    EXPECT_TRUE(driver.unexpected.empty());
  };
  importTheSample();
  ASSERT_TRUE(undo->isEnabled());
  EXPECT_EQ(tonnage::import::BookTickets(h.session, 3).size(), 19u);
  emit Find<QShortcut>(&process, "UndoKey")->activated();
  EXPECT_EQ(ReadFile(h.session.SectionPath(3)), before);
  EXPECT_FALSE(h.session.Modified());
  EXPECT_FALSE(undo->isEnabled());

  importTheSample();
  tonnage::RowMenuState rowMenu;
  h.session.currentBook = 3;
  // The ticket's row number in the grid tells what the export told, before the save and after.
  for (const bool saved : {false, true}) {
    if (saved) emit Find<QShortcut>(&process, "SaveKey")->activated();
    gui::Dataform grid(h.services.Entry(), rowMenu, nullptr);
    EXPECT_TRUE(grid.view()->model()->headerData(18, Qt::Vertical, Qt::ToolTipRole).toString().startsWith(
        "E-ticket 27001258, loaded 07:40, truck T-117")) << saved;
  }
  EXPECT_FALSE(undo->isEnabled()) << "a save ends it";
  const auto kept = tonnage::import::FindTicketDetails(h.session.store(), 3, 1258);
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->time + " " + kept->truck, "07:40 T-117");
  EXPECT_EQ(h.session.store().LastEntry()->reason, "imported from eticket-short-tons.csv, rows 18-19");

  // The book's side of a reconciliation shows what the import kept.
  gui::ReconcileForm reconcile(h.session, h.messages, h.files, h.printing, h.help, SamplePath("eticket-short-tons.csv"), layouts, nullptr);
  ChooseBook(&reconcile, 3);
  Find<QCheckBox>(&reconcile, "Chk_Matched")->setChecked(true);
  auto* grid = Find<QTableWidget>(&reconcile, "Grd_Findings");
  QString tip;
  for (int r = 0; r < grid->rowCount(); ++r)
    if (grid->item(r, 1)->text() == "27001258") tip = grid->item(r, 0)->toolTip();
  EXPECT_TRUE(tip.startsWith("In the book: E-ticket 27001258, loaded 07:40, truck T-117")) << tip.toStdString();
}

}  // namespace
