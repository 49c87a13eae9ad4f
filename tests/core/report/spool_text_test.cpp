#include "report/spool_text.h"

#include <gtest/gtest.h>

namespace tonnage::report {
namespace {

TEST(SpoolText, LinesAndPagesAsTheLineReaderSeesThem) {
  const SpoolText spool(std::string("ONE\r\nTWO\nTHREE\rFOUR\r\n\f\r\nSIX"));
  EXPECT_EQ(std::tuple(spool.lineCount(), spool.widest(), spool.lineEnd(0)), std::tuple(6u, 5u, 3u));
  const std::size_t lineOf[][2] = {{0, 0}, {4, 0}, {5, 1}, {9, 2}, {15, 3}, {21, 4}, {25, 5}, {28, 5}};
  for (const auto& [offset, line] : lineOf) EXPECT_EQ(spool.lineOf(offset), line) << offset;
  // The form-feed line ends page 1; page 2 starts after it.
  EXPECT_EQ(std::tuple(spool.pageCount(), spool.isPageBreak(4), spool.isPageBreak(5), spool.pageOfLine(4),
                       spool.pageOfLine(5)),
            std::tuple(2u, true, false, 1u, 2u));
  const std::size_t firstLine[][2] = {{0, 0}, {1, 0}, {2, 5}, {9, 5}};
  for (const auto& [page, line] : firstLine) EXPECT_EQ(spool.firstLineOfPage(page), line) << page;
  // An end at the very end adds no line; no text is one empty line.
  EXPECT_EQ(
      std::tuple(SpoolText(std::string("A\r\n\f\r\n")).lineCount(), SpoolText().lineCount(), SpoolText().pageCount()),
      std::tuple(2u, 1u, 1u));
}

TEST(SpoolText, FindsIgnoringLatin1CaseBothWaysAndWrapsRound) {
  // Text, what is sought, from where, backward, where it is found.
  // clang-format off
  const std::tuple<std::string, std::string, std::size_t, bool, std::optional<std::size_t>> cases[] = {
      {"row ROW row", "ROW", 0, false, 0}, {"row ROW row", "row", 1, false, 4},
      {"row ROW row", "Row", 9, false, 0},  // past the last one: round to the first
      {"row ROW row", "row", 8, true, 4},
      {"row ROW row", "row", 0, true, 8},  // before the first: round to the last
      {"caf\xE9 CAF\xC9", "CAF\xC9", 1, false, 5}, {"CAF\xC9", "caf\xE9", 0, false, 0},
      {"\xD7", "\xF7", 0, false, std::nullopt},  // signs, not letters
      {"row", "col", 0, false, std::nullopt}, {"row", "", 0, false, std::nullopt},
      {"row", "rows", 0, false, std::nullopt}};
  // clang-format on
  for (const auto& [text, needle, from, backward, at] : cases)
    EXPECT_EQ(SpoolText(text).Find(needle, from, backward), at)
        << text << "/" << needle << " from " << from << backward;
  const SpoolText spool(std::string("ROW 1\r\nrow 2\r\n\xC9T\xC9 row 3"));
  using Match = std::pair<std::size_t, std::size_t>;
  EXPECT_EQ(std::tuple(spool.MatchNumber("Row", 7), spool.MatchNumber("\xE9t\xE9", 0), spool.MatchNumber("none", 0)),
            std::tuple(Match{2, 3}, Match{1, 1}, Match{1, 0}));
}

}  // namespace
}  // namespace tonnage::report
