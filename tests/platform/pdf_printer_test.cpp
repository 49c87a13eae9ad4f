// Report pages drawn as PDF sheets, read back with pdftotext.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>
#include <algorithm>
#include <array>

#include "print_support.h"
#include "qt_printing.h"

namespace {

using namespace printtest;

// A4 with a printer's margins, which may differ on every side to see which
// one the text starts from.
platform::QueuePaper A4(platform::SheetMargins margins = {12, 12, 12, 12}) {
  return {"A4", "A4", 595, 842, margins, 9};
}

Page Numbered(int count, const std::string& tag) {
  Page page;
  for (int i = 1; i <= count; ++i)
    page.push_back(tag + " LINE " + std::to_string(1000 + i).substr(1) + " OF " + std::to_string(count));
  return page;
}

// pdftotext's boxes of the words of the first sheet: where the first word
// starts (xMin, yMin) and where the widest ends (xMax), in points from the
// top-left corner.
std::array<double, 3> WordEdges(const std::string& pdf) {
  std::istringstream lines(Run("pdftotext -f 1 -l 1 -bbox '" + pdf + "' -").output);
  std::array<double, 3> edges{-1, -1, 0};
  double x, y, right;
  for (std::string line; std::getline(lines, line);)
    if (std::sscanf(line.c_str(), " <word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\"", &x, &y, &right) == 3) {
      if (edges[0] < 0) edges = {x, y, 0};
      edges[2] = std::max(edges[2], right);
    }
  return edges;
}

class PdfOutput : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(PdfReaders()) << "pdftotext and pdfinfo (poppler-utils) are missing"; }
  ScratchFolder folder_;
};

// Every page on a sheet of its own, line for line, from the top-left corner
// of the printable area, upright and turned; a full report page (60 lines, 80
// columns) on one A4 or Letter sheet, its last column inside the printable area.
TEST_F(PdfOutput, PagesComeBackLineForLineOnSheetsOfTheirOwnFromTheTopLeftCornerOfThePrintableArea) {
  const std::vector<Page> sample = SamplePages();
  ASSERT_GE(sample.size(), 5u);
  Page full = Numbered(59, "FULL");
  full.push_back(std::string(70, '-') + "PAGE ORDER");  // column 80 holds text
  const platform::QueuePaper uneven = A4({18, 36, 12, 24});
  const struct {
    platform::QueuePaper paper;
    int orientation;
    std::vector<Page> pages;
    const char* size;
    double left, top, right;  // the printable area's edges
  } cases[] = {
      {uneven, 1, sample, "595x842", 18, 36, 595 - 12},
      // Turned, the upright sheet's bottom margin is on the left, its left on top.
      {uneven, 2, {{"X MARKS THE CORNER"}}, "842x595", 24, 18, 842 - 36},
      {A4(), 1, {full, {"NEXT PAGE"}}, "595x842", 12, 12, 595 - 12},
      {{"Letter", "Letter", 612, 792, {12, 12, 12, 12}, 1}, 1, {full, {"NEXT PAGE"}}, "612x792", 12, 12, 612 - 12},
  };
  EXPECT_NEAR(FontMeasure(12, false), 7.2, 0.05) << "the report font is not a 12-point Courier New metric";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.paper.name + (c.orientation == 2 ? " landscape" : " portrait"));
    const QPageLayout layout = platform::SheetLayout(&c.paper, c.orientation);
    const std::string pdf = folder_.File(c.paper.name + std::to_string(c.orientation) + ".pdf");
    platform::PdfLinePrinter printer(pdf, layout);
    const tonnage::Outcome outcome = PrintPages(printer, c.pages);
    ASSERT_TRUE(outcome.ok()) << outcome.message;
    EXPECT_EQ(SheetSize(pdf), c.size);
    const double pitch = SheetPitch(layout);
    EXPECT_EQ(Unindented(PdfSheets(pdf, pitch)), Unindented(c.pages));
    const Page first = Trimmed(c.pages[0]);
    std::size_t blanks = first[0].find_first_not_of(' '), longest = 0;
    for (const std::string& line : first) longest = std::max(longest, line.size());
    const auto [x, y, right] = WordEdges(pdf);
    EXPECT_NEAR(x, c.left + blanks * pitch, 1.5);
    EXPECT_GE(y, c.top - 1);
    EXPECT_LT(y, c.top + FontMeasure(12, true));
    EXPECT_NEAR(right, c.left + longest * pitch, 1.0);
    EXPECT_LE(right, c.right + 0.5) << "the text runs into the margin";
  }
}

// A page longer than the sheet goes on to new sheets in full, as many lines on
// each as the font size lets fit; the next page starts a sheet of its own.
TEST_F(PdfOutput, APageLongerThanTheSheetGoesOnToNewSheetsInFullAtTheFontSizeAskedFor) {
  const struct {
    std::vector<Page> pages;
    int points;
    std::size_t mayBeShort, fewest, most;  // sheets at the end that may be short; how many sheets
  } cases[] = {{{Numbered(150, "FIRST"), Numbered(3, "SECOND")}, 12, 2, 3, 9}, {{Numbered(60, "BIG")}, 24, 1, 2, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.points);
    const platform::QueuePaper paper = A4();
    const QPageLayout layout = platform::SheetLayout(&paper, 1);
    const std::string pdf = folder_.File("long.pdf");
    platform::PdfLinePrinter printer(pdf, layout);
    EXPECT_TRUE(PrintPages(printer, c.pages, c.points).ok());
    const std::vector<Page> sheets = PdfSheets(pdf, SheetPitch(layout, c.points));
    EXPECT_GE(sheets.size(), c.fewest);
    EXPECT_LE(sheets.size(), c.most);
    const double line = FontMeasure(c.points, true), height = layout.paintRect(QPageLayout::Point).height();
    Page got, expected;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
      EXPECT_LE(sheets[i].size() * line, height + 0.01) << "sheet " << i + 1 << " runs off the paper";
      EXPECT_TRUE(i + c.mayBeShort >= sheets.size() || (sheets[i].size() + 1) * line > height)
          << "sheet " << i + 1 << " left short";
      for (std::string text : sheets[i]) got.push_back(text.erase(0, text.find_first_not_of(' ')));
    }
    for (const Page& page : c.pages) expected.insert(expected.end(), page.begin(), page.end());
    EXPECT_EQ(got, expected);
  }
}

// Each document replaces the file whole, with no blank sheets and its
// Latin-1 text; an empty one writes nothing, a failed one keeps the old file.
TEST_F(PdfOutput, EachDocumentReplacesTheFileWithoutBlankSheetsAndAFailedOneKeepsIt) {
  const std::string pdf = folder_.File("doc.pdf");
  const platform::QueuePaper paper = A4();
  const QPageLayout layout = platform::SheetLayout(&paper, 1);
  platform::PdfLinePrinter printer(pdf, layout);
  const double pitch = SheetPitch(layout);
  ASSERT_TRUE(PrintPages(printer, {{"ONE"}, {"TWO"}, {"THREE"}}).ok());
  EXPECT_EQ(Unindented(PdfSheets(pdf, pitch)), Unindented({{"ONE"}, {"TWO"}, {"THREE"}}));
  // A selection that starts and ends at a page break, two breaks in a row, Latin-1 bytes ("\f" a break).
  for (const char* step : {"\f", "ALPHA", "\f", "\f", "BRAVO", "CAF\xC9 M\xDCLLER 12\xB0", "\f"})
    step[0] == '\f' ? printer.NewPage() : printer.PrintLine(step);
  ASSERT_TRUE(printer.EndDocument().ok());
  const std::vector<Page> selection = {{"ALPHA"}, {"BRAVO", "CAF\xC9 M\xDCLLER 12\xB0"}};
  EXPECT_EQ(Unindented(PdfSheets(pdf, pitch)), Unindented(selection));

  ASSERT_TRUE(printer.EndDocument().ok());
  printer.NewPage();
  ASSERT_TRUE(printer.EndDocument().ok());
  EXPECT_EQ(Unindented(PdfSheets(pdf, pitch)), Unindented(selection)) << "an empty document replaced the file";
  platform::PdfLinePrinter unused(folder_.File("never.pdf"), layout);
  EXPECT_TRUE(unused.EndDocument().ok());
  EXPECT_FALSE(tonnage::testing::Exists(folder_.File("never.pdf")));

  tonnage::testing::WriteFile(pdf, "old report");
  tonnage::testing::FaultGuard full([&pdf](tonnage::io::FaultPoint point, const std::string& path, int) {
    return point == tonnage::io::FaultPoint::Write && path == pdf ? ENOSPC : 0;
  });
  const tonnage::Outcome outcome = PrintPages(printer, {Numbered(20, "FULL")});
  EXPECT_NE(outcome.message.find(pdf + ": No space left"), std::string::npos) << outcome.message;
  EXPECT_EQ(ReadFile(pdf), "old report");
  EXPECT_EQ(tonnage::testing::ListFolder(folder_.path()).size(), 1u) << "a temporary file was left behind";
}

// The preview draws what the PDF printer draws, sheet for sheet, and offers
// neither printing nor page setup of its own.
TEST_F(PdfOutput, ThePreviewShowsTheSameSheetsAsThePdf) {
  platform::QtPrinting printing(folder_.path());
  const auto render = [](tonnage::print::LinePrinter& printer) {
    EXPECT_TRUE(PrintPages(printer, {Numbered(100, "ONE"), Numbered(5, "TWO"), Numbered(7, "THREE")}).ok());
  };
  const std::string pdf = folder_.File("preview.pdf");
  render(*printing.PdfPrinter(pdf));
  const int sheets = static_cast<int>(PdfSheets(pdf, 7.2).size());
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
  EXPECT_EQ(shown, sheets);
  EXPECT_FALSE(visibleActions.isEmpty());
  EXPECT_FALSE(visibleActions.contains(QStringLiteral("Print")));
  EXPECT_FALSE(visibleActions.contains(QStringLiteral("Page setup")));
}

}  // namespace
