#include "data/data_file.h"

#include <gtest/gtest.h>

#include "../test_files.h"
#include "data/section_file.h"
#include "data/session.h"
#include "text/fixed_width.h"

namespace tonnage {
namespace {

using namespace testing;

const char* const kSamples[] = {"us-standard-tickets.K81", "metric-with-tons-book.K81", "batch-plant-gravities.K81",
                                "checks-page-order-and-weights.K81"};

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
  BookHeader h = ParseBookHeaderLine("*   2.65 SURFACE");
  EXPECT_EQ(h.dataType, "0");
  BookHeader g{"BINDER", "2", "2.65"};
  EXPECT_EQ(FormatBookHeaderLine(g), "* 2 2.6500 BINDER");
  g.specificGravity = "10.125";
  // Ten or more gives up a decimal so the comments keep their columns.
  EXPECT_EQ(FormatBookHeaderLine(g), "* 2 10.125 BINDER");
  EXPECT_EQ(ParseBookHeaderLine(FormatBookHeaderLine(g)).specificGravity, "10.125");
  g.comments = std::string(35, 'C');
  EXPECT_EQ(ParseBookHeaderLine(FormatBookHeaderLine(g)).comments, g.comments);
  g.comments = "BINDER";
  g.specificGravity = "42498";  // typed into a file by hand: the comments keep their place
  EXPECT_EQ(FormatBookHeaderLine(g), "* 2  42498 BINDER");
  EXPECT_EQ(ParseBookHeaderLine(FormatBookHeaderLine(g)).comments, "BINDER");
  g.specificGravity = "ABC";
  EXPECT_EQ(FormatBookHeaderLine(g), "* 2 0.0000 BINDER");
  EXPECT_EQ(ParseBookHeaderLine("* 1 1.0300 " + std::string(40, 'C')).comments, std::string(35, 'C'));
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
  ReadDataFileResult again = ReadDataFile(work.File("OUT.K81"), work.path());
  ASSERT_TRUE(again.outcome.ok());
  EXPECT_EQ(again.bookCount, 1);
  EXPECT_EQ(again.books[0].comments, "BOOK NUMBER  2");
  EXPECT_EQ(ReadFile(work.File("SECT0001.TMP")), "001001 06/01/2026 70000     30000     40000      5.500      \r\n");
}

TEST(DataFile, TextIsUpperCasedAndForeignLineEndsAreAccepted) {
  ScratchFolder work;
  // LF only, no end on the last line, lower case and a Latin-1 letter.
  WriteFile(work.File("IN.K81"),
            "cst81 77      sp-1        06/01/2026 e j. m\xfcller\n"
            "* 0 0.0000 overlay\n"
            "001001 06/01/2026 70000     30000     40000      5.500 y    ");
  ReadDataFileResult read = ReadDataFile(work.File("IN.K81"), work.path());
  ASSERT_TRUE(read.outcome.ok()) << read.outcome.message;
  EXPECT_EQ(read.index.engineer, "J. M\xdcLLER");
  EXPECT_EQ(read.books[0].comments, "OVERLAY");
  EXPECT_EQ(ReadFile(work.File("SECT0001.TMP")), "001001 06/01/2026 70000     30000     40000      5.500 Y    \r\n");
}

TEST(DataFile, RefusedFiles) {
  ScratchFolder work;
  for (const std::string& bytes : {std::string(), std::string("CST80 1\r\n"), std::string("\r\n")}) {
    WriteFile(work.File("IN.K81"), bytes);
    ReadDataFileResult r = ReadDataFile(work.File("IN.K81"), work.path());
    EXPECT_EQ(r.outcome.kind, OutcomeKind::InvalidFile);
    EXPECT_EQ(r.outcome.title, "File Input Error");
    EXPECT_EQ(r.outcome.message, "Invalid File - Select Another File!");
    EXPECT_FALSE(r.outcome.critical);
  }
  // A ticket before any book would be lost by the next save.
  WriteFile(work.File("IN.K81"), CrLf({"CST81 1", "", "001001 06/01/2026 70000", "* 0 0.0000 B"}));
  ReadDataFileResult stray = ReadDataFile(work.File("IN.K81"), work.path());
  EXPECT_EQ(stray.outcome.kind, OutcomeKind::BadLine);
  EXPECT_EQ(stray.outcome.title, "File Input Error");
  EXPECT_NE(stray.outcome.message.find("Line 3"), std::string::npos) << stray.outcome.message;
  // Blank lines there are harmless.
  WriteFile(work.File("IN.K81"), CrLf({"CST81 1", "", "   ", "* 0 0.0000 B"}));
  EXPECT_TRUE(ReadDataFile(work.File("IN.K81"), work.path()).outcome.ok());
}

TEST(DataFile, BookAndPageLimits) {
  ScratchFolder work;
  auto withBooks = [&](int books) {
    std::string text = "CST81 1\r\n";
    for (int b = 1; b <= books; ++b) text += "* 0 0.0000 BOOK " + std::to_string(b) + "\r\n";
    return text;
  };
  WriteFile(work.File("IN.K81"), withBooks(500));
  ReadDataFileResult at = ReadDataFile(work.File("IN.K81"), work.path());
  EXPECT_TRUE(at.outcome.ok());
  EXPECT_EQ(at.bookCount, 500);
  EXPECT_EQ(at.books[499].comments, "BOOK 500");

  WriteFile(work.File("IN.K81"), withBooks(501));
  ReadDataFileResult over = ReadDataFile(work.File("IN.K81"), work.path());
  EXPECT_EQ(over.outcome.kind, OutcomeKind::TooManyBooks);
  EXPECT_EQ(over.outcome.message, "More than 500 books - Program aborted!");
  EXPECT_EQ(over.outcome.title, "Critical Error");
  EXPECT_TRUE(over.outcome.critical);

  auto withPages = [&](int pages) {
    std::string text = "CST81 1\r\n* 0 0.0000 B\r\n";
    for (int p = 1; p <= pages; ++p)
      text += FormatMask(p, "000000") + " 06/01/2026 70000     30000     40000      5.500      \r\n";
    return text;
  };
  WriteFile(work.File("IN.K81"), withPages(200));
  EXPECT_TRUE(ReadDataFile(work.File("IN.K81"), work.path()).outcome.ok());
  WriteFile(work.File("IN.K81"), withPages(201));
  ReadDataFileResult pages = ReadDataFile(work.File("IN.K81"), work.path());
  EXPECT_EQ(pages.outcome.kind, OutcomeKind::TooManyPages);
  EXPECT_EQ(pages.outcome.message, "More than 200 pages in a book - Program aborted!");
  EXPECT_TRUE(pages.outcome.critical);
}

// What the report streams from a data file.
std::string StreamedImage(const std::string& path, Outcome* outcome = nullptr) {
  WorkImageSource source(path);
  std::string text, line;
  while (source.Next(line)) text += line + "\r\n";
  if (outcome) *outcome = source.outcome();
  return text;
}

// Open then save gives the samples back byte for byte (the older layout
// upgraded), and what the report streams is what Open then save writes.
TEST(WorkImage, IsWhatOpenThenSaveWrites) {
  ScratchFolder dir;
  // Odd corners: blank lines before the first book, a book without comments
  // but with tickets (it gets a name), one with neither (left out), an empty
  // book, lower case, LF-only ends and no end on the last line.
  WriteFile(dir.File("ODD.K81"),
            "cst81 77     nh-1 10/02/2026 e a. berg\n \n* 0 0.0000\n000101 10/02/2026 61020     "
            "28340     32680      5.400      \n* 1 0.0000 TONS\n* 0 0.0000 \n* 2 1.0300 batch\n"
            "000301 10/03/2026 52040     2870      54910      5.230 Y    ");
  std::vector<std::string> files{dir.File("ODD.K81"), SamplePath("old-layout-2001.K81")};
  for (const char* name : kSamples) files.push_back(SamplePath(name));
  for (const std::string& path : files) {
    ScratchFolder work;
    ReadDataFileResult read = ReadDataFile(path, work.path());
    ASSERT_TRUE(read.outcome.ok()) << path;
    ASSERT_TRUE(WriteDataFile(work.File("WORK.TMP"), read.index, read.books, work.path()).ok());
    const std::string saved = ReadFile(work.File("WORK.TMP")), original = ReadFile(path);
    Outcome streamed;
    EXPECT_EQ(StreamedImage(path, &streamed), saved) << path;
    EXPECT_TRUE(streamed.ok()) << path;
    if (path == files[1]) {
      EXPECT_EQ(saved.substr(0, saved.find("\r\n")), "CST81 1988    F-019-1(7)  05/14/2001 E J. KOSTELNIK");
      EXPECT_EQ(saved.substr(saved.find("\r\n")), original.substr(original.find("\r\n")));
    } else if (path != files[0]) {
      EXPECT_EQ(saved, original) << path;
    }
  }
}

TEST(WorkImage, StopsWithTheRefusalOfOpen) {
  ScratchFolder dir;
  std::string text = "CST81 1\r\n";
  for (int b = 1; b <= 501; ++b) text += "* 0 0.0000 BOOK\r\n";
  WriteFile(dir.File("MANY.K81"), text);
  Outcome why;
  StreamedImage(dir.File("MANY.K81"), &why);
  EXPECT_EQ(why.kind, OutcomeKind::TooManyBooks);
  WriteFile(dir.File("STRAY.K81"), "CST81 1\r\nSTRAY\r\n* 0 0.0000 BOOK\r\n");
  EXPECT_EQ(StreamedImage(dir.File("STRAY.K81"), &why), "");
  EXPECT_EQ(why.kind, OutcomeKind::BadLine);
  StreamedImage(dir.File("NONE.K81"), &why);
  EXPECT_EQ(why.kind, OutcomeKind::IoError);
}

}  // namespace
}  // namespace tonnage
