// Reads a text file line by line. CR LF, LF and CR alone all end a line, and
// a last line without an end still counts, so files that went through other
// tools read as they look.
#pragma once

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

class FileLineReader final : public LineSource {
 public:
  explicit FileLineReader(std::string path);
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

 private:
  bool Fill();

  std::string path_;
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
