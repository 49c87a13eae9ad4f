// The book grid on screen: a table model over the core grid that marks the
// cells and rows the core finds fault with, editors that keep whatever is
// typed and say at once what the cell takes, and a view that runs the
// grid's rules when a cell is left, Delete is pressed or whole rows are
// selected.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QKeySequence>
#include <QTableView>
#include <functional>

#include "entry/book_checks.h"
#include "entry/book_grid.h"

namespace gui {

class BookGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit BookGridModel(tonnage::BookGrid& grid, QObject* parent = nullptr)
      : QAbstractTableModel(parent), grid_(grid) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The core grid changed under the model: every cell and title is shown anew.
  void Refresh();
  tonnage::BookGrid& grid() { return grid_; }
  const tonnage::BookGrid& grid() const { return grid_; }
  // The checks of the rows, shown as marks in the row headers.
  void SetChecks(const tonnage::BookCheck* checks) { checks_ = checks; }
  // Why the cell's text is not a value it takes; empty when it is.
  QString CellFault(int row, int column) const;

  // A committed edit (1-based row and column, the text as typed); without
  // it the text goes into the grid as it is.
  std::function<void(int row, int column, const QString& text)> onEdit;
  // More about a row (1-based) for its header's tooltip; empty for none.
  std::function<QString(int row)> rowNote;

 private:
  tonnage::BookGrid& grid_;
  const tonnage::BookCheck* checks_ = nullptr;
};

class CellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  CellDelegate(BookGridModel& model, QObject* parent) : QStyledItemDelegate(parent), model_(model) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

  // While a cell is typed: what it takes when the text cannot become a
  // value of the cell, else empty.
  std::function<void(const QString& reason)> onTyping;

 protected:
  // Tab and Enter end a cell whatever it holds, so an unfinished date
  // reaches the cell-leave rule and its message; Enter acts as Tab, so
  // tickets are typed without the mouse.
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  BookGridModel& model_;
};

class BookGridView : public QTableView {
  Q_OBJECT

 public:
  explicit BookGridView(QWidget* parent = nullptr);

  // Column widths from the columns' character widths, never narrower than
  // their titles or their widest values.
  void FitColumns();
  // Commits and closes an open editor (before the window stores the grid).
  void FinishEditing();
  // Makes (row, column), 1-based, the current cell without running the
  // cell-leave rule.
  void MoveTo(int row, int column);

  // Leaving a cell: from (column, row) to (newColumn, newRow), 1-based.
  // The handler may move the cursor again (MoveTo), back or on.
  std::function<void(int column, int row, int newColumn, int newRow)> onLeaveCell;
  std::function<void()> onDeleteKey;
  // Ctrl+C, Ctrl+X or Ctrl+V pressed in the grid (not in a cell's editor).
  std::function<void(QKeySequence::StandardKey key)> onClipboardKey;
  // The selection as one block (1-based, inclusive); false when there is
  // none or it is not one block.
  bool SelectedBlock(int& firstRow, int& lastRow, int& firstColumn, int& lastColumn) const;
  // A key typed on a mark cell (the cell is not edited in place).
  std::function<void(const QString& key)> onMarkKey;
  // A block of whole rows first..last was selected from the row headers (or
  // with Shift+Space, Shift+Up/Down and then the menu key or Shift+F10);
  // `at` is where the row menu opens, in screen coordinates.
  std::function<void(int firstRow, int lastRow, QPoint at)> onRowsSelected;

 protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  // The selection's whole rows (1-based); false when it is not one block of
  // whole rows.
  bool WholeRows(int& first, int& last) const;
  void SelectRowBlock(int anchor, int current);

  bool moving_ = false;
  int rowAnchor_ = -1;  // 0-based row where a keyboard row selection began
};

}  // namespace gui
