// The page header's lines; every other line of the report is held by the
// golden spools and the comparison with the reference computation.
#include "report/report_lines.h"

#include <gtest/gtest.h>

namespace tonnage::report {
namespace {

HeaderInfo Info(std::string version, bool metric = false) {
  return {std::move(version), "07/01/2026", "14:05:09", "4417", "STP-0312(8)", "R. HALVORSEN", metric};
}

TEST(PageHeader, TitleStandsAtColumn32OrWrapsBelowALongVersionText) {
  // The program's own version text is the report cases'; 30 characters end
  // at column 31: the title still fits at 32.
  PageHeader h = PageHeaderLines(Info(std::string(30, 'V'), true), 1);
  ASSERT_EQ(h.lines.size(), 5u);
  EXPECT_EQ(h.lines[0], " " + std::string(30, 'V') + "QUARRENDALE (METRIC TONS)");
  EXPECT_EQ(h.lines[4], " DATA IS IN METRIC");
  EXPECT_EQ(h.pageNumberLine, 1u);

  // 31 characters reach column 32: the title goes to column 32 of a new line.
  h = PageHeaderLines(Info(std::string(31, 'V')), 1);
  ASSERT_EQ(h.lines.size(), 6u);
  EXPECT_EQ(h.lines[0], " " + std::string(31, 'V'));
  EXPECT_EQ(h.lines[1], std::string(31, ' ') + "QUARRENDALE (TONNAGE)");
  EXPECT_EQ(h.pageNumberLine, 2u);

  // Renumbering rewrites only the page number, up to four digits.
  const std::string line = h.lines[2];
  EXPECT_EQ(WithPageNumber(line, 1234), line.substr(0, 73) + " 1234");
}

}  // namespace
}  // namespace tonnage::report
