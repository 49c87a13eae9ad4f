// The choice of units for a new data file.
#pragma once

#include "modal_window.h"

namespace gui {

class EngMet_Form : public ModalWindow {
  Q_OBJECT

 public:
  EngMet_Form(Context& context, QWidget* parent);

 private:
  void Choose(const char* unitSystem);
};

}  // namespace gui
