// The index record window (Indexform).
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

class Indexform : public ModalWindow {
  Q_OBJECT

 public:
  // A new file not yet saved shows today's date (the clock's).
  Indexform(tonnage::Session& session, platform::Messages& messages, const platform::Clock& clock, platform::Help& help,
            QWidget* parent);
  // Closing by any means stores the four fields.
  void done(int result) override;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  tonnage::Session& session_;
  platform::Messages& messages_;
  QLineEdit* refNo_ = nullptr;
  QLineEdit* date_ = nullptr;
  QLineEdit* projectNo_ = nullptr;
  QLineEdit* engineer_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace gui
