// Daily Summary: a calendar with the dates that have tickets, the day's
// summary with its charts, the yield entries, and saving as PDF, XLSX, CSV.
#pragma once

#include <QWidget>
#include <string>

#include "daily/daily_summary.h"
#include "daily/yield_entries.h"
#include "modal_window.h"

class QCalendarWidget;
class QDateEdit;
class QLabel;
class QTabWidget;

namespace gui {

// One of the summary's charts, painted to the widget's size.
class DailyChartView : public QWidget {
 public:
  DailyChartView(const tonnage::daily::DailySummary& summary, int which, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const tonnage::daily::DailySummary& summary_;
  int which_;
};

class DailyForm : public ModalWindow {
  Q_OBJECT

 public:
  DailyForm(const FileServices& services, tonnage::daily::YieldEntryStore& yield, QWidget* parent);

  const tonnage::daily::DailySummary& summary() const { return summary_; }
  // Shows the days from `from` to `to` (MM/DD/YYYY).
  void ShowDays(const QDate& from, const QDate& to);

 private:
  void Refresh();
  void Save(const char* title, const char* filter, const char* extension);
  void EditYield();

  FileServices services_;
  tonnage::Session& session_;
  tonnage::daily::YieldEntryStore& yield_;
  std::string image_;  // the data as the report reads them
  bool loaded_ = false;
  tonnage::daily::DailySummary summary_;
  QCalendarWidget* calendar_ = nullptr;
  QDateEdit* through_ = nullptr;
  QLabel* status_ = nullptr;
  QTabWidget* tabs_ = nullptr;
};

}  // namespace gui
