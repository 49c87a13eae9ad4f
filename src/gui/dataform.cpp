#include "dataform.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QTimer>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "book_grid_view.h"
#include "data/data_file.h"
#include "entry/cell_entry.h"
#include "store/history_listing.h"

namespace gui {

namespace {

QAction* MenuItem(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

void Separator(QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QString::fromLatin1(name)); }

constexpr const char* kSkipMarksKey = "skipMarkColumns";
constexpr const char* kCarryPctKey = "carryPctBitumen";

// The grid's typing options, the one thing kept between runs:
// ~/.config/quarrendale-tonnage/grid.ini.
std::unique_ptr<QSettings> GridSettings() {
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("quarrendale-tonnage"),
                                     QStringLiteral("grid"));
}

QString RowsName(const QString& what, int count) {
  return count == 1 ? what.arg(QStringLiteral("Row")) : what.arg(QStringLiteral("%1 Rows").arg(count));
}

}  // namespace

// One change of the grid: the rows it touched and the cell it was made on.
// The change has already been made when the step is pushed.
class GridStep : public QUndoCommand {
 public:
  GridStep(Dataform& form, const QString& name, tonnage::GridDelta delta, int row, int column)
      : QUndoCommand(name), form_(form), delta_(std::move(delta)), row_(row), column_(column) {}
  void undo() override { form_.Replay(delta_, false, row_, column_); }
  void redo() override {
    if (first_) {
      first_ = false;
      return;
    }
    form_.Replay(delta_, true, row_, column_);
  }

 private:
  Dataform& form_;
  tonnage::GridDelta delta_;
  int row_, column_;
  bool first_ = true;
};

Dataform::Dataform(const EntryServices& services, tonnage::RowMenuState& rowMenu, QWidget* parent)
    : ModalWindow(&services.help, help_id::kDataform, parent),
      session_(services.session),
      messages_(services.messages),
      clipboard_(services.clipboard),
      state_(rowMenu),
      book_(services.session.currentBook) {
  setObjectName(QStringLiteral("Dataform"));
  setWindowTitle(Latin1(tonnage::DataEntryCaption(session_.index.unitSystem)));
  headerLine_ = tonnage::FormatBookHeaderLine(session_.Book(book_));
  {
    const std::unique_ptr<QSettings> settings = GridSettings();
    options_.skipMarks = settings->value(QString::fromLatin1(kSkipMarksKey), false).toBool();
    options_.carryPct = settings->value(QString::fromLatin1(kCarryPctKey), false).toBool();
  }

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 8, 12, 12);
  QMenuBar* bar = InstallMenuBar(layout);

  undo_ = new QUndoStack(this);
  undo_->setUndoLimit(200);
  auto* edit = bar->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("Mnu_Edit"));
  QAction* undo = undo_->createUndoAction(this, QStringLiteral("Undo"));
  undo->setObjectName(QStringLiteral("Mnu_Undo"));
  undo->setShortcut(QKeySequence::Undo);
  QAction* redo = undo_->createRedoAction(this, QStringLiteral("Redo"));
  redo->setObjectName(QStringLiteral("Mnu_Redo"));
  redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  edit->addAction(undo);
  edit->addAction(redo);
  addAction(undo);
  addAction(redo);
  edit->addSeparator();
  QAction* editCut = MenuItem(edit, "Mnu_EditCut", QStringLiteral("Cu&t"));
  editCut->setShortcut(QKeySequence::Cut);
  QAction* editCopy = MenuItem(edit, "Mnu_EditCopy", QStringLiteral("&Copy"));
  editCopy->setShortcut(QKeySequence::Copy);
  editPaste_ = MenuItem(edit, "Mnu_EditPaste", QStringLiteral("&Paste"));
  editPaste_->setShortcut(QKeySequence::Paste);
  for (QAction* a : {editCut, editCopy, editPaste_}) addAction(a);
  connect(editCut, &QAction::triggered, this, [this] { CopyCells(true); });
  connect(editCopy, &QAction::triggered, this, [this] { CopyCells(false); });
  connect(editPaste_, &QAction::triggered, this, [this] { PasteCells(); });
  // Paste is offered when the clipboard holds rows that would paste.
  connect(edit, &QMenu::aboutToShow, this, [this] {
    editPaste_->setEnabled(tonnage::ClipboardRowCount(FromLatin1(ClipboardText()), grid_.columns()) > 0);
  });
  connect(edit, &QMenu::aboutToHide, this, [this] { editPaste_->setEnabled(true); });
  edit->addSeparator();
  QAction* goTo = MenuItem(edit, "Mnu_GoToPage", QStringLiteral("&Go To Page..."));
  goTo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  addAction(goTo);

  auto* optionsMenu = bar->addMenu(QStringLiteral("&Options"));
  optionsMenu->setObjectName(QStringLiteral("Mnu_GridOptions"));
  QAction* skipMarks = MenuItem(optionsMenu, "Mnu_SkipMarks", QStringLiteral("Skip the mark columns"));
  skipMarks->setCheckable(true);
  skipMarks->setChecked(options_.skipMarks);
  QAction* carryPct = MenuItem(optionsMenu, "Mnu_CarryPct", QStringLiteral("Carry Pct. Bitum. to the next row"));
  carryPct->setCheckable(true);
  carryPct->setChecked(options_.carryPct);
  connect(skipMarks, &QAction::toggled, this, [this](bool on) {
    options_.skipMarks = on;
    GridSettings()->setValue(QString::fromLatin1(kSkipMarksKey), on);
  });
  connect(carryPct, &QAction::toggled, this, [this](bool on) {
    options_.carryPct = on;
    GridSettings()->setValue(QString::fromLatin1(kCarryPctKey), on);
  });
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
  model_->SetChecks(&checks_);
  view_ = new BookGridView(this);
  view_->setObjectName(QStringLiteral("Spread1"));
  view_->setModel(model_);
  auto* delegate = new CellDelegate(*model_, view_);
  view_->setItemDelegate(delegate);
  layout->addWidget(view_, 1);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("GridStatus"));
  status_->setWordWrap(true);
  status_->setMinimumHeight(status_->fontMetrics().height() * 2);
  layout->addWidget(status_);
  totals_ = new QLabel(this);
  totals_->setObjectName(QStringLiteral("GridTotals"));
  layout->addWidget(totals_);

  auto* exitRow = new QHBoxLayout;
  goToPage_ = new QLineEdit(this);
  goToPage_->setObjectName(QStringLiteral("GoToPage"));
  goToPage_->setPlaceholderText(QStringLiteral("Page No, then Enter"));
  goToPage_->setMaxLength(6);
  goToPage_->setMaximumWidth(goToPage_->fontMetrics().horizontalAdvance(QStringLiteral("Page No, then Enter")) + 16);
  goToPage_->hide();
  exitRow->addWidget(goToPage_);
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
  connect(goTo, &QAction::triggered, this, [this] {
    view_->FinishEditing();
    goToPage_->clear();
    goToPage_->show();
    goToPage_->setFocus();
  });
  connect(goToPage_, &QLineEdit::returnPressed, this, [this] {
    if (!GoToPage(goToPage_->text())) return;
    goToPage_->hide();
    view_->setFocus();
  });

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

  auto rows = [this] { return state_.SelLastRow - state_.SelFirstRow + 1; };
  connect(insert_, &QAction::triggered, this, [this, rows] {
    tonnage::RowOperation op;
    Change(RowsName(QStringLiteral("Insert Blank %1"), rows()), [&] { op = tonnage::InsertBlankRows(state_, grid_); });
    Apply(op);
  });
  connect(cut_, &QAction::triggered, this, [this, rows] {
    tonnage::RowOperation op;
    Change(RowsName(QStringLiteral("Cut %1"), rows()), [&] { op = tonnage::CutRows(state_, grid_); });
    Apply(op);
  });
  connect(copy_, &QAction::triggered, this, [this] { Apply(tonnage::CopyRows(state_, grid_)); });
  connect(paste_, &QAction::triggered, this, [this] {
    if (state_.ClipRowCount == 0) return;
    const platform::Message question{QStringLiteral("Overwrite Existing Data"),
                                     QStringLiteral("Are You Sure You Want To Overwrite The Data"),
                                     {platform::Button::Yes, platform::Button::No},
                                     platform::Icon::None,
                                     platform::Button::No};
    const std::string text = FromLatin1(ClipboardText());
    tonnage::RowOperation op;
    Change(RowsName(QStringLiteral("Paste %1"), state_.ClipRowCount), [&] {
      op = tonnage::PasteRows(state_, grid_, text,
                              [this, &question] { return messages_.Ask(this, question) == platform::Button::Yes; });
    });
    Apply(op);
  });
  connect(clipInsert_, &QAction::triggered, this, [this] {
    if (state_.ClipRowCount == 0) return;
    const std::string text = FromLatin1(ClipboardText());
    tonnage::RowOperation op;
    Change(RowsName(QStringLiteral("Insert %1 from Clipboard"), state_.ClipRowCount),
           [&] { op = tonnage::InsertRowsFromClipboard(state_, grid_, text); });
    Apply(op);
  });
  connect(cancel, &QAction::triggered, this, [this] {
    tonnage::CancelRowMenu(state_, grid_);
    Apply({});
  });

  model_->onEdit = [this](int row, int column, const QString& text) { Edit(row, column, text); };
  // Tickets that came from a plant's e-tickets show what the export told;
  // a ticket with a history shows its last change: what, who, when and why.
  const int fileBook = tonnage::import::FileBookNumber(session_.books, book_);
  importDetails_ = tonnage::import::BookTicketDetails(session_.store(), fileBook);
  for (const auto& pending : tonnage::import::PendingImports(session_))
    for (const tonnage::import::TicketDetails& t : pending->tickets)
      if (t.book == book_) importDetails_[t.page] = t;
  if (session_.store().isOpen()) historyNotes_ = tonnage::store::TicketHistoryNotes(session_.store(), fileBook);
  model_->rowNote = [this](int row) {
    const std::string& page = grid_.Cell(row, 1);
    if (page.empty()) return QString();
    const long number = std::atol(page.c_str());
    QStringList notes;
    if (const auto at = importDetails_.find(number); at != importDetails_.end())
      notes << Latin1(tonnage::import::TicketDetailsText(at->second));
    if (const auto at = historyNotes_.find(number); at != historyNotes_.end()) notes << Latin1(at->second);
    return notes.join(QStringLiteral("\n\n"));
  };
  delegate->onTyping = [this](const QString& reason) { ShowStatus(reason); };
  view_->onLeaveCell = [this](int c, int r, int nc, int nr) { LeaveCell(c, r, nc, nr); };
  view_->onDeleteKey = [this] { DeleteKey(); };
  view_->onMarkKey = [this](const QString& key) { MarkKey(key); };
  view_->onClipboardKey = [this](QKeySequence::StandardKey key) {
    if (key == QKeySequence::Paste)
      PasteCells();
    else
      CopyCells(key == QKeySequence::Cut);
  };
  view_->onRowsSelected = [this](int first, int last, QPoint at) { RowsSelected(first, last, at); };

  comments->setText(Latin1(tonnage::LoadBookIntoGrid(session_, book_, grid_)));
  checks_ = tonnage::CheckBookRows(grid_.rows(), session_.index.unitSystem, session_.Book(book_).dataType, headerLine_);
  model_->Refresh();
  view_->FitColumns();
  // The whole row in sight: the row numbers, nine columns and the scroll bar.
  view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 8);
  const int width = view_->verticalHeader()->sizeHint().width() +
                    view_->fontMetrics().horizontalAdvance(QStringLiteral("! ")) + view_->horizontalHeader()->length() +
                    view_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * view_->frameWidth() + 8;
  view_->setMinimumWidth(width);
  view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view_->setMinimumHeight(view_->verticalHeader()->defaultSectionSize() * 21);
  view_->MoveTo(grid_.activeRow, grid_.activeColumn);
  ShowStatus();
  ShowTotals();
  view_->setFocus();
}

void Dataform::Change(const QString& name, const std::function<void()>& change) {
  const tonnage::BookRows before = grid_.rows();
  const int row = grid_.activeRow, column = grid_.activeColumn;
  change();
  tonnage::GridDelta delta = tonnage::DiffRows(before, grid_.rows());
  if (delta.empty()) return;
  undo_->push(new GridStep(*this, name, std::move(delta), row, column));
  Changed();
}

void Dataform::Replay(const tonnage::GridDelta& delta, bool forward, int row, int column) {
  view_->FinishEditing();
  tonnage::ApplyDelta(grid_.rows(), delta, forward);
  Changed();
  grid_.activeRow = row;
  grid_.activeColumn = column;
  view_->clearSelection();
  view_->MoveTo(row, column);
}

void Dataform::Changed() {
  checks_ = tonnage::CheckBookRows(grid_.rows(), session_.index.unitSystem, session_.Book(book_).dataType, headerLine_);
  model_->Refresh();
  const tonnage::Outcome kept = tonnage::KeepGridRows(session_, book_, grid_);
  if (!kept) {
    ShowStatus(QStringLiteral("The rows could not be kept for recovery: %1").arg(DisplayPath(kept.message)));
    return;
  }
  ShowStatus();
  ShowTotals();
}

void Dataform::ShowStatus(const QString& message) {
  if (!message.isEmpty()) {
    status_->setText(message);
    return;
  }
  const QModelIndex current = view_->currentIndex();
  if (!current.isValid()) {
    status_->clear();
    return;
  }
  QString text = model_->CellFault(current.row() + 1, current.column() + 1);
  const std::string& rowReason = checks_.rows[static_cast<std::size_t>(current.row())].reason;
  if (!rowReason.empty()) {
    if (!text.isEmpty()) text += QStringLiteral("; ");
    text += QStringLiteral("Row %1: %2").arg(current.row() + 1).arg(Latin1(rowReason));
  }
  status_->setText(text);
}

void Dataform::ShowTotals() {
  const QModelIndex current = view_->currentIndex();
  const std::string date = current.isValid() ? grid_.Cell(current.row() + 1, tonnage::kDateColumn) : std::string();
  totals_->setText(Latin1(tonnage::FormatGridTotals(checks_.totals, tonnage::DateWeight(grid_.rows(), checks_, date),
                                                    tonnage::IsGridDate(date) ? date : std::string())));
}

bool Dataform::GoToPage(const QString& page) {
  const int row = tonnage::FindPageRow(grid_, FromLatin1(page));
  if (row == 0) {
    ShowStatus(QStringLiteral("Page %1 is not in this book").arg(page.trimmed()));
    return false;
  }
  GoToCell(row, tonnage::kPageColumn);
  return true;
}

void Dataform::GoToCell(int row, int column) {
  row = std::clamp(row, 1, tonnage::kMaxRows);
  column = std::clamp(column, 1, tonnage::kTicketFields);
  view_->MoveTo(row, column);
  grid_.activeRow = row;
  grid_.activeColumn = column;
  ShowStatus();
  ShowTotals();
  // Before the window is first laid out the view cannot centre the row; the
  // rows above it are worth seeing too.
  QTimer::singleShot(0, view_, [this, row, column] {
    view_->scrollTo(model_->index(row - 1, column - 1), QAbstractItemView::PositionAtCenter);
  });
}

void Dataform::Edit(int row, int column, const QString& typed) {
  const tonnage::ColumnRule& rule = grid_.columns()[column];
  const tonnage::CellEntry entry = tonnage::EnterCell(rule, FromLatin1(typed));
  grid_.activeRow = row;
  grid_.activeColumn = column;
  Change(QStringLiteral("Typing in %1, Row %2").arg(Latin1(rule.title)).arg(row),
         [&] { grid_.SetCell(row, column, entry.text); });
  if (!entry.accepted) ShowStatus(Latin1(entry.reason));
}

void Dataform::LeaveCell(int column, int row, int newColumn, int newRow) {
  tonnage::CellLeave leave;
  // Carrying the page and date into the next row is part of the step that
  // moved there, so one undo takes them back out.
  Change(QStringLiteral("Next Row"),
         [&] { leave = tonnage::LeaveCell(grid_, column, row, newColumn, newRow, options_); });
  if (leave.moveRow > 0) view_->MoveTo(leave.moveRow, leave.moveColumn);
  ShowStatus(Latin1(leave.message));
  ShowTotals();
}

void Dataform::DeleteKey() {
  const QModelIndex current = view_->currentIndex();
  if (!current.isValid()) return;
  grid_.activeRow = current.row() + 1;
  grid_.activeColumn = current.column() + 1;
  Change(QStringLiteral("Clear %1, Row %2").arg(Latin1(grid_.columns()[grid_.activeColumn].title)).arg(grid_.activeRow),
         [&] { tonnage::DeleteActiveCell(grid_); });
}

void Dataform::MarkKey(const QString& key) {
  const QModelIndex current = view_->currentIndex();
  if (!current.isValid()) return;
  const int row = current.row() + 1, column = current.column() + 1;
  const tonnage::ColumnRule& rule = grid_.columns()[column];
  const QChar c = key.isEmpty() ? QChar() : key.at(0);
  const std::optional<std::string> mark =
      tonnage::MarkAfterKey(grid_.Cell(row, column), c.unicode() <= 0x7F ? static_cast<char>(c.unicode()) : '\0');
  if (!mark) {
    ShowStatus(Latin1(tonnage::CellTakes(rule)));
    return;
  }
  grid_.activeRow = row;
  grid_.activeColumn = column;
  Change(QStringLiteral("%1 %2, Row %3")
             .arg(mark->empty() ? QStringLiteral("Clear") : QStringLiteral("Set"), Latin1(rule.title))
             .arg(row),
         [&] { grid_.SetCell(row, column, *mark); });
}

void Dataform::RowsSelected(int firstRow, int lastRow, QPoint at) {
  // The paste items follow what the clipboard holds, from this program or another.
  state_.ClipRowCount = tonnage::ClipboardRowCount(FromLatin1(ClipboardText()), grid_.columns());
  const std::optional<tonnage::RowMenuItems> items = tonnage::OpenRowMenu(state_, grid_, 0, firstRow, 0, lastRow);
  if (!items) return;
  // Without a clipboard rows could be cut into nowhere.
  const bool clipboard = clipboard_ != nullptr;
  insert_->setEnabled(items->insertBlank);
  cut_->setEnabled(items->cut && clipboard);
  copy_->setEnabled(items->copy && clipboard);
  paste_->setEnabled(items->paste && clipboard);
  clipInsert_->setEnabled(items->clipInsert && clipboard);
  menu_->popup(at);
}

void Dataform::Apply(const tonnage::RowOperation& operation) {
  if (operation.setClipboard && clipboard_) {
    clipboard_->Clear();
    clipboard_->SetText(Latin1(operation.clipboardText));
  }
  view_->clearSelection();
  view_->MoveTo(grid_.activeRow, grid_.activeColumn);
  if (!operation.message.empty())
    platform::Tell(messages_, this, QString::fromLatin1(tonnage::kPasteRefusedTitle), Latin1(operation.message),
                   platform::Icon::Warning);
}

void Dataform::CopyCells(bool cut) {
  if (!clipboard_) return;
  view_->FinishEditing();
  int firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
  if (!view_->SelectedBlock(firstRow, lastRow, firstColumn, lastColumn)) return;
  const bool wholeRows = firstColumn == 1 && lastColumn == tonnage::kGridColumns;
  if (wholeRows) {
    state_.SelFirstRow = firstRow;
    state_.SelLastRow = lastRow;
    tonnage::RowOperation op;
    if (cut)
      Change(RowsName(QStringLiteral("Cut %1"), lastRow - firstRow + 1), [&] { op = tonnage::CutRows(state_, grid_); });
    else
      op = tonnage::CopyRows(state_, grid_);
    Apply(op);
    return;
  }
  clipboard_->Clear();
  clipboard_->SetText(Latin1(tonnage::FormatClipboardCells(grid_, firstRow, lastRow, firstColumn, lastColumn)));
  if (!cut) return;
  grid_.activeRow = firstRow;
  grid_.activeColumn = firstColumn;
  Change(QStringLiteral("Cut Cells"), [&] {
    for (int row = firstRow; row <= lastRow; ++row)
      for (int column = firstColumn; column <= lastColumn; ++column) grid_.SetCell(row, column, {});
  });
}

void Dataform::PasteCells() {
  view_->FinishEditing();
  const std::string text = FromLatin1(ClipboardText());
  const int count = tonnage::ClipboardRowCount(text, grid_.columns());
  if (count == 0) {
    ShowStatus(QStringLiteral("The clipboard holds nothing to paste"));
    return;
  }
  int firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
  if (!view_->SelectedBlock(firstRow, lastRow, firstColumn, lastColumn)) return;
  if (firstColumn == 1 && lastColumn == tonnage::kGridColumns && lastRow < tonnage::kGridRows) {
    // Whole rows selected: as the row menu's paste, question included.
    state_.SelFirstRow = firstRow;
    state_.SelLastRow = lastRow;
    state_.ClipRowCount = count;
    paste_->trigger();
    return;
  }
  tonnage::RowOperation op;
  grid_.activeRow = firstRow;
  grid_.activeColumn = firstColumn;
  Change(RowsName(QStringLiteral("Paste %1"), count),
         [&] { op = tonnage::PasteCells(grid_, firstRow, firstColumn, text); });
  Apply(op);
}

QString Dataform::ClipboardText() const { return clipboard_ ? clipboard_->Text() : QString(); }

bool Dataform::ConfirmFaultyCells() {
  for (int row = 1; row <= tonnage::kGridRows; ++row)
    for (int column = 1; column <= tonnage::kGridColumns; ++column) {
      const QString fault = model_->CellFault(row, column);
      if (fault.isEmpty()) continue;
      const platform::Message question{
          QStringLiteral("Data Entry"),
          QStringLiteral("Row %1, %2 holds \"%3\": %4.\n\nClose anyway? The book keeps what the report "
                         "reads from that text.")
              .arg(row)
              .arg(Latin1(grid_.columns()[column].title), Latin1(grid_.Cell(row, column)), fault),
          {platform::Button::Yes, platform::Button::No},
          platform::Icon::Warning,
          platform::Button::No};
      if (messages_.Ask(this, question) == platform::Button::Yes) return true;
      view_->MoveTo(row, column);
      view_->setFocus();
      ShowStatus(fault);
      return false;
    }
  return true;
}

void Dataform::done(int result) {
  view_->FinishEditing();
  if (!ConfirmFaultyCells()) return;
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
    if (messages_.Ask(this, question) != platform::Button::Yes) return;
  }
  QDialog::done(result);
}

}  // namespace gui
