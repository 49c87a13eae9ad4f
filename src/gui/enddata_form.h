// The save window: Save to the open file's name or Save As another.
#pragma once

#include "modal_window.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace gui {

// The two saves, shared by the save window and the process window. Each
// tells the user what went wrong; true when the file was written.
bool SaveToOpenFile(const FileServices& services, QWidget* parent);
// Asks for the name first; false also when the user cancelled.
bool SaveUnderNewName(const FileServices& services, QWidget* parent);
// Save, or Save As for a file without a name yet.
bool SaveOpenData(const FileServices& services, QWidget* parent);

class EnddataForm : public ModalWindow {
  Q_OBJECT

 public:
  EnddataForm(const FileServices& services, QWidget* parent);

 private:
  void Save();
  void SaveAs();
  void TakeReason();

  FileServices services_;
  tonnage::Session& session_;
  QLabel* path_ = nullptr;
  QLineEdit* reason_ = nullptr;
  QPushButton* save_ = nullptr;
  QLabel* savedMark_ = nullptr;
  QLabel* savedAsMark_ = nullptr;
};

}  // namespace gui
