// The save window: Save to the open file's name or Save As another.
#pragma once

#include "modal_window.h"

class QLabel;
class QPushButton;

namespace gui {

class EnddataForm : public ModalWindow {
  Q_OBJECT

 public:
  EnddataForm(Context& context, QWidget* parent);

 private:
  void Save();
  void SaveAs();
  void ReportSaveError(const std::string& path, const tonnage::Outcome& outcome);

  QLabel* path_ = nullptr;
  QLabel* savedMark_ = nullptr;
  QLabel* savedAsMark_ = nullptr;
};

}  // namespace gui
