// Report pages drawn as PDF sheets, read back with pdftotext.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "io/file_writer.h"
#include "print_test_support.h"
#include "qt_line_printer.h"
#include "qt_printing.h"

namespace {

using printtest::CompareSheet;
using printtest::Page;
using printtest::PdfSheets;
using printtest::PrintPages;

// A4 with a printer's margins, which may differ on every side to see which
// one the text starts from.
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

// The words of the first sheet: pdftotext's boxes, in points from the top-left.
std::string Boxes(const std::string& pdf) { return printtest::Run("pdftotext -f 1 -l 1 -bbox '" + pdf + "' -").output; }
double FirstWord(const std::string& pdf, const char* edge) {
  const std::string boxes = Boxes(pdf);
  const std::size_t at = boxes.find(std::string(edge) + "=\"", boxes.find("<word "));
  return at == std::string::npos ? -1 : std::atof(boxes.c_str() + at + std::strlen(edge) + 2);
}

class PdfOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!printtest::Have("pdftotext") || !printtest::Have("pdfinfo"))
      GTEST_SKIP() << "*** SKIPPED: pdftotext and pdfinfo (Debian poppler-utils) are needed to "
                      "read the PDF back; scripts/install-deps.sh installs them ***";
  }
  // The lines of every sheet of `pages` printed on A4 at `points`; each
  // sheet holds no more lines than fit, and all but the last `maybeShort` as
  // many as fit.
  Page FullSheets(const std::vector<Page>& pages, int points, std::size_t maybeShort, std::size_t* count) {
    platform::QueuePaper paper = A4();
    const QPageLayout layout = platform::SheetLayout(&paper, 1);
    const std::string pdf = folder_.File("long.pdf");
    platform::PdfLinePrinter printer(pdf, layout);
    printer.SetFont("Courier New", points);
    for (std::size_t p = 0; p < pages.size(); ++p) {
      if (p > 0) printer.NewPage();
      for (const std::string& line : pages[p]) printer.PrintLine(line);
    }
    EXPECT_TRUE(printer.EndDocument().ok());
    const std::vector<Page> sheets = PdfSheets(pdf, printtest::SheetPitch(layout, points));
    const double line = printtest::ReportLineHeight(points), height = layout.paintRect(QPageLayout::Point).height();
    Page lines;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
      EXPECT_LE(sheets[i].size() * line, height + 0.01) << "sheet " << i + 1 << " runs off the paper";
      if (i + maybeShort < sheets.size()) {
        EXPECT_GT((sheets[i].size() + 1) * line, height) << "sheet " << i + 1 << " left short";
      }
      lines.insert(lines.end(), sheets[i].begin(), sheets[i].end());
    }
    *count = sheets.size();
    return lines;
  }

  printtest::ScratchFolder folder_;
};

TEST_F(PdfOutput, EverySpoolPageComesBackLineForLineOnItsOwnSheetFromTheTopLeftCorner) {
  const std::vector<Page> pages = printtest::SpoolPages(printtest::SampleSpool());
  ASSERT_GE(pages.size(), 5u);
  const std::string pdf = folder_.File("report.pdf");
  platform::QueuePaper paper = A4({18, 36, 12, 24});
  const QPageLayout layout = platform::SheetLayout(&paper, 1);
  platform::PdfLinePrinter printer(pdf, layout);
  const tonnage::Outcome outcome = PrintPages(printer, pages);
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
  for (std::size_t i = 0; i < pages.size(); ++i) EXPECT_EQ(CompareSheet(sheets[i], pages[i], offset), "") << i + 1;
  // The shift is the left margin, in characters; the first line starts at the
  // top-left corner of the printable area (its first character is a blank).
  EXPECT_NEAR(offset, 18 / pitch, 1.0);
  EXPECT_NEAR(FirstWord(pdf, "xMin"), 18 + pitch, 1.5);
  EXPECT_GE(FirstWord(pdf, "yMin"), 36 - 1);
  EXPECT_LT(FirstWord(pdf, "yMin"), 36 + printtest::ReportLineHeight(12));

  // Turned, the upright sheet's bottom margin is on the left, its left on top.
  const std::string turned = folder_.File("landscape.pdf");
  platform::PdfLinePrinter landscape(turned, platform::SheetLayout(&paper, 2));
  ASSERT_TRUE(PrintPages(landscape, {{"X MARKS THE CORNER"}}).ok());
  EXPECT_NEAR(printtest::ReadPdfInfo(turned).width, 842, 1);
  EXPECT_NEAR(FirstWord(turned, "xMin"), 24, 1.5);
  EXPECT_GE(FirstWord(turned, "yMin"), 18 - 1);
  EXPECT_LT(FirstWord(turned, "yMin"), 18 + printtest::ReportLineHeight(12));
}

// A page longer than the sheet goes on to new sheets in full, as many lines on
// each as the font size lets fit; the next page starts a sheet of its own.
TEST_F(PdfOutput, APageLongerThanTheSheetGoesOnToANewSheetInFullAtTheFontSizeAskedFor) {
  std::size_t sheets = 0;
  int offset = -1;
  const Page longPage = Numbered(150, "FIRST"), shortPage = Numbered(3, "SECOND");
  Page expected = longPage;
  expected.insert(expected.end(), shortPage.begin(), shortPage.end());
  EXPECT_EQ(CompareSheet(FullSheets({longPage, shortPage}, 12, 2, &sheets), expected, offset), "");
  EXPECT_GE(sheets, 3u);
  offset = -1;
  EXPECT_EQ(CompareSheet(FullSheets({Numbered(60, "BIG")}, 24, 1, &sheets), Numbered(60, "BIG"), offset), "");
  EXPECT_EQ(sheets, 2u);
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
    ASSERT_TRUE(PrintPages(printer, {page, {"NEXT PAGE"}}).ok());
    const std::vector<Page> sheets = PdfSheets(pdf, printtest::SheetPitch(layout));
    ASSERT_EQ(sheets.size(), 2u) << paper.name;
    int offset = -1;
    EXPECT_EQ(CompareSheet(sheets[0], page, offset), "") << paper.name;
    // The right end of the widest word, against the printable area's edge.
    const std::string boxes = Boxes(pdf);
    double right = 0;
    for (std::size_t at = boxes.find("xMax=\""); at != std::string::npos; at = boxes.find("xMax=\"", at + 1))
      right = std::max(right, std::atof(boxes.c_str() + at + 6));
    EXPECT_NEAR(right, 12 + 80 * printtest::SheetPitch(layout), 1.0) << paper.name;
    EXPECT_LE(right, paper.width - 12 + 0.5) << paper.name << ": column 80 runs into the margin";
  }
}

// Each document replaces the file whole, with no blank sheets and its
// Latin-1 text; an empty one writes nothing, a failed one keeps the old file.
TEST_F(PdfOutput, EachDocumentReplacesTheFileWithoutBlankSheetsAndAFailedOneKeepsIt) {
  const std::string pdf = folder_.File("doc.pdf");
  platform::QueuePaper paper = A4();
  const QPageLayout layout = platform::SheetLayout(&paper, 1);
  platform::PdfLinePrinter printer(pdf, layout);
  ASSERT_TRUE(PrintPages(printer, {{"ONE"}, {"TWO"}, {"THREE"}}).ok());
  EXPECT_EQ(printtest::ReadPdfInfo(pdf).pages, 3);
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
  EXPECT_EQ(CompareSheet(sheets[0], {"ALPHA"}, offset), "");
  EXPECT_EQ(CompareSheet(sheets[1], {"BRAVO", "CAF\xC9 M\xDCLLER 12\xB0"}, offset), "");

  ASSERT_TRUE(printer.EndDocument().ok());
  printer.NewPage();
  ASSERT_TRUE(printer.EndDocument().ok());
  EXPECT_EQ(printtest::ReadPdfInfo(pdf).pages, 2) << "an empty document replaced the file";
  platform::PdfLinePrinter unused(folder_.File("never.pdf"), layout);
  EXPECT_TRUE(unused.EndDocument().ok());
  EXPECT_FALSE(std::filesystem::exists(folder_.File("never.pdf")));

  tonnage::testing::WriteFile(pdf, "old report");
  tonnage::testing::FaultGuard full([&pdf](tonnage::io::FaultPoint point, const std::string& path, int) {
    return point == tonnage::io::FaultPoint::Write && path == pdf ? ENOSPC : 0;
  });
  const tonnage::Outcome outcome = PrintPages(printer, {Numbered(20, "FULL")});
  EXPECT_NE(outcome.message.find(pdf + ": No space left"), std::string::npos) << outcome.message;
  EXPECT_EQ(tonnage::testing::ReadFile(pdf), "old report");
  EXPECT_EQ(tonnage::testing::ListFolder(folder_.path()).size(), 1u) << "a temporary file was left behind";
}

// The preview draws what the PDF printer draws, sheet for sheet.
TEST_F(PdfOutput, ThePreviewShowsTheSameSheetsAsThePdf) {
  platform::QtPrinting printing(folder_.path());
  const auto render = [](tonnage::print::LinePrinter& printer) {
    EXPECT_TRUE(PrintPages(printer, {Numbered(100, "ONE"), Numbered(5, "TWO"), Numbered(7, "THREE")}).ok());
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
