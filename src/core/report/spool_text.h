// A report spool as the viewer reads it: the bytes held once, the offset of
// each line, the lines that break pages, and Find. No drawing here: the
// window paints the lines this gives it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tonnage::report {

class SpoolText {
 public:
  SpoolText() { Index(); }
  explicit SpoolText(std::string bytes) : text_(std::move(bytes)) { Index(); }

  const std::string& bytes() const { return text_; }
  std::size_t size() const { return text_.size(); }

  // Line ends as the line reader sees them: CR LF, LF, or CR alone; a last
  // line without an end still counts. Empty text is one empty line.
  std::size_t lineCount() const { return starts_.size(); }
  std::size_t lineStart(std::size_t line) const { return starts_[line]; }
  // Where the line's text ends, before its CR/LF.
  std::size_t lineEnd(std::size_t line) const;
  // Where the next line starts (the end of the text after the last line).
  std::size_t nextStart(std::size_t line) const;
  // Characters in the longest line.
  std::size_t widest() const { return widest_; }
  // Line of an offset (the last line for the end of the text).
  std::size_t lineOf(std::size_t offset) const;

  // A line holding a form feed ends one page; the next page starts after it.
  std::size_t pageCount() const { return pageBreaks_.size() + 1; }
  bool isPageBreak(std::size_t line) const;
  // The page (from 1) a line is on; a break line belongs to the page it ends.
  std::size_t pageOfLine(std::size_t line) const;
  // The first line of `page` (from 1), taken into 1..pageCount().
  std::size_t firstLineOfPage(std::size_t page) const;

  // Where `needle` next occurs ignoring case (Latin-1 letters too), at or
  // after `from` going forward, before `from` going backward, wrapping round
  // the end; nothing when absent.
  std::optional<std::size_t> Find(std::string_view needle, std::size_t from, bool backward) const;
  // Which match a find at `at` is (from 1) and how many matches there are.
  std::pair<std::size_t, std::size_t> MatchNumber(std::string_view needle, std::size_t at) const;

 private:
  void Index();
  bool MatchesAt(std::size_t at, std::string_view foldedNeedle) const;

  std::string text_;
  std::vector<std::size_t> starts_;      // offset of each line
  std::vector<std::size_t> pageBreaks_;  // lines holding a form feed
  std::size_t widest_ = 0;
};

}  // namespace tonnage::report
