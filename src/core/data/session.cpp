#include "data/session.h"

#include "data/data_file.h"
#include "data/section_file.h"

namespace tonnage {

Outcome Session::Start(const std::string& folder, const std::string& tempParent) {
  dataFilePath.clear();
  dataFolder = folder;
  if (Outcome made = work_.Create(tempParent); !made) return made;
  return work_.WriteVersionFile();
}

void Session::Cleanup() { work_.Cleanup(); }

void Session::ResetFileData() {
  dataSaved = false;
  index = IndexRecord{};
  for (BookHeader& book : books) book = BookHeader{};
}

void Session::New() {
  dataFilePath = kNoName;
  ResetFileData();
  work_.DeleteSectionFiles();
  dataSaved = false;
}

Outcome Session::Open(const std::string& path) {
  dataFilePath = path;
  ResetFileData();
  currentBook = 0;
  ReadDataFileResult read = ReadDataFile(path, work_.path());
  if (!read.outcome) {
    // Nothing of a refused file is kept.
    work_.DeleteSectionFiles();
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
  return Outcome::Success();
}

Outcome Session::Save() {
  Outcome written = WriteDataFile(dataFilePath, index, books, work_.path());
  if (written) dataSaved = true;
  return written;
}

Outcome Session::SaveAs(const std::string& path) {
  // The name changes only once the file is really there.
  Outcome written = WriteDataFile(path, index, books, work_.path());
  if (written) {
    dataFilePath = path;
    dataSaved = true;
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
