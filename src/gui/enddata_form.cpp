#include "enddata_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "icons.h"
#include "lock_question.h"
#include "reason_form.h"

namespace gui {

namespace {

QLabel* MakeMark(QWidget* parent, const char* name, const QString& tip) {
  auto* mark = new QLabel(parent);
  mark->setObjectName(QString::fromLatin1(name));
  mark->setPixmap(SavedMark(24));
  mark->setToolTip(tip);
  // The row keeps its place while the mark is hidden.
  QSizePolicy policy = mark->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  mark->setSizePolicy(policy);
  return mark;
}

}  // namespace

EnddataForm::EnddataForm(const FileServices& services, QWidget* parent)
    : ModalWindow(&services.help, help_id::kEnddataForm, parent), services_(services), session_(services.session) {
  setObjectName(QStringLiteral("EnddataForm"));
  setWindowTitle(QStringLiteral("Save Data"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(18, 12, 18, 16);
  layout->setSpacing(12);
  InstallMenuBar(layout);
  AddHelpMenu();

  path_ = new QLabel(this);
  path_->setObjectName(QStringLiteral("Label1"));
  path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  path_->setMinimumWidth(320);
  path_->setFrameShape(QFrame::StyledPanel);
  path_->setMargin(6);
  layout->addWidget(path_);

  // Kept in the file's history with the save; a save that changes tickets a
  // report showed asks for it.
  auto* reasonRow = new QHBoxLayout;
  auto* reasonLabel = new QLabel(QStringLiteral("&Reason"), this);
  reason_ = new QLineEdit(this);
  reason_->setObjectName(QStringLiteral("DReason"));
  reason_->setMaxLength(200);
  reason_->setPlaceholderText(QStringLiteral("optional: why the data changed"));
  reasonLabel->setBuddy(reason_);
  reasonRow->addWidget(reasonLabel);
  reasonRow->addWidget(reason_, 1);
  layout->addLayout(reasonRow);

  auto* save = save_ = new QPushButton(QStringLiteral("&Save"), this);
  save->setObjectName(QStringLiteral("Endsave"));
  save->setToolTip(QStringLiteral("Save Opened File"));
  auto* saveAs = new QPushButton(QStringLiteral("Save &As"), this);
  saveAs->setObjectName(QStringLiteral("Endsaveas"));
  saveAs->setToolTip(QStringLiteral("Save Data As"));
  auto* exit = new QPushButton(QStringLiteral("E&xit"), this);
  exit->setObjectName(QStringLiteral("saveexit"));
  exit->setToolTip(QStringLiteral("Exit Save Data Form"));
  for (QPushButton* b : {save, saveAs, exit}) {
    b->setAutoDefault(false);
    b->setMinimumSize(120, 34);
  }
  savedMark_ = MakeMark(this, "Image1", QStringLiteral("Saved"));
  savedAsMark_ = MakeMark(this, "Image2", QStringLiteral("Saved under the new name"));

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  grid->addWidget(save, 0, 0);
  grid->addWidget(savedMark_, 0, 1);
  grid->addWidget(saveAs, 1, 0);
  grid->addWidget(savedAsMark_, 1, 1);
  grid->setColumnStretch(2, 1);
  grid->addWidget(exit, 1, 3);
  layout->addLayout(grid);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(save, &QPushButton::clicked, this, &EnddataForm::Save);
  connect(saveAs, &QPushButton::clicked, this, &EnddataForm::SaveAs);
  connect(exit, &QPushButton::clicked, this, &QDialog::accept);

  // Opening the window: no marks yet, a new file can only be saved with Save
  // As, and nothing counts as saved until a save in this window succeeds.
  savedMark_->hide();
  savedAsMark_->hide();
  if (session_.dataFilePath == tonnage::kNoName) save->hide();
  path_->setText(DisplayPath(session_.dataFilePath));
  session_.dataSaved = false;
}

namespace {

void ReportSaveError(platform::Messages& messages, QWidget* parent, const std::string& path,
                     const tonnage::Outcome& outcome) {
  // The session keeps the data in memory and the section files as they were.
  platform::Tell(
      messages, parent, QStringLiteral("Save Error"),
      QStringLiteral("The data could not be saved to\n%1\n\n%2").arg(DisplayPath(path), DisplayPath(outcome.message)),
      platform::Icon::Critical);
}

}  // namespace

bool SaveToOpenFile(const FileServices& services, QWidget* parent) {
  tonnage::Session& session = services.session;
  if (!SettleSaveReason(services, parent, session.dataFilePath)) return false;
  tonnage::Outcome written;
  {
    platform::BusyScope busy(services.busy);
    written = session.Save();
  }
  if (!written) {
    ReportSaveError(services.messages, parent, session.dataFilePath, written);
    return false;
  }
  TellIfStateNotKept(services.messages, parent, session.TakeStateProblem());
  return true;
}

bool SaveUnderNewName(const FileServices& services, QWidget* parent) {
  tonnage::Session& session = services.session;
  const platform::FileRequest request{QStringLiteral("Save Data As"), session.dataFolder, tonnage::kDataFileFilter, {}};
  const std::optional<std::string> chosen = services.files.SaveAs(parent, request);
  if (!chosen) return false;
  session.RememberDataFolder(*chosen);
  if (!SettleSaveReason(services, parent, *chosen)) return false;
  if (!MayUseFile(services.messages, parent, *chosen, session.PrepareLock(*chosen), FileUse::SaveAs)) return false;
  tonnage::Outcome written;
  {
    platform::BusyScope busy(services.busy);
    written = session.SaveAs(*chosen);
  }
  if (!written) {
    ReportSaveError(services.messages, parent, *chosen, written);
    return false;
  }
  TellIfStateNotKept(services.messages, parent, session.TakeStateProblem());
  return true;
}

bool SaveOpenData(const FileServices& services, QWidget* parent) {
  return services.session.dataFilePath == tonnage::kNoName ? SaveUnderNewName(services, parent)
                                                           : SaveToOpenFile(services, parent);
}

void EnddataForm::TakeReason() { session_.saveReason = FromLatin1(reason_->text().simplified()); }

void EnddataForm::Save() {
  TakeReason();
  if (!SaveToOpenFile(services_, this)) return;
  savedMark_->show();
  reason_->clear();
}

void EnddataForm::SaveAs() {
  TakeReason();
  if (!SaveUnderNewName(services_, this)) return;
  reason_->clear();
  path_->setText(DisplayPath(session_.dataFilePath));
  savedAsMark_->show();
  // The file has a name now: Save is offered at once.
  save_->show();
}

}  // namespace gui
