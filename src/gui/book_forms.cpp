#include "book_forms.h"

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

namespace gui {

namespace {

bool IsEnter(QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
         (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, const QString& tip = {}) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QString::fromLatin1(name));
  if (!tip.isEmpty()) b->setToolTip(tip);
  b->setAutoDefault(true);
  b->setMinimumSize(110, 32);
  return b;
}

QLineEdit* Field(QWidget* parent, const char* name, int maxLength) {
  auto* f = new QLineEdit(parent);
  f->setObjectName(QString::fromLatin1(name));
  f->setMaxLength(maxLength);
  f->setMinimumWidth(f->fontMetrics().horizontalAdvance(QString(maxLength + 2, QLatin1Char('M'))) * 3 / 4);
  return f;
}

// The specific gravity: a number below 10 with up to four decimals.
class GravityValidator final : public QValidator {
 public:
  explicit GravityValidator(QLineEdit* field) : QValidator(field), field_(field) {}
  State validate(QString& input, int&) const override {
    for (QChar c : input)
      if (c.unicode() > 0x7F) return Invalid;
    const tonnage::GravityCheck check = tonnage::CheckSpecificGravity(FromLatin1(input));
    if (check.state == tonnage::GravityInput::Acceptable) return Acceptable;
    if (check.state == tonnage::GravityInput::Intermediate) return Intermediate;
    field_->setProperty("refusal", Latin1(check.reason));
    QToolTip::showText(field_->mapToGlobal(QPoint(0, field_->height())), Latin1(check.reason), field_);
    return Invalid;
  }

 private:
  QLineEdit* field_;
};

// Opens with no entry chosen, and focus alone chooses none, so the first
// arrow key or Home selects book 1 rather than moving past it.
class BookListWidget final : public QListWidget {
 public:
  using QListWidget::QListWidget;

 protected:
  void focusInEvent(QFocusEvent* event) override {
    QListWidget::focusInEvent(event);
    if (selectedItems().isEmpty()) selectionModel()->clearCurrentIndex();
  }
};

}  // namespace

// ---- list of books ----------------------------------------------------------

SectList::SectList(Context& context, tonnage::RowMenuState& rowMenu, QWidget* parent)
    : ModalWindow(context, help_id::kSectList, parent), rowMenu_(rowMenu) {
  setObjectName(QStringLiteral("SectList"));
  setWindowTitle(QStringLiteral("List Of Books"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(14, 10, 14, 14);
  InstallMenuBar(layout);
  AddHelpMenu();

  list_ = new BookListWidget(this);
  list_->setObjectName(QStringLiteral("List1"));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setUniformItemSizes(true);
  list_->setMinimumSize(list_->fontMetrics().horizontalAdvance(QStringLiteral("Book  500 ") + QString(35, QLatin1Char('N'))),
                        list_->fontMetrics().height() * 18);
  list_->installEventFilter(this);
  layout->addWidget(list_, 1);

  auto* buttons = new QHBoxLayout;
  auto* setup = Button(this, "BookSetupCmd", QStringLiteral("Book &Setup"),
                       QStringLiteral("Comments, gravity and type of the selected book"));
  auto* remove = Button(this, "Bookdel", QStringLiteral("&Delete Book"), QStringLiteral("Remove A Book"));
  auto* exit = Button(this, "dataexit", QStringLiteral("E&xit"), QStringLiteral("Exit Data Form"));
  buttons->addStretch(1);
  buttons->addWidget(setup);
  buttons->addWidget(remove);
  buttons->addWidget(exit);
  buttons->addStretch(1);
  layout->addLayout(buttons);

  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { Choose(); });
  connect(setup, &QPushButton::clicked, this, [this] { Choose(true); });
  connect(remove, &QPushButton::clicked, this, &SectList::DeleteBook);
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);

  ListBooks();
  session_.currentBook = 1;
}

void SectList::showEvent(QShowEvent* event) {
  ModalWindow::showEvent(event);
  list_->setFocus();
}

void SectList::ListBooks() {
  const std::vector<std::string> entries = tonnage::ListBooks(session_.books);
  if (list_->count() != static_cast<int>(entries.size())) {
    list_->clear();
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(entries.size()));
    for (const std::string& entry : entries) texts.push_back(Latin1(entry));
    list_->addItems(texts);
    return;
  }
  for (int i = 0; i < list_->count(); ++i) {
    const QString text = Latin1(entries[static_cast<std::size_t>(i)]);
    if (list_->item(i)->text() != text) list_->item(i)->setText(text);
  }
}

int SectList::SelectedIndex() const {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? -1 : list_->row(selected.first());
}

void SectList::SelectAfter(int slot) {
  const int entry = tonnage::SelectionAfter(slot);
  list_->setCurrentRow(entry, QItemSelectionModel::ClearAndSelect);
  list_->scrollToItem(list_->item(entry));
}

void SectList::Choose(bool setup) {
  const std::optional<int> slot = tonnage::ChosenSlot(SelectedIndex());
  if (!slot) return;  // nothing selected: nothing to set up
  session_.currentBook = *slot;
  if (!setup && tonnage::OpensGridDirectly(session_.Book(*slot))) {
    Dataform grid(context_, rowMenu_, this);
    grid.exec();
  } else {
    BookForm form(context_, rowMenu_, this);
    form.exec();
  }
  ListBooks();
  // The book just edited stays selected: a Delete now means this book.
  list_->setCurrentRow(*slot - 1, QItemSelectionModel::ClearAndSelect);
  list_->scrollToItem(list_->currentItem());
  list_->setFocus();  // the keyboard goes on in the list
}

void SectList::DeleteBook() {
  const std::optional<int> slot = tonnage::ChosenSlot(SelectedIndex());
  if (!slot) return;
  // No is the default: Enter alone never deletes a book.
  const platform::Message question{QString::fromLatin1(tonnage::kDeleteTitle),
                                   Latin1(tonnage::DeleteBookQuestion(session_, *slot)),
                                   {platform::Button::Yes, platform::Button::No},
                                   platform::Icon::Question,
                                   platform::Button::No};
  if (context_.platform.messages->Ask(this, question) == platform::Button::Yes)
    TellIfStateNotKept(context_, this, tonnage::DeleteBook(session_, *slot));
  ListBooks();
  SelectAfter(*slot);
}

bool SectList::eventFilter(QObject* object, QEvent* event) {
  if (object == list_ && IsEnter(event)) {
    Choose();
    return true;
  }
  return ModalWindow::eventFilter(object, event);
}

// ---- book setup -------------------------------------------------------------

BookForm::BookForm(Context& context, tonnage::RowMenuState& rowMenu, QWidget* parent)
    : ModalWindow(context, help_id::kBookForm, parent), rowMenu_(rowMenu) {
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
  const char* captions[] = {"Standard Weight Tickets", "Tickets Are Recorded In Tons",
                            "Automatic Batch Plant Tickets"};
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
    platform::Tell(*context_.platform.messages, this, QStringLiteral("Book Setup"),
                   QStringLiteral("Choose the Type Of Data of this book before Continue."),
                   platform::Icon::Warning);
    types_[0]->setFocus();
    return;
  }
  fields_.comments = FromLatin1(comments_->text());
  fields_.specificGravity = FromLatin1(gravity_->text());
  tonnage::ContinueBookSetup(session_.Book(session_.currentBook), fields_);
  TellIfStateNotKept(context_, this, session_.SaveState());
  {
    Dataform grid(context_, rowMenu_, this);
    grid.exec();
  }
  accept();
}

// ---- index record -----------------------------------------------------------

Indexform::Indexform(Context& context, QWidget* parent) : ModalWindow(context, help_id::kIndexform, parent) {
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

  const platform::LocalTime now = context_.platform.clock ? context_.platform.clock->Now() : platform::LocalTime{};
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
  tonnage::StoreIndexRecord(session_.index, {FromLatin1(refNo_->text()), FromLatin1(date_->text()),
                                             FromLatin1(projectNo_->text()), FromLatin1(engineer_->text())});
  TellIfStateNotKept(context_, this, session_.SaveState());
  QDialog::done(result);
}

// ---- hooks ------------------------------------------------------------------

void InstallEntryHooks(Hooks& hooks) {
  auto rowMenu = std::make_shared<tonnage::RowMenuState>();
  hooks.editBooks = [rowMenu](QWidget* parent, Context& context) {
    SectList list(context, *rowMenu, parent);
    list.exec();
  };
  hooks.editTicket = [rowMenu](QWidget* parent, Context& context, int book, int row, int column) {
    context.session.currentBook = book;
    Dataform grid(context, *rowMenu, parent);
    grid.GoToCell(row, column);
    grid.exec();
  };
  hooks.indexData = [](QWidget* parent, Context& context) {
    Indexform index(context, parent);
    index.exec();
  };
}

}  // namespace gui
