// Book Setup (BookForm): a book's comments, gravity and type.
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

class BookForm : public ModalWindow {
  Q_OBJECT

 public:
  BookForm(const EntryServices& services, tonnage::RowMenuState& rowMenu, QWidget* parent);
  int ChosenTypeIndex() const { return fields_.ChosenTypeIndex; }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  void Continue();

  // For the grid it opens.
  EntryServices services_;
  tonnage::Session& session_;
  tonnage::RowMenuState& rowMenu_;
  tonnage::BookSetupFields fields_;
  QLineEdit* comments_ = nullptr;
  QLineEdit* gravity_ = nullptr;
  QGroupBox* frame_ = nullptr;
  QRadioButton* types_[3] = {};
  QPushButton* continue_ = nullptr;
};

}  // namespace gui
