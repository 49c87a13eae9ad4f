#include "book_form.h"

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

BookForm::BookForm(const EntryServices& services, tonnage::RowMenuState& rowMenu, QWidget* parent)
    : ModalWindow(&services.help, help_id::kBookForm, parent),
      services_(services),
      session_(services.session),
      rowMenu_(rowMenu) {
  setObjectName(QStringLiteral("BookForm"));
  setWindowTitle(QStringLiteral("Book Setup"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 10, 16, 14);
  layout->setSpacing(10);
  InstallMenuBar(layout);
  AddHelpMenu();

  auto* fields = new QGridLayout;
  comments_ = Field(this, "dbookhead", tonnage::kCommentsLength);
  gravity_ = Field(this, "dbspec_grav", 6);
  gravity_->setMinimumWidth(gravity_->fontMetrics().horizontalAdvance(QStringLiteral("0.00000")) + 16);
  gravity_->setMaximumWidth(gravity_->minimumWidth() * 2);
  gravity_->setValidator(new GravityValidator(gravity_));
  auto* commentsLabel = new QLabel(QStringLiteral("Book Comments"), this);
  commentsLabel->setBuddy(comments_);
  auto* gravityLabel = new QLabel(QStringLiteral("Specific Gravity"), this);
  gravityLabel->setBuddy(gravity_);
  fields->addWidget(commentsLabel, 0, 0);
  fields->addWidget(comments_, 0, 1);
  layout->addLayout(fields);

  frame_ = new QGroupBox(QStringLiteral("Type Of Data"), this);
  frame_->setObjectName(QStringLiteral("Frame1"));
  auto* frameLayout = new QVBoxLayout(frame_);
  const char* captions[] = {"Standard Weight Tickets", "Tickets Are Recorded In Tons", "Automatic Batch Plant Tickets"};
  for (int i = 0; i < 3; ++i) {
    types_[i] = new QRadioButton(QString::fromLatin1(captions[i]), frame_);
    types_[i]->setObjectName(QStringLiteral("dbtype%1").arg(i));
    types_[i]->installEventFilter(this);
    frameLayout->addWidget(types_[i]);
    connect(types_[i], &QRadioButton::toggled, this, [this, i](bool on) {
      if (on) fields_.ChosenTypeIndex = i;
    });
  }
  layout->addWidget(frame_);

  auto* gravityRow = new QHBoxLayout;
  gravityRow->addWidget(gravityLabel);
  gravityRow->addWidget(gravity_);
  gravityRow->addStretch(1);
  layout->addLayout(gravityRow);

  auto* buttons = new QHBoxLayout;
  continue_ = Button(this, "CountinueCmd", QStringLiteral("&Continue"));
  auto* exit = Button(this, "ExitCmd", QStringLiteral("E&xit"));
  buttons->addStretch(1);
  buttons->addWidget(continue_);
  buttons->addWidget(exit);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  comments_->installEventFilter(this);
  gravity_->installEventFilter(this);
  connect(continue_, &QPushButton::clicked, this, &BookForm::Continue);
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);

  const tonnage::BookSetupFields stored = tonnage::OpenBookSetup(session_.Book(session_.currentBook));
  comments_->setText(Latin1(stored.comments));
  gravity_->setText(Latin1(stored.specificGravity));
  fields_.ChosenTypeIndex = -1;
  if (stored.ChosenTypeIndex >= 0) types_[stored.ChosenTypeIndex]->setChecked(true);
  fields_.typeFixed = stored.typeFixed;
  frame_->setEnabled(!stored.typeFixed);
  comments_->setFocus();
}

bool BookForm::eventFilter(QObject* object, QEvent* event) {
  if (IsEnter(event)) {
    if (object == comments_) {
      if (frame_->isEnabled()) {
        types_[0]->setFocus();
      } else {
        gravity_->setFocus();
      }
      return true;
    }
    for (QRadioButton* type : types_) {
      if (object == type) {
        gravity_->setFocus();
        return true;
      }
    }
    if (object == gravity_) {
      continue_->setFocus();
      return true;
    }
  }
  return ModalWindow::eventFilter(object, event);
}

void BookForm::Continue() {
  if (frame_->isEnabled() && fields_.ChosenTypeIndex < 0) {
    platform::Tell(services_.messages, this, QStringLiteral("Book Setup"),
                   QStringLiteral("Choose the Type Of Data of this book before Continue."), platform::Icon::Warning);
    types_[0]->setFocus();
    return;
  }
  fields_.comments = FromLatin1(comments_->text());
  fields_.specificGravity = FromLatin1(gravity_->text());
  tonnage::BookHeader header = session_.Book(session_.currentBook);
  tonnage::ContinueBookSetup(header, fields_);
  TellIfStateNotKept(services_.messages, this, session_.SetBookHeader(session_.currentBook, header));
  {
    Dataform grid(services_, rowMenu_, this);
    grid.exec();
  }
  accept();
}

}  // namespace gui
