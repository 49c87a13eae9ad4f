// The history in the windows: the reason a save asks for once a report has
// shown the tickets it changes, the message about changes made outside, the
// History window and the grid's tooltips.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <filesystem>

#include "book_grid_view.h"
#include "dataform.h"
#include "enddata_form.h"
#include "fakes.h"
#include "history_form.h"
#include "store/history_listing.h"

namespace {

namespace fs = std::filesystem;
using namespace steps;

class History : public ::testing::Test {
 protected:
  // The first ticket of book 1 in the open data, 450 lb lighter.
  void ChangeFirstTicket() {
    std::string rows = ReadFile(h.session.SectionPath(1));
    rows.replace(rows.find("77756     30056     47700"), 25, "77306     30056     47250");
    tonnage::testing::WriteFile(h.session.SectionPath(1), rows);
  }
  fakes::Harness h;
  fakes::ModalDriver driver;
  std::string job = h.Copy("us-standard-tickets.K81");
};

TEST_F(History, AReportedTicketChangedAsksForAReasonThatTheEntryKeeps) {
  ASSERT_TRUE(h.session.Open(job).ok() && h.session.RecordReportRun().ok());
  ChangeFirstTicket();
  const std::string before = ReadFile(job);
  auto form = h.Make<gui::EnddataForm>();
  form->show();
  QString refusal;
  driver.Then([](QWidget* w) { Click(w, "Cmd_Cancel"); }).Then([&](QWidget* w) {
    Click(w, "Cmd_OK");
    refusal = w->isVisible() ? Text(w, "Lbl_Why") : QString();  // nothing typed
    Find<QLineEdit>(w, "DReason")->setText("scale ticket misread, corrected from the plant copy");
    Click(w, "Cmd_OK");
  });
  Click(form.get(), "Endsave");
  EXPECT_TRUE(ReadFile(job) == before && !Shown(form.get(), "Image1")) << "Cancel saves nothing";
  Click(form.get(), "Endsave");
  EXPECT_EQ(driver.seen, (std::vector<QString>{"ReasonForm", "ReasonForm"}));
  EXPECT_TRUE(refusal.startsWith(QStringLiteral("A reason is needed"))) << refusal.toStdString();
  tonnage::store::ProjectStore history;
  ASSERT_TRUE(history.OpenToRead(job).ok());
  const std::string listed = tonnage::store::HistoryText(tonnage::store::ListHistory(history, {}));
  EXPECT_NE(listed.find("save: scale ticket misread, corrected from the plant copy\n"), std::string::npos) << listed;
}

// The window lists what `tonnage history` lists, filters, saves and prints
// it; the grid's tooltip shows a ticket's last change.
TEST_F(History, TheWindowListsWhatTheCommandListsAndTheGridShowsTheLastChange) {
  ASSERT_TRUE(h.session.Open(job).ok());
  ChangeFirstTicket();
  h.session.saveReason = "scale fault";
  ASSERT_TRUE(h.session.Save().ok());
  h.session.Book(2).comments = "BINDER COURSE LANE 2";
  ASSERT_TRUE(h.session.Save().ok());
  tonnage::store::ProjectStore& store = h.session.store();

  auto form = h.Make<gui::HistoryForm>(h.session, h.messages, h.files, h.printing, h.help);
  auto* entries = Find<QTreeWidget>(form.get(), "Lst_Entries");
  ASSERT_EQ(entries->topLevelItemCount(), 3);
  EXPECT_EQ(entries->topLevelItem(0)->text(0), "3") << "newest first";
  EXPECT_EQ(tonnage::store::HistoryText(form->rows()), tonnage::store::HistoryText(ListHistory(store, {})));
  // The selected entry's changes side by side.
  entries->setCurrentItem(entries->topLevelItem(1));
  auto* changes = Find<QTableWidget>(form.get(), "Grd_Changes");
  ASSERT_EQ(changes->rowCount(), 2);
  EXPECT_EQ(changes->item(1, 3)->text() + " " + changes->item(1, 4)->text() + " " + changes->item(1, 5)->text(),
            "Net Weight 47700 47250");

  Find<QSpinBox>(form.get(), "DBook")->setValue(1);
  Find<QLineEdit>(form.get(), "DText")->setText("SCALE");
  EXPECT_EQ(entries->topLevelItemCount(), 1);
  const tonnage::store::HistoryFilter filter = form->filter();
  const std::string csv = (h.root / "history.csv").string();
  h.files.saves = {csv, (h.root / "history.pdf").string()};
  Click(form.get(), "Cmd_SaveCsv");
  Click(form.get(), "Cmd_SavePdf");
  Click(form.get(), "Cmd_Print");
  EXPECT_EQ(ReadFile(csv), tonnage::store::HistoryCsv(ListHistory(store, filter)));
  const auto pages = tonnage::store::HistoryPages(ListHistory(store, filter), "History of JOB.K81");
  EXPECT_TRUE(h.printing.system.printer.documents.at(0).sheets == pages &&
              h.printing.pdf.documents.at(0).sheets == pages);
  EXPECT_TRUE(h.messages.asked.empty());

  h.session.currentBook = 1;
  auto grid = h.Make<gui::Dataform>(h.rowMenu);
  const QAbstractItemModel* model = grid->view()->model();
  const QString row1 = model->headerData(0, Qt::Vertical, Qt::ToolTipRole).toString();
  EXPECT_TRUE(row1.startsWith("Changed ") && row1.contains("Net Weight: ") && row1.endsWith("\nWhy: scale fault"))
      << row1.toStdString();
  // The same on the row's cells; nothing on a row never changed.
  EXPECT_EQ(model->index(0, 2).data(Qt::ToolTipRole).toString() + "|" +
                model->headerData(1, Qt::Vertical, Qt::ToolTipRole).toString(),
            row1 + "|");
}

}  // namespace
