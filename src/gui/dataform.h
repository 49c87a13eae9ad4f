// The data-entry window: one book's tickets in the grid Spread1, with the
// row menu Mnu_Opts opened by selecting whole rows from the row headers.
#pragma once

#include "entry/book_grid.h"
#include "entry/row_menu.h"
#include "modal_window.h"

class QAction;
class QLabel;
class QMenu;

namespace gui {

class BookGridModel;
class BookGridView;

class Dataform : public ModalWindow {
  Q_OBJECT

 public:
  // Edits session.currentBook. `rowMenu` lives for the whole run.
  Dataform(Context& context, tonnage::RowMenuState& rowMenu, QWidget* parent);

  // Every way of closing stores the grid into the book's section file; if
  // that fails the user may keep the window to try again.
  void done(int result) override;

  BookGridView* view() const { return view_; }
  QMenu* rowMenu() const { return menu_; }
  const tonnage::BookGrid& grid() const { return grid_; }

 private:
  void LeaveCell(int column, int row, int newColumn, int newRow);
  void DeleteKey();
  void RowsSelected(int firstRow, int lastRow, QPoint at);
  void Apply(const tonnage::RowOperation& operation);
  QString ClipboardText() const;

  tonnage::RowMenuState& state_;
  tonnage::BookGrid grid_;
  int book_;
  BookGridModel* model_ = nullptr;
  BookGridView* view_ = nullptr;
  QMenu* menu_ = nullptr;
  QAction* insert_ = nullptr;
  QAction* cut_ = nullptr;
  QAction* copy_ = nullptr;
  QAction* paste_ = nullptr;
  QAction* clipInsert_ = nullptr;
};

}  // namespace gui
