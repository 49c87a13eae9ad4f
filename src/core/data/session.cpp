#include "data/session.h"

#include "data/data_file.h"
#include "data/grid_journal.h"
#include "data/section_file.h"
#include "io/file_writer.h"
#include "io/line_reader.h"
#include "store/history.h"
#include "store/report_runs.h"
#include "store/sha256.h"
#include "store/state_diff.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

namespace tonnage {

namespace {

// The path as it reads from any folder: a later run, started elsewhere,
// recovers and locks the same file.
std::string AbsolutePath(const std::string& path) {
  std::error_code failed;
  const std::filesystem::path absolute = std::filesystem::absolute(path, failed);
  return failed ? path : absolute.lexically_normal().string();
}

}  // namespace

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

LockAttempt Session::PrepareLock(const std::string& given) {
  const std::string path = AbsolutePath(given);
  preparedLock_.Release();
  if (fileLock_.held() && fileLock_.lockPath() == LockFilePath(path)) return {LockState::Taken, {}, {}};
  return preparedLock_.Take(path);
}

void Session::AdoptLock(const std::string& path) {
  const std::string wanted = LockFilePath(AbsolutePath(path));
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

Outcome Session::SetIndexRecord(const IndexRecord& record) {
  index = record;
  return SaveState();
}

Outcome Session::SetBookHeader(int book, const BookHeader& header) {
  Book(book) = header;
  return SaveState();
}

Outcome Session::WriteBookTickets(int book, const BookRows& tickets) {
  if (Outcome written = WriteSectionFile(SectionPath(book), tickets, index.unitSystem, Book(book).dataType); !written)
    return written;
  dataSaved = false;
  KeepState();
  return Outcome::Success();
}

Outcome Session::SaveState() const {
  if (!work_.valid()) return Outcome::Success();
  return io::WriteWholeFile(work_.File(kStateFileName), FormatSessionState({dataFilePath, index, books}),
                            io::WriteMode::Atomic);
}

void Session::KeepState() {
  if (Outcome kept = SaveState(); !kept) stateProblem_ = std::move(kept);
}

Outcome Session::TakeStateProblem() { return std::exchange(stateProblem_, Outcome::Success()); }

std::optional<RecoveryOffer> Session::FindRecoveryOffer() {
  const std::string parent = work_.parent();
  RemoveIdleWorkFolders(parent);
  const std::vector<std::string> abandoned = FindAbandonedWorkFolders(parent);
  if (abandoned.empty()) return std::nullopt;
  RecoveryOffer offer;
  offer.folder = abandoned.front();
  SessionState state;
  ParseSessionState(io::ReadWholeFile(offer.folder + kStateFileName).bytes, state);
  offer.dataFilePath = std::move(state.dataFilePath);
  // A book's tickets, stored when its grid closed, can be newer than the state file.
  offer.changed = LastChanged(offer.folder);
  return offer;
}

RecoveredLock Session::LockRecoveredFile() {
  RecoveredLock result;
  result.path = dataFilePath;
  result.attempt.state = LockState::Taken;
  if (dataFilePath == kNoName) return result;
  result.attempt = PrepareLock(dataFilePath);
  if (result.attempt.state == LockState::HeldElsewhere) {
    dataFilePath = kNoName;
    result.keptAsNoName = true;
    KeepState();
  }
  AdoptLock(dataFilePath);
  return result;
}

Outcome Session::Recover(const std::string& folder) {
  std::string from = folder;
  if (!from.empty() && from.back() != '/') from += '/';
  io::ReadResult text = io::ReadWholeFile(from + kStateFileName);
  if (!text.outcome) return text.outcome;
  SessionState state;
  if (!ParseSessionState(text.bytes, state))
    return Outcome::Failure(OutcomeKind::BadLine, "Recover Data", "The saved state in " + from + " cannot be read.");
  // Rows of a grid that was open when the run ended join their book.
  ApplyGridJournals(from, state.index.unitSystem, state.books);
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
  savedImage_.reset();  // brought back, not yet in any file
  if (dataFilePath != kNoName) RememberDataFolder(dataFilePath);
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
  pendingReported_.clear();
  dataFilePath = kNoName;
  ResetFileData();
  work_.DeleteSectionFiles();
  dataSaved = false;
  savedImage_.reset();
  KeepState();
}

Outcome Session::Open(const std::string& given) {
  const std::string path = AbsolutePath(given);
  store_.Close();
  pendingReported_.clear();
  openNotice.clear();
  dataFilePath = path;
  ResetFileData();
  currentBook = 0;
  ReadDataFileResult read = ReadDataFile(path, work_.path());
  if (!read.outcome) {
    // Nothing of a refused file is kept, nor its lock.
    savedImage_.reset();
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
  MarkSaved();
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
  const std::string told =
      recorded.outcome ? recorded.notice : "The history of this file cannot be written: " + recorded.outcome.message;
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
    // What waits for the next save goes where the data are saved.
    for (auto& write : store_.TakeQueued()) other.QueueForNextSave(std::move(write));
  }
  const std::string bytes = store::DataFileBytes(now.state);
  (void)io::KeepBackup(path);  // as above
  store::Recording recording;
  io::FileWriter writer(path);
  writer.Write(bytes);
  writer.BeforeReplace([&] {
    recording = store::RecordState(*target, now.state, store::Sha256Hex(bytes), "save", saveReason);
    if (!recording.outcome) return recording.outcome;
    // Tickets a report showed before their book was first saved.
    return store::CoverPendingTickets(*target, pendingReported_, recording.changes);
  });
  Outcome written = writer.Commit();
  if (!written) {
    // Should taking it back fail too, the next open finds the history a save
    // ahead of the file and records the difference.
    if (recording.outcome && recording.seq > 0) (void)store::UndoRecording(*target, recording);
    if (target == &other)
      for (auto& write : other.TakeQueued()) store_.QueueForNextSave(std::move(write));
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
  pendingReported_.clear();
  if (target == &other) store_ = std::move(other);
  return written;
}

Outcome Session::Save() {
  Outcome written = WriteAndRecord(dataFilePath);
  if (written) {
    dataSaved = true;
    MarkSaved();
    RememberDataFolder(dataFilePath);
    KeepState();  // an empty data type became "0"
  }
  return written;
}

Outcome Session::SaveAs(const std::string& given) {
  const std::string path = AbsolutePath(given);
  // The name changes only once the file is really there.
  Outcome written = WriteAndRecord(path);
  if (written) {
    dataFilePath = path;
    dataSaved = true;
    MarkSaved();
    RememberDataFolder(path);
    AdoptLock(path);
    KeepState();
  } else {
    preparedLock_.Release();
  }
  return written;
}

Outcome Session::RecordReportRun() {
  const store::DataStateRead now = store::CollectDataState(index, books, work_.path());
  if (!now.outcome) return now.outcome;
  if (!keepHistory) return Outcome::Success();
  if (!store_.isOpen()) {
    // A file not yet saved (or whose history cannot be kept): its next save
    // covers what the report showed.
    pendingReported_ = store::TicketsOf(now.state);
    return Outcome::Success();
  }
  const store::RecordedState recorded = store::LoadRecordedState(store_);
  if (!recorded.outcome) return recorded.outcome;
  const store::ReportRecording run =
      store::RecordReportRun(store_, now.state, store::DiffStates(recorded.state, now.state));
  if (!run.outcome) return run.outcome;
  for (const auto& [book, pages] : run.pending) pendingReported_[book].insert(pages.begin(), pages.end());
  return Outcome::Success();
}

Session::ReasonCheck Session::ChangesNeedingReason(const std::string& given) {
  ReasonCheck out;
  if (!keepHistory) return out;
  const std::string path = AbsolutePath(given);
  store::ProjectStore other;
  store::ProjectStore* history = &store_;
  if (!store_.isOpen() || store_.path() != store::StorePathFor(path)) {
    // Save As over a file with a history of its own: its reports count.
    if (!other.OpenToRead(path)) return out;
    history = &other;
  }
  store::ReportedRead reported = store::LoadReportedTickets(*history);
  if (!reported.outcome || reported.tickets.empty()) {
    out.outcome = reported.outcome;
    return out;
  }
  const store::RecordedState recorded = store::LoadRecordedState(*history);
  const store::DataStateRead now = store::CollectDataState(index, books, work_.path());
  if (!recorded.outcome || !now.outcome) {
    out.outcome = recorded.outcome ? now.outcome : recorded.outcome;
    return out;
  }
  out.needReason = store::ChangesNeedingReason(store::DiffStates(recorded.state, now.state), reported.tickets);
  return out;
}

Outcome Session::WriteWorkFile() {
  spoolPath = work_.File(kSpoolFileName);
  return WriteDataFile(work_.File(kWorkFileName), index, books, work_.path(), io::WriteMode::Atomic);
}

namespace {

// Eight bytes a step: a digest of a full file costs about a millisecond.
void AddToDigest(std::uint64_t& digest, std::string_view bytes) {
  constexpr std::uint64_t kMix = 0x9E3779B97F4A7C15ull;
  const auto mix = [&digest](std::uint64_t word) {
    digest = (digest ^ word) * kMix;
    digest ^= digest >> 29;
  };
  std::size_t at = 0;
  for (; at + 8 <= bytes.size(); at += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + at, 8);
    mix(word);
  }
  std::uint64_t tail = 0;
  std::memcpy(&tail, bytes.data() + at, bytes.size() - at);
  mix(tail);
  mix(bytes.size());
}

}  // namespace

std::uint64_t Session::ImageDigest() const {
  // The index line, then each book in use: its header line as a save writes
  // it and its section file's bytes.
  std::uint64_t digest = 0;
  AddToDigest(digest, FormatIndexLine(index));
  for (int book = 1; book <= kMaxBooks; ++book) {
    BookHeader header = Book(book);
    if (!header.InUse()) continue;
    if (header.dataType.empty()) header.dataType = "0";
    AddToDigest(digest, FormatBookHeaderLine(header));
    AddToDigest(digest, io::ReadWholeFile(SectionPath(book)).bytes);
  }
  return digest;
}

bool Session::Modified() const { return !savedImage_ || *savedImage_ != ImageDigest(); }

void Session::RememberDataFolder(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash != std::string::npos) dataFolder = path.substr(0, slash);
}

std::string Session::SectionPath(int book) const { return work_.File(SectionFileName(book)); }

}  // namespace tonnage
