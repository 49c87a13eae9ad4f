#include "history_form.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

#include "io/file_writer.h"
#include "print/spool_printing.h"
#include "store/history.h"

namespace gui {

namespace {

using tonnage::store::HistoryRow;

QPushButton* Button(QWidget* parent, const char* name, const QString& text) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  b->setMinimumWidth(130);
  return b;
}

// No bound until a date is chosen.
QDateEdit* DateBound(QWidget* parent, const char* name) {
  auto* d = new QDateEdit(parent);
  d->setObjectName(QString::fromLatin1(name));
  d->setDisplayFormat(QStringLiteral("MM/dd/yyyy"));
  d->setCalendarPopup(true);
  d->setMinimumDate(QDate(2000, 1, 1));
  d->setSpecialValueText(QStringLiteral("any"));
  d->setDate(d->minimumDate());
  return d;
}

std::string Bound(const QDateEdit* d) {
  return d->date() == d->minimumDate() ? std::string() : d->date().toString(Qt::ISODate).toStdString();
}

QString BookText(int book) { return book ? QString::number(book) : QString(); }

}  // namespace

HistoryForm::HistoryForm(tonnage::Session& session, platform::Messages& messages, platform::FileChooser& files,
                         platform::Printing& printing, platform::Help& help, QWidget* parent)
    : ModalWindow(&help, help_id::kHistoryForm, parent),
      session_(session),
      messages_(messages),
      files_(files),
      printing_(printing) {
  setObjectName(QStringLiteral("HistoryForm"));
  setWindowTitle(QStringLiteral("History"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 8, 14, 12);
  InstallMenuBar(layout);
  AddHelpMenu();

  auto* filters = new QHBoxLayout;
  auto labelled = [&](const QString& caption, QWidget* field) {
    auto* label = new QLabel(caption, this);
    label->setBuddy(field);
    filters->addWidget(label);
    filters->addWidget(field);
  };
  book_ = new QSpinBox(this);
  book_->setObjectName(QStringLiteral("DBook"));
  book_->setRange(0, tonnage::kMaxBooks);
  book_->setSpecialValueText(QStringLiteral("all"));
  labelled(QStringLiteral("&Book"), book_);
  page_ = new QLineEdit(this);
  page_->setObjectName(QStringLiteral("DPage"));
  page_->setMaxLength(6);
  page_->setMaximumWidth(80);
  page_->setPlaceholderText(QStringLiteral("all"));
  labelled(QStringLiteral("&Page No"), page_);
  from_ = DateBound(this, "DFrom");
  labelled(QStringLiteral("&From"), from_);
  to_ = DateBound(this, "DTo");
  labelled(QStringLiteral("&To"), to_);
  text_ = new QLineEdit(this);
  text_->setObjectName(QStringLiteral("DText"));
  text_->setPlaceholderText(QStringLiteral("any word: a weight, a login, a reason"));
  labelled(QStringLiteral("Te&xt"), text_);
  filters->addWidget(text_, 1);
  layout->addLayout(filters);

  auto* split = new QSplitter(Qt::Vertical, this);
  entries_ = new QTreeWidget(split);
  entries_->setObjectName(QStringLiteral("Lst_Entries"));
  entries_->setRootIsDecorated(false);
  entries_->setUniformRowHeights(true);
  entries_->setHeaderLabels({QStringLiteral("Entry"), QStringLiteral("Date and Time"), QStringLiteral("Who"),
                             QStringLiteral("Program"), QStringLiteral("Kind"), QStringLiteral("Reason"),
                             QStringLiteral("What")});
  changes_ = new QTableWidget(0, 6, split);
  changes_->setObjectName(QStringLiteral("Grd_Changes"));
  changes_->setHorizontalHeaderLabels({QStringLiteral("Change"), QStringLiteral("Book"), QStringLiteral("Page No"),
                                       QStringLiteral("Field"), QStringLiteral("Old"), QStringLiteral("New")});
  changes_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  changes_->setSelectionBehavior(QAbstractItemView::SelectRows);
  changes_->verticalHeader()->hide();
  changes_->horizontalHeader()->setStretchLastSection(true);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  layout->addWidget(split, 1);

  auto* bottom = new QHBoxLayout;
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("Lbl_Count"));
  bottom->addWidget(count_, 1);
  auto* print = Button(this, "Cmd_Print", QStringLiteral("&Print"));
  auto* pdf = Button(this, "Cmd_SavePdf", QStringLiteral("Save as P&DF..."));
  auto* csv = Button(this, "Cmd_SaveCsv", QStringLiteral("Save as C&SV..."));
  auto* close = Button(this, "Cmd_Close", QStringLiteral("&Close"));
  for (QPushButton* b : {print, pdf, csv, close}) bottom->addWidget(b);
  layout->addLayout(bottom);
  resize(1000, 640);

  connect(book_, &QSpinBox::valueChanged, this, &HistoryForm::Refresh);
  connect(page_, &QLineEdit::textChanged, this, &HistoryForm::Refresh);
  connect(from_, &QDateEdit::dateChanged, this, &HistoryForm::Refresh);
  connect(to_, &QDateEdit::dateChanged, this, &HistoryForm::Refresh);
  connect(text_, &QLineEdit::textChanged, this, &HistoryForm::Refresh);
  connect(entries_, &QTreeWidget::currentItemChanged, this, &HistoryForm::ShowChanges);
  connect(print, &QPushButton::clicked, this, &HistoryForm::Print);
  connect(pdf, &QPushButton::clicked, this, &HistoryForm::SavePdf);
  connect(csv, &QPushButton::clicked, this, &HistoryForm::SaveCsv);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  Refresh();
}

tonnage::store::HistoryFilter HistoryForm::filter() const {
  return {book_->value(), FromLatin1(page_->text().trimmed()), Bound(from_), Bound(to_),
          FromLatin1(text_->text().trimmed())};
}

void HistoryForm::Refresh() {
  rows_.clear();
  if (session_.store().isOpen()) rows_ = tonnage::store::ListHistory(session_.store(), filter());
  entries_->clear();
  // One line per entry; its changes go to the table below.
  int changes = 0;
  for (std::size_t k = 0; k < rows_.size(); ++k) {
    const HistoryRow& r = rows_[k];
    changes += r.hasChange;
    if (k > 0 && rows_[k - 1].entry.seq == r.entry.seq) continue;
    const tonnage::store::Entry& e = r.entry;
    auto* item = new QTreeWidgetItem(entries_, {QString::number(e.seq), Latin1(e.stamp.local), Latin1(e.stamp.login),
                                                Latin1(e.stamp.program + " " + e.stamp.version), Latin1(e.kind),
                                                Latin1(e.reason), Latin1(e.details)});
    item->setData(0, Qt::UserRole, static_cast<qlonglong>(k));
  }
  for (int c = 0; c < 6; ++c) entries_->resizeColumnToContents(c);
  const int shown = entries_->topLevelItemCount();
  if (!session_.store().isOpen())
    count_->setText(QStringLiteral("This file has no history yet: it starts with the file's first save."));
  else
    count_->setText(QStringLiteral("%1 %2, %3 %4")
                        .arg(shown)
                        .arg(shown == 1 ? QStringLiteral("entry") : QStringLiteral("entries"))
                        .arg(changes)
                        .arg(changes == 1 ? QStringLiteral("change") : QStringLiteral("changes")));
  for (const char* name : {"Cmd_Print", "Cmd_SavePdf", "Cmd_SaveCsv"})
    findChild<QPushButton*>(QString::fromLatin1(name))->setEnabled(shown > 0);
  if (shown > 0) entries_->setCurrentItem(entries_->topLevelItem(0));
  ShowChanges();
}

void HistoryForm::ShowChanges() {
  changes_->setRowCount(0);
  const QTreeWidgetItem* item = entries_->currentItem();
  if (!item) return;
  const auto first = static_cast<std::size_t>(item->data(0, Qt::UserRole).toLongLong());
  for (std::size_t k = first; k < rows_.size() && rows_[k].entry.seq == rows_[first].entry.seq; ++k) {
    if (!rows_[k].hasChange) continue;
    const tonnage::store::Change& c = rows_[k].change;
    const int row = changes_->rowCount();
    changes_->insertRow(row);
    QString book = BookText(c.book ? c.book : c.oldBook);
    if (c.book && c.oldBook && c.oldBook != c.book) book += QStringLiteral(" (was %1)").arg(c.oldBook);
    const QStringList cells = {Latin1(c.what),    book, Latin1(c.page), Latin1(c.field), Latin1(c.oldValue),
                               Latin1(c.newValue)};
    for (int col = 0; col < cells.size(); ++col) changes_->setItem(row, col, new QTableWidgetItem(cells[col]));
  }
  changes_->resizeColumnsToContents();
}

std::string HistoryForm::Title() const {
  const std::string& path = session_.dataFilePath;
  return "History of " + path.substr(path.rfind('/') + 1);
}

void HistoryForm::Tell(const QString& title, const tonnage::Outcome& failed) {
  platform::Tell(messages_, this, title, DisplayPath(failed.message), platform::Icon::Critical);
}

namespace {

tonnage::Outcome PrintPages(tonnage::print::LinePrinter& printer, const std::vector<std::vector<std::string>>& pages) {
  printer.SetFont(tonnage::print::kReportFont.name, 9);
  for (std::size_t p = 0; p < pages.size(); ++p) {
    if (p > 0) printer.NewPage();
    for (const std::string& line : pages[p]) printer.PrintLine(line);
  }
  return printer.EndDocument();
}

}  // namespace

void HistoryForm::Print() {
  const tonnage::Outcome done =
      PrintPages(printing_.printers().Printer(), tonnage::store::HistoryPages(rows_, Title()));
  if (!done) Tell(QStringLiteral("Print"), done);
}

void HistoryForm::SavePdf() {
  const auto chosen =
      files_.SaveAs(this, {QStringLiteral("Save as PDF"), session_.dataFolder, "PDF File (*.pdf)|*.pdf", {}});
  if (!chosen) return;
  const std::unique_ptr<tonnage::print::LinePrinter> pdf = printing_.PdfPrinter(*chosen);
  if (const tonnage::Outcome done = PrintPages(*pdf, tonnage::store::HistoryPages(rows_, Title())); !done)
    Tell(QStringLiteral("Save as PDF"), done);
}

void HistoryForm::SaveCsv() {
  const auto chosen =
      files_.SaveAs(this, {QStringLiteral("Save as CSV"), session_.dataFolder, "CSV File (*.csv)|*.csv", {}});
  if (!chosen) return;
  if (const tonnage::Outcome done = tonnage::io::WriteWholeFile(*chosen, tonnage::store::HistoryCsv(rows_)); !done)
    Tell(QStringLiteral("Save as CSV"), done);
}

}  // namespace gui
