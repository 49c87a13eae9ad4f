#include "data/data_file.h"

#include <gtest/gtest.h>

#include "../test_files.h"
#include "data/section_file.h"
#include "data/session.h"
#include "text/fixed_width.h"

namespace tonnage {
namespace {

using namespace testing;

TEST(DataFile, IndexLineFields) {
  IndexRecord blank;
  blank.unitSystem = "M";
  EXPECT_EQ(FormatIndexLine(blank), "CST81" + std::string(32, ' ') + "M ");
  IndexRecord back = ParseIndexLine(FormatIndexLine(blank));
  EXPECT_EQ(back.refNo, "");
  EXPECT_EQ(back.projectNo, "");
  EXPECT_EQ(back.date, std::string(10, ' '));
  EXPECT_EQ(back.unitSystem, "M");

  IndexRecord noUnit = ParseIndexLine("CST81 12      PR-1        06/01/2026   J. DOE");
  EXPECT_EQ(noUnit.unitSystem, "E");
  EXPECT_EQ(noUnit.engineer, "J. DOE");
  // Engineer is read from columns 40-65 only.
  IndexRecord longName = ParseIndexLine("CST81 " + std::string(31, ' ') + "E " + std::string(30, 'K'));
  EXPECT_EQ(longName.engineer, std::string(26, 'K'));
}

TEST(DataFile, BookHeaderFields) {
  EXPECT_EQ(ParseBookHeaderLine("*   2.65 SURFACE").dataType, "0");
  EXPECT_EQ(ParseBookHeaderLine("* 1 1.0300 " + std::string(40, 'C')).comments, std::string(35, 'C'));
  // Ten or more gives up decimals so the comments keep their columns, even
  // for a gravity typed into a file by hand.
  const std::string comments(35, 'C');
  const std::pair<std::string, std::string> gravities[] = {
      {"2.65", "2.6500"}, {"10.125", "10.125"}, {"42498", " 42498"}, {"ABC", "0.0000"}};
  for (const auto& [typed, written] : gravities) {
    const std::string line = FormatBookHeaderLine({comments, "2", typed});
    EXPECT_EQ(line, "* 2 " + written + " " + comments);
    const BookHeader back = ParseBookHeaderLine(line);
    EXPECT_EQ(back.specificGravity + "|" + back.comments,
              written.substr(written.find_first_not_of(' ')) + "|" + comments);
  }
}

TEST(DataFile, BooksWithoutTicketsAndDeletedBooks) {
  ScratchFolder work;
  WriteFile(work.File("IN.K81"), CrLf({"CST81 1", "* 0 0.0000 EMPTY BOOK", "* 0 0.0000",
                                       "001001 06/01/2026 70000     30000     40000      5.500      "}));
  ReadDataFileResult read = ReadDataFile(work.File("IN.K81"), work.path());
  ASSERT_TRUE(read.outcome.ok());
  EXPECT_EQ(read.bookCount, 2);
  EXPECT_EQ(read.books[1].comments, "BOOK NUMBER  2") << "a book without comments keeps its tickets";
  EXPECT_EQ(ReadFile(work.File("SECT0001.TMP")), "");
  read.books[0].comments.clear();  // delete book 1
  read.books[1].dataType.clear();
  ASSERT_TRUE(WriteDataFile(work.File("OUT.K81"), read.index, read.books, work.path()).ok());
  EXPECT_EQ(read.books[1].dataType, "0") << "an empty type is set in memory too";
  const std::string out = ReadFile(work.File("OUT.K81"));
  EXPECT_EQ(out.substr(out.find("\r\n") + 2),
            CrLf({"* 0 0.0000 BOOK NUMBER  2", "001001 06/01/2026 70000     30000     40000      5.500      "}));
}

// What the report streams from a data file.
std::string StreamedImage(const std::string& path, Outcome* outcome = nullptr) {
  WorkImageSource source(path);
  std::string text, line;
  while (source.Next(line)) text += line + "\r\n";
  if (outcome) *outcome = source.outcome();
  return text;
}

// Each file read, or refused with its message, and the report's stream of it
// stopped with the same refusal.
TEST(DataFile, RefusedFilesAndTheLimitsOfBooksAndPages) {
  const auto withBooks = [](int books) {
    std::string text = "CST81 1\r\n";
    for (int b = 1; b <= books; ++b) text += "* 0 0.0000 BOOK " + std::to_string(b) + "\r\n";
    return text;
  };
  const auto withPages = [](int pages) {
    std::string text = "CST81 1\r\n* 0 0.0000 B\r\n";
    for (int p = 1; p <= pages; ++p)
      text += FormatMask(p, "000000") + " 06/01/2026 70000     30000     40000      5.500      \r\n";
    return text;
  };
  const std::string invalid = "Invalid File - Select Another File!";
  const struct {
    std::string bytes;
    OutcomeKind kind;
    std::string message;
    int books;  // when read: the books and the comments of the last
    std::string last;
  } cases[] = {
      {"", OutcomeKind::InvalidFile, invalid, 0, ""},
      {"CST80 1\r\n", OutcomeKind::InvalidFile, invalid, 0, ""},
      {"\r\n", OutcomeKind::InvalidFile, invalid, 0, ""},
      // A ticket before any book would be lost by the next save; blank lines there are harmless.
      {CrLf({"CST81 1", "", "001001 06/01/2026 70000", "* 0 0.0000 B"}), OutcomeKind::BadLine,
       "Line 3 comes before the first book header - Select Another File!", 0, ""},
      {CrLf({"CST81 1", "", "   ", "* 0 0.0000 B"}), OutcomeKind::Ok, "", 1, "B"},
      {withBooks(500), OutcomeKind::Ok, "", 500, "BOOK 500"},
      {withBooks(501), OutcomeKind::TooManyBooks, "More than 500 books - Program aborted!", 0, ""},
      {withPages(200), OutcomeKind::Ok, "", 1, "B"},
      {withPages(201), OutcomeKind::TooManyPages, "More than 200 pages in a book - Program aborted!", 0, ""},
  };
  ScratchFolder work;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.substr(0, 60));
    WriteFile(work.File("IN.K81"), c.bytes);
    const ReadDataFileResult read = ReadDataFile(work.File("IN.K81"), work.path());
    const bool critical = c.kind == OutcomeKind::TooManyBooks || c.kind == OutcomeKind::TooManyPages;
    EXPECT_EQ(read.outcome.kind, c.kind);
    EXPECT_EQ(read.outcome.message, c.message);
    EXPECT_EQ(read.outcome.title, c.message.empty() ? "" : critical ? "Critical Error" : "File Input Error");
    EXPECT_EQ(read.outcome.critical, critical);
    if (c.books > 0) {
      EXPECT_EQ(read.bookCount, c.books);
      EXPECT_EQ(read.books[static_cast<std::size_t>(c.books - 1)].comments, c.last);
    }
    Outcome streamed;
    const std::string image = StreamedImage(work.File("IN.K81"), &streamed);
    EXPECT_EQ(streamed.kind, c.kind);
    if (c.kind == OutcomeKind::InvalidFile || c.kind == OutcomeKind::BadLine) {
      EXPECT_EQ(image, "");
    }
  }
}

// Open then save gives the samples back byte for byte (the older layout
// upgraded), and what the report streams is what Open then save writes.
TEST(WorkImage, IsWhatOpenThenSaveWrites) {
  ScratchFolder dir;
  // Odd corners: blank lines before the first book, a book without comments
  // but with tickets (it gets a name), one with neither (left out), an empty
  // book, lower case and a Latin-1 letter, LF-only ends and no end on the
  // last line.
  WriteFile(dir.File("ODD.K81"),
            "cst81 77      sp-1        06/01/2026 e j. m\xfcller\n \n* 0 0.0000\n000101 10/02/2026 61020     "
            "28340     32680      5.400      \n* 1 0.0000 TONS\n* 0 0.0000 \n* 2 1.0300 batch\n"
            "000301 10/03/2026 52040     2870      54910      5.230 y    ");
  std::vector<std::string> files{dir.File("ODD.K81")};
  for (const char* name : kSampleFiles) files.push_back(SamplePath(name));
  for (const std::string& path : files) {
    ScratchFolder work;
    ReadDataFileResult read = ReadDataFile(path, work.path());
    ASSERT_TRUE(read.outcome.ok()) << path;
    ASSERT_TRUE(WriteDataFile(work.File("WORK.TMP"), read.index, read.books, work.path()).ok());
    const std::string saved = ReadFile(work.File("WORK.TMP")), original = ReadFile(path);
    EXPECT_EQ(StreamedImage(path), saved) << path;
    if (path == files[0]) {
      EXPECT_EQ(saved, CrLf({"CST81 77      SP-1        06/01/2026 E J. M\xdcLLER", "* 0 0.0000 BOOK NUMBER  1",
                             "000101 10/02/2026 61020     28340     32680      5.400      ", "* 1 0.0000 TONS",
                             "* 2 1.0300 BATCH", "000301 10/03/2026 52040     2870      54910      5.230 Y    "}));
    } else if (path.find("old-layout") != std::string::npos) {
      EXPECT_EQ(saved, "CST81 1988    F-019-1(7)  05/14/2001 E J. KOSTELNIK" + original.substr(original.find("\r\n")));
    } else {
      EXPECT_EQ(saved, original) << path;
    }
  }
}

TEST(TicketLine, NoFieldShiftsTheColumnsAfterIt) {
  const TicketRow row{{"12", "", "123456.789", "1234567", "99", "100.5", "Y", "Y", "Y"}};
  // The empty date kept in its columns, each weight given up decimals for.
  const std::string metric = FormatTicketLine(row, "M", "0");
  EXPECT_EQ(metric, "000012" + std::string(12, ' ') + "123456.79 1234567.0    99.000 100.50 Y Y Y");
  EXPECT_EQ(FormatTicketLine(row, "E", "0").substr(18, 20), "123457    1234567   ");

  EXPECT_EQ(FormatTicketLine({{"-31", "06/01/2026", "1"}}, "E", "0").substr(0, 18), "-00031 06/01/2026 ");

  // A blank date reads back empty.
  EXPECT_EQ(ParseTicketLine(metric),
            (TicketRow{{"000012", "", "123456.79", "1234567.0", "99.000", "100.50", "Y", "Y", "Y"}}));
}

TEST(TicketLine, ReadingColumns) {
  const TicketRow row = ParseTicketLine("001201  1/ 5/2027 77756     30056     47700      5.600 y y x");
  EXPECT_EQ(row, (TicketRow{{"001201", "01/05/2027", "77756", "30056", "47700", "5.600", "Y", "Y", "X"}}));
  EXPECT_EQ(ParseTicketLine("000009").cells[1], "") << "a short line gives empty fields";
}

TEST(SectionFile, KeptRowsCloseUpAndReadBack) {
  ScratchFolder dir;
  BookRows rows;
  rows[0] = {{"1201", "09/28/2026", "77756", "30056", "47700", "5.6"}};
  rows[1] = {{"1202", "09/28/2026", "", "30010", "", "5.6"}};  // no gross, net or void: dropped
  rows[4] = {{"", "", "", "", "", "", "", "Y"}};               // only a void: kept, page 0
  rows[7] = {{"1204", "09/29/2026", "", "", "41200", "", "", "", "Y"}};
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
