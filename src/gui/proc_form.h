// The process window: what can be done with the open data.
#pragma once

#include <memory>

#include "daily/stored_yield_entries.h"
#include "import/import_undo.h"
#include "modal_window.h"

class QLabel;
class QPushButton;

namespace gui {

class ProcForm : public ModalWindow {
  Q_OBJECT

 public:
  // `services` are handed on to the windows it opens.
  ProcForm(const Services& services, QWidget* parent);

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
  void UndoImport();
  bool MayLeave();
  void ShowFileLine();

  const Services& services_;
  tonnage::Session& session_;
  QLabel* fileLine_ = nullptr;
  QPushButton* undoImport_ = nullptr;
  // The last import, until the next change or save.
  tonnage::import::ImportUndo importUndo_;
  // The yield entries of the open file, kept in its store.
  tonnage::daily::StoredYieldEntries yieldEntries_;
};

}  // namespace gui
