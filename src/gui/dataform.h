// The data-entry window: one book's tickets in the grid Spread1, with the
// row menu Mnu_Opts opened by selecting whole rows from the row headers.
// Every change of the grid is a step of its undo history, is checked by the
// report's rules at once and is kept in the work folder for recovery.
#pragma once

#include <functional>
#include <map>

#include "entry/book_checks.h"
#include "entry/book_grid.h"
#include "entry/grid_history.h"
#include "entry/row_menu.h"
#include "import/ticket_details.h"
#include "modal_window.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QUndoStack;

namespace gui {

class BookGridModel;
class BookGridView;

class Dataform : public ModalWindow {
  Q_OBJECT

 public:
  // Edits session.currentBook. `rowMenu` lives for the whole run.
  Dataform(const EntryServices& services, tonnage::RowMenuState& rowMenu, QWidget* parent);

  // Every way of closing stores the grid into the book's section file; if
  // that fails the user may keep the window to try again.
  void done(int result) override;

  BookGridView* view() const { return view_; }
  QMenu* rowMenu() const { return menu_; }
  const tonnage::BookGrid& grid() const { return grid_; }
  const tonnage::BookCheck& checks() const { return checks_; }
  QUndoStack* undoStack() const { return undo_; }

  // Puts the cursor on the row of `page`; false (and the status line says
  // so) when the book has no such page.
  bool GoToPage(const QString& page);
  // Puts the cursor on a cell (row 1..200, column 1..9), as the report's
  // viewer does for the ticket it was asked about.
  void GoToCell(int row, int column);

 private:
  friend class GridStep;

  void LeaveCell(int column, int row, int newColumn, int newRow);
  void Edit(int row, int column, const QString& typed);
  void DeleteKey();
  void MarkKey(const QString& key);
  void RowsSelected(int firstRow, int lastRow, QPoint at);
  void Apply(const tonnage::RowOperation& operation);
  QString ClipboardText() const;
  // Ctrl+C, Ctrl+X and Ctrl+V on the selected cells or whole rows.
  void CopyCells(bool cut);
  void PasteCells();

  // Runs `change` on the grid; what it changed becomes one undo step named
  // `name`.
  void Change(const QString& name, const std::function<void()>& change);
  // Undo (forward false) or redo of a step; the cursor goes back to where
  // the step was made.
  void Replay(const tonnage::GridDelta& delta, bool forward, int row, int column);
  // After every change: checks, totals, marks and the kept rows.
  void Changed();
  void ShowStatus(const QString& message = {});
  void ShowTotals();
  // A cell that holds text it cannot take, asked about before closing.
  bool ConfirmFaultyCells();

  tonnage::Session& session_;
  platform::Messages& messages_;
  platform::Clipboard* clipboard_;
  tonnage::RowMenuState& state_;
  tonnage::BookGrid grid_;
  tonnage::BookCheck checks_;
  tonnage::GridOptions options_;
  int book_;
  std::map<long, tonnage::import::TicketDetails> importDetails_;
  // The last recorded change of each ticket of the book, by page number.
  std::map<long, std::string> historyNotes_;
  std::string headerLine_;
  BookGridModel* model_ = nullptr;
  BookGridView* view_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* totals_ = nullptr;
  QLineEdit* goToPage_ = nullptr;
  QUndoStack* undo_ = nullptr;
  QMenu* menu_ = nullptr;
  QAction* insert_ = nullptr;
  QAction* cut_ = nullptr;
  QAction* copy_ = nullptr;
  QAction* paste_ = nullptr;
  QAction* clipInsert_ = nullptr;
  QAction* editPaste_ = nullptr;
};

}  // namespace gui
