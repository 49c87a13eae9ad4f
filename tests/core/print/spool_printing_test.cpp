// Pages of the spool on a recording printer, the spool copied to a file, and
// the print dialog's state and Print step where the window tests do not reach.
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
  // The spool, From and To, the sheets that got lines (split by '|') and the new pages asked.
  const std::tuple<std::string, std::int16_t, std::int16_t, const char*, int> cases[] = {
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
  for (const auto& [text, from, to, sheets, newPages] : cases) {
    SCOPED_TRACE(std::to_string(from) + ".." + std::to_string(to) + " of " + text.substr(0, 40));
    WriteFile(dir.File("PRINT.SPL"), text);
    RecordingPrinter printer;
    ASSERT_TRUE(PrintSpoolPages(dir.File("PRINT.SPL"), from, to, printer).ok() && printer.documents.size() == 1u);
    EXPECT_EQ(std::tuple(printer.Sheets(0), printer.documents[0].newPages), std::tuple(sheets, newPages));
  }
}

TEST(SpoolPages, FailuresOfTheSpoolAndOfThePrinterComeBack) {
  ScratchFolder dir;
  RecordingPrinter printer;
  const Outcome missing = PrintSpoolPages(dir.File("NONE.SPL"), 0, 0, printer, &kReportFont);
  EXPECT_NE(missing.message.find("NONE.SPL: No such file"), std::string::npos) << missing.message;
  EXPECT_TRUE(printer.documents.empty() && !printer.documentOpen());  // not even the font was set
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
  EXPECT_EQ(std::tuple(copied.kind, done), std::tuple(OutcomeKind::Cancelled, std::vector<std::int64_t>{1, 2, 3}));
  EXPECT_EQ(ReadFile(target) + std::to_string(ListFolder(dir.path()).size()), "A\r\nB\r\n\f\r\n\xE9 C\r\n2");
}

// Each copy is a document of its own; every page of every copy is told, a
// stop abandons the document and a failed copy ends the run.
TEST(PrintChosenPages, CopiesProgressStopsAndFailures) {
  const std::string all = "P1.1,P1.2|P2.1,P2.2|P3.1,P3.2|P4.1,P4.2";
  // Range, From, To, Copies; one copy only (preview and PDF); the printer refuses the second
  // document; the progress step that stops (0: never); pages told and their total; documents
  // ended and the sheets of each.
  const struct {
    PrintRange range;
    int from, to;
    const char* copies;
    bool oneCopy, failSecond;
    std::int64_t stopAt, told, total;
    std::size_t ended;
    std::string sheets;
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
    ASSERT_EQ(std::tuple(static_cast<std::int64_t>(done.size()), done.empty() ? 0 : done.back()),
              std::tuple(c.told, c.told));
    ASSERT_EQ(printer.documents.size(), c.ended);
    for (std::size_t d = 0; d < c.ended; ++d)
      EXPECT_EQ(std::tuple(printer.Sheets(d), printer.documents[d].fonts),
                std::tuple(c.sheets, std::vector<std::string>{"Courier New 12"}));
    EXPECT_EQ(printer.abandoned, c.stopAt ? 1 : 0);
    EXPECT_FALSE(printer.documentOpen()) << "a font with no document after it";
  }
}

TEST(PrintDialogState, OpensOnAllAndFollowsTheRangeChoice) {
  PrintDialog d = LoadPrintDialog(false);
  ChooseRange(d, PrintRange::SelectedText);  // disabled: no selection handed on
  EXPECT_EQ(d.range, PrintRange::All);
  PrintDialog sel = LoadPrintDialog(true);
  ChooseRange(sel, PrintRange::Pages);
  sel.pageTo = 4;
  ChooseRange(sel, PrintRange::SelectedText);  // leaves the page fields alone
  EXPECT_EQ(std::tuple(sel.range, sel.pageFieldsEnabled, sel.pageTo), std::tuple(PrintRange::SelectedText, true, 4));
  for (const char* ok : {"", "0", "12", "999"}) EXPECT_TRUE(CopiesTextAcceptable(ok)) << ok;
  for (const char* bad : {"1000", "-1", "2a", " 2", "+3"}) EXPECT_FALSE(CopiesTextAcceptable(bad)) << bad;
  EXPECT_TRUE(CopiesFromText("007") == 7 && CopiesFromText("") == 0);
}

TEST(PrintStep, SelectedTextPrintsOnceFromItsFile) {
  ScratchFolder dir;
  const std::string spoolPath = dir.File("PRINT.SPL"), selText = dir.File("SELTEXT.TXT");
  WriteFile(spoolPath, "P1\r\n\f\r\nP2\r\n\f\r\nP3\r\n");
  WriteFile(selText, "SELECTED\r\n\f\r\n");
  RecordingPrinter printer;
  PrintDialog d = LoadPrintDialog(true);
  ChooseRange(d, PrintRange::SelectedText);
  d.copiesText = "5";
  ASSERT_TRUE(PrintChosenPages(d, spoolPath, selText, printer).ok());
  EXPECT_EQ(std::tuple(printer.documents.size(), printer.Sheets(0)),
            std::tuple(std::size_t{1}, std::string("SELECTED")));
  printer.failures = {Outcome::Failure(OutcomeKind::IoError, "Print", "Job refused.")};
  EXPECT_EQ(PrintChosenPages(d, spoolPath, selText, printer).message, "Job refused.");
  // A selection whose file is gone says why.
  RemoveTree(selText);
  const Outcome r = PrintChosenPages(d, spoolPath, selText, printer);
  EXPECT_NE(r.message.find(selText + ": No such file or directory"), std::string::npos) << r.message;
  EXPECT_EQ(printer.documents.size(), 2u);
}

}  // namespace
}  // namespace tonnage::print
