#include "report/spool_text.h"

#include <gtest/gtest.h>

namespace tonnage::report {
namespace {

TEST(SpoolText, LinesAndPagesAsTheLineReaderSeesThem) {
  const SpoolText spool(std::string("ONE\r\nTWO\nTHREE\rFOUR\r\n\f\r\nSIX"));
  EXPECT_EQ(spool.lineCount(), 6u);
  EXPECT_EQ(spool.widest(), 5u);
  EXPECT_EQ(spool.lineEnd(0), 3u);
  const std::size_t lineOf[][2] = {{0, 0}, {4, 0}, {5, 1}, {9, 2}, {15, 3}, {21, 4}, {25, 5}, {28, 5}};
  for (const auto& [offset, line] : lineOf) EXPECT_EQ(spool.lineOf(offset), line) << offset;
  // The form-feed line ends page 1; page 2 starts after it.
  EXPECT_EQ(spool.pageCount(), 2u);
  EXPECT_TRUE(spool.isPageBreak(4));
  EXPECT_FALSE(spool.isPageBreak(5));
  EXPECT_EQ(spool.pageOfLine(4), 1u);
  EXPECT_EQ(spool.pageOfLine(5), 2u);
  const std::size_t firstLine[][2] = {{0, 0}, {1, 0}, {2, 5}, {9, 5}};
  for (const auto& [page, line] : firstLine) EXPECT_EQ(spool.firstLineOfPage(page), line) << page;
  // An end at the very end adds no line; no text is one empty line.
  EXPECT_EQ(SpoolText(std::string("A\r\n\f\r\n")).lineCount(), 2u);
  EXPECT_EQ(SpoolText().lineCount(), 1u);
  EXPECT_EQ(SpoolText().pageCount(), 1u);
}

TEST(SpoolText, FindsIgnoringLatin1CaseBothWaysAndWrapsRound) {
  struct Case {
    std::string text, needle;
    std::size_t from;
    bool backward;
    std::optional<std::size_t> at;
  };
  const Case cases[] = {
      {"row ROW row", "ROW", 0, false, 0},
      {"row ROW row", "row", 1, false, 4},
      {"row ROW row", "Row", 9, false, 0},  // past the last one: round to the first
      {"row ROW row", "row", 8, true, 4},
      {"row ROW row", "row", 0, true, 8},  // before the first: round to the last
      {"caf\xE9 CAF\xC9", "CAF\xC9", 1, false, 5},
      {"CAF\xC9", "caf\xE9", 0, false, 0},
      {"\xD7", "\xF7", 0, false, std::nullopt},  // signs, not letters
      {"row", "col", 0, false, std::nullopt},
      {"row", "", 0, false, std::nullopt},
      {"row", "rows", 0, false, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SpoolText(c.text).Find(c.needle, c.from, c.backward), c.at)
        << c.text << " / " << c.needle << " from " << c.from << (c.backward ? " back" : "");
  const SpoolText spool(std::string("ROW 1\r\nrow 2\r\n\xC9T\xC9 row 3"));
  EXPECT_EQ(spool.MatchNumber("Row", 7), (std::pair<std::size_t, std::size_t>{2, 3}));
  EXPECT_EQ(spool.MatchNumber("\xE9t\xE9", 0), (std::pair<std::size_t, std::size_t>{1, 1}));
  EXPECT_EQ(spool.MatchNumber("none", 0), (std::pair<std::size_t, std::size_t>{1, 0}));
}

}  // namespace
}  // namespace tonnage::report
