// Undo Import: an import taken back as one step, the books exactly as they
// were before it, for as long as nothing else changed the open data and it
// has not been saved.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "data/model.h"
#include "data/outcome.h"
#include "import/ticket_details.h"
#include "import/ticket_import.h"
#include "store/data_state.h"

namespace tonnage {
class Session;
}

namespace tonnage::import {

struct ImportUndo {
  struct Section {
    int slot = 0;
    bool existed = false;
    std::string bytes;  // the section file before the import
  };
  std::vector<Section> sections;
  BookTable books;
  bool dataSaved = false;
  std::string saveReason;
  store::DataState after;  // the open data as the import left them
  std::shared_ptr<PendingImport> pending;
  bool ready = false;
};

// Before ApplyImport: what the books the preview writes into hold now.
ImportUndo PrepareImportUndo(const Session& session, const ImportPreview& preview);
// After ApplyImport (and QueueImportDetails): the state that allows undoing.
void FinishImportUndo(ImportUndo& undo, const Session& session, std::shared_ptr<PendingImport> pending);
// True while the open data are as the import left them and unsaved.
bool CanUndoImport(const Session& session, const ImportUndo& undo);
// Puts the section files, the book table and the save's reason back and
// keeps the import's details out of the store. The undo is spent.
Outcome UndoImport(Session& session, ImportUndo& undo);

}  // namespace tonnage::import
