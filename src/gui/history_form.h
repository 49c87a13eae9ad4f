// The History window: the recorded changes of the open file, newest entry
// first, filtered by book, page, dates and text; printed, or saved as PDF
// or CSV. It lists exactly what `tonnage history` lists.
#pragma once

#include <vector>

#include "modal_window.h"
#include "store/history_listing.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class QTreeWidget;

namespace gui {

namespace help_id {
inline constexpr int kHistoryForm = 1920;
}  // namespace help_id

class HistoryForm : public ModalWindow {
  Q_OBJECT

 public:
  HistoryForm(tonnage::Session& session, platform::Messages& messages, platform::FileChooser& files,
              platform::Printing& printing, platform::Help& help, QWidget* parent);

  tonnage::store::HistoryFilter filter() const;
  const std::vector<tonnage::store::HistoryRow>& rows() const { return rows_; }

 private:
  void Refresh();
  void ShowChanges();
  void Print();
  void SavePdf();
  void SaveCsv();
  std::string Title() const;
  void Tell(const QString& title, const tonnage::Outcome& failed);

  QSpinBox* book_ = nullptr;
  QLineEdit* page_ = nullptr;
  QDateEdit* from_ = nullptr;
  QDateEdit* to_ = nullptr;
  QLineEdit* text_ = nullptr;
  QTreeWidget* entries_ = nullptr;
  QTableWidget* changes_ = nullptr;
  QLabel* count_ = nullptr;
  tonnage::Session& session_;
  platform::Messages& messages_;
  platform::FileChooser& files_;
  platform::Printing& printing_;
  std::vector<tonnage::store::HistoryRow> rows_;
};

}  // namespace gui
