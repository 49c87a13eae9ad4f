// Report pages drawn as PDF sheets, read back with pdftotext.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "io/file_writer.h"
#include "print_test_support.h"
#include "qt_line_printer.h"
#include "qt_printing.h"

namespace {

using printtest::Page;
using printtest::PdfSheets;

// A4 with a printer's margins that differ on every side, to see which one
// the text starts from.
platform::QueuePaper A4(platform::SheetMargins margins = {12, 12, 12, 12}) {
  return {"A4", "A4", 595, 842, margins, 9};
}

Page Numbered(int count, const char* tag) {
  Page page;
  for (int i = 1; i <= count; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "%s LINE %03d OF %d", tag, i, count);
    page.push_back(line);
  }
  return page;
}

// Height of a sheet's printable area, in points.
double PrintableHeight(const QPageLayout& layout) {
  return layout.paintRect(QPageLayout::Point).height();
}

struct Box {
  double xMin = -1, yMin = -1;
};

// Where the first word of the first sheet sits, in points from the top-left.
Box FirstWord(const std::string& pdf) {
  const printtest::CommandResult html = printtest::Run("pdftotext -f 1 -l 1 -bbox '" + pdf + "' -");
  Box box;
  const std::size_t word = html.output.find("<word ");
  if (word != std::string::npos)
    std::sscanf(html.output.c_str() + word, "<word xMin=\"%lf\" yMin=\"%lf\"", &box.xMin, &box.yMin);
  return box;
}

class PdfOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!printtest::Have("pdftotext") || !printtest::Have("pdfinfo"))
      GTEST_SKIP() << "*** SKIPPED: pdftotext and pdfinfo (Debian poppler-utils) are needed to "
                      "read the PDF back; scripts/install-deps.sh installs them ***";
    ASSERT_FALSE(folder_.path().empty());
  }

  printtest::ScratchFolder folder_{"tonnage-pdf"};
};

TEST_F(PdfOutput, EverySpoolPageComesBackLineForLineOnItsOwnSheet) {
  const std::vector<Page> pages = printtest::SpoolPages(printtest::SampleSpool());
  ASSERT_GE(pages.size(), 5u);
  const std::string pdf = folder_.File("report.pdf");
  platform::QueuePaper paper = A4({18, 36, 12, 24});
  const QPageLayout layout = platform::SheetLayout(&paper, 1);
  platform::PdfLinePrinter printer(pdf, layout);
  const tonnage::Outcome outcome = printtest::PrintPages(printer, pages);
  ASSERT_TRUE(outcome.ok()) << outcome.message;

  const printtest::PdfInfo info = printtest::ReadPdfInfo(pdf);
  EXPECT_EQ(info.pages, static_cast<int>(pages.size()));
  EXPECT_NEAR(info.width, 595, 1);
  EXPECT_NEAR(info.height, 842, 1);

  EXPECT_NEAR(printtest::ReportPitch(12), 7.2, 0.05) << "the report font is not a 12-point Courier New metric";
  const double pitch = printtest::SheetPitch(layout);
  const std::vector<Page> sheets = PdfSheets(pdf, pitch);
  ASSERT_EQ(sheets.size(), pages.size());
  int offset = -1;
  for (std::size_t i = 0; i < pages.size(); ++i)
    EXPECT_EQ(printtest::CompareSheet(sheets[i], pages[i], offset), "") << "sheet " << i + 1;
  // The shift is the left margin, in characters.
  EXPECT_NEAR(offset, 18 / pitch, 1.0);

  // The first line starts at the top-left corner of the printable area.
  const Box first = FirstWord(pdf);
  EXPECT_NEAR(first.xMin, 18 + pitch, 1.5);  // the line's first character is a blank
  EXPECT_GE(first.yMin, 36 - 1);
  EXPECT_LT(first.yMin, 36 + printtest::ReportLineHeight(12));
}

TEST_F(PdfOutput, ALandscapeSheetStartsAtItsOwnTopLeftCorner) {
  const std::string pdf = folder_.File("landscape.pdf");
  platform::QueuePaper paper = A4({18, 36, 12, 24});
  platform::PdfLinePrinter printer(pdf, platform::SheetLayout(&paper, 2));
  ASSERT_TRUE(printtest::PrintPages(printer, {{"X MARKS THE CORNER"}}).ok());
  const printtest::PdfInfo info = printtest::ReadPdfInfo(pdf);
  EXPECT_NEAR(info.width, 842, 1);
  EXPECT_NEAR(info.height, 595, 1);
  // Turned, the upright sheet's bottom margin is on the left, its left on top.
  const Box first = FirstWord(pdf);
  EXPECT_NEAR(first.xMin, 24, 1.5);
  EXPECT_GE(first.yMin, 18 - 1);
  EXPECT_LT(first.yMin, 18 + printtest::ReportLineHeight(12));
}

TEST_F(PdfOutput, APageLongerThanTheSheetGoesOnToANewSheetInFull) {
  const Page longPage = Numbered(150, "FIRST");
  const Page shortPage = Numbered(3, "SECOND");
  platform::QueuePaper paper = A4();
  const QPageLayout layout = platform::SheetLayout(&paper, 1);
  const std::string pdf = folder_.File("long.pdf");
  platform::PdfLinePrinter printer(pdf, layout);
  ASSERT_TRUE(printtest::PrintPages(printer, {longPage, shortPage}).ok());

  const std::vector<Page> sheets = PdfSheets(pdf, printtest::SheetPitch(layout));
  ASSERT_GE(sheets.size(), 3u);
  // As many lines as fit on each sheet, no more; none lost or repeated.
  const double line = printtest::ReportLineHeight(12);
  const double height = PrintableHeight(layout);
  Page lines;
  for (std::size_t i = 0; i + 1 < sheets.size(); ++i) {
    const std::size_t held = sheets[i].size();
    EXPECT_LE(held * line, height + 0.01) << "sheet " << i + 1 << " runs off the paper";
    if (i + 2 < sheets.size()) {
      EXPECT_GT((held + 1) * line, height) << "sheet " << i + 1 << " was left short";
    }
    for (const std::string& text : sheets[i]) lines.push_back(text);
  }
  int offset = -1;
  EXPECT_EQ(printtest::CompareSheet(lines, longPage, offset), "");
  // The next report page starts a sheet of its own.
  EXPECT_EQ(printtest::CompareSheet(sheets.back(), shortPage, offset), "");
}

TEST_F(PdfOutput, TheFontSizeAskedForSetsTheLineHeight) {
  const Page page = Numbered(60, "BIG");
  platform::QueuePaper paper = A4();
  const QPageLayout layout = platform::SheetLayout(&paper, 1);
  const std::string pdf = folder_.File("big.pdf");
  platform::PdfLinePrinter printer(pdf, layout);
  printer.SetFont("Courier New", 24);
  for (const std::string& line : page) printer.PrintLine(line);
  ASSERT_TRUE(printer.EndDocument().ok());

  const std::vector<Page> sheets = PdfSheets(pdf, printtest::SheetPitch(layout, 24));
  ASSERT_EQ(sheets.size(), 2u);
  const double height = PrintableHeight(layout);
  const std::size_t held = sheets[0].size();
  EXPECT_LE(held * printtest::ReportLineHeight(24), height + 0.01);
  EXPECT_GT((held + 1) * printtest::ReportLineHeight(24), height);
  int offset = -1;
  Page lines = sheets[0];
  lines.insert(lines.end(), sheets[1].begin(), sheets[1].end());
  EXPECT_EQ(printtest::CompareSheet(lines, page, offset), "");
}

// A full report page (60 lines, 80 columns) in portrait on the two usual
// papers: one sheet each, and the last column inside the printable area.
TEST_F(PdfOutput, AFullReportPageFitsOneLetterOrA4Sheet) {
  Page page = Numbered(59, "FULL");
  page.push_back(std::string(70, '-') + "PAGE ORDER");  // column 80 holds text
  const platform::QueuePaper papers[] = {A4(), {"Letter", "Letter", 612, 792, {12, 12, 12, 12}, 1}};
  for (const platform::QueuePaper& paper : papers) {
    const QPageLayout layout = platform::SheetLayout(&paper, 1);
    const std::string pdf = folder_.File(paper.name + ".pdf");
    platform::PdfLinePrinter printer(pdf, layout);
    ASSERT_TRUE(printtest::PrintPages(printer, {page, {"NEXT PAGE"}}).ok());
    const std::vector<Page> sheets = PdfSheets(pdf, printtest::SheetPitch(layout));
    ASSERT_EQ(sheets.size(), 2u) << paper.name;
    int offset = -1;
    EXPECT_EQ(printtest::CompareSheet(sheets[0], page, offset), "") << paper.name;
    // The right end of the widest word, against the printable area's edge.
    const printtest::CommandResult html = printtest::Run("pdftotext -f 1 -l 1 -bbox '" + pdf + "' -");
    double right = 0;
    for (std::size_t at = html.output.find("xMax=\""); at != std::string::npos;
         at = html.output.find("xMax=\"", at + 1))
      right = std::max(right, std::atof(html.output.c_str() + at + 6));
    EXPECT_NEAR(right, 12 + 80 * printtest::SheetPitch(layout), 1.0) << paper.name;
    EXPECT_LE(right, paper.width - 12 + 0.5) << paper.name << ": column 80 runs into the margin";
  }
}

TEST_F(PdfOutput, NoBlankSheetsAndLatinOneText) {
  const std::string pdf = folder_.File("breaks.pdf");
  platform::QueuePaper paper = A4();
  const QPageLayout layout = platform::SheetLayout(&paper, 1);
  platform::PdfLinePrinter printer(pdf, layout);
  printer.NewPage();  // a selection that starts at a page break
  printer.PrintLine("ALPHA");
  printer.NewPage();
  printer.NewPage();
  printer.PrintLine("BRAVO");
  printer.PrintLine("CAF\xC9 M\xDCLLER 12\xB0");  // Latin-1 bytes
  printer.NewPage();  // a selection that ends with a page break
  ASSERT_TRUE(printer.EndDocument().ok());
  const std::vector<Page> sheets = PdfSheets(pdf, printtest::SheetPitch(layout));
  ASSERT_EQ(sheets.size(), 2u);
  int offset = -1;
  EXPECT_EQ(printtest::CompareSheet(sheets[0], {"ALPHA"}, offset), "");
  EXPECT_EQ(printtest::CompareSheet(sheets[1], {"BRAVO", "CAF\xC9 M\xDCLLER 12\xB0"}, offset), "");
}

TEST_F(PdfOutput, EachDocumentReplacesTheFileAndAnEmptyOneWritesNothing) {
  const std::string pdf = folder_.File("doc.pdf");
  platform::QueuePaper paper = A4();
  platform::PdfLinePrinter printer(pdf, platform::SheetLayout(&paper, 1));
  ASSERT_TRUE(printtest::PrintPages(printer, {{"ONE"}, {"TWO"}}).ok());
  EXPECT_EQ(printtest::ReadPdfInfo(pdf).pages, 2);
  ASSERT_TRUE(printtest::PrintPages(printer, {{"THREE"}}).ok());
  EXPECT_EQ(printtest::ReadPdfInfo(pdf).pages, 1);

  ASSERT_TRUE(printer.EndDocument().ok());
  printer.NewPage();
  ASSERT_TRUE(printer.EndDocument().ok());
  EXPECT_EQ(printtest::ReadPdfInfo(pdf).pages, 1) << "an empty document replaced the file";

  const std::string never = folder_.File("never.pdf");
  platform::PdfLinePrinter unused(never, platform::SheetLayout(&paper, 1));
  EXPECT_TRUE(unused.EndDocument().ok());
  EXPECT_FALSE(std::filesystem::exists(never));
}

TEST_F(PdfOutput, AFailedWriteKeepsTheOldFileAndSaysWhy) {
  const std::string pdf = folder_.File("kept.pdf");
  { std::ofstream(pdf) << "old report"; }
  tonnage::io::SetFaultHook([&pdf](tonnage::io::FaultPoint point, const std::string& path, int) {
    return point == tonnage::io::FaultPoint::Write && path == pdf ? ENOSPC : 0;
  });
  platform::QueuePaper paper = A4();
  platform::PdfLinePrinter printer(pdf, platform::SheetLayout(&paper, 1));
  const tonnage::Outcome outcome = printtest::PrintPages(printer, {Numbered(20, "FULL")});
  tonnage::io::SetFaultHook({});
  EXPECT_FALSE(outcome.ok());
  EXPECT_NE(outcome.message.find(pdf), std::string::npos) << outcome.message;
  EXPECT_NE(outcome.message.find("No space left"), std::string::npos) << outcome.message;
  std::ifstream in(pdf);
  std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(kept, "old report");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_.path())) ++files;
  EXPECT_EQ(files, 1u) << "a temporary file was left behind";
}

// The preview draws what the PDF printer draws, sheet for sheet.
TEST_F(PdfOutput, ThePreviewShowsTheSameSheetsAsThePdf) {
  platform::QtPrinting printing(folder_.path());
  const auto render = [](tonnage::print::LinePrinter& printer) {
    printtest::PrintPages(printer, {Numbered(100, "ONE"), Numbered(5, "TWO"), Numbered(7, "THREE")});
  };
  const std::string pdf = folder_.File("preview.pdf");
  render(*printing.PdfPrinter(pdf));
  const int sheets = printtest::ReadPdfInfo(pdf).pages;
  ASSERT_GE(sheets, 4);

  int shown = -1;
  QStringList visibleActions;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    if (auto* view = dialog->findChild<QPrintPreviewWidget*>()) shown = view->pageCount();
    for (QAction* action : dialog->findChildren<QAction*>())
      if (action->isVisible()) visibleActions << action->text();
    dialog->reject();
  });
  poll.start(20);
  printing.Preview(nullptr, render);
  poll.stop();
  EXPECT_EQ(shown, sheets);
  EXPECT_FALSE(visibleActions.isEmpty());
  EXPECT_FALSE(visibleActions.contains(QStringLiteral("Print")));
  EXPECT_FALSE(visibleActions.contains(QStringLiteral("Page setup")));
}

}  // namespace
