#include "reconcile_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "data/section_file.h"
#include "import/layout_memory.h"
#include "io/file_writer.h"
#include "io/line_reader.h"
#include "print/spool_printing.h"

namespace gui {

using namespace tonnage::import;

namespace {

const char* const kFilterNames[kMatchClasses] = {"Chk_Matched",    "Chk_Differs", "Chk_ETicketOnly", "Chk_BookOnly",
                                                 "Chk_DupETicket", "Chk_DupBook", "Chk_Gap"};
const char* const kFilterCaptions[kMatchClasses] = {"Matched",        "Weights Differ",     "E-Ticket Only",
                                                    "Book Only",      "Duplicate E-Ticket", "Duplicate In Book",
                                                    "Gaps In Numbers"};

}  // namespace

ReconcileForm::ReconcileForm(tonnage::Session& session, platform::Messages& messages, platform::FileChooser& files,
                             platform::Printing& printing, platform::Help& help, const std::string& csvPath,
                             const std::string& layoutFile, QWidget* parent)
    : ModalWindow(&help, help_id::kReconcileForm, parent),
      session_(session),
      messages_(messages),
      files_(files),
      printing_(printing),
      csvPath_(csvPath) {
  setObjectName(QStringLiteral("ReconcileForm"));
  setWindowTitle(QStringLiteral("Reconcile With E-Tickets"));
  table_ = ReadCsvFile(csvPath);
  if (!table_.ok()) {
    error_ = table_.error;
    return;
  }
  // The mapping confirmed when the same layout was imported, if it was.
  options_.columns =
      MappingFor(ParseLayoutMemory(tonnage::io::ReadWholeFile(layoutFile).bytes), table_.header, options_.askedUnit);
  options_.overflow = true;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 10, 14, 12);
  InstallMenuBar(layout);
  AddHelpMenu();

  auto* top = new QHBoxLayout;
  auto* file = new QLabel(DisplayPath(csvPath), this);
  file->setObjectName(QStringLiteral("Lbl_File"));
  top->addWidget(file, 1);
  auto* bookCaption = new QLabel(QStringLiteral("Book"), this);
  book_ = new QComboBox(this);
  book_->setObjectName(QStringLiteral("Cmb_Book"));
  bookCaption->setBuddy(book_);
  for (int slot = 1; slot <= tonnage::kMaxBooks; ++slot) {
    const tonnage::BookHeader& h = session_.Book(slot);
    if (h.InUse() && (h.dataType == "0" || h.dataType == "1"))
      book_->addItem(QStringLiteral("%1  %2").arg(slot).arg(Latin1(h.comments)), slot);
  }
  top->addWidget(bookCaption);
  top->addWidget(book_);
  layout->addLayout(top);

  auto* show = new QGroupBox(QStringLiteral("Show"), this);
  auto* showLayout = new QHBoxLayout(show);
  for (int c = 0; c < kMatchClasses; ++c) {
    auto* box = new QCheckBox(QString::fromLatin1(kFilterCaptions[c]), show);
    box->setObjectName(QString::fromLatin1(kFilterNames[c]));
    box->setChecked(c != static_cast<int>(MatchClass::Matched));
    auto* count = new QLabel(show);
    count->setObjectName(QStringLiteral("Lbl_Count_") + QString::fromLatin1(kFilterNames[c] + 4));
    count->setStyleSheet(QStringLiteral("font-weight: bold"));
    showLayout->addWidget(box);
    showLayout->addWidget(count);
    showLayout->addSpacing(8);
    filters_[static_cast<std::size_t>(c)] = box;
    counts_[static_cast<std::size_t>(c)] = count;
    connect(box, &QCheckBox::toggled, this, &ReconcileForm::ShowFindings);
  }
  layout->addWidget(show);

  grid_ = new QTableWidget(this);
  grid_->setObjectName(QStringLiteral("Grd_Findings"));
  grid_->setColumnCount(8);
  grid_->setHorizontalHeaderLabels(
      {"Finding", "Ticket", "Date", "Book Row", "File Row", "Load Time", "Truck", "Details"});
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->setMinimumSize(900, 320);
  layout->addWidget(grid_, 1);

  auto* buttons = new QHBoxLayout;
  take_ = new QPushButton(QStringLiteral("&Take The E-Ticket's Values"), this);
  take_->setObjectName(QStringLiteral("Cmd_Take"));
  auto* print = new QPushButton(QStringLiteral("&Print..."), this);
  print->setObjectName(QStringLiteral("Cmd_Print"));
  auto* pdf = new QPushButton(QStringLiteral("Save As P&DF..."), this);
  pdf->setObjectName(QStringLiteral("Cmd_Pdf"));
  auto* csv = new QPushButton(QStringLiteral("Save As C&SV..."), this);
  csv->setObjectName(QStringLiteral("Cmd_Csv"));
  auto* close = new QPushButton(QStringLiteral("&Close"), this);
  close->setObjectName(QStringLiteral("Cmd_Close"));
  buttons->addWidget(take_);
  buttons->addStretch(1);
  for (QPushButton* b : {take_, print, pdf, csv, close}) {
    b->setAutoDefault(false);
    b->setMinimumHeight(32);
    if (b != take_) buttons->addWidget(b);
  }
  layout->addLayout(buttons);
  connect(book_, &QComboBox::currentIndexChanged, this, &ReconcileForm::Refresh);
  connect(grid_, &QTableWidget::itemSelectionChanged, this, [this] {
    const int row = grid_->currentRow();
    const QTableWidgetItem* item = row >= 0 ? grid_->item(row, 0) : nullptr;
    const int line = item ? item->data(Qt::UserRole).toInt() : -1;
    take_->setEnabled(line >= 0 && result_.lines[static_cast<std::size_t>(line)].match == MatchClass::Differs);
  });
  connect(take_, &QPushButton::clicked, this, &ReconcileForm::TakeETicketValues);
  connect(print, &QPushButton::clicked, this, &ReconcileForm::Print);
  connect(pdf, &QPushButton::clicked, this, &ReconcileForm::SavePdf);
  connect(csv, &QPushButton::clicked, this, &ReconcileForm::SaveCsv);
  connect(close, &QPushButton::clicked, this, &ReconcileForm::accept);
  Refresh();
  if (!preview_.ok()) error_ = preview_.error;
}

int ReconcileForm::Book() const { return book_->currentData().toInt(); }

std::array<bool, kMatchClasses> ReconcileForm::Shown() const {
  std::array<bool, kMatchClasses> shown{};
  for (int c = 0; c < kMatchClasses; ++c)
    shown[static_cast<std::size_t>(c)] = filters_[static_cast<std::size_t>(c)]->isChecked();
  return shown;
}

std::string ReconcileForm::Title() const {
  return "E-tickets " + FromLatin1(DisplayPath(csvPath_)) + " against book " + std::to_string(Book()) + " of " +
         FromLatin1(DisplayPath(session_.dataFilePath));
}

void ReconcileForm::Refresh() {
  options_.book = Book();
  preview_ = PreviewImport(table_, options_, session_);
  if (Book() == 0) preview_.error = "The file has no book of gross, tare and net weights.";
  bookRows_ = BookTickets(session_, Book());
  bookDetails_ = BookTicketDetails(session_.store(), FileBookNumber(session_.books, Book()));
  result_ = preview_.ok() ? Reconcile(preview_.rows, bookRows_) : Reconciliation{};
  for (std::size_t c = 0; c < kMatchClasses; ++c) counts_[c]->setNum(result_.counts[c]);
  ShowFindings();
}

void ReconcileForm::ShowFindings() {
  const auto shown = Shown();
  grid_->setRowCount(0);
  for (std::size_t i = 0; i < result_.lines.size(); ++i) {
    const ReconcileLine& l = result_.lines[i];
    if (!shown[static_cast<std::size_t>(l.match)]) continue;
    const ETicket* e = l.eticket >= 0 ? &preview_.rows[static_cast<std::size_t>(l.eticket)] : nullptr;
    // A book ticket that came from an earlier import shows what that import told.
    const TicketDetails* kept = nullptr;
    if (l.bookRow > 0 && static_cast<std::size_t>(l.bookRow) <= bookRows_.size()) {
      const std::string& page = bookRows_[static_cast<std::size_t>(l.bookRow - 1)][tonnage::TicketField::PageNo];
      if (const auto at = bookDetails_.find(std::atol(page.c_str())); at != bookDetails_.end()) kept = &at->second;
    }
    const int r = grid_->rowCount();
    grid_->insertRow(r);
    const QString cells[] = {QString::fromLatin1(MatchClassText(l.match)),
                             Latin1(l.ticket),
                             Latin1(l.date),
                             l.bookRow ? QString::number(l.bookRow) : QString(),
                             e ? QString::number(e->row) : QString(),
                             e      ? Latin1(e->time)
                             : kept ? Latin1(kept->time)
                                    : QString(),
                             e      ? Latin1(e->truck)
                             : kept ? Latin1(kept->truck)
                                    : QString(),
                             Latin1(l.text)};
    for (int c = 0; c < 8; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (kept) item->setToolTip(QStringLiteral("In the book: ") + Latin1(TicketDetailsText(*kept)));
      grid_->setItem(r, c, item);
    }
    grid_->item(r, 0)->setData(Qt::UserRole, static_cast<int>(i));
  }
  grid_->resizeColumnsToContents();
  take_->setEnabled(false);
}

void ReconcileForm::TakeETicketValues() {
  const int row = grid_->currentRow();
  if (row < 0) return;
  const ReconcileLine& l = result_.lines[static_cast<std::size_t>(grid_->item(row, 0)->data(Qt::UserRole).toInt())];
  if (l.match != MatchClass::Differs || l.eticket < 0 || l.bookRow <= 0) return;
  const platform::Message question{
      QStringLiteral("&Take The E-Ticket's Values"),
      QStringLiteral("Ticket %1 of book %2: %3\n\nPut the e-ticket's date and weights into the book?")
          .arg(Latin1(l.ticket))
          .arg(Book())
          .arg(Latin1(l.text)),
      {platform::Button::Yes, platform::Button::No},
      platform::Icon::Question,
      platform::Button::No};
  if (messages_.Ask(this, question) != platform::Button::Yes) return;
  std::vector<tonnage::TicketRow> tickets = BookTickets(session_, Book());
  tonnage::BookRows rows;
  for (std::size_t i = 0; i < tickets.size() && i < rows.size(); ++i) rows[i] = tickets[i];
  rows[static_cast<std::size_t>(l.bookRow - 1)] = tonnage::import::TakeETicketValues(
      rows[static_cast<std::size_t>(l.bookRow - 1)], preview_.rows[static_cast<std::size_t>(l.eticket)]);
  const tonnage::Outcome written = session_.WriteBookTickets(Book(), rows);
  if (!written) {
    platform::Tell(messages_, this, QStringLiteral("&Take The E-Ticket's Values"), DisplayPath(written.message),
                   platform::Icon::Critical);
    return;
  }
  const ETicket& taken = preview_.rows[static_cast<std::size_t>(l.eticket)];
  AddSaveReason(session_, "took the e-ticket's values for ticket " + taken.ticket + " of book " +
                              std::to_string(Book()) + " from " + FromLatin1(QFileInfo(Latin1(csvPath_)).fileName()) +
                              ", row " + std::to_string(taken.row) + " (" + l.text + ")");
  TellIfStateNotKept(messages_, this, session_.TakeStateProblem());
  Refresh();
}

void ReconcileForm::Print() {
  const auto pages = ReconciliationPages(result_, Title(), Shown());
  tonnage::print::LinePrinter& printer = printing_.printers().Printer();
  printer.SetFont(tonnage::print::kReportFont.name, 10);
  for (std::size_t p = 0; p < pages.size(); ++p) {
    if (p > 0) printer.NewPage();
    for (const std::string& line : pages[p]) printer.PrintLine(line);
  }
  if (const tonnage::Outcome done = printer.EndDocument(); !done)
    platform::Tell(messages_, this, QStringLiteral("Print"), Latin1(done.message), platform::Icon::Critical);
}

void ReconcileForm::SavePdf() {
  const auto chosen =
      files_.SaveAs(this, {QStringLiteral("Save As PDF"), session_.dataFolder, "PDF File (*.pdf)|*.pdf", {}});
  if (!chosen) return;
  const auto pdf = printing_.PdfPrinter(*chosen);
  pdf->SetFont(tonnage::print::kReportFont.name, 10);
  const auto pages = ReconciliationPages(result_, Title(), Shown());
  for (std::size_t p = 0; p < pages.size(); ++p) {
    if (p > 0) pdf->NewPage();
    for (const std::string& line : pages[p]) pdf->PrintLine(line);
  }
  if (const tonnage::Outcome done = pdf->EndDocument(); !done)
    platform::Tell(messages_, this, QStringLiteral("Save As PDF"), DisplayPath(done.message), platform::Icon::Critical);
}

void ReconcileForm::SaveCsv() {
  const auto chosen =
      files_.SaveAs(this, {QStringLiteral("Save As CSV"), session_.dataFolder, "CSV File (*.csv)|*.csv", {}});
  if (!chosen) return;
  Reconciliation shown = result_;
  const auto filter = Shown();
  std::erase_if(shown.lines, [&](const ReconcileLine& l) { return !filter[static_cast<std::size_t>(l.match)]; });
  if (const tonnage::Outcome done = tonnage::io::WriteWholeFile(*chosen, ReconciliationCsv(shown, preview_.rows));
      !done)
    platform::Tell(messages_, this, QStringLiteral("Save As CSV"), DisplayPath(done.message), platform::Icon::Critical);
}

}  // namespace gui
