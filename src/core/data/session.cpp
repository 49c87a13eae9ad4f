#include "data/session.h"

#include "data/data_file.h"
#include "data/section_file.h"
#include "io/file_writer.h"
#include "io/line_reader.h"

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
  dataFilePath = kNoName;
  ResetFileData();
  work_.DeleteSectionFiles();
  dataSaved = false;
  KeepState();
}

Outcome Session::Open(const std::string& path) {
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
  // The file is open even if the recovery state could not be kept.
  KeepState();
  return Outcome::Success();
}

namespace {

// Keeps the file about to be replaced as NAME.bak, then writes the new one.
// A backup that cannot be made does not stop the save: the save itself
// reports whatever keeps it from the folder.
Outcome SaveDataFile(const std::string& path, const IndexRecord& index, BookTable& books,
                     const std::string& sectionFolder) {
  (void)io::KeepBackup(path);  // see above: the save says what matters
  return WriteDataFile(path, index, books, sectionFolder);
}

}  // namespace

Outcome Session::Save() {
  Outcome written = SaveDataFile(dataFilePath, index, books, work_.path());
  if (written) {
    dataSaved = true;
    KeepState();  // an empty data type became "0"
  }
  return written;
}

Outcome Session::SaveAs(const std::string& path) {
  // The name changes only once the file is really there.
  Outcome written = SaveDataFile(path, index, books, work_.path());
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
