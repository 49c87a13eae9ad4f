#include "proc_form.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "daily_form.h"
#include "enddata_form.h"
#include "history_form.h"
#include "import_form.h"
#include "index_form.h"
#include "reconcile_form.h"
#include "report/run_tonnage_report.h"
#include "sect_list.h"
#include "view_form.h"

namespace gui {

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QString& tip) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setToolTip(tip);
  b->setAutoDefault(false);
  b->setMinimumSize(150, 36);
  return b;
}

}  // namespace

ProcForm::ProcForm(const Services& services, QWidget* parent)
    : ModalWindow(services.platform.help, help_id::kProcForm, parent),
      services_(services),
      session_(services.session),
      yieldEntries_(services.session) {
  setObjectName(QStringLiteral("ProcForm"));
  setWindowTitle(QStringLiteral("Process Options"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(18, 12, 18, 16);
  layout->setSpacing(12);
  InstallMenuBar(layout);
  AddHelpMenu();

  fileLine_ = new QLabel(this);
  fileLine_->setObjectName(QStringLiteral("Lbl_File"));
  fileLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(fileLine_);

  auto* books =
      MakeButton(this, "BookCmd", QStringLiteral("&Edit Books"), QStringLiteral("Set up books and type their tickets"));
  auto* index = MakeButton(this, "IndexCmd", QStringLiteral("&Index Data"),
                           QStringLiteral("Reference number, project number, date and engineer"));
  auto* save = MakeButton(this, "SaveCmd", QStringLiteral("&Save Data"),
                          QStringLiteral("Save the data file, or save it under another name"));
  auto* report = MakeButton(this, "ReportCmd", QStringLiteral("&Report"),
                            QStringLiteral("Work out the tonnage report and show it"));
  auto* daily = MakeButton(this, "DailyCmd", QStringLiteral("&Daily Summary..."),
                           QStringLiteral("The day's loads, tons and yield check, with charts"));
  auto* import = MakeButton(this, "ImportCmd", QStringLiteral("Im&port Tickets..."),
                            QStringLiteral("Add the loads of a plant's e-ticket export to the books"));
  auto* reconcile = MakeButton(this, "ReconcileCmd", QStringLiteral("Re&concile With E-Tickets..."),
                               QStringLiteral("Check a book's tickets against a plant's e-ticket export"));
  undoImport_ = MakeButton(this, "UndoImportCmd", QStringLiteral("&Undo Import"),
                           QStringLiteral("Take the last import back, until the data are changed or saved (Ctrl+Z)"));
  auto* history = MakeButton(this, "HistoryCmd", QStringLiteral("&History..."),
                             QStringLiteral("Every recorded change of the file's tickets: who, when and why"));
  auto* exit = MakeButton(this, "ExitCmd", QStringLiteral("E&xit"), QStringLiteral("Back to the main window"));

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(10);
  grid->addWidget(books, 0, 0);
  grid->addWidget(index, 0, 1);
  grid->addWidget(save, 1, 0);
  grid->addWidget(report, 1, 1);
  grid->addWidget(daily, 2, 0);
  grid->addWidget(import, 2, 1);
  grid->addWidget(reconcile, 3, 0);
  grid->addWidget(undoImport_, 3, 1);
  grid->addWidget(history, 4, 0);
  grid->addWidget(exit, 4, 1);
  layout->addLayout(grid);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(books, &QPushButton::clicked, this, &ProcForm::EditBooks);
  connect(index, &QPushButton::clicked, this, &ProcForm::IndexData);
  connect(save, &QPushButton::clicked, this, &ProcForm::SaveData);
  connect(report, &QPushButton::clicked, this, &ProcForm::Report);
  connect(daily, &QPushButton::clicked, this, &ProcForm::DailySummary);
  connect(import, &QPushButton::clicked, this, &ProcForm::ImportTickets);
  connect(reconcile, &QPushButton::clicked, this, &ProcForm::Reconcile);
  connect(history, &QPushButton::clicked, this, [this] {
    const platform::Platform& p = services_.platform;
    HistoryForm form(session_, *p.messages, *p.files, *p.printing, *p.help, this);
    form.exec();
  });
  connect(exit, &QPushButton::clicked, this, &ProcForm::reject);
  connect(undoImport_, &QPushButton::clicked, this, &ProcForm::UndoImport);
  auto* undoKey = new QShortcut(QKeySequence::Undo, this);
  undoKey->setObjectName(QStringLiteral("UndoKey"));
  connect(undoKey, &QShortcut::activated, this, &ProcForm::UndoImport);
  auto* saveKey = new QShortcut(QKeySequence::Save, this);
  saveKey->setObjectName(QStringLiteral("SaveKey"));
  connect(saveKey, &QShortcut::activated, this, [this] {
    SaveOpenData(services_.Files(), this);
    ShowFileLine();
  });
  ShowFileLine();
}

void ProcForm::ShowFileLine() {
  // The mark of unsaved changes, as desktop programs show it.
  setWindowTitle(session_.Modified() ? QStringLiteral("Process Options*") : QStringLiteral("Process Options"));
  undoImport_->setEnabled(CanUndoImport(session_, importUndo_));
  const std::string& units = session_.index.unitSystem;
  const QString unitText = units == "M" ? QStringLiteral("metric units") : QStringLiteral("English units");
  fileLine_->setText(QStringLiteral("File: %1   (%2)").arg(DisplayPath(session_.dataFilePath), unitText));
}

void ProcForm::EditBooks() {
  {
    SectList list(services_.Entry(), services_.rowMenu, this);
    list.exec();
  }
  ShowFileLine();
}

void ProcForm::IndexData() {
  {
    const platform::Platform& p = services_.platform;
    Indexform index(session_, *p.messages, *p.clock, *p.help, this);
    index.exec();
  }
  ShowFileLine();
}

void ProcForm::SaveData() {
  EnddataForm save(services_.Files(), this);
  save.exec();
  ShowFileLine();
}

void ProcForm::Report() {
  if (!MakeReport(this)) return;
  ViewForm viewer(services_, this);
  viewer.SetRerun([this](QWidget* parent) { return MakeReport(parent); });
  viewer.exec();
  ShowFileLine();  // a ticket may have been edited from the viewer
}

bool ProcForm::MakeReport(QWidget* parent) {
  tonnage::Outcome made;
  {
    platform::BusyScope busy(*services_.platform.busy);
    made = session_.WriteWorkFile();
    if (made) {
      const platform::LocalTime now = services_.platform.clock->Now();
      made = tonnage::report::RunTonnageReport(
          session_.workFolder().path(),
          tonnage::report::MakeRunStamp(now.year, now.month, now.day, now.hour, now.minute, now.second));
    }
  }
  if (!made) {
    platform::Tell(
        *services_.platform.messages, parent, Latin1(made.title.empty() ? std::string("Report Error") : made.title),
        QStringLiteral("The report could not be made.\n\n") + DisplayPath(made.message), platform::Icon::Critical);
  }
  if (!made) return false;
  // The tickets it showed are on record: changing one later needs a reason.
  if (const tonnage::Outcome kept = session_.RecordReportRun(); !kept)
    platform::Tell(
        *services_.platform.messages, parent, QStringLiteral("History"),
        QStringLiteral("The report run could not be recorded in the file's history.\n\n") + DisplayPath(kept.message),
        platform::Icon::Warning);
  return true;
}

void ProcForm::DailySummary() {
  DailyForm form(services_.Files(), yieldEntries_, this);
  form.exec();
}

namespace {

// The export chosen for Import Tickets or Reconcile; nothing on cancel.
std::optional<std::string> ChooseExport(const Services& services, QWidget* parent, const QString& title) {
  return services.platform.files->OpenExisting(
      parent, {title, services.session.dataFolder, "E-Ticket Export (*.csv)|*.csv;*.txt|Any File (*.*)|*.*", {}});
}

}  // namespace

void ProcForm::ImportTickets() {
  const auto chosen = ChooseExport(services_, this, QStringLiteral("Import Tickets"));
  if (!chosen) return;
  ImportForm form(session_, *services_.platform.messages, *services_.platform.help, *chosen, LayoutMemoryPath(), this);
  if (!form.error().empty()) {
    platform::Tell(*services_.platform.messages, this, QStringLiteral("Import Tickets"), Latin1(form.error()),
                   platform::Icon::Warning);
    return;
  }
  if (form.exec() == QDialog::Accepted) importUndo_ = std::move(form.undo());
  ShowFileLine();
}

void ProcForm::UndoImport() {
  if (!CanUndoImport(session_, importUndo_)) {
    importUndo_ = {};
    ShowFileLine();
    return;
  }
  const tonnage::Outcome undone = tonnage::import::UndoImport(session_, importUndo_);
  if (!undone)
    platform::Tell(*services_.platform.messages, this, QStringLiteral("Undo Import"),
                   QStringLiteral("The import could not be taken back.\n\n") + DisplayPath(undone.message),
                   platform::Icon::Critical);
  importUndo_ = {};
  ShowFileLine();
}

void ProcForm::Reconcile() {
  const auto chosen = ChooseExport(services_, this, QStringLiteral("Reconcile With E-Tickets"));
  if (!chosen) return;
  const platform::Platform& p = services_.platform;
  ReconcileForm form(session_, *p.messages, *p.files, *p.printing, *p.help, *chosen, LayoutMemoryPath(), this);
  if (!form.error().empty()) {
    platform::Tell(*services_.platform.messages, this, QStringLiteral("Reconcile With E-Tickets"), Latin1(form.error()),
                   platform::Icon::Warning);
    return;
  }
  form.exec();
  ShowFileLine();
}

bool ProcForm::MayLeave() {
  // Asked only when there is something to lose.
  if (!session_.Modified()) return true;
  const platform::Message question{
      QStringLiteral("Save Data"),
      QStringLiteral("Do You Want To Save The Data\n\n") + DisplayPath(session_.dataFilePath),
      {platform::Button::Save, platform::Button::Discard, platform::Button::Cancel},
      platform::Icon::Question,
      platform::Button::Save};
  switch (services_.platform.messages->Ask(this, question)) {
    case platform::Button::Discard:
      return true;
    case platform::Button::Save: {
      // Leaves only once the data are in a file.
      const bool saved = SaveOpenData(services_.Files(), this);
      ShowFileLine();
      return saved;
    }
    default:
      return false;
  }
}

void ProcForm::reject() {
  if (MayLeave()) QDialog::reject();
}

}  // namespace gui
