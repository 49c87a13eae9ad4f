#include "import_form.h"

#include <QComboBox>
#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

#include "data/section_file.h"
#include "io/file_writer.h"
#include "io/line_reader.h"

namespace gui {

using namespace tonnage::import;

namespace {

const char* const kFieldCaptions[kTicketColumnCount] = {"Ticket", "Date", "Time",  "Gross", "Tare",
                                                        "Net",    "Mix",  "Truck", "AC %",  "Plant"};
const char* const kUnitChoices[] = {"", "lb", "kg", "ton", "t"};

QString StatusText(const ETicket& t) {
  switch (t.status) {
    case RowStatus::Import:
      return QStringLiteral("will import");
    case RowStatus::DuplicateInBook:
      return QStringLiteral("duplicate in the book");
    case RowStatus::DuplicateInFile:
      return QStringLiteral("duplicate in the file");
    case RowStatus::Refused:
      break;
  }
  return QStringLiteral("refused: ") + Latin1(t.detail);
}

QString Weight(const std::optional<double>& w) {
  return w ? QString::number(*w, 'f', 3).remove(QRegularExpression(QStringLiteral("\\.?0+$"))) : QString();
}

}  // namespace

std::string LayoutMemoryPath() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  return QDir(folder).filePath(QStringLiteral("eticket-layouts.txt")).toStdString();
}

ImportForm::ImportForm(tonnage::Session& session, platform::Messages& messages, platform::Help& help,
                       const std::string& csvPath, const std::string& layoutFile, QWidget* parent)
    : ModalWindow(&help, help_id::kImportForm, parent),
      session_(session),
      messages_(messages),
      csvPath_(csvPath),
      layoutFile_(layoutFile) {
  setObjectName(QStringLiteral("ImportForm"));
  setWindowTitle(QStringLiteral("Import Tickets"));
  table_ = ReadCsvFile(csvPath);
  if (!table_.ok()) {
    error_ = table_.error;
    return;
  }
  const LayoutMemory memory = ParseLayoutMemory(tonnage::io::ReadWholeFile(layoutFile_).bytes);
  options_.columns = MappingFor(memory, table_.header, options_.askedUnit);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 10, 14, 12);
  InstallMenuBar(layout);
  AddHelpMenu();
  auto* file = new QLabel(QStringLiteral("%1   (%2, %3 rows, %4)")
                              .arg(DisplayPath(csvPath))
                              .arg(Latin1(table_.encoding))
                              .arg(table_.records.size())
                              .arg(table_.delimiter == ';'    ? QStringLiteral("semicolons")
                                   : table_.delimiter == '\t' ? QStringLiteral("tabs")
                                                              : QStringLiteral("commas")),
                          this);
  file->setObjectName(QStringLiteral("Lbl_File"));
  layout->addWidget(file);

  auto* columns = new QGroupBox(QStringLiteral("Columns"), this);
  auto* grid = new QGridLayout(columns);
  for (int f = 0; f < kTicketColumnCount; ++f) {
    auto* combo = new QComboBox(columns);
    combo->setObjectName(QStringLiteral("Cmb_Map_") +
                         Latin1(std::string(ColumnFieldName(static_cast<TicketColumn>(f)))));
    combo->addItem(QStringLiteral("(none)"));
    for (const std::string& h : table_.header) combo->addItem(Latin1(h));
    combo->setCurrentIndex(options_.columns.index[static_cast<std::size_t>(f)] + 1);
    auto* caption = new QLabel(QString::fromLatin1(kFieldCaptions[f]), columns);
    caption->setBuddy(combo);
    grid->addWidget(caption, f / 5, (f % 5) * 2);
    grid->addWidget(combo, f / 5, (f % 5) * 2 + 1);
    maps_[static_cast<std::size_t>(f)] = combo;
    connect(combo, &QComboBox::currentIndexChanged, this, [this, f](int index) {
      MapColumn(options_.columns, table_.header, static_cast<TicketColumn>(f), index - 1);
      Refresh();
    });
  }
  unitQuestion_ = new QLabel(QStringLiteral("Weights not named in the header are in"), columns);
  units_ = new QComboBox(columns);
  units_->setObjectName(QStringLiteral("Cmb_Units"));
  for (const char* u : {"(choose)", "pounds (lb)", "kilograms (kg)", "short tons (ton)", "metric tons (t)"})
    units_->addItem(QString::fromLatin1(u));
  units_->setCurrentIndex(static_cast<int>(options_.askedUnit));
  grid->addWidget(unitQuestion_, 2, 0, 1, 4);
  grid->addWidget(units_, 2, 4, 1, 2);
  connect(units_, &QComboBox::currentIndexChanged, this, [this](int index) {
    options_.askedUnit = static_cast<WeightUnit>(index);
    Refresh();
  });
  layout->addWidget(columns);

  auto* where = new QGroupBox(QStringLiteral("Where The Tickets Go"), this);
  auto* whereLayout = new QHBoxLayout(where);
  oneBook_ = new QRadioButton(QStringLiteral("After The Last Ticket Of Book"), where);
  oneBook_->setObjectName(QStringLiteral("Opt_OneBook"));
  book_ = new QComboBox(where);
  book_->setObjectName(QStringLiteral("Cmb_Book"));
  for (int slot = 1; slot <= tonnage::kMaxBooks; ++slot) {
    const tonnage::BookHeader& h = session_.Book(slot);
    if (h.InUse() && (h.dataType == "0" || h.dataType == "1"))
      book_->addItem(QStringLiteral("%1  %2").arg(slot).arg(Latin1(h.comments)), slot);
  }
  auto* perMix = new QRadioButton(QStringLiteral("A New Book For Each Mix"), where);
  perMix->setObjectName(QStringLiteral("Opt_PerMix"));
  (book_->count() > 0 ? oneBook_ : perMix)->setChecked(true);
  oneBook_->setEnabled(book_->count() > 0);
  whereLayout->addWidget(oneBook_);
  whereLayout->addWidget(book_, 1);
  whereLayout->addWidget(perMix);
  connect(oneBook_, &QRadioButton::toggled, this, &ImportForm::Refresh);
  connect(book_, &QComboBox::currentIndexChanged, this, &ImportForm::Refresh);
  layout->addWidget(where);

  grid_ = new QTableWidget(this);
  grid_->setObjectName(QStringLiteral("Grd_Preview"));
  grid_->setColumnCount(12);
  grid_->setHorizontalHeaderLabels(
      {"Row", "Ticket", "Page No", "Date", "Time", "Gross", "Tare", "Net", "Mix", "Truck", "Book", "Status"});
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->setMinimumSize(900, 300);
  layout->addWidget(grid_, 1);

  counts_ = new QLabel(this);
  counts_->setObjectName(QStringLiteral("Lbl_Counts"));
  counts_->setWordWrap(true);
  layout->addWidget(counts_);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  import_ = new QPushButton(QStringLiteral("&Import"), this);
  import_->setObjectName(QStringLiteral("Cmd_Import"));
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
  cancel->setObjectName(QStringLiteral("Cmd_Cancel"));
  for (QPushButton* b : {import_, cancel}) {
    b->setAutoDefault(false);
    b->setMinimumSize(110, 32);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);
  connect(import_, &QPushButton::clicked, this, &ImportForm::Import);
  connect(cancel, &QPushButton::clicked, this, &ImportForm::reject);
  Refresh();
}

void ImportForm::Refresh() {
  if (!grid_) return;  // still being built
  options_.book = oneBook_->isChecked() ? book_->currentData().toInt() : 0;
  book_->setEnabled(oneBook_->isChecked());
  const bool ask = !UnitsToAsk({options_.columns, WeightUnit::Unknown, 0, false}).empty();
  unitQuestion_->setEnabled(ask);
  units_->setEnabled(ask);
  preview_ = PreviewImport(table_, options_, session_);
  FillPreview();
  const ImportCounts& c = preview_.counts;
  if (!preview_.ok()) {
    counts_->setText(Latin1(preview_.error));
  } else {
    QString text = QStringLiteral(
                       "Will import: %1    Duplicates in the book: %2    Duplicates in the file: %3"
                       "    Refused: %4")
                       .arg(c.import)
                       .arg(c.duplicateInBook)
                       .arg(c.duplicateInFile)
                       .arg(c.refused);
    if (preview_.beyondBook > 0)
      text +=
          QStringLiteral("\n%1 tickets do not fit the book; Import asks about a second book.").arg(preview_.beyondBook);
    counts_->setText(text);
  }
  import_->setEnabled(preview_.ok() && (c.import > 0 || preview_.beyondBook > 0));
}

void ImportForm::FillPreview() {
  grid_->setRowCount(static_cast<int>(preview_.rows.size()));
  for (int r = 0; r < grid_->rowCount(); ++r) {
    const ETicket& t = preview_.rows[static_cast<std::size_t>(r)];
    const QString cells[] = {QString::number(t.row),
                             Latin1(t.ticket),
                             t.page >= 0 ? QString::number(t.page) : QString(),
                             Latin1(t.date),
                             Latin1(t.time),
                             t.converted ? Latin1(t.cells[tonnage::TicketField::Gross]) : Weight(t.gross),
                             t.converted ? Latin1(t.cells[tonnage::TicketField::Tare]) : Weight(t.tare),
                             t.converted ? Latin1(t.cells[tonnage::TicketField::Net]) : Weight(t.net),
                             Latin1(t.mix),
                             Latin1(t.truck),
                             t.book ? QString::number(t.book) : QString(),
                             StatusText(t)};
    for (int c = 0; c < 12; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (t.status == RowStatus::Refused)
        item->setForeground(QColor(0xB0, 0x00, 0x20));
      else if (t.status != RowStatus::Import)
        item->setForeground(Qt::darkGray);
      grid_->setItem(r, c, item);
    }
  }
  grid_->resizeColumnsToContents();
}

void ImportForm::Import() {
  if (preview_.beyondBook > 0 && !options_.overflow) {
    const tonnage::BookHeader& h = session_.Book(options_.book > 0 ? options_.book : 1);
    const platform::Message question{
        QStringLiteral("Import Tickets"),
        QStringLiteral("%1 tickets do not fit the book's 200.\n\nPut them into a new book \"%2 (2)\"?")
            .arg(preview_.beyondBook)
            .arg(options_.book > 0 ? Latin1(h.comments) : QStringLiteral("MIX")),
        {platform::Button::Yes, platform::Button::No},
        platform::Icon::Question,
        platform::Button::Yes};
    if (messages_.Ask(this, question) == platform::Button::Yes) {
      options_.overflow = true;
      Refresh();
    }
    if (preview_.counts.import == 0) return;
  }
  undo_ = PrepareImportUndo(session_, preview_);
  const tonnage::Outcome done = ApplyImport(session_, preview_);
  if (done)
    FinishImportUndo(undo_, session_,
                     QueueImportDetails(session_, preview_, FromLatin1(QFileInfo(Latin1(csvPath_)).fileName())));
  if (!done) {
    platform::Tell(messages_, this, QStringLiteral("Import Tickets"),
                   QStringLiteral("The tickets could not be added.\n\n") + DisplayPath(done.message),
                   platform::Icon::Critical);
    return;
  }
  LayoutMemory memory = ParseLayoutMemory(tonnage::io::ReadWholeFile(layoutFile_).bytes);
  memory[LayoutKey(table_.header)] = {options_.columns.index, options_.askedUnit};
  QDir().mkpath(QFileInfo(QString::fromStdString(layoutFile_)).absolutePath());
  // A memory that cannot be written only means the next import asks again.
  (void)tonnage::io::WriteWholeFile(layoutFile_, FormatLayoutMemory(memory));
  accept();
}

}  // namespace gui
