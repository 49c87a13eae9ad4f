// The data file: an index line, then each book's header line followed by its
// ticket lines. Reading splits it into section files; writing joins them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/model.h"
#include "data/outcome.h"
#include "io/file_writer.h"
#include "io/line_reader.h"

namespace tonnage {

inline constexpr std::string_view kCurrentFileType = "CST81";
inline constexpr std::string_view kOlderFileType = "BST81";

// 500 books of 200 tickets take about 6 MB and no line of a data file is much
// wider than its 60 columns: far beyond either, the file is refused unread.
inline constexpr std::uint64_t kMaxDataFileBytes = 64ull << 20;
inline constexpr std::size_t kMaxDataLineLength = 4096;

// The index line as written (always the current layout, no line end).
std::string FormatIndexLine(const IndexRecord& index);
// Fields of an upper-cased index line by its file type; fileTypeCode holds
// columns 1-5 whatever they are.
IndexRecord ParseIndexLine(std::string_view line);

// "* t g.gggg comments" (no line end).
std::string FormatBookHeaderLine(const BookHeader& header);
BookHeader ParseBookHeaderLine(std::string_view line);

// Reads a data file one book at a time, with every rule of Open: upper case,
// blank lines before the first book passed over, the limits, and the name a
// book read without comments gets. Holds one book's lines at a time.
class DataFileReader {
 public:
  explicit DataFileReader(const std::string& path);
  ~DataFileReader();
  DataFileReader(const DataFileReader&) = delete;
  DataFileReader& operator=(const DataFileReader&) = delete;

  // The index record; false when the file is refused (see outcome()).
  bool ReadIndex(IndexRecord& index);
  // The next book in file order (numbered 1, 2, ...) with its ticket lines;
  // false at the end of the file or on a refusal (see outcome()).
  bool NextBook(BookHeader& header, std::vector<std::string>& tickets);
  // Books read so far, the one that failed included.
  int bookCount() const { return bookCount_; }
  // Ok, or why the file was refused.
  const Outcome& outcome() const { return outcome_; }

 private:
  bool Fail(Outcome outcome);

  std::unique_ptr<io::FileLineReader> reader_;
  Outcome outcome_;
  std::string line_;
  bool pending_ = false;  // line_ holds the next book's header
  long lineNumber_ = 0;
  int bookCount_ = 0;
};

// The lines of the data file that Open then Save would write (WORK.TMP for
// the report), streamed from the file itself with one book in memory.
class WorkImageSource final : public io::LineSource {
 public:
  explicit WorkImageSource(const std::string& path) : reader_(path) {}
  bool Next(std::string& line) override;
  bool UpperCase() const override { return true; }
  // Ok after the whole file, or why it was refused.
  const Outcome& outcome() const { return reader_.outcome(); }

 private:
  DataFileReader reader_;
  bool started_ = false;
  BookHeader header_;
  std::vector<std::string> tickets_;
  std::size_t nextTicket_ = 0;
};

struct ReadDataFileResult {
  Outcome outcome;
  IndexRecord index;
  BookTable books;
  int bookCount = 0;  // books read, before a failure too
};

// Reads `path`, writing each book's ticket lines (upper-cased, unchanged)
// into `sectionFolder` + SECTnnnn.TMP. On failure, the outcome carries the
// message and title for the user.
ReadDataFileResult ReadDataFile(const std::string& path, const std::string& sectionFolder);

// Writes the index line, then every book in use with its section file's lines.
// Empty data types become "0" in `books` as well. The target is replaced only
// when the whole file was written.
Outcome WriteDataFile(const std::string& path, const IndexRecord& index, BookTable& books,
                      const std::string& sectionFolder, io::WriteMode mode = io::WriteMode::Replace);

}  // namespace tonnage
