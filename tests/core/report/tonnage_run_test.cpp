// The run's worked examples, each checked on the exact lines it gives.
#include "report/tonnage_run.h"

#include <gtest/gtest.h>

#include "report_test_support.h"

namespace tonnage::report {
namespace {

using namespace testing;

const std::string kD1 = "06/16/2026";
const std::string kD2 = "06/17/2026";

TEST(TonnageRun, TheoKpMismatchAndGrossLessThanTare) {
  const auto lines = SpoolLines({IndexLine(), BookLine("0", "0.0000", "OVERLAY SP 12.5 TH 61"),
                                 Ticket(1, kD1, "20000", "5000", "15000"),
                                 Ticket(2, kD1, "20000", "5000", "15001"),
                                 Ticket(3, kD1, "5000", "20000", "15000"),
                                 Ticket(4, kD1, "20000", "", "20000")});
  const auto pages = Pages(lines);
  ASSERT_EQ(pages.size(), 5u);  // error page, book page, three sections
  const auto& errors = pages[0];
  const std::vector<std::string> expected = {
      " *** ERROR *** THEO =       15000.000  KP =       15001.000",
      " " + TrimmedTicket(Ticket(2, kD1, "20000", "5000", "15001")),
      " ",
      " *** ERROR *** GROSS LESS THAN TARE",
      " *** ERROR *** THEO =      -15000.000  KP =       15000.000",
      " " + TrimmedTicket(Ticket(3, kD1, "5000", "20000", "15000")),
      " ",
  };
  ASSERT_EQ(errors.size(), 9u + expected.size());
  EXPECT_EQ(errors[5], " ");
  EXPECT_EQ(errors[6], "    ERROR REPORT");
  EXPECT_EQ(errors[8], "  OVERLAY SP 12.5 TH 61                 0.0000");
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(errors[9 + i], expected[i]);
  // A blank tare keeps THEO = KP: no mismatch for ticket 4, 20000 shown once.
  EXPECT_EQ(pages[1][12], "      4  06/16/2026   20000                  20000               LBS  ");
  EXPECT_EQ(pages[1][10], "      2  06/16/2026   20000       5000       15000     15001     LBS  ");
}

TEST(TonnageRun, TonsBooksBecomePoundsOrKilograms) {
  for (bool metric : {false, true}) {
    const auto lines = SpoolLines({IndexLine(metric), BookLine("1", "0.0000", "BASE COURSE TONS"),
                                   Ticket(1, kD1, "12.500", "2.500", "10.000"),
                                   Ticket(2, kD1, "12.500", "2.500", "10.001")});
    const char* unit = metric ? "MTON" : "TONS";
    EXPECT_EQ(LineStarting(lines, "      1  "),
              "      1  06/16/2026      12.500      2.500     10.000            " +
                  std::string(unit) + " ");
    // The mismatch is told in pounds or kilograms.
    EXPECT_EQ(LineStarting(lines, " *** ERROR *** THEO"),
              metric ? " *** ERROR *** THEO =       10000.000  KP =       10001.000"
                     : " *** ERROR *** THEO =       20000.000  KP =       20002.000");
    EXPECT_EQ(LineStarting(lines, "                  BOOK TOTAL  " + std::string(metric ? "KGS" : "LBS")),
              metric ? "                  BOOK TOTAL  KGS     20000.000    20001.000"
                     : "                  BOOK TOTAL  LBS     40000        40002");
  }
}

TEST(TonnageRun, PrivateWorkGallonsLitresAndThreshold) {
  auto run = [](bool metric, const std::vector<std::string>& tickets) {
    std::vector<std::string> work = {IndexLine(metric), BookLine("0", "0.0000", "WASTE")};
    work.insert(work.end(), tickets.begin(), tickets.end());
    return SpoolLines(work);
  };
  auto lines = run(false, {Ticket(1, kD1, "30000", "10000", "20000", "5.000", true),
                           Ticket(2, kD2, "30000", "10000", "20000", "", true, false, true),
                           Ticket(3, "06/18/2026", "", "", "1", "5.000", true)});
  EXPECT_EQ(LineStarting(lines, " -------- PRVT"),
            " -------- PRVT- %BITUM=   5.000 THGAL=   118     KPGAL=    118    ");
  EXPECT_EQ(LineStarting(lines, " --------  PVT"), " --------  PVT. WORK OR WASTE, NO BITUMEN PUNCHED");
  EXPECT_EQ(LineStarting(lines, " -------- NOTE"), " -------- NOTE");
  EXPECT_EQ(LineStarting(lines, " PRIVATE_WASTE    BOOK TOTAL  GALS"),
            " PRIVATE_WASTE    BOOK TOTAL  GALS      118          118");
  // The private section is the last page but one. 1.0 lb of private
  // material is not more than the threshold: zeros.
  const auto pages = Pages(lines);
  const auto& priv = pages[pages.size() - 2];
  const std::vector<std::string> expected = {
      " ",
      " 06/16/2026          10.000     118          10.000     118    ",
      " ",
      " 06/17/2026          10.000       0          10.000       0    ",
      " ",
      " 06/18/2026           0.000       0           0.000       0    ",
      " ",
      "    TOTAL            20.000     118          20.000     118    ",
  };
  EXPECT_EQ(std::vector<std::string>(priv.begin() + 8, priv.end()), expected);
  EXPECT_EQ(priv[6], "       DATE              PRIVATE WORK OR WASTE MATERIAL");

  lines = run(true, {Ticket(1, kD1, "30000.000", "10000.000", "20000.000", "5.000", true)});
  EXPECT_EQ(LineStarting(lines, " -------- PRVT"),
            " -------- PRVT- %BITUM=   5.000 TH L =   981.778 KP L =    981.778");
}

std::vector<std::string> BatchBook(const std::string& gravity, const std::string& date, int tickets,
                                   const std::string& agg, const std::string& bit,
                                   const std::string& tot, int firstPage = 1) {
  std::vector<std::string> lines = {BookLine("2", gravity, "MAINLINE SURFACE BATCH")};
  for (int i = 0; i < tickets; ++i) lines.push_back(Ticket(firstPage + i, date, agg, bit, tot));
  return lines;
}

TEST(TonnageRun, PayGallonsFromBatchPlantAsphalt) {
  // 5 x 40000 lbs with 2000 lbs of asphalt each: 200000 lbs, 10000 lbs asphalt.
  auto english = [](const std::string& gravity) {
    std::vector<std::string> work = {IndexLine()};
    for (auto& l : BatchBook(gravity, "06/29/2026", 5, "38000", "2000", "40000")) work.push_back(l);
    return SpoolLines(work);
  };
  auto lines = english("0.0000");
  EXPECT_EQ(LineStarting(lines, " 06/29/2026          100"),
            " 06/29/2026          100.000       100.000             1176     5.00     5.00");
  EXPECT_EQ(LineStarting(lines, "          06/29/2026  TO"),
            "          06/29/2026  TO  06/29/2026              1176");
  lines = english("1.0200");
  EXPECT_EQ(LineStarting(lines, " 06/29/2026          100"),
            " 06/29/2026          100.000       100.000             1177     5.00     5.00");
  EXPECT_EQ(LineStarting(lines, " ***SPEC"),
            " ***SPEC. GRAV. THIS BOOK =  1.0200      MAINLINE SURFACE BATCH");

  // Metric: 5000 kg of asphalt in 100000 kg.
  std::vector<std::string> work = {IndexLine(true)};
  for (auto& l : BatchBook("0.0000", "08/27/2026", 4, "24000.000", "1250.000", "25250.000"))
    work.push_back(l);
  lines = SpoolLines(work);
  EXPECT_EQ(LineStarting(lines, " 08/27/2026          101"),
            " 08/27/2026          101.000       101.000         4908.924     4.95     4.95");
  EXPECT_EQ(LineStarting(lines, "          08/27/2026  TO"),
            "          08/27/2026  TO  08/27/2026          4908.924");
}

TEST(TonnageRun, DateGravityComesFromTheLastBatchTicketsBook) {
  std::vector<std::string> work = {IndexLine()};
  for (auto& l : BatchBook("1.0300", "06/29/2026", 1, "38000", "2000", "40000")) work.push_back(l);
  for (auto& l : BatchBook("1.0200", "06/29/2026", 4, "38000", "2000", "40000")) work.push_back(l);
  // 10000 / (8.3282 x 1.02) = 1177.20, not 10000 / (8.3282 x 1.03) = 1165.77.
  EXPECT_EQ(LineStarting(SpoolLines(work), " 06/29/2026          100"),
            " 06/29/2026          100.000       100.000             1177     5.00     5.00");
  // Private/waste asphalt counts toward pay gallons, but a date with only
  // private tickets shows zeros.
  work = {IndexLine(), BookLine("2", "0.0000", "WASTE BATCH"),
          Ticket(1, "06/30/2026", "38000", "2000", "40000", "5.000", true)};
  EXPECT_EQ(LineStarting(SpoolLines(work), " 06/30/2026  "),
            " 06/30/2026            0.000         0.000                0     0.00     0.00");
}

TEST(TonnageRun, PageOrderRestartsAfterAnErrorAndInEachBook) {
  const auto lines = SpoolLines({IndexLine(), BookLine("0", "0.0000", "NB LANES"),
                                 Ticket(1, kD1, "60000", "30000", "30000"),
                                 Ticket(2, kD1, "60000", "30000", "30000"),
                                 Ticket(4, kD1, "60000", "30000", "30000"),
                                 Ticket(5, kD1, "60000", "30000", "30000", "", false, true),
                                 BookLine("0", "0.0000", "SB LANES"),
                                 Ticket(100, kD2, "60000", "30000", "30000")});
  EXPECT_EQ(CountOf(lines, " *** ERROR *** PAGE ORDER ERROR"), 1);
  EXPECT_EQ(LineStarting(lines, "      4  "),
            "      4  06/16/2026   60000      30000       30000               LBS  PAGE ORDER");
  EXPECT_EQ(LineStarting(lines, "          5  "),
            "          5  06/16/2026" + std::string(52, ' '));
  EXPECT_NE(LineStarting(lines, "    100  "), "");
}

TEST(TonnageRun, TheTableIsFullAtThe251stDate) {
  // 251 dates in two books, then a ticket of a date already in the table.
  std::vector<std::string> work = {IndexLine(), BookLine("0", "0.0000", "DAILY")};
  auto date = [](int i) {  // a different day for each i: months 01-11, days 01-25
    const int month = i / 25 + 1, day = i % 25 + 1;
    return (month < 10 ? "0" : "") + std::to_string(month) + "/" + (day < 10 ? "0" : "") +
           std::to_string(day) + "/2026";
  };
  for (int i = 0; i < 251; ++i) {
    if (i == 200) work.push_back(BookLine("0", "0.0000", "DAILY 2"));
    work.push_back(Ticket(i + 1, date(i), "60000", "30000", "30000"));
  }
  work.push_back(Ticket(252, date(0), "60000", "30000", "30000"));
  const auto lines = SpoolLines(work);
  EXPECT_EQ(CountOf(lines, " *** ERROR *** TABLE IS FULL"), 1);
  EXPECT_EQ(LineStarting(lines, " *** ERROR *** TABLE"), " *** ERROR *** TABLE IS FULL");
  EXPECT_EQ(LineStarting(lines, "    251  "), "");  // neither printed nor counted
  EXPECT_NE(LineStarting(lines, "    252  "), "");
  EXPECT_EQ(LineStarting(lines, " 01/01/2026"),
            " 01/01/2026           30.000        30.000                0     0.00     0.00");
  EXPECT_EQ(LineStarting(lines, " 11/01/2026"), "");  // the 251st date
  EXPECT_EQ(LineStarting(lines, "                  BOOK TOTAL  TONS      765"),
            "                  BOOK TOTAL  TONS      765.000      765.000");
}

TEST(TonnageRun, MonthGroupsAreMonthsOfAYear) {
  auto months = [](const std::vector<std::string>& dates) {
    std::vector<std::string> work = {IndexLine()};
    for (auto& l : BatchBook("0.0000", "01/01/2000", 0, "", "", "")) work.push_back(l);
    int page = 1;
    for (const auto& d : dates) work.push_back(Ticket(page++, d, "38000", "2000", "40000"));
    std::vector<std::string> out;
    for (const auto& l : SpoolLines(work))
      if (l.rfind("          ", 0) == 0 && l.find("  TO  ") == 20) out.push_back(l.substr(10, 26));
    return out;
  };
  EXPECT_EQ(months({"02/01/2006", "01/15/2006", "12/30/2005", "01/02/2006"}),
            (std::vector<std::string>{"12/30/2005  TO  12/30/2005", "01/02/2006  TO  01/15/2006",
                                      "02/01/2006  TO  02/01/2006"}));
  // January of one year directly followed by January of the next: two months.
  EXPECT_EQ(months({"01/28/2025", "01/05/2026"}),
            (std::vector<std::string>{"01/28/2025  TO  01/28/2025", "01/05/2026  TO  01/05/2026"}));
}

TEST(TonnageRun, InvalidEmptyAndFirstLineOnlyFiles) {
  const std::string stars(45, '*');
  const std::string block = stars + "\r\n    DATA FORMAT IS INVALID\r\n" + stars + "\r\n";
  EXPECT_EQ(MakeReportSpool("HELLO\r\n* 0 0.0000 X\r\n", kVersion, kStamp), block);
  EXPECT_EQ(MakeReportSpool("", kVersion, kStamp), block);

  const auto pages = Pages(SpoolLines({IndexLine()}));
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].size(), 7u);
  const std::vector<std::string> main(pages[1].begin() + 5, pages[1].end());
  const std::vector<std::string> expected = {
      " ",
      " PAGE NO      DATE    GROSS WT   TARE WT    NET WT    KP NET",
      " ***SPEC. GRAV. THIS BOOK =  0.0000      ",
      " ",
      " ",
      "                  BOOK TOTAL  LBS         0            0",
      "                  BOOK TOTAL  TONS        0.000        0.000",
      " PRIVATE_WASTE    BOOK TOTAL  LBS         0            0",
      " PRIVATE_WASTE    BOOK TOTAL  TONS        0.000        0.000",
      " PRIVATE_WASTE    BOOK TOTAL  GALS        0            0",
      // No dates: the sections have no page check, so they follow on this page.
      " ",
      "    TOTAL              0.000         0.000                0",
      " ",
      "    TOTAL             0.000       0           0.000       0    ",
      " ",
      "          00/00/0000  TO  00/00/0000                 0",
  };
  EXPECT_EQ(main, expected);
  EXPECT_EQ(pages[1][1].substr(73), "    2");
}

TEST(TonnageRun, RenumberingTouchesHeaderLinesOnly) {
  // Comment characters 28-31 land in columns 69-72 of the gravity line.
  const std::string comments = "SURFACE COURSE SP 12.5 NB  PAGE";
  const auto lines = SpoolLines({IndexLine(), BookLine("0", "0.0000", comments),
                                 Ticket(1, kD1, "60000", "30000", "30000")});
  const std::string gravity = " ***SPEC. GRAV. THIS BOOK =  0.0000      " + comments;
  ASSERT_EQ(gravity.substr(68, 4), "PAGE");
  EXPECT_EQ(CountOf(lines, gravity), 1);
  std::vector<std::string> numbers;
  for (const auto& l : lines)
    if (l.rfind(" PROGRAM HARKST81", 0) == 0) numbers.push_back(l.substr(73));
  EXPECT_EQ(numbers, (std::vector<std::string>{"    1", "    2", "    3", "    4", "    5"}));
}

TEST(TonnageRun, PageControlAndLineCounting) {
  // Book pages count 10 for their 9 header lines. 46 tickets bring the count
  // to 56; a void ticket then still fits and the page holds 58 lines.
  std::vector<std::string> work = {IndexLine(), BookLine("0", "0.0000", "SURFACE COURSE")};
  for (int i = 1; i <= 46; ++i) work.push_back(Ticket(i, kD1, "60000", "30000", "30000"));
  work.push_back(Ticket(47, kD1, "", "", "", "", false, true));
  for (int i = 48; i <= 60; ++i) work.push_back(Ticket(i, kD1, "60000", "30000", "30000"));
  const auto pages = Pages(SpoolLines(work, std::string(31, 'V')));
  ASSERT_GE(pages.size(), 3u);
  // The long version text gives six header lines on every page.
  EXPECT_EQ(pages[1].size(), 6u + 4 + 46 + 3);
  EXPECT_EQ(pages[1].back(), " ");
  EXPECT_EQ(pages[1][pages[1].size() - 3].substr(0, 11), "         47");
  // The next page repeats the headings and the gravity line.
  EXPECT_EQ(pages[2][6], " ");
  EXPECT_EQ(pages[2][7], " PAGE NO      DATE    GROSS WT   TARE WT    NET WT    KP NET");
  EXPECT_EQ(pages[2][8], " ***SPEC. GRAV. THIS BOOK =  0.0000      SURFACE COURSE");
  EXPECT_EQ(pages[2][10].substr(0, 7), "     48");
  EXPECT_EQ(pages[2][2].substr(73), "    3");
  // 13 tickets (count 23), then the totals: 23 + 6 < 57, same page.
  EXPECT_EQ(pages[2].size(), 6u + 4 + 13 + 6);
}

}  // namespace
}  // namespace tonnage::report
