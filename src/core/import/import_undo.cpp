#include "import/import_undo.h"

#include "data/session.h"
#include "io/file_writer.h"
#include "io/line_reader.h"

namespace tonnage::import {

ImportUndo PrepareImportUndo(const Session& session, const ImportPreview& preview) {
  ImportUndo undo;
  for (const PlannedBook& b : preview.books) {
    if (b.tickets.empty()) continue;
    ImportUndo::Section s{b.slot, false, {}};
    io::ReadResult read = io::ReadWholeFile(session.SectionPath(b.slot));
    s.existed = read.outcome.ok();
    s.bytes = std::move(read.bytes);
    undo.sections.push_back(std::move(s));
  }
  undo.books = session.books;
  undo.dataSaved = session.dataSaved;
  undo.saveReason = session.saveReason;
  return undo;
}

void FinishImportUndo(ImportUndo& undo, const Session& session, std::shared_ptr<PendingImport> pending) {
  store::DataStateRead now = store::CollectDataState(session.index, session.books, session.workFolder().path());
  undo.ready = now.outcome.ok();
  undo.after = std::move(now.state);
  undo.pending = std::move(pending);
}

bool CanUndoImport(const Session& session, const ImportUndo& undo) {
  if (!undo.ready || session.dataSaved) return false;
  const store::DataStateRead now = store::CollectDataState(session.index, session.books, session.workFolder().path());
  return now.outcome.ok() && now.state == undo.after;
}

Outcome UndoImport(Session& session, ImportUndo& undo) {
  if (!CanUndoImport(session, undo))
    return Outcome::Failure(OutcomeKind::BadLine, "Undo Import", "The data changed since the import.");
  for (const ImportUndo::Section& s : undo.sections) {
    const std::string path = session.SectionPath(s.slot);
    if (!s.existed) {
      io::RemoveQuietly(path);
    } else if (Outcome r = io::WriteWholeFile(path, s.bytes, io::WriteMode::Atomic); !r) {
      return r;
    }
  }
  session.books = undo.books;
  session.dataSaved = undo.dataSaved;
  session.saveReason = undo.saveReason;
  if (undo.pending) undo.pending->withdrawn = true;
  undo.ready = false;
  session.KeepState();
  return Outcome::Success();
}

}  // namespace tonnage::import
