// Import Tickets and Reconcile With E-Tickets as the user drives them: the
// mapping found or chosen, the unit asked, the preview and its counts,
// Cancel changing nothing, Import adding the rows; the findings filtered,
// one taken into the book, printed and saved. Undo Import and the details an
// import keeps are core's (DetailsTest in tests/core/import/ticket_import_test.cpp).
#include <QCheckBox>
#include <QComboBox>
#include <QTableWidget>

#include "fakes.h"
#include "import/ticket_import.h"
#include "import_form.h"
#include "reconcile_form.h"

namespace {

using namespace steps;
using tonnage::testing::SamplePath;
using tonnage::testing::WriteFile;

struct ImportWindows : ::testing::Test {
  void OpenJob(const char* sample) { ASSERT_TRUE(h.session.Open(h.Copy(sample)).ok()); }
  static void ChooseBook(QWidget* w, int book) {
    Find<QComboBox>(w, "Cmb_Book")->setCurrentIndex(Find<QComboBox>(w, "Cmb_Book")->findData(book));
  }
  fakes::Harness h;
  std::string layouts = (h.root / "config" / "eticket-layouts.txt").string();
};

// The rows' classes and conversions are core's (tests/core/import); here the
// preview shows them, Cancel keeps the book, a mapping chosen imports. What a
// chosen mapping is remembered as is core's (LayoutMemory in
// tests/core/import/ticket_import_test.cpp).
TEST_F(ImportWindows, PreviewCancelAndImportWithAChosenMapping) {
  OpenJob("us-standard-tickets.K81");
  const std::string section = ReadFile(h.session.SectionPath(3));
  {
    auto form = h.Make<gui::ImportForm>(h.session, h.messages, h.help, SamplePath("eticket-short-tons.csv"), layouts);
    EXPECT_EQ(Find<QComboBox>(form.get(), "Cmb_Map_ticket")->currentText(), "Ticket Number");
    ChooseBook(form.get(), 3);
    EXPECT_TRUE(Text(form.get(), "Lbl_Counts").startsWith("Will import: 2    Duplicates in the book: 16"));
    EXPECT_EQ(Cell(form.get(), "Grd_Preview", 16, 5), "77420") << "38.71 tons in whole pounds";
    Click(form.get(), "Cmd_Cancel");
  }
  EXPECT_EQ(ReadFile(h.session.SectionPath(3)), section) << "Cancel changes nothing";

  const std::string csv = (h.root / "plant.csv").string();
  WriteFile(csv, "Tkt,Shipped,Gewicht\n1257,10/03/2026,47380\n1258,10/03/2026,42480\n");
  {
    auto form = h.Make<gui::ImportForm>(h.session, h.messages, h.help, csv, layouts);
    ChooseBook(form.get(), 3);
    EXPECT_FALSE(Find<QPushButton>(form.get(), "Cmd_Import")->isEnabled());
    Find<QComboBox>(form.get(), "Cmb_Map_date")->setCurrentText("Shipped");
    Find<QComboBox>(form.get(), "Cmb_Map_net")->setCurrentText("Gewicht");
    EXPECT_TRUE(Text(form.get(), "Lbl_Counts").contains("unit of the net"));
    Find<QComboBox>(form.get(), "Cmb_Units")->setCurrentIndex(1);
    Click(form.get(), "Cmd_Import");  // pounds
    EXPECT_EQ(form->result(), QDialog::Accepted);
  }
  EXPECT_EQ(tonnage::import::BookTickets(h.session, 3).at(18)[tonnage::TicketField::Net], "42480");
  EXPECT_FALSE(h.session.dataSaved);
}

TEST_F(ImportWindows, ReconcileFiltersTakesAValueAndPrintsAndSaves) {
  OpenJob("checks-page-order-and-weights.K81");
  auto form = h.Make<gui::ReconcileForm>(h.session, h.messages, h.files, h.printing, h.help,
                                         SamplePath("eticket-quoted-bom.csv"), layouts);
  EXPECT_EQ(Text(form.get(), "Lbl_Count_Matched") + " " + Text(form.get(), "Lbl_Count_Differs"), "7 2");
  auto* grid = Find<QTableWidget>(form.get(), "Grd_Findings");
  EXPECT_EQ(grid->rowCount(), 5) << "all but the matched ones";
  for (const char* box : {"Chk_ETicketOnly", "Chk_DupBook"}) Find<QCheckBox>(form.get(), box)->setChecked(false);
  ASSERT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(Cell(form.get(), "Grd_Findings", 1, 7), "net e-ticket 38660, book 38600 (+60)");

  grid->selectRow(1);
  h.messages.answers = {platform::Button::Yes};
  Click(form.get(), "Cmd_Take");
  EXPECT_EQ(tonnage::import::BookTickets(h.session, 1)[5][tonnage::TicketField::Net] + " " +
                (Text(form.get(), "Lbl_Count_Matched") + " " + Text(form.get(), "Lbl_Count_Differs")).toStdString(),
            "38660 8 1");
  ASSERT_TRUE(h.session.Save().ok());
  EXPECT_EQ(h.session.store().LastEntry()->reason,
            "took the e-ticket's values for ticket 7306 of book 1 from eticket-quoted-bom.csv, row 7 "
            "(net e-ticket 38660, book 38600 (+60))");

  const std::string out = (h.root / "findings.csv").string();
  h.files.saves = {out, (h.root / "findings.pdf").string()};
  Click(form.get(), "Cmd_Print");
  Click(form.get(), "Cmd_Csv");
  Click(form.get(), "Cmd_Pdf");
  EXPECT_EQ(ReadFile(out),
            "Class,Ticket,Date,Book Row,File Row,Load Time,Truck,Mix,Details\r\n"
            "weights differ,7305,06/17/2026,5,6,,,\"SP 12.5, PG 64-22, TH 61\",\"gross e-ticket 70180, book 29940 "
            "(+40240); tare e-ticket 29940, book 70180 (-40240)\"\r\n");
  EXPECT_EQ(h.printing.pdfPaths, std::vector<std::string>{(h.root / "findings.pdf").string()});
  EXPECT_EQ(h.printing.pdf.documents.at(0).sheets, h.printing.system.printer.documents.at(0).sheets);
}

}  // namespace
