// Import Tickets: a plant's e-ticket export into the books. Shows the column
// mapping (remembered per header layout), asks the unit where the header
// names none, previews every row with its status, and changes nothing until
// Import, which adds the rows in one step.
#pragma once

#include <string>

#include "import/import_undo.h"
#include "import/layout_memory.h"
#include "import/ticket_import.h"
#include "modal_window.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace gui {

namespace help_id {
inline constexpr int kImportForm = 1900;
}  // namespace help_id

class ImportForm : public ModalWindow {
  Q_OBJECT

 public:
  // `csvPath` is read at once; when it is refused, `error()` says why and
  // the window is not to be shown.
  ImportForm(tonnage::Session& session, platform::Messages& messages, platform::Help& help, const std::string& csvPath,
             const std::string& layoutFile, QWidget* parent);

  const std::string& error() const { return error_; }
  const tonnage::import::ImportPreview& preview() const { return preview_; }
  // After Import: what Undo Import needs to take it back.
  tonnage::import::ImportUndo& undo() { return undo_; }

 private:
  void Refresh();
  void Import();
  void FillPreview();

  tonnage::Session& session_;
  platform::Messages& messages_;
  std::string csvPath_;
  std::string layoutFile_;
  std::string error_;
  tonnage::import::CsvTable table_;
  tonnage::import::ImportOptions options_;
  tonnage::import::ImportPreview preview_;
  std::array<QComboBox*, tonnage::import::kTicketColumnCount> maps_{};
  QComboBox* units_ = nullptr;
  QLabel* unitQuestion_ = nullptr;
  QRadioButton* oneBook_ = nullptr;
  QComboBox* book_ = nullptr;
  QTableWidget* grid_ = nullptr;
  QLabel* counts_ = nullptr;
  QPushButton* import_ = nullptr;
  tonnage::import::ImportUndo undo_;
};

// The file the confirmed mappings are kept in, in the user's config folder.
std::string LayoutMemoryPath();

}  // namespace gui
