// The window a save opens when it would change or remove tickets that
// appeared in a report run: one line saying why, which the history keeps.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "modal_window.h"
#include "store/project_store.h"

class QLabel;
class QLineEdit;

namespace gui {

class ReasonForm : public ModalWindow {
  Q_OBJECT

 public:
  ReasonForm(platform::Help& help, const std::vector<tonnage::store::Change>& changes, const std::string& reason,
             QWidget* parent);
  std::string reason() const;

  void accept() override;

 private:
  QLineEdit* reason_ = nullptr;
  QLabel* why_ = nullptr;
};

// Before a save to `path`: asks for the reason when the save needs one
// (session.saveReason then holds it). False when the user cancelled.
bool SettleSaveReason(const FileServices& services, QWidget* parent, const std::string& path);

}  // namespace gui
