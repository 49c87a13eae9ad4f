#include "data/data_file.h"

#include <cerrno>
#include <memory>

#include "data/section_file.h"
#include "io/line_reader.h"
#include "text/fixed_width.h"

namespace tonnage {
namespace {

constexpr const char* kInputErrorTitle = "File Input Error";
constexpr const char* kCriticalTitle = "Critical Error";

std::string Trimmed(std::string_view line, std::size_t first, std::size_t last) {
  return std::string(TrimBlanks(Columns(line, first, last)));
}

// What the user is told of a file the reader would not take in: a device,
// a pipe, something far too big, a line no data file has.
Outcome Refused(const io::FileLineReader& reader) {
  switch (reader.refusal()) {
    case io::Refusal::NotAFile:
      return Outcome::Failure(OutcomeKind::InvalidFile, kInputErrorTitle,
                              "Not a file but a device, pipe or folder - Select Another File!");
    case io::Refusal::TooLarge:
      // (A file that grew past the bound while it was read was smaller at first.)
      return Outcome::Failure(
          OutcomeKind::InvalidFile, kInputErrorTitle,
          "The file is " +
              (reader.size() > kMaxDataFileBytes ? std::to_string(reader.size() >> 20)
                                                 : "more than " + std::to_string(kMaxDataFileBytes >> 20)) +
              " MB, far too large for a data file - Select Another File!");
    case io::Refusal::LineTooLong:
      return Outcome::Failure(OutcomeKind::BadLine, kInputErrorTitle,
                              "Line " + std::to_string(reader.lineNumber()) + " is longer than " +
                                  std::to_string(kMaxDataLineLength) +
                                  " characters - Select Another File!");
    case io::Refusal::None:
      break;
  }
  return reader.error();
}

bool IsBlankLine(std::string_view line) {
  for (char c : line)
    if (c != ' ' && c != '\t') return false;
  return true;
}

}  // namespace

std::string FormatIndexLine(const IndexRecord& index) {
  std::string line(kCurrentFileType);
  line += ' ';
  line += PadText(index.refNo, 7, PadSide::Right);
  line += ' ';
  line += PadText(index.projectNo, 11, PadSide::Right);
  line += ' ';
  line += PadText(index.date, 10, PadSide::Right);
  line += ' ';
  line += index.unitSystem;
  line += ' ';
  line += index.engineer;
  return line;
}

IndexRecord ParseIndexLine(std::string_view line) {
  IndexRecord index;
  index.fileTypeCode = std::string(Columns(line, 1, 5));
  index.refNo = Trimmed(line, 7, 13);
  index.projectNo = Trimmed(line, 15, 25);
  index.date = std::string(Columns(line, 27, 36));
  if (index.fileTypeCode == kOlderFileType) {
    index.engineer = Trimmed(line, 38, 50);
    index.unitSystem = Trimmed(line, 52, 52);
  } else {
    index.unitSystem = Trimmed(line, 38, 38);
    index.engineer = Trimmed(line, 40, 65);
  }
  if (index.unitSystem.empty()) index.unitSystem = "E";
  return index;
}

std::string FormatBookHeaderLine(const BookHeader& header) {
  std::string line = "* ";
  line += header.dataType;
  line += ' ';
  // Below 10 this is "0.0000". A bigger value gives up decimals rather than
  // push into the comments' columns, where each save would cost the comments
  // a character; the reader takes six characters either way.
  const double gravity = ParseLeadingNumber(header.specificGravity);
  std::string text;
  for (const char* mask : {"0.0000", "0.000", "0.00", "0.0", "0"}) {
    text = FormatMask(gravity, mask);
    if (text.size() <= 6) break;
  }
  line += PadText(text, 6, PadSide::Left);
  line += ' ';
  line += header.comments;
  return line;
}

BookHeader ParseBookHeaderLine(std::string_view line) {
  BookHeader header;
  header.dataType = Trimmed(line, 3, 3);
  if (header.dataType.empty()) header.dataType = "0";
  header.specificGravity = Trimmed(line, 5, 10);
  header.comments = Trimmed(line, 12, 46);
  return header;
}

ReadDataFileResult ReadDataFile(const std::string& path, const std::string& sectionFolder) {
  ReadDataFileResult result;
  io::FileLineReader reader(path, {true, kMaxDataFileBytes, kMaxDataLineLength});
  if (!reader.is_open()) {
    result.outcome = Refused(reader);
    return result;
  }
  std::string line;
  // An empty file reads as one empty first line.
  if (!reader.Next(line) && reader.refusal() != io::Refusal::None) {
    result.outcome = Refused(reader);
    return result;
  }
  ToUpperInPlace(line);
  result.index = ParseIndexLine(line);
  if (result.index.fileTypeCode != kCurrentFileType && result.index.fileTypeCode != kOlderFileType) {
    result.index = IndexRecord{};
    result.outcome = Outcome::Failure(OutcomeKind::InvalidFile, kInputErrorTitle,
                                      "Invalid File - Select Another File!");
    return result;
  }

  std::unique_ptr<io::FileWriter> section;
  int pages = 0;
  long lineNumber = 1;
  // A book read without comments would be dropped, tickets and all, by the
  // next save; it gets the name the grid gives such a book.
  auto closeBook = [&]() -> Outcome {
    if (result.bookCount == 0) return Outcome::Success();
    BookHeader& header = result.books[static_cast<std::size_t>(result.bookCount - 1)];
    if (header.comments.empty() && pages > 0)
      header.comments = "BOOK NUMBER  " + std::to_string(result.bookCount);
    Outcome written = section ? section->Commit() : Outcome::Success();
    section.reset();
    return written;
  };
  auto fail = [&](Outcome outcome) {
    section.reset();
    result.outcome = std::move(outcome);
    return result;
  };

  while (reader.Next(line)) {
    ++lineNumber;
    ToUpperInPlace(line);
    if (!line.empty() && line[0] == '*') {
      if (Outcome closed = closeBook(); !closed) return fail(closed);
      if (result.bookCount >= kMaxBooks)
        return fail(Outcome::Failure(OutcomeKind::TooManyBooks, kCriticalTitle,
                                     "More than 500 books - Program aborted!", true));
      ++result.bookCount;
      result.books[static_cast<std::size_t>(result.bookCount - 1)] = ParseBookHeaderLine(line);
      pages = 0;
      // Fresh files in the private folder, removed again if the read fails:
      // nothing to replace, so they are written in place.
      section = std::make_unique<io::FileWriter>(sectionFolder + SectionFileName(result.bookCount),
                                                 io::WriteMode::Direct);
      continue;
    }
    if (result.bookCount == 0) {
      // Nothing could keep a line that belongs to no book; blank ones are harmless.
      if (IsBlankLine(line)) continue;
      return fail(Outcome::Failure(OutcomeKind::BadLine, kInputErrorTitle,
                                   "Line " + std::to_string(lineNumber) +
                                       " comes before the first book header - Select Another File!"));
    }
    if (++pages > kMaxRows)
      return fail(Outcome::Failure(OutcomeKind::TooManyPages, kCriticalTitle,
                                   "More than 200 pages in a book - Program aborted!", true));
    section->WriteLine(line);
  }
  if (reader.refusal() != io::Refusal::None) return fail(Refused(reader));
  if (Outcome read = reader.error(); !read) return fail(read);
  if (Outcome closed = closeBook(); !closed) return fail(closed);
  result.outcome = Outcome::Success();
  return result;
}

Outcome WriteDataFile(const std::string& path, const IndexRecord& index, BookTable& books,
                      const std::string& sectionFolder, io::WriteMode mode) {
  io::FileWriter writer(path, mode);
  writer.WriteLine(FormatIndexLine(index));
  std::string line;
  for (int book = 1; book <= kMaxBooks && !writer.failed(); ++book) {
    BookHeader& header = books[static_cast<std::size_t>(book - 1)];
    if (!header.InUse()) continue;
    if (header.dataType.empty()) header.dataType = "0";
    writer.WriteLine(FormatBookHeaderLine(header));
    // A book in use without a section file is a book without tickets.
    const std::string sectionPath = sectionFolder + SectionFileName(book);
    io::FileLineReader section(sectionPath);
    if (!section.is_open()) {
      if (section.error_number() == ENOENT) continue;
      return section.error();
    }
    while (section.Next(line)) writer.WriteLine(line);
    if (Outcome read = section.error(); !read) return read;
  }
  return writer.Commit();
}

}  // namespace tonnage
