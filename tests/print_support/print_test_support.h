// What the printing tests share: the pages of a spool, running a command, and
// reading a PDF back as text with poppler's pdftotext.
#pragma once

#include <QPageLayout>

#include <string>
#include <vector>

#include "../core/test_files.h"
#include "print/printer.h"

namespace printtest {

using Page = std::vector<std::string>;
using tonnage::testing::ScratchFolder;

struct CommandResult {
  int status = -1;     // exit status, -1 when it could not run
  std::string output;  // stdout and stderr
};

// Runs `command` through the shell; whether `program` is on the PATH.
CommandResult Run(const std::string& command);
bool Have(const std::string& program);

// A report spool of seven pages (a sample's golden spool), and the pages of a
// spool file split at the lines that hold a form feed (which belong to none).
std::string SampleSpool();
std::vector<Page> SpoolPages(const std::string& path);

// Prints `pages` as one document, one NewPage between pages, as page printing
// does; returns EndDocument's outcome.
tonnage::Outcome PrintPages(tonnage::print::LinePrinter& printer, const std::vector<Page>& pages);

// The PDF's sheets as text on a grid of `pitch` points per character, each
// sheet without trailing blanks and trailing empty lines.
std::vector<Page> PdfSheets(const std::string& pdf, double pitch);

// The report font's character pitch and line height at `points`, in points,
// and the pitch on a sheet of `layout`: letters narrow a little where 80
// columns would cross the printable area's right edge.
double ReportPitch(int points = 12);
double ReportLineHeight(int points = 12);
double SheetPitch(const QPageLayout& layout, int points = 12);

// Empty when `sheet` holds `expected` line for line (trailing blanks aside),
// every non-empty line shifted right by the same number of blanks, which goes
// into `offset` (-1 on entry: any offset); otherwise what differs.
std::string CompareSheet(const Page& sheet, const Page& expected, int& offset);

// Empty when the PDF holds `pages`, each on one sheet of `width` x `height`
// points read at `pitch`, all at one left offset; otherwise what differs.
std::string CompareDocument(const std::string& pdf, const std::vector<Page>& pages, double width,
                            double height, double pitch);

// The page count and the first page's size, in points, as pdfinfo tells them.
struct PdfInfo {
  int pages = 0;
  double width = 0, height = 0;
};
PdfInfo ReadPdfInfo(const std::string& pdf);

}  // namespace printtest
