#include "nt_setup.h"

#include "print/print_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace gui {

namespace print = tonnage::print;

namespace {

print::PrinterSetup LoadSetup(platform::BusyPointer& pointer, print::PrinterSystem& printers) {
  platform::BusyScope busy(pointer);
  return print::PrinterSetup(printers);
}

QComboBox* Combo(QWidget* parent, const char* name) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setMinimumContentsLength(28);
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  return combo;
}

void Fill(QComboBox* combo, const std::vector<std::string>& entries, int selected) {
  const QSignalBlocker quiet(combo);
  combo->clear();
  for (const std::string& entry : entries) combo->addItem(Latin1(entry));
  combo->setCurrentIndex(selected);
  if (selected < 0) combo->setEditText(QString());
}

}  // namespace

NTSetup::NTSetup(platform::BusyPointer& busy, print::PrinterSystem& printers, platform::Help& help, QWidget* parent)
    : ModalWindow(&help, help_id::kNTSetup, parent), busy_(busy), setup_(LoadSetup(busy, printers)) {
  setObjectName(QStringLiteral("NTSetup"));
  setWindowTitle(QStringLiteral("Printer Setup NT"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 14, 16, 14);
  layout->setSpacing(12);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(8);
  const auto addRow = [&](int row, const char* labelName, const char* caption, QComboBox* combo) {
    auto* label = new QLabel(QString::fromLatin1(caption), this);
    label->setObjectName(QString::fromLatin1(labelName));
    label->setBuddy(combo);
    grid->addWidget(label, row, 0);
    grid->addWidget(combo, row, 1);
  };
  printers_ = Combo(this, "combo1");
  papers_ = Combo(this, "Combo2");
  bins_ = Combo(this, "Combo3");
  addRow(0, "Label1", "Printer", printers_);
  addRow(1, "Label4", "Papersize", papers_);
  addRow(2, "Label2", "Paper Bin", bins_);
  grid->setColumnStretch(1, 1);
  layout->addLayout(grid);
  if (printers.InstalledPrinters().empty()) {
    // Three empty lists say nothing: say why they are empty.
    auto* none = new QLabel(QString::fromLatin1(print::kNoPrinterHelp), this);
    none->setObjectName(QStringLiteral("Lbl_NoPrinter"));
    none->setWordWrap(true);
    none->setMaximumWidth(360);
    layout->addWidget(none);
  }

  // The two orientations; Option1 index 0 and 1.
  portrait_ = new QRadioButton(QStringLiteral("Portrait"), this);
  portrait_->setObjectName(QStringLiteral("Option1_0"));
  landscape_ = new QRadioButton(QStringLiteral("Landscape"), this);
  landscape_->setObjectName(QStringLiteral("Option1_1"));
  auto* orientation = new QHBoxLayout;
  orientation->addWidget(portrait_);
  orientation->addSpacing(24);
  orientation->addWidget(landscape_);
  orientation->addStretch(1);
  layout->addLayout(orientation);

  auto* ok = new QPushButton(QStringLiteral("&OK"), this);
  ok->setObjectName(QStringLiteral("Cmd_OK"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
  cancel->setObjectName(QStringLiteral("Cmd_Cancel"));
  for (QPushButton* b : {ok, cancel}) b->setMinimumWidth(96);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(printers_, &QComboBox::activated, this, [this](int index) { ChoosePrinter(printers_->itemText(index)); });
  connect(ok, &QPushButton::clicked, this, &NTSetup::Ok);
  connect(cancel, &QPushButton::clicked, this, &NTSetup::reject);

  {
    const QSignalBlocker quiet(printers_);
    for (const std::string& name : setup_.printers()) printers_->addItem(Latin1(name));
    printers_->setCurrentIndex(setup_.selectedPrinter());
    if (setup_.selectedPrinter() < 0) printers_->setEditText(QString());
  }
  ShowSetup();
}

void NTSetup::ShowSetup() {
  (setup_.portrait() ? portrait_ : landscape_)->setChecked(true);
  Fill(papers_, setup_.lists().papers.entries, setup_.lists().papers.selected);
  Fill(bins_, setup_.lists().bins.entries, setup_.lists().bins.selected);
}

void NTSetup::ChoosePrinter(const QString& name) {
  {
    platform::BusyScope busy(busy_);
    setup_.ChoosePrinter(FromLatin1(name));
  }
  ShowSetup();
}

void NTSetup::Ok() {
  {
    platform::BusyScope busy(busy_);
    setup_.Ok(FromLatin1(papers_->currentText()), FromLatin1(bins_->currentText()), portrait_->isChecked());
  }
  accept();
}

void NTSetup::reject() {
  setup_.Cancel();
  ModalWindow::reject();
}

void NTSetup::showEvent(QShowEvent* event) {
  ModalWindow::showEvent(event);
  if (placed_) return;
  placed_ = true;
  // Centred across, its top a third of the way down the free height.
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QRect frame = frameGeometry();
  move(area.x() + (area.width() - frame.width()) / 2, area.y() + std::max(0, area.height() - frame.height()) / 3);
}

}  // namespace gui
