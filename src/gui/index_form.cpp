#include "index_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolTip>
#include <QValidator>
#include <QVBoxLayout>
#include <memory>

#include "dataform.h"
#include "entry/index_record_form.h"

#include "entry_widgets.h"

namespace gui {

Indexform::Indexform(tonnage::Session& session, platform::Messages& messages, const platform::Clock& clock,
                     platform::Help& help, QWidget* parent)
    : ModalWindow(&help, help_id::kIndexform, parent), session_(session), messages_(messages) {
  setObjectName(QStringLiteral("Indexform"));
  setWindowTitle(QStringLiteral("Index Record"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 10, 16, 14);
  InstallMenuBar(layout);
  AddHelpMenu();

  auto* grid = new QGridLayout;
  grid->setVerticalSpacing(8);
  refNo_ = Field(this, "DRefNum", tonnage::kRefNoLength);
  date_ = Field(this, "DDate1", tonnage::kDateLength);
  projectNo_ = Field(this, "DProject", tonnage::kProjectNoLength);
  engineer_ = Field(this, "DEng", tonnage::kEngineerLength);
  const std::pair<const char*, QLineEdit*> rows[] = {
      {"Ref No.", refNo_}, {"Date", date_}, {"Project No.", projectNo_}, {"Engineer", engineer_}};
  int r = 0;
  for (const auto& [caption, field] : rows) {
    auto* label = new QLabel(QString::fromLatin1(caption), this);
    label->setBuddy(field);
    grid->addWidget(label, r, 0);
    grid->addWidget(field, r, 1, Qt::AlignLeft);
    field->installEventFilter(this);
    ++r;
  }
  layout->addLayout(grid);

  auto* buttons = new QHBoxLayout;
  ok_ = Button(this, "Idxexit", QStringLiteral("OK"), QStringLiteral("Exit Data Form"));
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

  const platform::LocalTime now = clock.Now();
  const tonnage::IndexFields fields =
      tonnage::OpenIndexRecord(session_.index, session_.dataFilePath, {now.year, now.month, now.day});
  refNo_->setText(Latin1(fields.refNo));
  date_->setText(Latin1(fields.date));
  projectNo_->setText(Latin1(fields.projectNo));
  engineer_->setText(Latin1(fields.engineer));
  refNo_->setFocus();
}

bool Indexform::eventFilter(QObject* object, QEvent* event) {
  if (IsEnter(event)) {
    QWidget* next = object == refNo_       ? static_cast<QWidget*>(date_)
                    : object == date_      ? projectNo_
                    : object == projectNo_ ? engineer_
                    : object == engineer_  ? static_cast<QWidget*>(ok_)
                                           : nullptr;
    if (next) {
      next->setFocus();
      return true;
    }
  }
  return ModalWindow::eventFilter(object, event);
}

void Indexform::done(int result) {
  tonnage::IndexRecord record = session_.index;
  tonnage::StoreIndexRecord(record, {FromLatin1(refNo_->text()), FromLatin1(date_->text()),
                                     FromLatin1(projectNo_->text()), FromLatin1(engineer_->text())});
  TellIfStateNotKept(messages_, this, session_.SetIndexRecord(record));
  QDialog::done(result);
}

}  // namespace gui
