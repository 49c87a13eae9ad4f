// Line shapes checked column by column; columns count from 1.
#include "report/report_lines.h"

#include <gtest/gtest.h>

namespace tonnage::report {
namespace {

// Columns first..last of a line, 1-based.
std::string Cols(const std::string& line, std::size_t first, std::size_t last) {
  if (line.size() < first) return {};
  return line.substr(first - 1, last - first + 1);
}

HeaderInfo Info(std::string version, bool metric = false) {
  return {std::move(version), "07/01/2026", "14:05:09", "4417", "STP-0312(8)", "R. HALVORSEN", metric};
}

TEST(PageHeader, TitleStandsAtColumn32OrWrapsBelowALongVersionText) {
  PageHeader h = PageHeaderLines(Info("PRAX V4.2.1 04/2006"), 3);
  ASSERT_EQ(h.lines.size(), 5u);
  EXPECT_EQ(h.lines[0], " PRAX V4.2.1 04/2006           QUARRENDALE (TONNAGE)");
  EXPECT_EQ(h.lines[0].find("QUARRENDALE"), 31u);
  EXPECT_EQ(h.pageNumberLine, 1u);
  EXPECT_EQ(h.lines[1],
            " PROGRAM HARKST81      DATE PROC 07/01/2026    TIME PROC 14:05:09   PAGE     3");
  EXPECT_EQ(Cols(h.lines[1], 34, 43), "07/01/2026");
  EXPECT_EQ(Cols(h.lines[1], 58, 65), "14:05:09");
  EXPECT_EQ(Cols(h.lines[1], 69, 72), "PAGE");
  EXPECT_EQ(Cols(h.lines[1], 74, 78), "    3");
  EXPECT_EQ(h.lines[2], " REF. # - 4417        PROJECT NO. STP-0312(8)");
  EXPECT_EQ(Cols(h.lines[2], 35, 45), "STP-0312(8)");
  EXPECT_EQ(h.lines[3], " SUBM ENGINEER: R. HALVORSEN");
  EXPECT_EQ(h.lines[4], " DATA IS IN ENGLISH");

  // 30 characters end at column 31: the title still fits at 32.
  h = PageHeaderLines(Info(std::string(30, 'V'), true), 1);
  ASSERT_EQ(h.lines.size(), 5u);
  EXPECT_EQ(h.lines[0], " " + std::string(30, 'V') + "QUARRENDALE (METRIC TONS)");
  EXPECT_EQ(h.lines[4], " DATA IS IN METRIC");

  // 31 characters reach column 32: the title goes to column 32 of a new line.
  h = PageHeaderLines(Info(std::string(31, 'V')), 1);
  ASSERT_EQ(h.lines.size(), 6u);
  EXPECT_EQ(h.lines[0], " " + std::string(31, 'V'));
  EXPECT_EQ(h.lines[1], std::string(31, ' ') + "QUARRENDALE (TONNAGE)");
  EXPECT_EQ(h.pageNumberLine, 2u);
}

TEST(PageHeader, RenumberingRewritesOnlyThePageNumber) {
  const std::string line = PageHeaderLines(Info("X"), 1).lines[1];
  EXPECT_EQ(WithPageNumber(line, 12), line.substr(0, 73) + "   12");
  EXPECT_EQ(WithPageNumber(line, 1234), line.substr(0, 73) + " 1234");
  EXPECT_EQ(PageNumberField(0), "    0");
}

TEST(ReportLines, DetailLinesOfEveryBookKind) {
  // English type 0, net = gross - tare: KP columns 55-64 stay blank.
  std::string l = DetailLine({7, "06/16/2026", 20000, 5000, 15000, 15000, false, false, ""});
  EXPECT_EQ(l, "      7  06/16/2026   20000       5000       15000               LBS  ");
  EXPECT_EQ(Cols(l, 7, 7), "7");
  EXPECT_EQ(Cols(l, 22, 31), " 20000    ");
  EXPECT_EQ(Cols(l, 44, 53), "  15000   ");
  EXPECT_EQ(Cols(l, 10, 19), "06/16/2026");
  EXPECT_EQ(Cols(l, 55, 64), std::string(10, ' '));
  EXPECT_EQ(Cols(l, 65, 70), " LBS  ");
  // KP shown when it differs; the tag from column 71.
  l = DetailLine({12, "06/16/2026", 20000, 5000, 15000, 15001, false, false, kPageOrderTag});
  EXPECT_EQ(Cols(l, 55, 64), " 15001    ");
  EXPECT_EQ(l.substr(70), "PAGE ORDER");
  // Tons book: pounds shown as tons, three decimals.
  l = DetailLine({3, "05/29/2001", 25000, 5000, 20000, 20000, true, false, ""});
  EXPECT_EQ(Cols(l, 22, 70), "    12.500      2.500     10.000            TONS ");
  l = DetailLine({3, "05/29/2001", 12500, 2500, 10000, 10000, true, true, ""});
  EXPECT_EQ(Cols(l, 22, 70), "    12.500      2.500     10.000            MTON ");
  // Metric kilograms with three decimals; a zero W1 or W2 is left out.
  l = DetailLine({3, "08/27/2026", 0, 12872, 21709, 21709, false, true, ""});
  EXPECT_EQ(Cols(l, 22, 70), "            12872.000  21709.000            KGS  ");
}

TEST(ReportLines, VoidNoteAndBitumenLines) {
  const auto v = VoidLines(7, "06/18/2026", kPageOrderTag);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(Cols(v[0], 11, 11), "7");
  EXPECT_EQ(Cols(v[0], 14, 23), "06/18/2026");
  EXPECT_EQ(Cols(v[0], 24, 75), std::string(52, ' '));
  EXPECT_EQ(v[0].substr(75), "PAGE ORDER");
  EXPECT_EQ(v[1], " -------- VOID, STATE REASON:");
  EXPECT_EQ(v[2], " ");

  // 20000 lbs at 5 % is 117.647 gallons.
  const double g = 20000.0 * 5 / 850.0004;
  EXPECT_EQ(BitumenLine(5, g, g, false),
            " -------- PRVT- %BITUM=   5.000 THGAL=   118     KPGAL=    118    ");
  EXPECT_EQ(BitumenLine(5, 981.7784, 981.7784, true),
            " -------- PRVT- %BITUM=   5.000 TH L =   981.778 KP L =    981.778");
}

TEST(ReportLines, BookTotalsPutBookTotalInColumn19) {
  BookTotals t{289190, 369610, 20000, 20000, 117.647, 117.647};
  auto lines = BookTotalLines(t, false);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], " ");
  EXPECT_EQ(lines[1], "                  BOOK TOTAL  LBS    289190       369610");
  EXPECT_EQ(lines[2], "                  BOOK TOTAL  TONS      144.595      184.805");
  EXPECT_EQ(lines[3], " PRIVATE_WASTE    BOOK TOTAL  LBS     20000        20000");
  EXPECT_EQ(lines[5], " PRIVATE_WASTE    BOOK TOTAL  GALS      118          118");
  lines = BookTotalLines(t, true);
  EXPECT_EQ(lines[1], "                  BOOK TOTAL  KGS    289190.000   369610.000");
  EXPECT_EQ(lines[2], "                  BOOK TOTAL  MTON      289.190      369.610");
  EXPECT_EQ(lines[5], " PRIVATE_WASTE    BOOK TOTAL  L         117.647      117.647");
  for (const auto& l : lines) EXPECT_TRUE(l == " " || Cols(l, 19, 28) == "BOOK TOTAL") << l;
}

TEST(ReportLines, DateSectionColumns) {
  std::string l = ProjectDateLine("06/29/2026", 100, 100, 10000 / 8.5, 5.0, 5.0, false);
  EXPECT_EQ(l, " 06/29/2026          100.000       100.000             1176     5.00     5.00");
  EXPECT_EQ(Cols(l, 47, 59), "         1176");
  l = ProjectDateLine("06/29/2026", 100, 100, 4908.92393, 5.0, 5.0, true);
  EXPECT_EQ(Cols(l, 47, 59), "     4908.924");
  EXPECT_EQ(ProjectTotalLine(289190, 369610, 1176.47, false),
            "    TOTAL            144.595       184.805             1176");
  l = PrivateDateLine("06/17/2026", 10, 117.647, 10, 117.647, false);
  EXPECT_EQ(l, " 06/17/2026          10.000     118          10.000     118    ");
  EXPECT_EQ(Cols(l, 18, 27), "    10.000");
  EXPECT_EQ(Cols(l, 54, 63), "   118    ");
  l = PrivateTotalLine(20000, 117.647, 20000, 117.647, false);
  EXPECT_EQ(l, "    TOTAL            10.000     118          10.000     118    ");
  EXPECT_EQ(MonthLine("01/02/2006", "01/15/2006", 4908.92393, true),
            "          01/02/2006  TO  01/15/2006          4908.924");
  EXPECT_EQ(MonthLine("01/02/2006", "01/15/2006", 1176.47, false).substr(41), "         1176");
}

TEST(ReportLines, ErrorReportLines) {
  const std::string comments(35, 'C');
  const auto book = ErrorBookLines(comments, 1.032);
  EXPECT_EQ(book[0], " ");
  EXPECT_EQ(book[1], "  " + comments + "   1.0320");
  EXPECT_EQ(Cols(book[1], 3, 37), comments);
  EXPECT_EQ(Cols(book[1], 40, 46), " 1.0320");
  EXPECT_EQ(TheoKpMismatchLine(15000, 15001),
            " *** ERROR *** THEO =       15000.000  KP =       15001.000");
  EXPECT_EQ(TicketEcho("000001 06/16/2026 20000     5000      15001                   "),
            " 000001 06/16/2026 20000     5000      15001");
  EXPECT_EQ(GravityLine(0, ""), " ***SPEC. GRAV. THIS BOOK =  0.0000      ");
}

}  // namespace
}  // namespace tonnage::report
