#include "prtbox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QValidator>
#include <QVBoxLayout>

#include "nt_setup.h"
#include "print/printer_setup.h"
#include "print/spool_printing.h"

namespace gui {

namespace print = tonnage::print;

namespace {

// Until a printing service is there, the program has no printers: the lines
// read as for a printer that cannot be opened and Print says so.
class NoPrinters final : public print::PrinterSystem, private print::LinePrinter {
 public:
  std::vector<std::string> InstalledPrinters() override { return {}; }
  print::PrinterState Current() override { return {}; }
  bool MakeCurrent(const std::string&) override { return false; }
  void SetOrientation(int) override {}
  void SetPaperSize(std::int16_t) override {}
  void SetPaperBin(std::int16_t) override {}
  std::optional<print::PrinterCapabilities> Capabilities(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  print::LinePrinter& Printer() override { return *this; }

 private:
  void SetFont(const std::string&, int) override {}
  void PrintLine(std::string_view) override {}
  void NewPage() override {}
  tonnage::Outcome EndDocument() override { return print::CheckPrinterInstalled(*this); }
  void Abandon() override {}
};

class CopiesValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    for (QChar c : input)
      if (c.unicode() > 0x7F) return Invalid;
    return print::CopiesTextAcceptable(FromLatin1(input)) ? Acceptable : Invalid;
  }
};

QLabel* Line(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  // Printer names are shown as they are, never as markup.
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  b->setMinimumWidth(96);
  return b;
}

QSpinBox* PageField(QWidget* parent, const char* name) {
  auto* field = new QSpinBox(parent);
  field->setObjectName(QString::fromLatin1(name));
  field->setRange(0, print::kMaxPageNumber);
  field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("99999")) + 36);
  return field;
}

// Hidden controls keep their place, so the window does not jump about when
// "Print To File" is ticked.
void KeepPlaceWhenHidden(QWidget* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
}

}  // namespace

Prtbox::Prtbox(const PrintServices& services, bool selTextReady, QWidget* parent)
    : ModalWindow(&services.help, help_id::kPrtbox, parent), services_(services), session_(services.session) {
  setObjectName(QStringLiteral("Prtbox"));
  setWindowTitle(QStringLiteral("Print Report: ") + DisplayPath(session_.spoolPath));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 10, 14, 14);
  layout->setSpacing(12);
  InstallMenuBar(layout);
  AddHelpMenu();

  // The current printer, with Setup beside it.
  auto* printerPanel = new QFrame(this);
  printerPanel->setObjectName(QStringLiteral("PrinterPanel"));
  printerPanel->setFrameShape(QFrame::StyledPanel);
  auto* printerGrid = new QGridLayout(printerPanel);
  printerGrid->setContentsMargins(8, 8, 8, 8);
  printerLine_ = Line(printerPanel, "Label1");
  paperLine_ = Line(printerPanel, "Label2");
  binLine_ = Line(printerPanel, "Label3");
  setup_ = Button(printerPanel, "Cmd_Setup", QStringLiteral("&Setup"));
  setup_->setToolTip(QStringLiteral("Choose the printer, paper size, bin and orientation"));
  KeepPlaceWhenHidden(setup_);
  printerGrid->addWidget(printerLine_, 0, 0);
  printerGrid->addWidget(paperLine_, 1, 0);
  printerGrid->addWidget(binLine_, 2, 0);
  printerGrid->addWidget(setup_, 0, 1, Qt::AlignTop | Qt::AlignRight);
  printerGrid->setColumnStretch(0, 1);
  layout->addWidget(printerPanel);

  // What to print, and how many.
  rangeFrame_ = new QGroupBox(QStringLiteral("Print Range"), this);
  rangeFrame_->setObjectName(QStringLiteral("Frame1"));
  KeepPlaceWhenHidden(rangeFrame_);
  const char* const captions[] = {"All", "Pages", "Print Selected Text"};
  for (int i = 0; i < 3; ++i) {
    ranges_[i] = new QRadioButton(QString::fromLatin1(captions[i]), rangeFrame_);
    ranges_[i]->setObjectName(QStringLiteral("Range%1").arg(i));
    connect(ranges_[i], &QRadioButton::clicked, this, [this, i] { ChooseRange(i); });
  }
  pagesFrame_ = new QFrame(rangeFrame_);
  pagesFrame_->setObjectName(QStringLiteral("Frame2"));
  auto* pagesRow = new QHBoxLayout(pagesFrame_);
  pagesRow->setContentsMargins(0, 0, 0, 0);
  auto* fromLabel = new QLabel(QStringLiteral("From:"), pagesFrame_);
  fromLabel->setObjectName(QStringLiteral("Label5"));
  pageFrom_ = PageField(pagesFrame_, "Page_From");
  fromLabel->setBuddy(pageFrom_);
  auto* toLabel = new QLabel(QStringLiteral("To:"), pagesFrame_);
  toLabel->setObjectName(QStringLiteral("Label6"));
  pageTo_ = PageField(pagesFrame_, "Page_To");
  toLabel->setBuddy(pageTo_);
  pagesRow->addWidget(fromLabel);
  pagesRow->addWidget(pageFrom_);
  pagesRow->addSpacing(8);
  pagesRow->addWidget(toLabel);
  pagesRow->addWidget(pageTo_);
  pagesRow->addStretch(1);
  auto* rangeGrid = new QGridLayout(rangeFrame_);
  rangeGrid->setHorizontalSpacing(12);
  rangeGrid->addWidget(ranges_[0], 0, 0);
  rangeGrid->addWidget(ranges_[1], 1, 0);
  rangeGrid->addWidget(pagesFrame_, 1, 1);
  rangeGrid->addWidget(ranges_[2], 2, 0, 1, 2);
  rangeGrid->setColumnStretch(1, 1);

  copiesLabel_ = new QLabel(QStringLiteral("Copies"), this);
  copiesLabel_->setObjectName(QStringLiteral("Label4"));
  copies_ = new QLineEdit(this);
  copies_->setObjectName(QStringLiteral("No_Copies"));
  copies_->setMaxLength(static_cast<int>(print::kCopiesDigits));
  copies_->setValidator(new CopiesValidator(copies_));
  copies_->setFixedWidth(copies_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
  copies_->setToolTip(QStringLiteral("Number of copies, 0 to 999"));
  copiesLabel_->setBuddy(copies_);
  KeepPlaceWhenHidden(copiesLabel_);
  KeepPlaceWhenHidden(copies_);
  toFile_ = new QCheckBox(QStringLiteral("Print To File"), this);
  toFile_->setObjectName(QStringLiteral("Prtfile_Check"));
  toFile_->setToolTip(QStringLiteral("Save the whole report as a text file instead of printing it"));

  auto* side = new QGridLayout;
  side->setHorizontalSpacing(8);
  side->addWidget(copiesLabel_, 0, 0);
  side->addWidget(copies_, 0, 1, Qt::AlignLeft);
  side->addWidget(toFile_, 1, 0, 1, 2);
  side->setRowStretch(2, 1);
  auto* middle = new QHBoxLayout;
  middle->setSpacing(16);
  middle->addWidget(rangeFrame_, 1);
  middle->addLayout(side);
  layout->addLayout(middle);

  // Preview and PDF on the left, Print and Cancel on the right.
  preview_ = Button(this, "Cmd_Preview", QStringLiteral("Pre&view"));
  preview_->setToolTip(QStringLiteral("Show the pages as they will print"));
  pdf_ = Button(this, "Cmd_Pdf", QStringLiteral("Save as P&DF"));
  pdf_->setToolTip(QStringLiteral("Save the pages as a PDF file"));
  auto* printButton = Button(this, "Cmd_Print", QStringLiteral("&Print"));
  printButton->setDefault(true);
  auto* cancel = Button(this, "Cmd_Cancel", QStringLiteral("&Cancel"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(preview_);
  buttons->addWidget(pdf_);
  buttons->addStretch(1);
  buttons->addWidget(printButton);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  // Where the last report file went, once one was written.
  written_ = Line(this, "Lbl_Written");
  written_->hide();
  layout->addWidget(written_);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(toFile_, &QCheckBox::clicked, this, &Prtbox::TogglePrintToFile);
  connect(printButton, &QPushButton::clicked, this, &Prtbox::Print);
  connect(setup_, &QPushButton::clicked, this, &Prtbox::Setup);
  connect(preview_, &QPushButton::clicked, this, &Prtbox::Preview);
  connect(pdf_, &QPushButton::clicked, this, &Prtbox::SaveAsPdf);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  const bool canRender = services_.printing != nullptr;
  preview_->setEnabled(canRender);
  pdf_->setEnabled(canRender);

  ShowPrinter();
  state_ = print::LoadPrintDialog(selTextReady);
  ShowState();
  printButton->setFocus();
}

print::PrinterSystem& PrintersOf(platform::Printing* printing) {
  static NoPrinters none;
  return printing ? printing->printers() : none;
}

print::PrinterSystem& Prtbox::printers() { return PrintersOf(services_.printing); }

void Prtbox::ShowPrinter() {
  platform::BusyScope busy(services_.busy);
  if (printers().InstalledPrinters().empty()) {
    printerLine_->setText(QString::fromLatin1(print::kNoPrinterHelp));
    printerLine_->setWordWrap(true);
    paperLine_->clear();
    binLine_->clear();
    return;
  }
  const print::PrinterDesc desc = print::GetPrinterDesc(printers());
  printerLine_->setText(Latin1(print::PrinterLine(printers().Current())));
  paperLine_->setText(Latin1(print::PaperLine(desc)));
  binLine_->setText(Latin1(print::BinLine(desc)));
}

void Prtbox::ShowState() {
  ranges_[static_cast<int>(state_.range)]->setChecked(true);
  ranges_[2]->setEnabled(state_.selectedTextEnabled);
  pagesFrame_->setEnabled(state_.pageFieldsEnabled);
  pageFrom_->setValue(state_.pageFrom);
  pageTo_->setValue(state_.pageTo);
  copies_->setText(Latin1(state_.copiesText));
  toFile_->setChecked(state_.PrintToFile);
  const bool printer = print::ShowsPrinterChoices(state_);
  for (QWidget* w : {static_cast<QWidget*>(rangeFrame_), static_cast<QWidget*>(copiesLabel_),
                     static_cast<QWidget*>(copies_), static_cast<QWidget*>(setup_)})
    w->setVisible(printer);
  // A preview or PDF follows the range, which is not shown while saving to a file.
  const bool canRender = services_.printing != nullptr;
  preview_->setEnabled(canRender && printer);
  pdf_->setEnabled(canRender && printer);
}

void Prtbox::TakeFields() {
  state_.pageFrom = pageFrom_->value();
  state_.pageTo = pageTo_->value();
  state_.copiesText = FromLatin1(copies_->text());
}

void Prtbox::ChooseRange(int index) {
  TakeFields();
  print::ChooseRange(state_, static_cast<print::PrintRange>(index));
  ShowState();
}

void Prtbox::TogglePrintToFile(bool ticked) {
  TakeFields();
  print::SetPrintToFile(state_, ticked);
  ShowState();
}

void Prtbox::Tell(const QString& title, const QString& text) {
  platform::Tell(services_.messages, this, title, text, platform::Icon::Warning);
}

bool Prtbox::RangeCanBePrinted() {
  const tonnage::Outcome range = print::CheckPageRange(state_, session_.spoolPath);
  if (!range) Tell(Latin1(range.title), Latin1(range.message));
  return range.ok();
}

void Prtbox::Print() {
  TakeFields();
  if (state_.PrintToFile) return SaveToFile();
  if (!RangeCanBePrinted()) return;
  if (const tonnage::Outcome installed = print::CheckPrinterInstalled(printers()); !installed)
    return Tell(Latin1(installed.title), Latin1(installed.message));
  tonnage::Outcome printed;
  {
    platform::BusyScope busy(services_.busy);
    printed = print::PrintChosenPages(state_, session_.spoolPath, SelTextFilePath(session_), printers().Printer(),
                                      false, JobProgress(QStringLiteral("Print")));
  }
  Told(printed, QStringLiteral("Print"), QStringLiteral("The report could not be printed."));
}

tonnage::print::PageProgress Prtbox::JobProgress(const QString& title) {
  platform::Progress* progress = services_.progress;
  if (!progress) return {};
  return [this, progress, title](std::int64_t done, std::int64_t total) {
    return progress->Step(this, title, done, total);
  };
}

bool Prtbox::Told(const tonnage::Outcome& outcome, const QString& title, const QString& what) {
  if (services_.progress) services_.progress->Finish();
  if (outcome.kind == tonnage::OutcomeKind::Cancelled) {
    written_->setText(title == QLatin1String("Print")
                          ? QStringLiteral("Printing stopped: nothing was sent to the printer.")
                          : QStringLiteral("%1 stopped: nothing was written.").arg(title));
    written_->show();
    return false;
  }
  if (!outcome) Tell(title, what + QStringLiteral("\n\n") + DisplayPath(outcome.message));
  return outcome.ok();
}

std::optional<std::string> Prtbox::ChooseReportFile(const QString& title, const char* filter,
                                                    const std::string& extension) {
  // Beside the data file, under its name: JOB.K81's report is JOB.PRN.
  std::string folder = session_.dataFolder, name = "REPORT";
  const std::string& data = session_.dataFilePath;
  if (!data.empty() && data != tonnage::kNoName) {
    const std::size_t slash = data.rfind('/');
    if (slash != std::string::npos) folder = data.substr(0, slash);
    name = data.substr(slash == std::string::npos ? 0 : slash + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
  }
  platform::FileRequest request{title, folder, filter, {}};
  request.proposedName = name + extension;
  std::optional<std::string> chosen = services_.files.SaveAs(this, request);
  // A name typed without an extension gets the file type's.
  if (chosen && chosen->substr(chosen->rfind('/') + 1).find('.') == std::string::npos) *chosen += extension;
  return chosen;
}

void Prtbox::ShowWritten(const std::string& path) {
  written_->setText(QStringLiteral("Saved to %1").arg(DisplayPath(path)));
  written_->show();
}

void Prtbox::SaveToFile() {
  const std::optional<std::string> chosen =
      ChooseReportFile(QStringLiteral("Save Report ") + DisplayPath(session_.spoolPath) + QStringLiteral(" As"),
                       kReportFileFilter, ".PRN");
  if (!chosen) return;
  tonnage::Outcome written;
  {
    platform::BusyScope busy(services_.busy);
    written = print::CopySpoolToFile(session_.spoolPath, *chosen, JobProgress(QStringLiteral("Print To File")));
  }
  if (Told(written, QStringLiteral("Print To File"),
           QStringLiteral("The report could not be saved to\n%1").arg(DisplayPath(*chosen))))
    ShowWritten(*chosen);
}

void Prtbox::Setup() {
  NTSetup setup(services_.busy, printers(), services_.help, this);
  if (setup.exec() != QDialog::Accepted) return;
  ShowPrinter();
}

void Prtbox::Preview() {
  TakeFields();
  if (!RangeCanBePrinted()) return;
  tonnage::Outcome rendered;
  services_.printing->Preview(this, [this, &rendered](print::LinePrinter& printer) {
    print::PrintDialog once = state_;
    rendered = print::PrintChosenPages(once, session_.spoolPath, SelTextFilePath(session_), printer, true);
  });
  if (!rendered)
    Tell(QStringLiteral("Preview"),
         QStringLiteral("The pages could not be shown.\n\n") + DisplayPath(rendered.message));
}

void Prtbox::SaveAsPdf() {
  TakeFields();
  if (!RangeCanBePrinted()) return;
  const std::optional<std::string> chosen =
      ChooseReportFile(QStringLiteral("Save Report As PDF"), kPdfFileFilter, ".pdf");
  if (!chosen) return;
  tonnage::Outcome written;
  {
    platform::BusyScope busy(services_.busy);
    const std::unique_ptr<print::LinePrinter> pdf = services_.printing->PdfPrinter(*chosen);
    print::PrintDialog once = state_;
    written = print::PrintChosenPages(once, session_.spoolPath, SelTextFilePath(session_), *pdf, true,
                                      JobProgress(QStringLiteral("Save as PDF")));
  }
  if (Told(written, QStringLiteral("Save as PDF"),
           QStringLiteral("The report could not be saved to\n%1").arg(DisplayPath(*chosen))))
    ShowWritten(*chosen);
}

}  // namespace gui
