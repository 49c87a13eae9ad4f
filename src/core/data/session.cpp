#include "data/session.h"

#include "data/data_file.h"
#include "data/section_file.h"
#include "io/file_writer.h"
#include "io/line_reader.h"
#include "store/history.h"
#include "store/sha256.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace tonnage {

Outcome Session::Start(const std::string& folder, const std::string& tempParent) {
  dataFilePath.clear();
  dataFolder = folder;
  if (Outcome made = work_.Create(tempParent); !made) return made;
  lock_.Take(work_.path());
  return work_.WriteVersionFile();
}

void Session::Cleanup() {
  store_.Close();
  work_.Cleanup();
  lock_.Release();
  ReleaseLocks();
}

void Session::LeaveForRecovery() {
  KeepState();
  ReleaseLocks();
  lock_.Release();
  work_.Forget();
}

void Session::ReleaseLocks() {
  fileLock_.Release();
  preparedLock_.Release();
}

LockAttempt Session::PrepareLock(const std::string& path) {
  preparedLock_.Release();
  if (fileLock_.held() && fileLock_.lockPath() == LockFilePath(path)) return {LockState::Taken, {}, {}};
  return preparedLock_.Take(path);
}

void Session::AdoptLock(const std::string& path) {
  const std::string wanted = LockFilePath(path);
  if (preparedLock_.held() && preparedLock_.lockPath() == wanted) {
    fileLock_ = std::move(preparedLock_);
  } else if (fileLock_.lockPath() != wanted) {
    fileLock_.Release();
  }
  preparedLock_.Release();
}

void Session::ChooseUnits(const std::string& unitSystem) {
  index.unitSystem = unitSystem;
  KeepState();
}

Outcome Session::SaveState() const {
  if (!work_.valid()) return Outcome::Success();
  return io::WriteWholeFile(work_.File(kStateFileName),
                            FormatSessionState({dataFilePath, index, books}), io::WriteMode::Atomic);
}

void Session::KeepState() {
  if (Outcome kept = SaveState(); !kept) stateProblem_ = std::move(kept);
}

Outcome Session::TakeStateProblem() { return std::exchange(stateProblem_, Outcome::Success()); }

Outcome Session::Recover(const std::string& folder) {
  std::string from = folder;
  if (!from.empty() && from.back() != '/') from += '/';
  io::ReadResult text = io::ReadWholeFile(from + kStateFileName);
  if (!text.outcome) return text.outcome;
  SessionState state;
  if (!ParseSessionState(text.bytes, state))
    return Outcome::Failure(OutcomeKind::BadLine, "Recover Data",
                            "The saved state in " + from + " cannot be read.");
  ReleaseLocks();
  work_.DeleteSectionFiles();
  for (int book = 1; book <= kMaxBooks; ++book) {
    const std::string name = SectionFileName(book);
    // Same parent folder, so a rename moves the tickets without copying.
    if (std::rename((from + name).c_str(), work_.File(name).c_str()) != 0 && errno != ENOENT)
      return Outcome::Io("Cannot move " + from + name + ": " + std::strerror(errno));
  }
  dataFilePath = std::move(state.dataFilePath);
  index = std::move(state.index);
  books = std::move(state.books);
  ClearBookRows(rows);
  currentBook = 0;
  dataSaved = false;
  Discard(from);
  return SaveState();
}

void Session::Discard(const std::string& folder) {
  WorkFolder old;
  old.Adopt(folder);
  old.Cleanup();
}

void Session::ResetFileData() {
  dataSaved = false;
  index = IndexRecord{};
  for (BookHeader& book : books) book = BookHeader{};
}

void Session::New() {
  ReleaseLocks();
  store_.Close();
  dataFilePath = kNoName;
  ResetFileData();
  work_.DeleteSectionFiles();
  dataSaved = false;
  KeepState();
}

Outcome Session::Open(const std::string& path) {
  store_.Close();
  openNotice.clear();
  dataFilePath = path;
  ResetFileData();
  currentBook = 0;
  ReadDataFileResult read = ReadDataFile(path, work_.path());
  if (!read.outcome) {
    // Nothing of a refused file is kept, nor its lock.
    work_.DeleteSectionFiles();
    ReleaseLocks();
    KeepState();
    return read.outcome;
  }
  // The reader rewrote the section files of the books it read; the rest are
  // an earlier file's. (Rewriting in place is much cheaper than deleting and
  // creating 500 files on ext4.)
  work_.DeleteSectionFiles(read.bookCount + 1);
  index = std::move(read.index);
  books = std::move(read.books);
  currentBook = read.bookCount;
  dataSaved = false;
  AdoptLock(path);
  // The file is open even if the recovery state could not be kept, or its
  // history: the user is told, and a save then says why it cannot be made.
  KeepState();
  if (keepHistory) OpenHistory(path);
  return Outcome::Success();
}

void Session::OpenHistory(const std::string& path) {
  const store::StoreOpen opened = store_.Open(path, program);
  if (!opened.outcome) {
    openNotice = "The history of this file cannot be kept: " + opened.outcome.message;
    return;
  }
  openNotice = opened.notice;
  const store::OpenRecording recorded = store::RecordOnOpen(store_, path);
  const std::string told = recorded.outcome ? recorded.notice
                                            : "The history of this file cannot be written: " + recorded.outcome.message;
  if (!told.empty()) openNotice += (openNotice.empty() ? "" : "\n\n") + told;
}

// The file about to be replaced is kept as NAME.bak, then the new one is
// written to a temporary file and synced; the history's transaction commits
// before that file replaces the old one. A kill between the two leaves the
// history one save ahead, which the next open records as a difference; a
// replace that fails takes the history's entry back.
Outcome Session::WriteAndRecord(const std::string& path) {
  // Devices and pipes get the bytes and no history.
  struct stat st {};
  if (!keepHistory || (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))) {
    // A backup that cannot be made does not stop the save: the save itself
    // reports whatever keeps it from the folder.
    (void)io::KeepBackup(path);
    return WriteDataFile(path, index, books, work_.path());
  }
  const store::DataStateRead now = store::CollectDataState(index, books, work_.path());
  if (!now.outcome) return now.outcome;
  store::ProjectStore other;
  store::ProjectStore* target = &store_;
  bool started = false;
  if (!store_.isOpen() || store_.path() != store::StorePathFor(path)) {
    const store::StoreOpen opened = other.Open(path, program);
    if (!opened.outcome) return Outcome::Io("The history cannot be written: " + opened.outcome.message);
    started = opened.created;
    target = &other;
  }
  const std::string bytes = store::DataFileBytes(now.state);
  (void)io::KeepBackup(path);  // as above
  store::Recording recording;
  io::FileWriter writer(path);
  writer.Write(bytes);
  writer.BeforeReplace([&] {
    recording = store::RecordState(*target, now.state, store::Sha256Hex(bytes), "save", saveReason);
    return recording.outcome;
  });
  Outcome written = writer.Commit();
  if (!written) {
    // Should taking it back fail too, the next open finds the history a save
    // ahead of the file and records the difference.
    if (recording.outcome && recording.seq > 0) (void)store::UndoRecording(*target, recording);
    if (started) {
      const std::string history = other.path();
      other.Close();
      io::RemoveQuietly(history);
      io::RemoveQuietly(history + "-journal");
    }
    return written;
  }
  for (BookHeader& header : books)
    if (header.InUse() && header.dataType.empty()) header.dataType = "0";
  saveReason.clear();
  if (target == &other) store_ = std::move(other);
  return written;
}

Outcome Session::Save() {
  Outcome written = WriteAndRecord(dataFilePath);
  if (written) {
    dataSaved = true;
    KeepState();  // an empty data type became "0"
  }
  return written;
}

Outcome Session::SaveAs(const std::string& path) {
  // The name changes only once the file is really there.
  Outcome written = WriteAndRecord(path);
  if (written) {
    dataFilePath = path;
    dataSaved = true;
    AdoptLock(path);
    KeepState();
  } else {
    preparedLock_.Release();
  }
  return written;
}

Outcome Session::WriteWorkFile() {
  spoolPath = work_.File(kSpoolFileName);
  return WriteDataFile(work_.File(kWorkFileName), index, books, work_.path(), io::WriteMode::Atomic);
}

void Session::RememberDataFolder(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash != std::string::npos) dataFolder = path.substr(0, slash);
}

std::string Session::SectionPath(int book) const { return work_.File(SectionFileName(book)); }

}  // namespace tonnage
