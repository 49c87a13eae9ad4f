// The program-wide state of one run, shared by every window: the open data,
// the work folder and the flags of the file commands.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "data/file_lock.h"
#include "data/model.h"
#include "data/outcome.h"
#include "data/recovery.h"
#include "data/work_folder.h"
#include "store/project_store.h"
#include "store/report_runs.h"

namespace tonnage {

// The newest work folder a killed run left, for the next start to offer back.
struct RecoveryOffer {
  std::string folder;
  std::string dataFilePath;  // kNoName for data never saved
  std::time_t changed = 0;   // when the newest of what would come back changed
};

// What became of the recovered file's lock.
struct RecoveredLock {
  std::string path;           // the file the data came from
  LockAttempt attempt;        // Taken when there is no file to lock
  bool keptAsNoName = false;  // another copy has the file open: the data are NoName now
};

inline constexpr const char* kNoName = "NoName";
inline constexpr const char* kDataFileFilter = "Default (*.K81)|*.K81|Any File (*.*)|*.*";

class Session {
 public:
  Session() = default;

  // Makes the work folder and writes VERSION.TMP. `dataFolder` is where the
  // file dialogs first open.
  Outcome Start(const std::string& dataFolder, const std::string& tempParent = {});
  // Removes every work file and the folder.
  void Cleanup();
  // The end of a run that must not lose what it holds (the session is
  // ending under it): the work folder stays, as a killed run's would, for
  // the next start to offer back; the locks are let go.
  void LeaveForRecovery();

  // New: path "NoName", everything cleared (unit system too), sections deleted.
  void New();
  // Sets the unit system chosen for a new file ("E" or "M").
  void ChooseUnits(const std::string& unitSystem);
  // Open: sections deleted, the file read. The path is kept absolute (the
  // recovery state and the lock name the file from any folder). On a refusal the data stay
  // cleared and the outcome says why (critical: the program must end).
  // With keepHistory, the file's history is opened (or started) and what
  // differs from its last recorded state is recorded; openNotice then says
  // what the user must hear of it.
  Outcome Open(const std::string& path);
  // Save to dataFilePath / Save As to `path`. DataSaved becomes 1 only on
  // success; on failure the old file, its history, memory and sections are
  // unchanged. The file replaced is kept as NAME.bak first. With
  // keepHistory, the save is recorded in the target's history (saveReason
  // as its reason) in the same step: a history that cannot be written fails
  // the save.
  Outcome Save();
  Outcome SaveAs(const std::string& path);

  // Before Open or Save As of `path`: takes its lock, to be kept once that
  // command succeeds (the lock already held for the same file counts as
  // taken). When another copy holds it the caller asks the user; Open or
  // Save As then goes on without a lock, or does not happen.
  LockAttempt PrepareLock(const std::string& path);
  // Keeps the prepared lock when it is `path`'s; else lets go of any lock
  // that is not `path`'s. Open and Save As call it on success.
  void AdoptLock(const std::string& path);
  // True while this run holds the lock of the open data file.
  bool holdsLock() const { return fileLock_.held(); }
  // Writes WORK.TMP for the report; spoolPath becomes PRINT.SPL.
  Outcome WriteWorkFile();
  // After a report run over the open data: its tickets are on record as
  // reported (tickets of a file or book not yet saved from its next save on).
  Outcome RecordReportRun();
  // What a save to `path` would record that changes or removes a ticket that
  // appeared in a report run: such a save needs a reason.
  struct ReasonCheck {
    Outcome outcome;
    std::vector<store::Change> needReason;
  };
  ReasonCheck ChangesNeedingReason(const std::string& path);

  // The edits of the open data. Each keeps the state file a later run
  // recovers from, so a crash right after it loses nothing: the index record
  // and a book header are that state, so their edits return why it could not
  // be written; the tickets' edit returns why the tickets could not be
  // written, a state problem after it is kept for TakeStateProblem.
  Outcome SetIndexRecord(const IndexRecord& record);
  Outcome SetBookHeader(int book, const BookHeader& header);
  // `rows` become the tickets of `book` (its section file); the data differ
  // from the file from now on. Nothing changes when the tickets cannot be written.
  Outcome WriteBookTickets(int book, const BookRows& rows);

  // Rewrites the state file that a later run recovers from. The edits and
  // the file commands call it themselves.
  Outcome SaveState() const;
  // Why the file commands above (New, ChooseUnits, Open, Save, Save As,
  // LeaveForRecovery) could not rewrite the state file, if they could not:
  // their own work is done, but a crash now would bring back older data.
  // Handed out once, for the window to tell the user.
  Outcome TakeStateProblem();
  // SaveState for a command whose own work is done: a failure is kept for
  // TakeStateProblem instead of being returned.
  void KeepState();
  // Brings back the open data of a killed run from its work folder (see
  // FindAbandonedWorkFolders): index record, books, path and every book's
  // tickets as of its last grid close; DataSaved 0. The old folder is removed.
  Outcome Recover(const std::string& folder);
  // Removes the work folder of a killed run.
  static void Discard(const std::string& folder);
  // The newest work folder of a killed run beside this run's own, if any;
  // the folders of runs that died before a file was open are removed first,
  // as there is nothing in them worth asking about.
  std::optional<RecoveryOffer> FindRecoveryOffer();
  // After Recover: takes the recovered file's lock over from the dead run.
  // When another live copy has opened the file since, the recovered data
  // must not go over its work unless saved under a name of their own: they
  // become NoName (a state file that cannot be rewritten then is kept for
  // TakeStateProblem). A lock that cannot be had at all is gone without.
  RecoveredLock LockRecoveredFile();

  // True while the open data differ from the file as last opened or saved,
  // and always for data never saved (a new or recovered file).
  bool Modified() const;

  // Folder part of `path` becomes dataFolder (if it has one).
  void RememberDataFolder(const std::string& path);

  // Clears index record, book table and DataSaved.
  void ResetFileData();

  // Path of a book's section file.
  std::string SectionPath(int book) const;
  BookHeader& Book(int book) { return books[static_cast<std::size_t>(book - 1)]; }
  const BookHeader& Book(int book) const { return books[static_cast<std::size_t>(book - 1)]; }

  const WorkFolder& workFolder() const { return work_; }
  // The history store of the open data file (closed when there is none).
  store::ProjectStore& store() { return store_; }

  std::string dataFilePath;
  std::string dataFolder;
  IndexRecord index;
  BookTable books;
  BookRows rows;
  int currentBook = 0;
  bool dataSaved = false;
  std::string spoolPath;

  // The program or command that writes, as the history records it.
  std::string program = "quarrendale-tonnage";
  // Off for commands that only read a file: Open then leaves its history alone.
  bool keepHistory = true;
  // The reason the next save records; a successful save empties it.
  std::string saveReason;
  // What Open found that the user must be told once (a damaged history set
  // aside, changes made outside the program); the caller empties it.
  std::string openNotice;

 private:
  void ReleaseLocks();
  // A digest of the bytes a save would write now.
  std::uint64_t ImageDigest() const;
  void MarkSaved() { savedImage_ = ImageDigest(); }
  void OpenHistory(const std::string& path);
  Outcome WriteAndRecord(const std::string& path);

  WorkFolder work_;
  FolderLock lock_;
  DataFileLock fileLock_;
  DataFileLock preparedLock_;
  std::optional<std::uint64_t> savedImage_;
  store::ProjectStore store_;
  // Reported tickets of books the history does not hold yet, by their
  // numbers in the open data.
  store::ReportedTickets pendingReported_;
  Outcome stateProblem_;
};

}  // namespace tonnage
