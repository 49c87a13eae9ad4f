#include "dataform.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include "book_grid_view.h"

namespace gui {

namespace {

QAction* MenuItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

void Separator(QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QString::fromLatin1(name)); }

}  // namespace

Dataform::Dataform(Context& context, tonnage::RowMenuState& rowMenu, QWidget* parent)
    : ModalWindow(context, help_id::kDataform, parent), state_(rowMenu), book_(context.session.currentBook) {
  setObjectName(QStringLiteral("Dataform"));
  setWindowTitle(Latin1(tonnage::DataEntryCaption(session_.index.unitSystem)));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 8, 12, 12);
  InstallMenuBar(layout);
  AddHelpMenu();

  tonnage::SetGridColumns(session_, book_, grid_);
  auto* unitLine = new QLabel(Latin1(grid_.columns().weightUnitLine), this);
  unitLine->setObjectName(QStringLiteral("Label1"));
  QFont bold = unitLine->font();
  bold.setBold(true);
  unitLine->setFont(bold);
  layout->addWidget(unitLine);

  auto* commentsRow = new QHBoxLayout;
  auto* commentsCaption = new QLabel(QStringLiteral("Book Comments"), this);
  commentsCaption->setObjectName(QStringLiteral("dcom2"));
  auto* comments = new QLabel(this);
  comments->setObjectName(QStringLiteral("Label2"));
  comments->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  comments->setMinimumWidth(comments->fontMetrics().horizontalAdvance(QString(36, QLatin1Char('W'))) / 2);
  commentsRow->addWidget(commentsCaption);
  commentsRow->addWidget(comments, 1);
  layout->addLayout(commentsRow);

  model_ = new BookGridModel(grid_, this);
  view_ = new BookGridView(this);
  view_->setObjectName(QStringLiteral("Spread1"));
  view_->setModel(model_);
  view_->setItemDelegate(new CellDelegate(*model_, view_));
  layout->addWidget(view_, 1);

  auto* exitRow = new QHBoxLayout;
  auto* exit = new QPushButton(QStringLiteral("E&xit  Data"), this);
  exit->setObjectName(QStringLiteral("dataexit"));
  exit->setToolTip(QStringLiteral("Exit Data Form"));
  exit->setAutoDefault(true);
  exit->setMinimumSize(120, 32);
  exitRow->addStretch(1);
  exitRow->addWidget(exit);
  exitRow->addStretch(1);
  layout->addLayout(exitRow);
  connect(exit, &QPushButton::clicked, this, &QDialog::accept);

  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("Mnu_Opts"));
  insert_ = MenuItem(menu_, "Mnu_OptsInsert", QStringLiteral("Insert Blank Row(s)"));
  Separator(menu_, "Mnu_Sep1");
  cut_ = MenuItem(menu_, "Mnu_OptsCut", QStringLiteral("Cut Row(s) to Clipboard"));
  copy_ = MenuItem(menu_, "Mnu_OptsCopy", QStringLiteral("Copy Row(s) to Clipboard"));
  paste_ = MenuItem(menu_, "Mnu_OptsPaste", QStringLiteral("Paste Row(s) from Clipboard"));
  clipInsert_ = MenuItem(menu_, "Mnu_OptsClipInsert", QStringLiteral("Insert Row(s) from Clipboard"));
  Separator(menu_, "Mnu_Sep2");
  QAction* cancel = MenuItem(menu_, "Mnu_OptsCancel", QStringLiteral("Cancel"));

  connect(insert_, &QAction::triggered, this, [this] { Apply(tonnage::InsertBlankRows(state_, grid_)); });
  connect(cut_, &QAction::triggered, this, [this] { Apply(tonnage::CutRows(state_, grid_)); });
  connect(copy_, &QAction::triggered, this, [this] { Apply(tonnage::CopyRows(state_, grid_)); });
  connect(paste_, &QAction::triggered, this, [this] {
    if (state_.ClipRowCount == 0) return;
    const platform::Message question{QStringLiteral("Overwrite Existing Data"),
                                     QStringLiteral("Are You Sure You Want To Overwrite The Data"),
                                     {platform::Button::Yes, platform::Button::No},
                                     platform::Icon::None,
                                     platform::Button::No};
    Apply(tonnage::PasteRows(state_, grid_, FromLatin1(ClipboardText()), [this, &question] {
      return context_.platform.messages->Ask(this, question) == platform::Button::Yes;
    }));
  });
  connect(clipInsert_, &QAction::triggered, this, [this] {
    if (state_.ClipRowCount == 0) return;
    Apply(tonnage::InsertRowsFromClipboard(state_, grid_, FromLatin1(ClipboardText())));
  });
  connect(cancel, &QAction::triggered, this, [this] {
    tonnage::CancelRowMenu(state_, grid_);
    Apply({});
  });

  view_->onLeaveCell = [this](int c, int r, int nc, int nr) { LeaveCell(c, r, nc, nr); };
  view_->onDeleteKey = [this] { DeleteKey(); };
  view_->onRowsSelected = [this](int first, int last, QPoint at) { RowsSelected(first, last, at); };

  comments->setText(Latin1(tonnage::LoadBookIntoGrid(session_, book_, grid_)));
  model_->Refresh();
  view_->FitColumns();
  // The whole row in sight: the row numbers, nine columns and the scroll bar.
  view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 8);
  const int width = view_->verticalHeader()->sizeHint().width() + view_->horizontalHeader()->length() +
                    view_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * view_->frameWidth() + 8;
  view_->setMinimumWidth(width);
  view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view_->setMinimumHeight(view_->verticalHeader()->defaultSectionSize() * 21);
  view_->MoveTo(1, 1);
  view_->setFocus();
}

void Dataform::LeaveCell(int column, int row, int newColumn, int newRow) {
  const tonnage::CellLeave leave = tonnage::LeaveCell(grid_, column, row, newColumn, newRow);
  model_->Refresh();
  if (leave.cancel) {
    view_->MoveTo(row, column);
    platform::Tell(*context_.platform.messages, this, QString(), Latin1(leave.message), platform::Icon::None);
    return;
  }
  if (leave.moveRow > 0) view_->MoveTo(leave.moveRow, leave.moveColumn);
}

void Dataform::DeleteKey() {
  const QModelIndex current = view_->currentIndex();
  if (!current.isValid()) return;
  grid_.activeRow = current.row() + 1;
  grid_.activeColumn = current.column() + 1;
  tonnage::DeleteActiveCell(grid_);
  model_->Refresh();
}

void Dataform::RowsSelected(int firstRow, int lastRow, QPoint at) {
  const std::optional<tonnage::RowMenuItems> items =
      tonnage::OpenRowMenu(state_, grid_, 0, firstRow, 0, lastRow);
  if (!items) return;
  // Without a clipboard rows could be cut into nowhere.
  const bool clipboard = context_.platform.clipboard != nullptr;
  insert_->setEnabled(items->insertBlank);
  cut_->setEnabled(items->cut && clipboard);
  copy_->setEnabled(items->copy && clipboard);
  paste_->setEnabled(items->paste && clipboard);
  clipInsert_->setEnabled(items->clipInsert && clipboard);
  menu_->popup(at);
}

void Dataform::Apply(const tonnage::RowOperation& operation) {
  if (operation.setClipboard && context_.platform.clipboard) {
    context_.platform.clipboard->Clear();
    context_.platform.clipboard->SetText(Latin1(operation.clipboardText));
  }
  model_->Refresh();
  view_->clearSelection();
  view_->MoveTo(grid_.activeRow, grid_.activeColumn);
  if (!operation.message.empty())
    platform::Tell(*context_.platform.messages, this, QString::fromLatin1(tonnage::kPasteRefusedTitle),
                   Latin1(operation.message), platform::Icon::Warning);
}

QString Dataform::ClipboardText() const {
  return context_.platform.clipboard ? context_.platform.clipboard->Text() : QString();
}

void Dataform::done(int result) {
  view_->FinishEditing();
  const tonnage::Outcome stored = tonnage::SaveGridToBook(session_, book_, grid_);
  if (!stored) {
    const platform::Message question{
        Latin1(stored.title.empty() ? std::string("File Error") : stored.title),
        QStringLiteral("The tickets of book %1 could not be stored:\n\n%2\n\n"
                       "Close the window anyway? The changes since the book was opened would be lost.")
            .arg(book_)
            .arg(DisplayPath(stored.message)),
        {platform::Button::Yes, platform::Button::No},
        platform::Icon::Critical,
        platform::Button::No};
    if (context_.platform.messages->Ask(this, question) != platform::Button::Yes) return;
  }
  QDialog::done(result);
}

}  // namespace gui
