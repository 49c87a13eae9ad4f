// The run: worked examples, each worked out by hand, of what neither the report
// cases nor the generated comparison (a second reading) vouch for; the page
// header; and the comparison of generated files with an independent
// computation written in Python (tests/tools/report_reference.py), skipped,
// loudly, without python3.
#include "report/tonnage_run.h"
#include "report/report_lines.h"

#include <gtest/gtest.h>

#include "report_test_support.h"

namespace tonnage::report {
namespace {

using namespace testing;
using tonnage::testing::ReadFile;
using tonnage::testing::ScratchFolder;
using Lines = std::vector<std::string>;

const std::string kD1 = "06/16/2026", kD2 = "06/17/2026";

Lines Job(bool metric, Lines books) {
  books.insert(books.begin(), IndexLine(metric));
  return books;
}

// A batch book of `tickets` equal tickets, then the lines of `then`.
Lines Batch(const std::string& gravity, const std::string& date, int tickets, const std::string& agg,
            const std::string& bit, const std::string& tot, const Lines& then = {}) {
  Lines lines = {BookLine("2", gravity, "MAINLINE SURFACE BATCH")};
  for (int i = 1; i <= tickets; ++i) lines.push_back(Ticket(i, date, agg, bit, tot));
  lines.insert(lines.end(), then.begin(), then.end());
  return lines;
}

// The rules no report case shows; the ordinary lines of every kind are the
// cases' and the reference comparison's.
TEST(TonnageRun, WorkedExamples) {
  // A blank tare keeps THEO = KP; page order restarts in each book.
  const Lines std0 = {BookLine("0", "0.0000", "NB LANES"), Ticket(1, kD1, "60000", "30000", "30000"),
                      Ticket(2, kD1, "20000", "", "20000"), BookLine("0", "0.0000", "SB LANES"),
                      Ticket(100, kD2, "60000", "30000", "30000")};
  const Lines tons = {BookLine("1", "0.0000", "BASE COURSE TONS"), Ticket(1, kD1, "12.500", "2.500", "10.000"),
                      Ticket(2, kD1, "12.500", "2.500", "10.001")};
  // 1.0 lb of private material is not more than the threshold.
  const Lines priv = {BookLine("0", "0.0000", "WASTE"), Ticket(1, kD1, "30000", "10000", "20000", "5.000", true),
                      Ticket(3, "06/18/2026", "", "", "1", "5.000", true)};
  // The data, and the line of the spool that starts with the prefix.
  const std::tuple<Lines, std::string, std::string> cases[] = {
      {Job(false, std0), "      2  ", "      2  06/16/2026   20000                  20000               LBS  "},
      {Job(false, std0), "    100  ", "    100  06/17/2026   60000      30000       30000               LBS  "},
      // English tons books are told in pounds.
      {Job(false, tons), " *** ERROR", " *** ERROR *** THEO =       20000.000  KP =       20002.000"},
      {Job(false, tons), "      1  ", "      1  06/16/2026      12.500      2.500     10.000            TONS "},
      {Job(false, tons), "                  BOOK TOTAL  LBS",
       "                  BOOK TOTAL  LBS     40000        40002"},
      {Job(false, priv), " 06/18/2026           0", " 06/18/2026           0.000       0           0.000       0    "},
      // 5 x 40000 lbs with 2000 lbs of asphalt each; the date's gravity is the
      // last batch book's: 10000 / (8.3282 x 1.02), not x 1.03.
      {Job(false, Batch("1.0300", "06/29/2026", 1, "38000", "2000", "40000",
                        Batch("1.0200", "06/29/2026", 4, "38000", "2000", "40000"))),
       " 06/29/2026          100", " 06/29/2026          100.000       100.000             1177     5.00     5.00"},
      // Private asphalt counts toward pay gallons, but a date of private tickets only shows zeros.
      {Job(false,
           {BookLine("2", "0.0000", "WASTE BATCH"), Ticket(1, "06/30/2026", "38000", "2000", "40000", "5.000", true)}),
       " 06/30/2026  ", " 06/30/2026            0.000         0.000                0     0.00     0.00"},
  };
  for (const auto& [work, prefix, line] : cases) EXPECT_EQ(LineStarting(SpoolLines(work), prefix), line) << prefix;
}

TEST(TonnageRun, TheTableIsFullAtThe251stDate) {
  // 251 dates in two books, then a ticket of a date already in the table.
  Lines work = {IndexLine(), BookLine("0", "0.0000", "DAILY")};
  auto date = [](int i) {  // months 01-11, days 01-25
    const int month = i / 25 + 1, day = i % 25 + 1;
    return (month < 10 ? "0" : "") + std::to_string(month) + "/" + (day < 10 ? "0" : "") + std::to_string(day) +
           "/2026";
  };
  for (int i = 0; i < 251; ++i) {
    if (i == 200) work.push_back(BookLine("0", "0.0000", "DAILY 2"));
    work.push_back(Ticket(i + 1, date(i), "60000", "30000", "30000"));
  }
  work.push_back(Ticket(252, date(0), "60000", "30000", "30000"));
  const std::string spool = MakeReportSpool(Image(work), kVersion, kStamp);
  EXPECT_NE(spool.find("\r\n *** ERROR *** TABLE IS FULL\r\n"), std::string::npos);
  EXPECT_EQ(spool.find("\r\n    251  "), std::string::npos);  // neither printed nor counted
  EXPECT_NE(spool.find("\r\n    252  "), std::string::npos);
  EXPECT_NE(spool.find("\r\n 01/01/2026           30.000        30.000"), std::string::npos);
  EXPECT_EQ(spool.find("\r\n 11/01/2026"), std::string::npos);
  EXPECT_NE(spool.find("BOOK TOTAL  TONS      765.000      765.000\r\n"), std::string::npos);
}

TEST(TonnageRun, AnEmptyOrForeignFileIsInvalid) {
  const std::string stars(45, '*');
  const std::string block = stars + "\r\n    DATA FORMAT IS INVALID\r\n" + stars + "\r\n";
  EXPECT_EQ(MakeReportSpool("HELLO\r\n* 0 0.0000 X\r\n", kVersion, kStamp), block);
  EXPECT_EQ(MakeReportSpool("", kVersion, kStamp), block);
}

// Every other line of the report is held by the report cases and the reference comparison.
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

TEST(ReferenceComparison, GeneratedFilesAgreeByteForByte) {
  ScratchFolder dir;
  const std::vector<std::string> cases = GeneratedCases(200, 4417, dir.path());
  if (cases.empty()) GTEST_SKIP() << "*** the comparison with the reference computation did NOT run ***";
  for (const std::string& base : cases) {
    const std::string expected = ReadFile(base + ".SPL");
    ASSERT_FALSE(expected.empty()) << base;
    const std::string actual = MakeReportSpool(ReadFile(base + ".K81"), ReadFile(base + ".version"), kStamp);
    if (actual != expected) ADD_FAILURE() << base << " (seed 4417): " << Difference(actual, expected);
  }
}

}  // namespace
}  // namespace tonnage::report
