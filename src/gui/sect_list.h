// The list of books (SectList).
#pragma once

#include "entry/book_list.h"
#include "entry/row_menu.h"
#include "modal_window.h"

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace gui {

class SectList : public ModalWindow {
  Q_OBJECT

 public:
  SectList(const EntryServices& services, tonnage::RowMenuState& rowMenu, QWidget* parent);
  QListWidget* list() const { return list_; }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void ListBooks();
  int SelectedIndex() const;
  // Enter or a double-click: the grid of a book whose type is fixed, else
  // Book Setup; `setup` always Book Setup.
  void Choose(bool setup = false);
  void DeleteBook();
  void SelectAfter(int slot);

  // For Book Setup and the grid it opens.
  EntryServices services_;
  tonnage::Session& session_;
  tonnage::RowMenuState& rowMenu_;
  QListWidget* list_ = nullptr;
};

}  // namespace gui
