// Reads a text file line by line. CR LF, LF and CR alone all end a line, and
// a last line without an end still counts, so files that went through other
// tools read as they look.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "data/outcome.h"

namespace tonnage::io {

// A source of lines without their ends.
class LineSource {
 public:
  virtual ~LineSource() = default;
  // The next line into `line`; false at the end (or after an error).
  virtual bool Next(std::string& line) = 0;
  // True when every line comes in upper case already, so a reader that
  // needs upper case may leave it as it is.
  virtual bool UpperCase() const { return false; }
};

// Bounds for a file that may be anything the user picked: a device, a pipe,
// gigabytes of zeros. Zero means no bound.
struct ReadLimits {
  bool regularFileOnly = false;  // devices, pipes and folders are refused unread
  std::uint64_t maxBytes = 0;    // a bigger file is refused before reading
  std::size_t maxLine = 0;       // a longer line stops the reading
};

// Why a reader with limits stopped.
enum class Refusal { None, NotAFile, TooLarge, LineTooLong };

class FileLineReader final : public LineSource {
 public:
  explicit FileLineReader(std::string path, ReadLimits limits = {});
  ~FileLineReader() override;
  FileLineReader(const FileLineReader&) = delete;
  FileLineReader& operator=(const FileLineReader&) = delete;

  // False when the file could not be opened; see error().
  bool is_open() const { return file_ != nullptr; }
  bool Next(std::string& line) override;
  // Ok, or the reason opening or reading failed.
  Outcome error() const;
  // The system's error number of the failure, 0 when none.
  int error_number() const { return errno_; }
  // Set when a limit stopped the reading (Next returned false early).
  Refusal refusal() const { return refusal_; }
  // Size of the file when opened.
  std::uint64_t size() const { return size_; }
  // Lines returned so far.
  long lineNumber() const { return lines_; }

 private:
  bool Fill();
  void Refuse(Refusal why);

  std::string path_;
  ReadLimits limits_;
  Refusal refusal_ = Refusal::None;
  std::uint64_t size_ = 0;
  std::uint64_t read_ = 0;
  long lines_ = 0;
  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  int errno_ = 0;
};

// Lines of a text held in memory, with the same line-end rules.
class StringLineSource final : public LineSource {
 public:
  explicit StringLineSource(std::string_view text) : text_(text) {}
  bool Next(std::string& line) override;

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// Splits a text into lines with the rules above.
std::vector<std::string> SplitLines(std::string_view text);

// The whole content of a file; IoError when it cannot be read.
struct ReadResult {
  Outcome outcome;
  std::string bytes;
};
ReadResult ReadWholeFile(const std::string& path);

}  // namespace tonnage::io
