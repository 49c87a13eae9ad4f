// The process window: what can be done with the open data.
#pragma once

#include <memory>

#include "daily/yield_entries.h"
#include "modal_window.h"

class QLabel;

namespace gui {

class ProcForm : public ModalWindow {
  Q_OBJECT

 public:
  ProcForm(Context& context, QWidget* parent);

  // Closing by any way asks about unsaved data; Yes keeps the window.
  void reject() override;

 private:
  void EditBooks();
  void IndexData();
  void SaveData();
  void Report();
  // Writes the report of the open data; a failure is told over `parent`.
  bool MakeReport(QWidget* parent);
  void DailySummary();
  void ImportTickets();
  void Reconcile();
  bool MayLeave();
  void ShowFileLine();

  QLabel* fileLine_ = nullptr;
  // The yield entries of the open file, kept while it is open.
  tonnage::daily::HeldYieldEntries yieldEntries_;
};

}  // namespace gui
