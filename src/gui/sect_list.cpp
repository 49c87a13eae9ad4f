#include "sect_list.h"

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

#include "book_form.h"
#include "entry_widgets.h"

namespace gui {

SectList::SectList(const EntryServices& services, tonnage::RowMenuState& rowMenu, QWidget* parent)
    : ModalWindow(&services.help, help_id::kSectList, parent),
      services_(services),
      session_(services.session),
      rowMenu_(rowMenu) {
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
  list_->setMinimumSize(
      list_->fontMetrics().horizontalAdvance(QStringLiteral("Book  500 ") + QString(35, QLatin1Char('N'))),
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
    Dataform grid(services_, rowMenu_, this);
    grid.exec();
  } else {
    BookForm form(services_, rowMenu_, this);
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
  if (services_.messages.Ask(this, question) == platform::Button::Yes)
    TellIfStateNotKept(services_.messages, this, tonnage::DeleteBook(session_, *slot));
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

}  // namespace gui
