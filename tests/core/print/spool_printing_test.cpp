// Pages of the spool on a recording printer, and the spool copied to a file.
#include <gtest/gtest.h>

#include "../test_files.h"
#include "print/spool_printing.h"
#include "recording_printer.h"

namespace tonnage::print {
namespace {

using testing::ReadFile;
using testing::RecordingPrinter;
using testing::ScratchFolder;
using testing::WriteFile;

// Page n holds the lines "Pn.1" .. "Pn.<rows>", pages split by form-feed lines.
std::string Spool(int pages, int rows = 2) {
  std::string text;
  for (int p = 1; p <= pages; ++p) {
    if (p > 1) text += "\f\r\n";
    for (int r = 1; r <= rows; ++r) text += "P" + std::to_string(p) + "." + std::to_string(r) + "\r\n";
  }
  return text;
}

class SpoolPages : public ::testing::Test {
 protected:
  Outcome Print(const std::string& text, std::int16_t from, std::int16_t to) {
    WriteFile(spool, text);
    return PrintSpoolPages(spool, from, to, printer);
  }
  ScratchFolder dir;
  std::string spool = dir.File("PRINT.SPL");
  RecordingPrinter printer;
};

TEST_F(SpoolPages, WholeReportOneSheetPerPageWithANewPageBeforeEachLaterPage) {
  ASSERT_TRUE(Print(Spool(3), 0, 0).ok());
  ASSERT_EQ(printer.documents.size(), 1u);
  const auto& doc = printer.documents[0];
  EXPECT_EQ(printer.Sheets(0), "P1.1,P1.2|P2.1,P2.2|P3.1,P3.2");
  EXPECT_EQ(doc.newPages, 2);
  // Before sheet 2 (after two lines) and before sheet 3 (after four).
  EXPECT_EQ(doc.newPageBeforeLine, (std::vector<int>{2, 4}));
  EXPECT_TRUE(doc.fonts.empty());
}

TEST_F(SpoolPages, RangesCountFormFeedPagesAndZeroMeansFirstOrLast) {
  struct Case {
    std::int16_t from, to;
    const char* sheets;
    int newPages;
  };
  const Case cases[] = {
      {2, 3, "P2.1,P2.2|P3.1,P3.2", 1},  // no new page in front of page 2
      {0, 2, "P1.1,P1.2|P2.1,P2.2", 1},
      {3, 0, "P3.1,P3.2|P4.1,P4.2", 1},
      {4, 4, "P4.1,P4.2", 0},
      {4, 9999, "P4.1,P4.2", 0},
      {-3, 1, "P1.1,P1.2", 0},
  };
  for (const Case& c : cases) {
    RecordingPrinter fresh;
    WriteFile(spool, Spool(4));
    ASSERT_TRUE(PrintSpoolPages(spool, c.from, c.to, fresh).ok());
    ASSERT_EQ(fresh.documents.size(), 1u);
    EXPECT_EQ(fresh.Sheets(0), c.sheets) << c.from << ".." << c.to;
    EXPECT_EQ(fresh.documents[0].newPages, c.newPages) << c.from << ".." << c.to;
  }
}

TEST_F(SpoolPages, ARangeWithNoPageStillEndsAnEmptyDocument) {
  for (auto [from, to] : {std::pair<std::int16_t, std::int16_t>{5, 3}, {7, 0}, {4, 9}, {1, -1}}) {
    RecordingPrinter fresh;
    WriteFile(spool, Spool(3));
    ASSERT_TRUE(PrintSpoolPages(spool, from, to, fresh).ok());
    ASSERT_EQ(fresh.documents.size(), 1u) << from << ".." << to;
    EXPECT_TRUE(fresh.documents[0].sheets.empty()) << from << ".." << to;
    EXPECT_EQ(fresh.documents[0].newPages, 0) << from << ".." << to;
  }
}

TEST_F(SpoolPages, AnyLineHoldingAFormFeedBreaksThePageAndIsNeverPrinted) {
  ASSERT_TRUE(Print("ONE\r\nTOTAL 12\fX\r\nTWO\r\n\f\r\nTHREE\r\n", 2, 0).ok());
  EXPECT_EQ(printer.Sheets(0), "TWO|THREE");
  // Other line ends and a last line without one read the same way.
  RecordingPrinter other;
  WriteFile(spool, "A\nB\rC\r\n\f\nD");
  ASSERT_TRUE(PrintSpoolPages(spool, 0, 0, other).ok());
  EXPECT_EQ(other.Sheets(0), "A,B,C|D");
}

TEST_F(SpoolPages, ASelectionEndingOnAPageBreakGivesNoBlankSheet) {
  ASSERT_TRUE(Print("P1.9\r\n\f\r\nP2.1\r\n\f\r\n", 0, 0).ok());
  EXPECT_EQ(printer.documents[0].newPages, 2);  // the request is made...
  EXPECT_EQ(printer.Sheets(0), "P1.9|P2.1");   // ...but no sheet without lines
}

TEST_F(SpoolPages, ASpoolThatCannotBeReadLeavesThePrinterAlone) {
  const PrinterFont font = kReportFont;
  const Outcome missing = PrintSpoolPages(dir.File("NONE.SPL"), 0, 0, printer, &font);
  EXPECT_EQ(missing.kind, OutcomeKind::IoError);
  EXPECT_NE(missing.message.find("NONE.SPL"), std::string::npos) << missing.message;
  EXPECT_TRUE(printer.documents.empty());
  EXPECT_FALSE(printer.documentOpen());
  // A folder opens but cannot be read: the document is ended, the failure told.
  const Outcome folder = PrintSpoolPages(dir.path(), 0, 0, printer, &font);
  EXPECT_FALSE(folder.ok());
  EXPECT_FALSE(printer.documentOpen());
}

TEST_F(SpoolPages, FontComesFirstAndAPrinterFailureComesBack) {
  printer.failures.push_back(Outcome::Failure(OutcomeKind::IoError, "Print", "The queue is stopped."));
  const PrinterFont font = kReportFont;
  WriteFile(spool, Spool(1));
  const Outcome r = PrintSpoolPages(spool, 0, 0, printer, &font);
  EXPECT_EQ(r.message, "The queue is stopped.");
  ASSERT_EQ(printer.documents.size(), 1u);
  EXPECT_EQ(printer.documents[0].fonts, std::vector<std::string>{"Courier New 12"});
}

TEST_F(SpoolPages, PageCountPastSixteenBitsNeverComesRoundToTheRangeAgain) {
  // 65537 page breaks: a 16-bit count would be back at page 2 for "LATE".
  std::string text = "FIRST\r\n";
  for (int i = 0; i < 65537; ++i) text += "\f\r\n";
  text += "LATE\r\n";
  ASSERT_TRUE(Print(text, 1, 2).ok());
  EXPECT_EQ(printer.Sheets(0), "FIRST");
  EXPECT_EQ(printer.documents[0].newPages, 1);
}

class SpoolCopy : public ::testing::Test {
 protected:
  ScratchFolder dir;
  std::string spool = dir.File("PRINT.SPL");
  std::string target = dir.File("REPORT.PRN");
};

TEST_F(SpoolCopy, WritesTheSpoolLineForLineWithCrLf) {
  const std::string text = Spool(3, 40);
  WriteFile(spool, text);
  ASSERT_TRUE(CopySpoolToFile(spool, target).ok());
  EXPECT_EQ(ReadFile(target), text);
  // Lines that ended otherwise (or not at all) end in CR LF in the copy.
  WriteFile(spool, std::string("A\nB\r\f\n\xE9 C"));
  ASSERT_TRUE(CopySpoolToFile(spool, target).ok());
  EXPECT_EQ(ReadFile(target), "A\r\nB\r\n\f\r\n\xE9 C\r\n");
}

TEST_F(SpoolCopy, FailuresNameThePathAndReasonAndLeaveTheOldFile) {
  WriteFile(target, "an older report\r\n");
  const Outcome missing = CopySpoolToFile(dir.File("NONE.SPL"), target);
  EXPECT_NE(missing.message.find("NONE.SPL"), std::string::npos);
  EXPECT_EQ(ReadFile(target), "an older report\r\n");

  WriteFile(spool, Spool(2));
  const Outcome full = CopySpoolToFile(spool, "/dev/full");
  EXPECT_EQ(full.kind, OutcomeKind::IoError);
  EXPECT_NE(full.message.find("/dev/full: No space left on device"), std::string::npos) << full.message;

  const Outcome noFolder = CopySpoolToFile(spool, dir.File("gone/REPORT.PRN"));
  EXPECT_NE(noFolder.message.find("gone/REPORT.PRN"), std::string::npos) << noFolder.message;
  EXPECT_NE(noFolder.message.find("No such file or directory"), std::string::npos) << noFolder.message;
}

}  // namespace
}  // namespace tonnage::print
