#include "data/data_file.h"

#include <cerrno>
#include <memory>

#include "data/line_layout.h"
#include "data/section_file.h"
#include "io/line_reader.h"
#include "text/fixed_width.h"

namespace tonnage {
namespace {

constexpr const char* kInputErrorTitle = "File Input Error";
constexpr const char* kCriticalTitle = "Critical Error";

namespace index_line = line_layout::index_line;
namespace book_header_line = line_layout::book_header_line;

std::string Trimmed(std::string_view line, line_layout::Span span) {
  return std::string(TrimBlanks(line_layout::Take(line, span)));
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
                                  std::to_string(kMaxDataLineLength) + " characters - Select Another File!");
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
  line += PadText(index.refNo, index_line::kRefNo.width(), PadSide::Right);
  line += ' ';
  line += PadText(index.projectNo, index_line::kProjectNo.width(), PadSide::Right);
  line += ' ';
  line += PadText(index.date, index_line::kDate.width(), PadSide::Right);
  line += ' ';
  line += index.unitSystem;
  line += ' ';
  line += index.engineer;
  return line;
}

IndexRecord ParseIndexLine(std::string_view line) {
  IndexRecord index;
  index.fileTypeCode = std::string(line_layout::Take(line, index_line::kFileType));
  index.refNo = Trimmed(line, index_line::kRefNo);
  index.projectNo = Trimmed(line, index_line::kProjectNo);
  index.date = std::string(line_layout::Take(line, index_line::kDate));
  if (index.fileTypeCode == kOlderFileType) {
    index.engineer = Trimmed(line, index_line::kOlderEngineer);
    index.unitSystem = Trimmed(line, index_line::kOlderUnitSystem);
  } else {
    index.unitSystem = Trimmed(line, index_line::kUnitSystem);
    index.engineer = Trimmed(line, index_line::kEngineer);
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
    if (text.size() <= book_header_line::kGravity.width()) break;
  }
  line += PadText(text, book_header_line::kGravity.width(), PadSide::Left);
  line += ' ';
  line += header.comments;
  return line;
}

BookHeader ParseBookHeaderLine(std::string_view line) {
  BookHeader header;
  header.dataType = Trimmed(line, book_header_line::kDataType);
  if (header.dataType.empty()) header.dataType = "0";
  header.specificGravity = Trimmed(line, book_header_line::kGravity);
  header.comments = Trimmed(line, book_header_line::kComments);
  return header;
}

DataFileReader::DataFileReader(const std::string& path)
    : reader_(std::make_unique<io::FileLineReader>(path, io::ReadLimits{true, kMaxDataFileBytes, kMaxDataLineLength})) {
}

DataFileReader::~DataFileReader() = default;

bool DataFileReader::Fail(Outcome outcome) {
  outcome_ = std::move(outcome);
  return false;
}

bool DataFileReader::ReadIndex(IndexRecord& index) {
  if (!reader_->is_open()) return Fail(Refused(*reader_));
  line_.clear();
  // An empty file reads as one empty first line.
  if (!reader_->Next(line_) && reader_->refusal() != io::Refusal::None) return Fail(Refused(*reader_));
  lineNumber_ = 1;
  ToUpperInPlace(line_);
  index = ParseIndexLine(line_);
  if (index.fileTypeCode != kCurrentFileType && index.fileTypeCode != kOlderFileType) {
    index = IndexRecord{};
    return Fail(Outcome::Failure(OutcomeKind::InvalidFile, kInputErrorTitle, "Invalid File - Select Another File!"));
  }
  // Up to the first book header, only blank lines may stand: nothing could
  // keep another line, and the next save would drop it.
  while (reader_->Next(line_)) {
    ++lineNumber_;
    ToUpperInPlace(line_);
    if (!line_.empty() && line_[0] == '*') {
      pending_ = true;
      return true;
    }
    if (IsBlankLine(line_)) continue;
    return Fail(Outcome::Failure(
        OutcomeKind::BadLine, kInputErrorTitle,
        "Line " + std::to_string(lineNumber_) + " comes before the first book header - Select Another File!"));
  }
  return outcome_ = Refused(*reader_), outcome_.ok();
}

bool DataFileReader::NextBook(BookHeader& header, std::vector<std::string>& tickets) {
  if (!pending_ || !outcome_.ok()) {
    tickets.clear();
    return false;
  }
  // The strings of the last book are filled again, so their room is reused.
  std::size_t count = 0;
  pending_ = false;
  if (bookCount_ >= kMaxBooks)
    return Fail(
        Outcome::Failure(OutcomeKind::TooManyBooks, kCriticalTitle, "More than 500 books - Program aborted!", true));
  ++bookCount_;
  header = ParseBookHeaderLine(line_);
  while (reader_->Next(line_)) {
    ++lineNumber_;
    ToUpperInPlace(line_);
    if (!line_.empty() && line_[0] == '*') {
      pending_ = true;
      break;
    }
    if (count >= static_cast<std::size_t>(kMaxRows))
      return Fail(Outcome::Failure(OutcomeKind::TooManyPages, kCriticalTitle,
                                   "More than 200 pages in a book - Program aborted!", true));
    // Swapped, not copied: the line's room goes back to the reader.
    if (count < tickets.size())
      tickets[count].swap(line_);
    else
      tickets.push_back(std::move(line_));
    ++count;
  }
  tickets.resize(count);
  if (!pending_) {
    if (Outcome read = Refused(*reader_); !read) return Fail(std::move(read));
  }
  // A book read without comments would be dropped, tickets and all, by the
  // next save; it gets the name the grid gives such a book.
  if (header.comments.empty() && count > 0) header.comments = "BOOK NUMBER  " + std::to_string(bookCount_);
  return true;
}

bool WorkImageSource::Next(std::string& line) {
  if (!started_) {
    started_ = true;
    IndexRecord index;
    if (!reader_.ReadIndex(index)) return false;
    line = FormatIndexLine(index);
    return true;
  }
  if (nextTicket_ < tickets_.size()) {
    line.swap(tickets_[nextTicket_++]);  // each ticket is handed on once
    return true;
  }
  // Books not in use are left out, as a save leaves them out.
  while (reader_.NextBook(header_, tickets_)) {
    nextTicket_ = 0;
    if (!header_.InUse()) continue;
    line = FormatBookHeaderLine(header_);
    return true;
  }
  return false;
}

ReadDataFileResult ReadDataFile(const std::string& path, const std::string& sectionFolder) {
  ReadDataFileResult result;
  DataFileReader reader(path);
  auto fail = [&] {
    result.bookCount = reader.bookCount();
    result.outcome = reader.outcome();
    return result;
  };
  if (!reader.ReadIndex(result.index)) return fail();
  BookHeader header;
  std::vector<std::string> tickets;
  while (reader.NextBook(header, tickets)) {
    const int book = reader.bookCount();
    result.books[static_cast<std::size_t>(book - 1)] = header;
    // Fresh files in the private folder, removed again if the read fails:
    // nothing to replace, so they are written in place.
    io::FileWriter section(sectionFolder + SectionFileName(book), io::WriteMode::Direct);
    for (const std::string& ticket : tickets) section.WriteLine(ticket);
    if (Outcome written = section.Commit(); !written) {
      result.bookCount = book;
      result.outcome = std::move(written);
      return result;
    }
  }
  if (!reader.outcome().ok()) return fail();
  result.bookCount = reader.bookCount();
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
