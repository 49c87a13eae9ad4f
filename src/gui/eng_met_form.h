// The choice of units for a new data file.
#pragma once

#include "modal_window.h"

namespace gui {

class EngMet_Form : public ModalWindow {
  Q_OBJECT

 public:
  EngMet_Form(tonnage::Session& session, platform::Messages& messages, QWidget* parent);

 private:
  void Choose(const char* unitSystem);

  tonnage::Session& session_;
  platform::Messages& messages_;
};

}  // namespace gui
