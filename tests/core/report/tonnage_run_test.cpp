// The run: worked examples, each worked out by hand, of what neither the report
// cases nor the generated comparison (a second reading) vouch for; the
// comparison of generated files with an independent computation
// written in Python (tests/tools/report_reference.py), skipped, loudly,
// without python3; the run over the work folder and the ticket export; the
// allocation-free number texts; and the viewer's reading of the spool.
#include <gtest/gtest.h>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "../test_files.h"
#include "report_test_support.h"
#include "data/work_folder.h"
#include "report/date_table.h"
#include "report/fast_number.h"
#include "report/report_lines.h"
#include "report/run_tonnage_report.h"
#include "report/spool_text.h"
#include "report/ticket_export.h"
#include "report/tonnage_run.h"
#include "text/fixed_width.h"

namespace tonnage::report {
namespace {

using namespace tonnage::testing;
using namespace tonnage::report::testing;

// The rules the generated files do not reach; blank tares, English tons
// books told in pounds and the last batch book's gravity for a date are
// theirs, byte for byte.
TEST(TonnageRun, WorkedExamples) {
  // The books, and a whole line their spool holds.
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      // 1.0 lb of private material is not more than the threshold.
      {{BookLine("0", "0.0000", "WASTE"), Ticket(1, "06/16/2026", "30000", "10000", "20000", "5.000", true),
        Ticket(3, "06/18/2026", "", "", "1", "5.000", true)},
       " 06/18/2026           0.000       0           0.000       0    "},
      // Private asphalt counts toward pay gallons, but a date of private tickets only shows zeros.
      {{BookLine("2", "0.0000", "WASTE BATCH"), Ticket(1, "06/30/2026", "38000", "2000", "40000", "5.000", true)},
       " 06/30/2026            0.000         0.000                0     0.00     0.00"},
  };
  for (auto [books, line] : cases) {
    books.insert(books.begin(), IndexLine());
    EXPECT_NE(MakeReportSpool(Image(books), kVersion, kStamp).find("\r\n" + line + "\r\n"), std::string::npos) << line;
  }
}

// A date's key is taken by position, whole or cut short, blanks as zeros.
TEST(DateKey, YearMonthDayByPosition) {
  // clang-format off
  for (const auto& [date, key] : {std::pair("12/31/2026", "20261231"), {"03/02/26", "26030200"},
       {"3/2/2026", "263//200"}, {"03/0", "03000000"}, {"", "00000000"}})
    EXPECT_EQ(MakeDateKey(date), key) << date;
  // clang-format on
  EXPECT_EQ(ShowDateKey("20261231"), "12/31/2026");
}

// The generated files hold what no worked example here needs to: a date
// table that fills up, version texts that push the title to a line of its
// own, foreign files and gravity comments with "PAGE" where the number goes.
TEST(ReferenceComparison, GeneratedFilesAgreeByteForByte) {
  ScratchFolder dir;
  const std::vector<std::string> cases = GeneratedCases(200, 4417, dir.path());
  if (cases.empty()) GTEST_SKIP() << "*** the comparison with the reference computation did NOT run ***";
  for (const std::string& base : cases) {
    const std::string expected = ReadFile(base + ".SPL");
    ASSERT_FALSE(expected.empty()) << base;
    const std::string actual = MakeReportSpool(ReadFile(base + ".K81"), ReadFile(base + ".version"), kStamp);
    EXPECT_EQ(actual, expected) << base << " (seed 4417)";
  }
}

// The report's allocation-free number texts against the shared helpers.
std::string Mask(int decimals) {
  return decimals == 0 ? "####0" : "####0." + std::string(static_cast<std::size_t>(decimals), '0');
}

// Right-aligned, never cut (1234567.891 in 6 columns), halves away from zero.
TEST(FastNumber, SameTextAsFormatMaskAndKeep3) {
  std::mt19937_64 rng(4417);
  // clang-format off
  std::vector<double> values = {0.0, -0.0, 0.0005, -0.0005, 0.0004999, 2.675, 1.0005, 9.9995, 99999.9995, 207.8745,
                                19.3055, 812.5, -812.5, 1e15, 1e15 + 2, 123456789012.0, 1e20, -1e-300, 5e-324, 1e300,
                                1.7e308, 1234567.891, 23.4567, 20001.0 / 2000.0, 0.1 + 0.2, 1176.4705882352941, NAN,
                                INFINITY};
  // clang-format on
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int i = 0; i < 200000; ++i) {
    const double magnitude = std::pow(10.0, static_cast<int>(unit(rng) * 14) - 4);
    double v = unit(rng) * magnitude;
    if (i % 3 == 0) v = std::round(v * 1000.0) / 1000.0 + (i % 2 ? 0.0005 : -0.0005);  // near halves
    if (i % 5 == 0) v = std::round(v);
    if (i % 7 == 0) v = std::round(v * 1000) / 1000 * 2000;  // tons to pounds
    values.push_back(i % 2 ? -v : v);
  }
  for (double v : values) {
    for (int decimals : {0, 2, 3, 4}) {
      ASSERT_EQ(Amount(v, 0, decimals), FormatMask(v, Mask(decimals))) << v << " " << decimals;
    }
    // Appended behind a line's text, right-aligned, never cut.
    for (const auto& [width, decimals] : {std::pair<std::size_t, int>{12, 3}, {6, 0}, {7, 0}}) {
      std::string line = "|";
      AppendAmount(line, v, width, decimals);
      ASSERT_EQ(line, "|" + PadText(FormatMask(v, Mask(decimals)), width, PadSide::Left)) << v << " " << width;
    }
    // Three decimals read back.
    const double a = Keep3(v), b = ParseLeadingNumber(FormatMask(v, "####0.000"));
    ASSERT_TRUE(a == b || (std::isnan(a) && std::isnan(b))) << v;
    ASSERT_EQ(std::signbit(a), std::signbit(b)) << v;
  }
}

// The quick 15 digits must be the exact conversion's whenever it answers,
// and must answer for the values tickets give.
TEST(FastNumber, QuickDigitsAreTheExactConversionsOrNone) {
  std::mt19937_64 rng(81);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  auto check = [&](double v) {
    char digits[15], sci[40], quick[40];
    int exponent = 0;
    if (!SignificantDigitsForTest(v, digits, exponent)) return false;
    *std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific, 14).ptr = '\0';
    std::snprintf(quick, sizeof quick, "%c.%.14se%+03d", digits[0], digits + 1, exponent);
    EXPECT_STREQ(quick, sci) << v;
    return true;
  };
  int typed = 0;
  for (double v : {9.99999999999999951, 0.999999999999999944, 99999.9995, 1e-8, 1e15 - 1, 0.1, 35.123, 2.675,
                   1176.4705882352941, 123456789012345.6})
    check(v);
  for (int i = 0; i < 500000; ++i) {
    const double magnitude = std::pow(10.0, static_cast<int>(unit(rng) * 24) - 9);
    check(unit(rng) * magnitude);
    typed += check(std::round(unit(rng) * 1e8) / 1000.0);                      // three decimals, as tons are typed
    check(std::nextafter(std::round(unit(rng) * 1e6) / 1000.0 + 5e-15, 1.0));  // near a 15th-digit half
  }
  EXPECT_EQ(typed, 500000);
}

// The run over the work folder: PRINT.SPL appears whole or not at all.
// A season's report runs to hundreds of kilobytes: its main part comes back
// from the scratch file in pieces, and the page-number lines fall across the
// pieces' edges at one length of the book comments or another. Error pages
// in front (page-order mistakes) make every main page's number change.
TEST(RunTonnageReport, ALongReportComesBackWholeAndRenumbered) {
  for (int shift = 0; shift < 12; ++shift) {
    std::vector<std::string> lines{IndexLine()};
    for (int book = 1; book <= 40; ++book) {
      const std::string comments = "BOOK " + std::to_string(book) + " BASE COURSE" + std::string(shift, '.');
      lines.push_back(BookLine(book % 3 == 1 ? "1" : "0", "0.0000", comments));
      for (int p = 1; p <= 200; ++p) {
        const std::string date = "0" + std::to_string(3 + p / 50) + "/1" + std::to_string(p % 10) + "/2026";
        const int page = book * 1000 + p + (p % 37 == 0 ? 1 : 0);
        const bool tons = book % 3 == 1;
        lines.push_back(Ticket(page, date, tons ? "35.120" : std::to_string(70000 + p), tons ? "14.420" : "29960",
                               tons ? "20.700" : std::to_string(40040 + p), "5.600"));
      }
    }
    const std::string work = Image(lines);
    ScratchFolder dir;
    WriteFile(dir.File(kVersionFileName), kVersion + "\r\n");
    WriteFile(dir.File(kWorkFileName), work);
    ASSERT_TRUE(RunTonnageReport(dir.path(), kStamp).ok());
    const std::string spool = ReadFile(dir.File(kSpoolFileName));
    ASSERT_TRUE(spool.size() > 500000u && spool == MakeReportSpool(work, kVersion, kStamp))
        << "comments longer by " << shift;
  }
}

TEST(RunTonnageReport, SaysWhichInputIsMissingOrWritesTheWholeSpool) {
  ScratchFolder dir;
  WriteFile(dir.File(kSpoolFileName), "an old report\r\n");
  Outcome run = RunTonnageReport(dir.path(), kStamp);
  EXPECT_TRUE(run.kind == OutcomeKind::IoError && run.message.find(kVersionFileName) != run.message.npos)
      << run.message;
  WriteFile(dir.File(kVersionFileName), "  PRAX V4.2.1 04/2006  \r\n");
  run = RunTonnageReport(dir.path(), kStamp);
  EXPECT_TRUE(run.message.find(kWorkFileName) != run.message.npos &&
              ReadFile(dir.File(kSpoolFileName)) == "an old report\r\n")
      << run.message;

  const std::string work = ReadFile(SamplePath("us-standard-tickets.K81"));
  WriteFile(dir.File(kWorkFileName), work);
  ASSERT_TRUE(RunTonnageReport(dir.path(), kStamp).ok());
  // The version text without the blanks around it.
  EXPECT_EQ(ReadFile(dir.File(kSpoolFileName)), MakeReportSpool(work, "PRAX V4.2.1 04/2006", kStamp));
  EXPECT_FALSE(Exists(dir.File(kScratchSpoolFileName)));
}

TEST(TicketExport, OneRowPerTicketWithTheErrorsFound) {
  struct Rows : LineSink {
    void WriteLine(std::string_view l) override { rows.emplace_back(l); }
    std::vector<std::string> rows;
  } csv;
  const std::string image = Image({IndexLine(), BookLine("1", "0.0000", "BASE, \"TONS\" BOOK"),
                                   Ticket(7, "06/16/2026", "12.500", "2.500", "10.000", "5.200", true, false, true),
                                   Ticket(9, "06/16/2026", "2.500", "12.500", "10.000"),
                                   Ticket(10, "06/17/2026", "", "", "", "", false, true)});
  io::StringLineSource work(image);
  ASSERT_TRUE(ExportTickets(work, csv));
  ASSERT_EQ(csv.rows.size(), 4u);
  EXPECT_EQ(csv.rows[0],
            "Book,Comments,Data Type,Specific Gravity,Page,Date,Gross or Agg Weight,Tare or Bit "
            "Weight,Net or Tot Weight,THEO,KP,Unit,Pct Bitumen,Priv Waste,Void,Note,Errors");
  const std::string book = "1,\"BASE, \"\"TONS\"\" BOOK\",1,0.0000,";
  EXPECT_EQ(csv.rows[1], book + "7,2026-06-16,25000,5000,20000,20000,20000,lb,5.200,Y,,Y,");
  EXPECT_EQ(csv.rows[2], book +
                             "9,2026-06-16,5000,25000,20000,-20000,20000,lb,,,,,"
                             "PAGE ORDER; GROSS LESS THAN TARE; THEO/KP MISMATCH");
  EXPECT_EQ(csv.rows[3], book + "10,2026-06-17,,,,0,0,lb,,,Y,,");
  io::StringLineSource bad("HELLO\r\n");
  EXPECT_FALSE(ExportTickets(bad, csv));
}

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
