// Yield Entries: what was paved with each book on the day, so the summary
// can set the tons placed against the area.
#pragma once

#include "daily/daily_summary.h"
#include "daily/yield_entries.h"
#include "modal_window.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace gui {

class YieldForm : public ModalWindow {
  Q_OBJECT

 public:
  // Entries for the first day of `summary`, for the books that have loads.
  YieldForm(platform::Messages& messages, platform::Help& help, tonnage::daily::YieldEntryStore& store,
            const tonnage::daily::DailySummary& summary, QWidget* parent);

 private:
  tonnage::daily::YieldEntry Typed() const;
  void LoadBook();
  void ShowFigures();
  void Store();
  void Remove();

  platform::Messages& messages_;
  tonnage::daily::YieldEntryStore& store_;
  const tonnage::daily::DailySummary& summary_;
  std::string dateKey_;
  QComboBox* book_ = nullptr;
  QLineEdit *from_ = nullptr, *to_ = nullptr, *length_ = nullptr, *width_ = nullptr;
  QLineEdit *thickness_ = nullptr, *rate_ = nullptr, *gmm_ = nullptr;
  QRadioButton *byRate_ = nullptr, *byGmm_ = nullptr;
  QLabel* figures_ = nullptr;
};

}  // namespace gui
