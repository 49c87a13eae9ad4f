// Reconcile With E-Tickets: a plant's e-ticket export against one book's
// tickets, the findings filtered by class with their counts, printed or
// saved as PDF or CSV, and per differing ticket "take the e-ticket's
// values" into the book.
#pragma once

#include <array>
#include <string>

#include "import/reconcile.h"
#include "import/ticket_details.h"
#include "import/ticket_import.h"
#include "modal_window.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace gui {

namespace help_id {
inline constexpr int kReconcileForm = 1910;
}  // namespace help_id

class ReconcileForm : public ModalWindow {
  Q_OBJECT

 public:
  ReconcileForm(tonnage::Session& session, platform::Messages& messages, platform::FileChooser& files,
                platform::Printing& printing, platform::Help& help, const std::string& csvPath,
                const std::string& layoutFile, QWidget* parent);

  // Why the export was refused; the window is then not to be shown.
  const std::string& error() const { return error_; }
  const tonnage::import::Reconciliation& reconciliation() const { return result_; }

 private:
  void Refresh();
  void ShowFindings();
  void TakeETicketValues();
  void Print();
  void SavePdf();
  void SaveCsv();
  std::array<bool, tonnage::import::kMatchClasses> Shown() const;
  std::string Title() const;
  int Book() const;

  tonnage::Session& session_;
  platform::Messages& messages_;
  platform::FileChooser& files_;
  platform::Printing& printing_;
  std::string csvPath_;
  tonnage::import::ImportOptions options_;
  std::string error_;
  tonnage::import::CsvTable table_;
  tonnage::import::ImportPreview preview_;
  tonnage::import::Reconciliation result_;
  // The book's tickets and what their own imports told, by Page No.
  std::vector<tonnage::TicketRow> bookRows_;
  std::map<long, tonnage::import::TicketDetails> bookDetails_;
  std::array<QCheckBox*, tonnage::import::kMatchClasses> filters_{};
  std::array<QLabel*, tonnage::import::kMatchClasses> counts_{};
  QComboBox* book_ = nullptr;
  QTableWidget* grid_ = nullptr;
  QPushButton* take_ = nullptr;
};

}  // namespace gui
