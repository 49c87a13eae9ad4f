#include "data/section_file.h"

#include <gtest/gtest.h>

#include "../test_files.h"

namespace tonnage {
namespace {

using namespace testing;

TicketRow Row(std::initializer_list<std::string> cells) {
  TicketRow row;
  std::size_t i = 0;
  for (const auto& c : cells) row.cells[i++] = c;
  return row;
}

TEST(TicketLine, NoFieldShiftsTheColumnsAfterIt) {
  const TicketRow row = Row({"12", "", "123456.789", "1234567", "99", "100.5", "Y", "Y", "Y"});
  const std::string metric = FormatTicketLine(row, "M", "0");
  ASSERT_EQ(metric.size(), 60u) << metric;
  EXPECT_EQ(metric.substr(7, 10), std::string(10, ' ')) << "empty date kept in its columns";
  EXPECT_EQ(metric.substr(18, 10), "123456.79 ");
  EXPECT_EQ(metric.substr(28, 10), "1234567.0 ");
  EXPECT_EQ(metric.substr(48, 7), "100.50 ");
  EXPECT_EQ(metric.substr(55), "Y Y Y");
  EXPECT_EQ(FormatTicketLine(row, "E", "0").substr(18, 20), "123457    1234567   ");

  EXPECT_EQ(FormatTicketLine(Row({"-31", "06/01/2026", "1"}), "E", "0").substr(0, 18), "-00031 06/01/2026 ");

  const TicketRow back = ParseTicketLine(metric);
  EXPECT_EQ(back[TicketField::Date], "") << "a blank date reads back empty";
  EXPECT_EQ(back[TicketField::PctBitumen], "100.50");
  EXPECT_EQ(back[TicketField::Note], "Y");
}

TEST(TicketLine, ReadingColumns) {
  const TicketRow row = ParseTicketLine("001201  1/ 5/2027 77756     30056     47700      5.600 y y x");
  EXPECT_EQ(row, Row({"001201", "01/05/2027", "77756", "30056", "47700", "5.600", "Y", "Y", "X"}));
  EXPECT_EQ(ParseTicketLine("000009").cells[1], "") << "a short line gives empty fields";
}

TEST(SectionFile, KeptRowsCloseUpAndReadBack) {
  ScratchFolder dir;
  BookRows rows;
  rows[0] = Row({"1201", "09/28/2026", "77756", "30056", "47700", "5.6"});
  rows[1] = Row({"1202", "09/28/2026", "", "30010", "", "5.6"});  // no gross, net or void: dropped
  rows[4] = Row({"", "", "", "", "", "", "", "Y"});               // only a void: kept, page 0
  rows[7] = Row({"1204", "09/29/2026", "", "", "41200", "", "", "", "Y"});
  ASSERT_TRUE(WriteSectionFile(dir.File("SECT0003.TMP"), rows, "E", "0").ok());
  EXPECT_EQ(ReadFile(dir.File("SECT0003.TMP")),
            "001201 09/28/2026 77756     30056     47700      5.600      \r\n"
            "000000                                                   Y  \r\n"
            "001204 09/29/2026                     41200" +
                std::string(16, ' ') + "Y\r\n");
  BookRows back;
  back[5][TicketField::PageNo] = "kept";
  ASSERT_TRUE(ReadSectionFile(dir.File("SECT0003.TMP"), back));
  EXPECT_EQ(back[0][TicketField::Net], "47700");
  EXPECT_EQ(back[1][TicketField::Void], "Y");
  EXPECT_EQ(back[2][TicketField::Note], "Y");
  EXPECT_EQ(back[3], TicketRow{});
  EXPECT_EQ(back[5][TicketField::PageNo], "kept") << "rows past the file are left alone";
  EXPECT_TRUE(BookHasRows(back));
  ClearBookRows(back);
  EXPECT_FALSE(BookHasRows(back));
  EXPECT_FALSE(ReadSectionFile(dir.File("SECT0009.TMP"), back));
}

}  // namespace
}  // namespace tonnage
