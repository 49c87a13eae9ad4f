// The list of books (SectList), Book Setup (BookForm) and the index record
// window (Indexform), and the hooks that open them from the process window.
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
  SectList(Context& context, tonnage::RowMenuState& rowMenu, QWidget* parent);
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

  tonnage::RowMenuState& rowMenu_;
  QListWidget* list_ = nullptr;
};

class BookForm : public ModalWindow {
  Q_OBJECT

 public:
  BookForm(Context& context, tonnage::RowMenuState& rowMenu, QWidget* parent);
  int ChosenTypeIndex() const { return fields_.ChosenTypeIndex; }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  void Continue();

  tonnage::RowMenuState& rowMenu_;
  tonnage::BookSetupFields fields_;
  QLineEdit* comments_ = nullptr;
  QLineEdit* gravity_ = nullptr;
  QGroupBox* frame_ = nullptr;
  QRadioButton* types_[3] = {};
  QPushButton* continue_ = nullptr;
};

class Indexform : public ModalWindow {
  Q_OBJECT

 public:
  Indexform(Context& context, QWidget* parent);
  // Closing by any means stores the four fields.
  void done(int result) override;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  QLineEdit* refNo_ = nullptr;
  QLineEdit* date_ = nullptr;
  QLineEdit* projectNo_ = nullptr;
  QLineEdit* engineer_ = nullptr;
  QPushButton* ok_ = nullptr;
};

// Edit Books and Index Data of the process window. The row menu's state is
// made here once, so it lasts as long as the hooks: the whole run.
void InstallEntryHooks(Hooks& hooks);

}  // namespace gui
