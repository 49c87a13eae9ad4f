// The data file: an index line, then each book's header line followed by its
// ticket lines. Reading splits it into section files; writing joins them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/model.h"
#include "data/outcome.h"
#include "io/file_writer.h"

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
                      const std::string& sectionFolder,
                      io::WriteMode mode = io::WriteMode::Replace);

}  // namespace tonnage
