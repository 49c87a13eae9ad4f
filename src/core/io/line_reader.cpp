#include "io/line_reader.h"

#include <cerrno>
#include <cstring>

namespace tonnage::io {
namespace {

constexpr std::size_t kReadChunk = 1 << 16;

// The first CR or LF in [first, last), or last. memchr runs many bytes a
// step; a CR before the LF is found by a second look at the short stretch.
const char* LineEndIn(const char* first, const char* last) {
  const auto* lf = static_cast<const char*>(std::memchr(first, '\n', static_cast<std::size_t>(last - first)));
  const char* end = lf ? lf : last;
  const auto* cr = static_cast<const char*>(std::memchr(first, '\r', static_cast<std::size_t>(end - first)));
  return cr ? cr : end;
}

// Takes one line from `text` at `pos`; false when nothing is left.
bool NextIn(std::string_view text, std::size_t& pos, std::string& line) {
  if (pos >= text.size()) return false;
  std::size_t end = static_cast<std::size_t>(LineEndIn(text.data() + pos, text.data() + text.size()) - text.data());
  line.assign(text.data() + pos, end - pos);
  if (end < text.size()) {
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    ++end;
  }
  pos = end;
  return true;
}

}  // namespace

FileLineReader::FileLineReader(std::string path) : path_(std::move(path)) {
  file_ = std::fopen(path_.c_str(), "rb");
  if (!file_) errno_ = errno;
  buffer_.resize(kReadChunk);
}

FileLineReader::~FileLineReader() {
  if (file_) std::fclose(file_);
}

bool FileLineReader::Fill() {
  if (eof_ || !file_) return false;
  const std::size_t n = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  if (n < buffer_.size()) {
    if (std::ferror(file_)) errno_ = errno ? errno : EIO;
    eof_ = true;
  }
  pos_ = 0;
  end_ = n;
  return n > 0;
}

bool FileLineReader::Next(std::string& line) {
  if (!file_ || errno_) return false;
  line.clear();
  bool any = false;
  for (;;) {
    if (pos_ >= end_ && !Fill()) return any && !errno_;
    any = true;
    const char* start = buffer_.data() + pos_;
    const char* stop = buffer_.data() + end_;
    const char* p = LineEndIn(start, stop);
    line.append(start, static_cast<std::size_t>(p - start));
    pos_ = static_cast<std::size_t>(p - buffer_.data());
    if (p == stop) continue;
    const bool cr = *p == '\r';
    ++pos_;
    if (cr) {
      // A CR LF pair may straddle two chunks.
      if (pos_ >= end_) Fill();
      if (pos_ < end_ && buffer_[pos_] == '\n') ++pos_;
    }
    return true;
  }
}

Outcome FileLineReader::error() const {
  if (!file_) return Outcome::Io("Cannot open " + path_ + ": " + std::strerror(errno_));
  if (errno_) return Outcome::Io("Cannot read " + path_ + ": " + std::strerror(errno_));
  return Outcome::Success();
}

bool StringLineSource::Next(std::string& line) { return NextIn(text_, pos_, line); }

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  std::string line;
  while (NextIn(text, pos, line)) lines.push_back(line);
  return lines;
}

ReadResult ReadWholeFile(const std::string& path) {
  ReadResult result;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    result.outcome = Outcome::Io("Cannot open " + path + ": " + std::strerror(errno));
    return result;
  }
  char chunk[kReadChunk];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) result.bytes.append(chunk, n);
  if (std::ferror(f)) result.outcome = Outcome::Io("Cannot read " + path + ": " + std::strerror(errno ? errno : EIO));
  std::fclose(f);
  return result;
}

}  // namespace tonnage::io
