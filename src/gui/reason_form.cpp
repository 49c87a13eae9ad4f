#include "reason_form.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "store/history.h"

namespace gui {

ReasonForm::ReasonForm(platform::Help& help, const std::vector<tonnage::store::Change>& changes,
                       const std::string& reason, QWidget* parent)
    : ModalWindow(&help, help_id::kEnddataForm, parent) {
  setObjectName(QStringLiteral("ReasonForm"));
  setWindowTitle(QStringLiteral("Reason for the Change"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(18, 14, 18, 14);
  auto* intro = new QLabel(
      QStringLiteral("These tickets appeared in a report run. The save changes them; say in one line why:"), this);
  intro->setObjectName(QStringLiteral("Lbl_Intro"));
  intro->setWordWrap(true);
  layout->addWidget(intro);
  auto* list = new QListWidget(this);
  list->setObjectName(QStringLiteral("Lst_Changes"));
  for (const tonnage::store::Change& c : changes) list->addItem(Latin1(tonnage::store::DescribeChange(c)));
  list->setMinimumSize(460, 120);
  layout->addWidget(list, 1);
  auto* label = new QLabel(QStringLiteral("&Reason"), this);
  layout->addWidget(label);
  reason_ = new QLineEdit(Latin1(reason), this);
  reason_->setObjectName(QStringLiteral("DReason"));
  reason_->setMaxLength(200);
  label->setBuddy(reason_);
  layout->addWidget(reason_);
  why_ = new QLabel(this);
  why_->setObjectName(QStringLiteral("Lbl_Why"));
  why_->setStyleSheet(QStringLiteral("color: #b00000"));
  why_->hide();
  layout->addWidget(why_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("Cmd_OK"));
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Save"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cmd_Cancel"));
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &ReasonForm::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ReasonForm::reject);
  reason_->setFocus();
}

std::string ReasonForm::reason() const { return FromLatin1(reason_->text().simplified()); }

void ReasonForm::accept() {
  if (reason().empty()) {
    why_->setText(QStringLiteral("A reason is needed: the report showed these tickets as they were."));
    why_->show();
    reason_->setFocus();
    return;
  }
  QDialog::accept();
}

bool SettleSaveReason(const FileServices& services, QWidget* parent, const std::string& path) {
  tonnage::Session& session = services.session;
  tonnage::Session::ReasonCheck check;
  {
    platform::BusyScope busy(services.busy);
    check = session.ChangesNeedingReason(path);
  }
  // A history that cannot be read fails the save itself, with its message.
  if (!check.outcome || check.needReason.empty()) return true;
  ReasonForm form(services.help, check.needReason, session.saveReason, parent);
  if (form.exec() != QDialog::Accepted) return false;
  session.saveReason = form.reason();
  return true;
}

}  // namespace gui
