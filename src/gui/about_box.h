// Name, version and date of the program.
#pragma once

#include "modal_window.h"

namespace gui {

class AboutBox : public ModalWindow {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* parent);
};

}  // namespace gui
