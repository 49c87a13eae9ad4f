#include "report/spool_text.h"

#include <algorithm>

#include "text/fixed_width.h"

namespace tonnage::report {

void SpoolText::Index() {
  starts_.clear();
  pageBreaks_.clear();
  widest_ = 0;
  const std::size_t n = text_.size();
  const char* data = text_.data();
  starts_.reserve(n / 40 + 1);
  std::size_t start = 0;
  bool hasFormFeed = false;
  for (std::size_t i = 0; i < n; ++i) {
    const char c = data[i];
    if (c == '\f') {
      hasFormFeed = true;
    } else if (c == '\n' || c == '\r') {
      if (hasFormFeed) pageBreaks_.push_back(starts_.size());
      starts_.push_back(start);
      widest_ = std::max(widest_, i - start);
      if (c == '\r' && i + 1 < n && data[i + 1] == '\n') ++i;
      start = i + 1;
      hasFormFeed = false;
    }
  }
  // An end at the very end of the text adds no line.
  if (start < n || starts_.empty()) {
    if (hasFormFeed) pageBreaks_.push_back(starts_.size());
    starts_.push_back(start);
    widest_ = std::max(widest_, n - start);
  }
}

std::size_t SpoolText::nextStart(std::size_t line) const {
  return line + 1 < starts_.size() ? starts_[line + 1] : text_.size();
}

std::size_t SpoolText::lineEnd(std::size_t line) const {
  std::size_t end = nextStart(line);
  const std::size_t start = starts_[line];
  if (end > start && text_[end - 1] == '\n') --end;
  if (end > start && text_[end - 1] == '\r') --end;
  return end;
}

std::size_t SpoolText::lineOf(std::size_t offset) const {
  const auto it = std::upper_bound(starts_.begin(), starts_.end(), offset);
  return static_cast<std::size_t>(it - starts_.begin()) - 1;
}

bool SpoolText::isPageBreak(std::size_t line) const {
  return std::binary_search(pageBreaks_.begin(), pageBreaks_.end(), line);
}

std::size_t SpoolText::pageOfLine(std::size_t line) const {
  return static_cast<std::size_t>(std::lower_bound(pageBreaks_.begin(), pageBreaks_.end(), line) -
                                  pageBreaks_.begin()) +
         1;
}

std::size_t SpoolText::firstLineOfPage(std::size_t page) const {
  page = std::clamp<std::size_t>(page, 1, pageCount());
  return page == 1 ? 0 : pageBreaks_[page - 2] + 1;
}

bool SpoolText::MatchesAt(std::size_t at, std::string_view foldedNeedle) const {
  for (std::size_t k = 0; k < foldedNeedle.size(); ++k)
    if (UpperLatin1(text_[at + k]) != foldedNeedle[k]) return false;
  return true;
}

std::optional<std::size_t> SpoolText::Find(std::string_view needle, std::size_t from, bool backward) const {
  const std::size_t m = needle.size();
  if (m == 0 || m > text_.size()) return std::nullopt;
  const std::string folded = ToUpper(needle);
  const std::size_t positions = text_.size() - m + 1;
  from = std::min(from, text_.size());
  for (std::size_t step = 0; step < positions; ++step) {
    // Backward: from-1, from-2, ... wrapping round to the end.
    const std::size_t i = backward ? (from + positions * 2 - 1 - step) % positions : (from + step) % positions;
    if (MatchesAt(i, folded)) return i;
  }
  return std::nullopt;
}

std::pair<std::size_t, std::size_t> SpoolText::MatchNumber(std::string_view needle, std::size_t at) const {
  if (needle.empty() || needle.size() > text_.size()) return {0, 0};
  const std::string folded = ToUpper(needle);
  std::size_t before = 0, total = 0;
  for (std::size_t i = 0; i + folded.size() <= text_.size(); ++i) {
    if (!MatchesAt(i, folded)) continue;
    ++total;
    if (i < at) ++before;
  }
  return {before + 1, total};
}

}  // namespace tonnage::report
