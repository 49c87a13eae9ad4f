// What the printing tests share: the pages of a spool, running a command, and
// reading a PDF back as text with poppler's pdftotext.
#pragma once

#include <QPageLayout>

#include <string>
#include <vector>

#include "print/printer.h"

namespace printtest {

using Page = std::vector<std::string>;

struct CommandResult {
  int status = -1;  // exit status, -1 when it could not run
  std::string output;  // stdout and stderr
};

// Runs `command` through the shell.
CommandResult Run(const std::string& command);

// True when `program` is on the PATH.
bool Have(const std::string& program);

// A report spool of seven pages (a sample's golden spool).
std::string SampleSpool();

// The pages of a spool file: lines without their line ends, split at the
// lines that hold a form feed (which belong to no page).
std::vector<Page> SpoolPages(const std::string& path);

// Prints `pages` as one document, one NewPage between pages, as page printing
// does; returns EndDocument's outcome.
tonnage::Outcome PrintPages(tonnage::print::LinePrinter& printer, const std::vector<Page>& pages);

// The PDF's sheets as text, laid out on a grid of `pitch` points per
// character; trailing blanks and trailing empty lines of each sheet removed.
std::vector<Page> PdfSheets(const std::string& pdf, double pitch);

// The character pitch and the line height, in points, of the report font at
// `points`.
double ReportPitch(int points = 12);
double ReportLineHeight(int points = 12);
// The character pitch on a sheet of `layout`: letters narrow a little where
// 80 columns would cross the printable area's right edge.
double SheetPitch(const QPageLayout& layout, int points = 12);

// Checks that `sheet` holds `expected` line for line (trailing blanks aside),
// every non-empty line shifted right by the same number of blanks, which goes
// into `offset` (-1 on entry: any offset; otherwise it must match). Returns
// an empty text, or what differs.
std::string CompareSheet(const Page& sheet, const Page& expected, int& offset);

// Checks that the PDF `pdf` holds `pages`, each on one sheet of `width` x
// `height` points, read on a grid of `pitch` points per character, all
// pages at the same left offset. Returns an empty text, or what differs.
std::string CompareDocument(const std::string& pdf, const std::vector<Page>& pages, double width,
                            double height, double pitch);

// The page count and the first page's size, in points, as pdfinfo tells them.
struct PdfInfo {
  int pages = 0;
  double width = 0;
  double height = 0;
};
PdfInfo ReadPdfInfo(const std::string& pdf);

// A fresh private folder under /tmp, removed with the object.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace printtest
