#include "io/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

FileLineReader::FileLineReader(std::string path, ReadLimits limits) : path_(std::move(path)), limits_(limits) {
  // Without O_NONBLOCK, opening a pipe nobody writes to would wait for ever.
  const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | (limits_.regularFileOnly ? O_NONBLOCK : 0));
  if (fd < 0) {
    errno_ = errno;
    return;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    errno_ = errno;
    ::close(fd);
    return;
  }
  size_ = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
  if (limits_.regularFileOnly && !S_ISREG(st.st_mode)) {
    ::close(fd);
    refusal_ = Refusal::NotAFile;
    return;
  }
  if (limits_.maxBytes && size_ > limits_.maxBytes) {
    ::close(fd);
    refusal_ = Refusal::TooLarge;
    return;
  }
  if (limits_.regularFileOnly) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  file_ = ::fdopen(fd, "rb");
  if (!file_) {
    errno_ = errno;
    ::close(fd);
    return;
  }
  buffer_.resize(kReadChunk);
}

void FileLineReader::Refuse(Refusal why) {
  refusal_ = why;
  eof_ = true;
  pos_ = end_ = 0;
}

FileLineReader::~FileLineReader() {
  if (file_) std::fclose(file_);
}

bool FileLineReader::Fill() {
  if (eof_ || !file_) return false;
  const std::size_t n = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  read_ += n;
  // A file that grows while it is read stops at the bound all the same.
  if (limits_.maxBytes && read_ > limits_.maxBytes) {
    Refuse(Refusal::TooLarge);
    return false;
  }
  if (n < buffer_.size()) {
    if (std::ferror(file_)) errno_ = errno ? errno : EIO;
    eof_ = true;
  }
  pos_ = 0;
  end_ = n;
  return n > 0;
}

bool FileLineReader::Next(std::string& line) {
  if (!file_ || errno_ || refusal_ != Refusal::None) return false;
  line.clear();
  bool any = false;
  for (;;) {
    if (pos_ >= end_ && !Fill()) {
      if (!any || errno_ || refusal_ != Refusal::None) return false;
      ++lines_;
      return true;
    }
    any = true;
    const char* start = buffer_.data() + pos_;
    const char* stop = buffer_.data() + end_;
    const char* p = LineEndIn(start, stop);
    line.append(start, static_cast<std::size_t>(p - start));
    pos_ = static_cast<std::size_t>(p - buffer_.data());
    if (limits_.maxLine && line.size() > limits_.maxLine) {
      // The memory a line takes stays bounded, whatever the file holds.
      line.clear();
      line.shrink_to_fit();
      Refuse(Refusal::LineTooLong);
      ++lines_;
      return false;
    }
    if (p == stop) continue;
    const bool cr = *p == '\r';
    ++pos_;
    if (cr) {
      // A CR LF pair may straddle two chunks.
      if (pos_ >= end_) Fill();
      if (pos_ < end_ && buffer_[pos_] == '\n') ++pos_;
    }
    ++lines_;
    return true;
  }
}

Outcome FileLineReader::error() const {
  if (refusal_ == Refusal::NotAFile) return Outcome::Io("Cannot read " + path_ + ": not a regular file");
  if (refusal_ == Refusal::TooLarge) return Outcome::Io("Cannot read " + path_ + ": the file is too large");
  if (refusal_ == Refusal::LineTooLong)
    return Outcome::Io("Cannot read " + path_ + ": line " + std::to_string(lines_) + " is too long");
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
