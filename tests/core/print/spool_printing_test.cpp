// Pages of the spool on a recording printer, and the spool copied to a file.
#include <gtest/gtest.h>

#include <cstdlib>

#include "../test_files.h"
#include "print/print_dialog.h"
#include "print/spool_printing.h"
#include "recording_printer.h"

namespace tonnage::print {
namespace {

using namespace testing;

// Page n holds the lines "Pn.1" and "Pn.2", pages split by form-feed lines.
std::string Spool(int pages) {
  std::string text;
  for (int p = 1; p <= pages; ++p) {
    const std::string n = std::to_string(p);
    text += (p > 1 ? "\f\r\n" : "") + ("P" + n + ".1\r\nP" + n + ".2\r\n");
  }
  return text;
}

std::string Repeat(const std::string& text, int times) {
  std::string all;
  while (times-- > 0) all += text;
  return all;
}

TEST(SpoolPages, SheetsAndNewPagesByRange) {
  struct Case {
    std::string text;
    std::int16_t from, to;
    const char* sheets;  // sheets that got lines, split by '|'
    int newPages;
  };
  const Case cases[] = {
      {Spool(3), 0, 0, "P1.1,P1.2|P2.1,P2.2|P3.1,P3.2", 2},  // one new page before 2 and 3
      {Spool(4), 2, 3, "P2.1,P2.2|P3.1,P3.2", 1},            // none in front of page 2
      {Spool(4), 0, 2, "P1.1,P1.2|P2.1,P2.2", 1},
      {Spool(4), 3, 0, "P3.1,P3.2|P4.1,P4.2", 1},
      {Spool(4), -3, 1, "P1.1,P1.2", 0},
      // Ranges with no page: the document is still ended, empty.
      {Spool(3), 5, 3, "", 0},
      {Spool(3), 7, 0, "", 0},
      // Any line holding a form feed breaks the page and is not printed.
      {"ONE\r\nTOTAL 12\fX\r\nTWO\r\n\f\r\nTHREE\r\n", 2, 0, "TWO|THREE", 1},
      {"A\nB\rC\r\n\f\nD", 0, 0, "A,B,C|D", 1},
      // A selection ending on a page break: the request is made, no blank sheet.
      {"P1.9\r\n\f\r\nP2.1\r\n\f\r\n", 0, 0, "P1.9|P2.1", 2},
      // 65537 page breaks: a 16-bit count would be back at page 2 for "LATE".
      {"FIRST\r\n" + Repeat("\f\r\n", 65537) + "LATE\r\n", 1, 2, "FIRST", 1},
  };
  ScratchFolder dir;
  for (const Case& c : cases) {
    WriteFile(dir.File("PRINT.SPL"), c.text);
    RecordingPrinter printer;
    ASSERT_TRUE(PrintSpoolPages(dir.File("PRINT.SPL"), c.from, c.to, printer).ok());
    ASSERT_EQ(printer.documents.size(), 1u) << c.text.substr(0, 40);
    EXPECT_EQ(printer.Sheets(0), c.sheets) << c.from << ".." << c.to << " of " << c.text.substr(0, 40);
    EXPECT_EQ(printer.documents[0].newPages, c.newPages) << c.from << ".." << c.to << " of " << c.text.substr(0, 40);
  }
}

TEST(SpoolPages, FailuresOfTheSpoolAndOfThePrinterComeBack) {
  ScratchFolder dir;
  RecordingPrinter printer;
  const Outcome missing = PrintSpoolPages(dir.File("NONE.SPL"), 0, 0, printer, &kReportFont);
  EXPECT_NE(missing.message.find("NONE.SPL: No such file"), std::string::npos) << missing.message;
  EXPECT_TRUE(printer.documents.empty());
  EXPECT_FALSE(printer.documentOpen());  // not even the font was set
  // A folder opens but cannot be read: the document is ended, the failure told.
  EXPECT_NE(PrintSpoolPages(dir.path(), 0, 0, printer).message.find("Is a directory"), std::string::npos);
  EXPECT_FALSE(printer.documentOpen());

  printer.failures.push_back(Outcome::Failure(OutcomeKind::IoError, "Print", "The queue is stopped."));
  WriteFile(dir.File("PRINT.SPL"), Spool(1));
  EXPECT_EQ(PrintSpoolPages(dir.File("PRINT.SPL"), 0, 0, printer, &kReportFont).message, "The queue is stopped.");
  EXPECT_EQ(printer.documents.back().fonts, std::vector<std::string>{"Courier New 12"});
}

TEST(SpoolCopy, LineForLineWithCrLfAndFailuresNamePathAndReason) {
  ScratchFolder dir;
  const std::string spool = dir.File("PRINT.SPL");
  const std::string target = dir.File("REPORT.PRN");
  WriteFile(spool, Spool(3));
  ASSERT_TRUE(CopySpoolToFile(spool, target).ok());
  EXPECT_EQ(ReadFile(target), Spool(3));
  // Lines that ended otherwise (or not at all) end in CR LF in the copy.
  WriteFile(spool, std::string("A\nB\r\f\n\xE9 C"));
  ASSERT_TRUE(CopySpoolToFile(spool, target).ok());
  EXPECT_EQ(ReadFile(target), "A\r\nB\r\n\f\r\n\xE9 C\r\n");

  EXPECT_NE(CopySpoolToFile(dir.File("NONE.SPL"), target).message.find("NONE.SPL"), std::string::npos);
  EXPECT_EQ(ReadFile(target), "A\r\nB\r\n\f\r\n\xE9 C\r\n");
  const Outcome full = CopySpoolToFile(spool, "/dev/full");
  EXPECT_NE(full.message.find("/dev/full: No space left on device"), std::string::npos) << full.message;
  const Outcome noFolder = CopySpoolToFile(spool, dir.File("gone/REPORT.PRN"));
  EXPECT_NE(noFolder.message.find("gone/REPORT.PRN: No such file or directory"), std::string::npos) << noFolder.message;
  // A copy stopped part way leaves the older file and no other.
  WriteFile(spool, Spool(5));
  std::vector<std::int64_t> done;
  const Outcome copied = CopySpoolToFile(spool, target, [&](std::int64_t d, std::int64_t total) {
    EXPECT_EQ(total, 5);
    done.push_back(d);
    return d < 3;
  });
  EXPECT_EQ(copied.kind, OutcomeKind::Cancelled);
  EXPECT_EQ(done, (std::vector<std::int64_t>{1, 2, 3}));
  EXPECT_EQ(ReadFile(target), "A\r\nB\r\n\f\r\n\xE9 C\r\n");
  EXPECT_EQ(ListFolder(dir.path()).size(), 2u);
}

// Each copy is a document of its own; every page of every copy is told, a
// stop abandons the document and a failed copy ends the run.
TEST(PrintChosenPages, CopiesProgressStopsAndFailures) {
  const std::string all = "P1.1,P1.2|P2.1,P2.2|P3.1,P3.2|P4.1,P4.2";
  const struct {
    PrintRange range;
    int from, to;
    const char* copies;
    bool oneCopy;         // preview and PDF
    bool failSecond;      // the printer refuses the second document
    std::int64_t stopAt;  // 0: never
    std::int64_t told, total;
    std::size_t ended;   // documents ended
    std::string sheets;  // of each of them
  } cases[] = {
      {PrintRange::All, 0, 0, "2", false, false, 0, 8, 8, 2, all},
      {PrintRange::Pages, 2, 3, "3", false, false, 0, 6, 6, 3, "P2.1,P2.2|P3.1,P3.2"},
      {PrintRange::Pages, 3, 9, "1", false, false, 0, 2, 2, 1, "P3.1,P3.2|P4.1,P4.2"},  // To past the end
      {PrintRange::All, 3, 3, "4", false, true, 0, 8, 16, 2, all},                      // All wins over the page fields
      {PrintRange::All, 0, 0, "3", false, false, 6, 6, 12, 1, all},                     // stopped in the second copy
      {PrintRange::Pages, 4, 4, "1", false, false, 1, 1, 1, 0, ""},                     // stopped on the last page
      {PrintRange::All, 0, 0, "0", false, false, 0, 0, 0, 0, ""},
      {PrintRange::All, 0, 0, "", false, false, 0, 0, 0, 0, ""},
      {PrintRange::All, 0, 0, "", true, false, 0, 4, 4, 1, all},
  };
  ScratchFolder dir;
  WriteFile(dir.File("PRINT.SPL"), Spool(4));
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.from) + "-" + std::to_string(c.to) + " x" + c.copies);
    PrintDialog dialog = LoadPrintDialog(false);
    ChooseRange(dialog, c.range);
    dialog.pageFrom = c.from, dialog.pageTo = c.to, dialog.copiesText = c.copies;
    std::string spool = dir.File("PRINT.SPL");
    RecordingPrinter printer;
    if (c.failSecond)
      printer.failures = {Outcome::Success(),
                          Outcome::Failure(OutcomeKind::IoError, "Print", "The printer is off line.")};
    std::vector<std::int64_t> done;
    const Outcome printed = PrintChosenPages(dialog, spool, dir.File("SEL.TXT"), printer, c.oneCopy,
                                             [&](std::int64_t d, std::int64_t total) {
                                               EXPECT_EQ(total, c.total);
                                               done.push_back(d);
                                               return d != c.stopAt;
                                             });
    EXPECT_EQ(printed.kind, c.stopAt ? OutcomeKind::Cancelled : c.failSecond ? OutcomeKind::IoError : OutcomeKind::Ok);
    EXPECT_EQ(printed.message == "The printer is off line.", c.failSecond) << printed.message;
    EXPECT_EQ(std::pair(dialog.PrintFrom, dialog.PrintCopies),
              (std::pair<std::int16_t, std::int16_t>(c.range == PrintRange::All ? 0 : c.from, std::atoi(c.copies))));
    ASSERT_EQ(static_cast<std::int64_t>(done.size()), c.told);
    EXPECT_EQ(done.empty() ? 0 : done.back(), c.told);
    ASSERT_EQ(printer.documents.size(), c.ended);
    for (std::size_t d = 0; d < c.ended; ++d) {
      EXPECT_EQ(printer.Sheets(d), c.sheets);
      EXPECT_EQ(printer.documents[d].fonts, std::vector<std::string>{"Courier New 12"});
    }
    EXPECT_EQ(printer.abandoned, c.stopAt ? 1 : 0);
    EXPECT_FALSE(printer.documentOpen()) << "a font with no document after it";
  }
}

}  // namespace
}  // namespace tonnage::print
