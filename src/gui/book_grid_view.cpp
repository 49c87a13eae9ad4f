#include "book_grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "context.h"
#include "entry/cell_entry.h"

namespace gui {

namespace {

bool IsMark(const QAbstractItemModel* model, const QModelIndex& index) {
  auto* m = qobject_cast<const BookGridModel*>(model);
  return m && index.isValid() && m->grid().columns()[index.column() + 1].kind == tonnage::CellKind::Mark;
}

bool IsNumber(tonnage::CellKind kind) {
  return kind == tonnage::CellKind::WholeNumber || kind == tonnage::CellKind::Decimal3;
}

Qt::Alignment CellAlignment(const tonnage::ColumnRule& rule) {
  return (rule.alignRight ? Qt::AlignRight : Qt::AlignHCenter) | Qt::AlignVCenter;
}

}  // namespace

// ---- model ------------------------------------------------------------------

int BookGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : tonnage::kGridRows; }

int BookGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : tonnage::kGridColumns; }

QVariant BookGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row() + 1, column = index.column() + 1;
  if (role == Qt::DisplayRole || role == Qt::EditRole) return Latin1(grid_.Cell(row, column));
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(CellAlignment(grid_.columns()[column]));
  if (role == Qt::BackgroundRole && !CellFault(row, column).isEmpty()) return QBrush(QColor(255, 205, 205));
  if (role == Qt::ToolTipRole) {
    const QString fault = CellFault(row, column);
    if (!fault.isEmpty()) return fault;
    const QString reason = checks_ ? Latin1(checks_->rows[static_cast<std::size_t>(index.row())].reason) : QString();
    // A cell with nothing to say about itself shows what is known of its row.
    if (reason.isEmpty() && rowNote) return rowNote(row);
    return reason;
  }
  return {};
}

QString BookGridModel::CellFault(int row, int column) const {
  const std::string& text = grid_.Cell(row, column);
  if (text.empty()) return {};
  const tonnage::CellEntry entry = tonnage::EnterCell(grid_.columns()[column], text);
  return entry.accepted ? QString() : Latin1(entry.reason);
}

bool BookGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole) return false;
  if (onEdit) {
    onEdit(index.row() + 1, index.column() + 1, value.toString());
    return true;
  }
  grid_.SetCell(index.row() + 1, index.column() + 1, FromLatin1(value.toString()));
  emit dataChanged(index, index);
  return true;
}

QVariant BookGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal) {
    if (role == Qt::DisplayRole) return Latin1(grid_.columns()[section + 1].title);
    return {};
  }
  const bool marked = checks_ && checks_->rows[static_cast<std::size_t>(section)].Marked();
  switch (role) {
    case Qt::DisplayRole:
      // The mark sits beside the number, so a row in trouble is seen while scrolling.
      return marked ? QStringLiteral("! %1").arg(section + 1) : QVariant(section + 1);
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::ForegroundRole:
      return marked ? QVariant(QBrush(QColor(190, 0, 0))) : QVariant();
    case Qt::ToolTipRole: {
      QString tip = marked ? Latin1(checks_->rows[static_cast<std::size_t>(section)].reason) : QString();
      const QString note = rowNote ? rowNote(section + 1) : QString();
      if (!note.isEmpty()) tip += (tip.isEmpty() ? QString() : QStringLiteral("\n\n")) + note;
      return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    default:
      return {};
  }
}

Qt::ItemFlags BookGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void BookGridModel::Refresh() {
  emit dataChanged(index(0, 0), index(tonnage::kGridRows - 1, tonnage::kGridColumns - 1));
  emit headerDataChanged(Qt::Horizontal, 0, tonnage::kGridColumns - 1);
  emit headerDataChanged(Qt::Vertical, 0, tonnage::kGridRows - 1);
}

// ---- editors ----------------------------------------------------------------

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
  const tonnage::ColumnRule rule = model_.grid().columns()[index.column() + 1];
  // Marks are set with keys and clicks on the cell, never typed in place.
  if (rule.kind == tonnage::CellKind::Mark) return nullptr;
  auto* editor = new QLineEdit(parent);
  editor->setObjectName(QStringLiteral("CellEditor"));
  editor->setFrame(false);
  editor->setAlignment(CellAlignment(rule));
  editor->setMaxLength(24);
  // Every keystroke stays in the cell; one the cell cannot take is shown in
  // red with the reason, never dropped or joined into another value.
  connect(editor, &QLineEdit::textEdited, editor, [this, editor, rule](const QString& typed) {
    QString text = typed;
    if (rule.kind == tonnage::CellKind::Date && editor->cursorPosition() == text.size()) {
      const QString shaped = Latin1(tonnage::ShapeDateAsTyped(FromLatin1(text)));
      if (shaped != text) {
        editor->setText(shaped);
        text = shaped;
      }
    }
    if (rule.kind == tonnage::CellKind::Decimal3) text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool refused = false;
    for (QChar c : text) refused = refused || c.unicode() > 0xFF;
    tonnage::CellCheck check = tonnage::CheckCellInput(rule, FromLatin1(text.trimmed()));
    if (refused) check = {tonnage::CellInput::Invalid, tonnage::CellTakes(rule)};
    const QString reason = check.state == tonnage::CellInput::Invalid ? Latin1(check.reason) : QString();
    editor->setProperty("refusal", reason);
    editor->setStyleSheet(reason.isEmpty() ? QString() : QStringLiteral("background: #ffcdcd;"));
    if (onTyping) onTyping(reason);
  });
  return editor;
}

void CellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  if (auto* line = qobject_cast<QLineEdit*>(editor)) line->setText(index.data(Qt::EditRole).toString());
}

void CellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
  if (auto* line = qobject_cast<QLineEdit*>(editor)) model->setData(index, line->text(), Qt::EditRole);
}

bool CellDelegate::eventFilter(QObject* object, QEvent* event) {
  auto* editor = qobject_cast<QWidget*>(object);
  if (editor && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    QAbstractItemDelegate::EndEditHint hint = QAbstractItemDelegate::NoHint;
    if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        modifiers == Qt::NoModifier)
      hint = QAbstractItemDelegate::EditNextItem;
    else if (key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && modifiers == Qt::ShiftModifier))
      hint = QAbstractItemDelegate::EditPreviousItem;
    if (hint != QAbstractItemDelegate::NoHint) {
      emit commitData(editor);
      emit closeEditor(editor, hint);
      return true;
    }
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

// ---- view -------------------------------------------------------------------

BookGridView::BookGridView(QWidget* parent) : QTableView(parent) {
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                  QAbstractItemView::EditKeyPressed);
  setTabKeyNavigation(true);
  setCornerButtonEnabled(false);
  verticalHeader()->setSectionsClickable(true);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setSectionsClickable(false);
  verticalHeader()->viewport()->installEventFilter(this);
}

void BookGridView::FitColumns() {
  auto* m = qobject_cast<BookGridModel*>(model());
  if (!m) return;
  const QFontMetrics cells = fontMetrics();
  const QFontMetrics titles = horizontalHeader()->fontMetrics();
  const int charWidth = cells.horizontalAdvance(QLatin1Char('0'));
  for (int c = 1; c <= tonnage::kGridColumns; ++c) {
    const tonnage::ColumnRule& rule = m->grid().columns()[c];
    QString widest = QStringLiteral("W");
    if (rule.kind == tonnage::CellKind::Date) widest = QStringLiteral("00/00/0000");
    if (IsNumber(rule.kind)) widest = Latin1(rule.maxText);
    const int width =
        std::max({static_cast<int>(std::ceil(rule.width * charWidth)) + 8,
                  titles.horizontalAdvance(Latin1(rule.title)) + 18, cells.horizontalAdvance(widest) + 14});
    setColumnWidth(c - 1, width);
  }
  verticalHeader()->setMinimumWidth(cells.horizontalAdvance(QStringLiteral("0000")) + 10);
}

void BookGridView::FinishEditing() {
  if (state() != QAbstractItemView::EditingState) return;
  if (QWidget* editor = indexWidget(currentIndex())) {
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

void BookGridView::MoveTo(int row, int column) {
  const QModelIndex target = model()->index(row - 1, column - 1);
  moving_ = true;
  selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
  moving_ = false;
  scrollTo(target);
}

void BookGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (moving_ || !onLeaveCell || !current.isValid() || !previous.isValid() || current == previous) return;
  onLeaveCell(previous.column() + 1, previous.row() + 1, current.column() + 1, current.row() + 1);
}

void BookGridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  if (hint != QAbstractItemDelegate::EditNextItem && hint != QAbstractItemDelegate::EditPreviousItem) {
    QTableView::closeEditor(editor, hint);
    return;
  }
  QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  const QModelIndex target =
      moveCursor(hint == QAbstractItemDelegate::EditNextItem ? MoveNext : MovePrevious, Qt::NoModifier);
  if (!target.isValid()) return;
  selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
  // The cell-leave rule may have kept the cursor or sent it elsewhere; only
  // a cell reached as asked opens its editor.
  if (currentIndex() == target) edit(target);
}

bool BookGridView::SelectedBlock(int& firstRow, int& lastRow, int& firstColumn, int& lastColumn) const {
  const QItemSelection selection = selectionModel()->selection();
  if (selection.size() != 1) {
    const QModelIndex current = currentIndex();
    if (!selection.isEmpty() || !current.isValid()) return false;
    firstRow = lastRow = current.row() + 1;
    firstColumn = lastColumn = current.column() + 1;
    return true;
  }
  const QItemSelectionRange& range = selection.first();
  firstRow = range.top() + 1;
  lastRow = range.bottom() + 1;
  firstColumn = range.left() + 1;
  lastColumn = range.right() + 1;
  return true;
}

bool BookGridView::WholeRows(int& first, int& last) const {
  const QItemSelection selection = selectionModel()->selection();
  if (selection.size() != 1) return false;
  const QItemSelectionRange& range = selection.first();
  if (range.left() != 0 || range.right() != tonnage::kGridColumns - 1) return false;
  first = range.top() + 1;
  last = range.bottom() + 1;
  return true;
}

void BookGridView::SelectRowBlock(int anchor, int current) {
  const int top = std::min(anchor, current), bottom = std::max(anchor, current);
  const QItemSelection rows(model()->index(top, 0), model()->index(bottom, tonnage::kGridColumns - 1));
  selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
}

void BookGridView::keyPressEvent(QKeyEvent* event) {
  if (state() != QAbstractItemView::EditingState) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool plain = modifiers == Qt::NoModifier;
    const bool shift = modifiers == Qt::ShiftModifier;
    const QModelIndex current = currentIndex();
    for (QKeySequence::StandardKey key : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste}) {
      if (event->matches(key) && onClipboardKey) {
        onClipboardKey(key);
        event->accept();
        return;
      }
    }
    // A mark takes Y, N, Space and Delete; any other character is told, not typed.
    if (IsMark(model(), current) && onMarkKey && (plain || shift) && !event->text().isEmpty() &&
        event->text().at(0).isPrint()) {
      onMarkKey(event->text());
      event->accept();
      return;
    }
    if (event->key() == Qt::Key_Delete && plain) {
      if (onDeleteKey) onDeleteKey();
      event->accept();
      return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && plain) {
      const QModelIndex next = moveCursor(QAbstractItemView::MoveNext, Qt::NoModifier);
      if (next.isValid()) selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect);
      event->accept();
      return;
    }
    // Whole rows from the keyboard, as the row headers select them.
    if (event->key() == Qt::Key_Space && shift && current.isValid()) {
      rowAnchor_ = current.row();
      SelectRowBlock(rowAnchor_, rowAnchor_);
      event->accept();
      return;
    }
    int first = 0, last = 0;
    if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && shift && rowAnchor_ >= 0 && current.isValid() &&
        WholeRows(first, last)) {
      const int row = std::clamp(current.row() + (event->key() == Qt::Key_Down ? 1 : -1), 0, tonnage::kGridRows - 1);
      selectionModel()->setCurrentIndex(model()->index(row, current.column()), QItemSelectionModel::NoUpdate);
      SelectRowBlock(rowAnchor_, row);
      event->accept();
      return;
    }
    if ((event->key() == Qt::Key_Menu && plain) || (event->key() == Qt::Key_F10 && shift)) {
      if (onRowsSelected && WholeRows(first, last))
        onRowsSelected(first, last, viewport()->mapToGlobal(visualRect(current).bottomLeft()));
      event->accept();
      return;
    }
    if (event->key() != Qt::Key_Shift) rowAnchor_ = -1;
  }
  QTableView::keyPressEvent(event);
}

void BookGridView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QModelIndex at = indexAt(event->position().toPoint());
  if (IsMark(model(), at) && onMarkKey) {
    if (at != currentIndex()) selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
    onMarkKey(QStringLiteral(" "));
    event->accept();
    return;
  }
  QTableView::mouseDoubleClickEvent(event);
}

bool BookGridView::eventFilter(QObject* object, QEvent* event) {
  if (object == verticalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease) {
    const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
    // After the header has finished the selection.
    QTimer::singleShot(0, this, [this, at] {
      int first = 0, last = 0;
      if (onRowsSelected && WholeRows(first, last)) onRowsSelected(first, last, at);
    });
  }
  return QTableView::eventFilter(object, event);
}

}  // namespace gui
