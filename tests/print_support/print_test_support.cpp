#include "print_test_support.h"

#include <stdio.h>
#include <sys/wait.h>

#include <QFontMetricsF>
#include <QPdfWriter>
#include <QBuffer>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "io/line_reader.h"
#include "qt_line_printer.h"

namespace printtest {

namespace {

std::string StripTrailingBlanks(std::string line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  return line;
}

void DropTrailingEmpty(Page& page) {
  while (!page.empty() && page.back().empty()) page.pop_back();
}

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

CommandResult Run(const std::string& command) {
  CommandResult result;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

bool Have(const std::string& program) {
  return Run("command -v " + Quote(program)).status == 0;
}

std::string SampleSpool() {
  return std::string(TONNAGE_TESTDATA_DIR) + "/report/samples/us-standard-tickets.SPL";
}

std::vector<Page> SpoolPages(const std::string& path) {
  std::vector<Page> pages(1);
  for (const std::string& line : tonnage::io::SplitLines(tonnage::testing::ReadFile(path)))
    if (line.find('\f') == std::string::npos)
      pages.back().push_back(line);
    else
      pages.emplace_back();
  return pages;
}

tonnage::Outcome PrintPages(tonnage::print::LinePrinter& printer, const std::vector<Page>& pages) {
  printer.SetFont("Courier New", 12);
  for (std::size_t i = 0; i < pages.size(); ++i) {
    if (i > 0) printer.NewPage();
    for (const std::string& line : pages[i]) printer.PrintLine(line);
  }
  return printer.EndDocument();
}

std::vector<Page> PdfSheets(const std::string& pdf, double pitch) {
  std::ostringstream command;
  command << "pdftotext -fixed " << pitch << " -enc Latin1 " << Quote(pdf) << " -";
  const CommandResult text = Run(command.str());
  std::vector<Page> sheets;
  if (text.status != 0) return sheets;
  std::string current;
  Page sheet;
  for (char c : text.output) {
    if (c == '\n' || c == '\f') {
      sheet.push_back(StripTrailingBlanks(current));
      current.clear();
      if (c == '\f') {
        DropTrailingEmpty(sheet);
        sheets.push_back(sheet);
        sheet.clear();
      }
    } else {
      current += c;
    }
  }
  return sheets;
}

namespace {

// The report font's advance or height at `points`, in points, as a PDF sees it.
double ReportFontMeasure(int points, bool height) {
  QBuffer sink;
  sink.open(QIODevice::WriteOnly);
  QPdfWriter device(&sink);
  const QFont font(platform::ReportFont("Courier New", points), &device);
  const QFontMetricsF metrics(font, &device);
  return (height ? metrics.height() : metrics.horizontalAdvance(QLatin1Char('M'))) * 72.0 /
         device.resolution();
}

}  // namespace

double ReportPitch(int points) { return ReportFontMeasure(points, false); }

double ReportLineHeight(int points) { return ReportFontMeasure(points, true); }

double SheetPitch(const QPageLayout& layout, int points) {
  const double pitch = ReportPitch(points);
  const double fit = layout.paintRect(QPageLayout::Point).width() / platform::kReportPageColumns;
  return fit < pitch && fit >= 0.9 * pitch ? fit : pitch;
}

std::string CompareSheet(const Page& sheet, const Page& expectedPage, int& offset) {
  Page expected;
  for (const std::string& line : expectedPage) expected.push_back(StripTrailingBlanks(line));
  DropTrailingEmpty(expected);
  std::ostringstream diff;
  if (sheet.size() != expected.size())
    diff << "sheet has " << sheet.size() << " lines, expected " << expected.size() << "; ";
  for (std::size_t i = 0; i < std::min(sheet.size(), expected.size()); ++i) {
    const std::string& got = sheet[i];
    const std::string& want = expected[i];
    bool same = false;
    if (want.empty()) {
      same = got.empty();
    } else if (got.size() >= want.size() &&
               got.compare(got.size() - want.size(), want.size(), want) == 0) {
      const std::size_t shift = got.size() - want.size();
      const bool blanks = got.find_first_not_of(' ') >= shift;
      if (blanks && offset < 0) offset = static_cast<int>(shift);
      same = blanks && static_cast<int>(shift) == offset;
    }
    if (!same) {
      diff << "line " << i + 1 << ": got [" << got << "] expected [" << want << "] after "
           << offset << " blanks";
      break;
    }
  }
  return diff.str();
}

PdfInfo ReadPdfInfo(const std::string& pdf) {
  PdfInfo info;
  const CommandResult result = Run("pdfinfo " + Quote(pdf));
  std::istringstream lines(result.output);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("Pages:", 0) == 0) info.pages = std::atoi(line.c_str() + 6);
    if (line.rfind("Page size:", 0) == 0)
      std::sscanf(line.c_str() + 10, " %lf x %lf", &info.width, &info.height);
  }
  return info;
}

std::string CompareDocument(const std::string& pdf, const std::vector<Page>& pages, double width,
                            double height, double pitch) {
  std::ostringstream diff;
  const PdfInfo info = ReadPdfInfo(pdf);
  if (std::abs(info.width - width) > 1 || std::abs(info.height - height) > 1)
    diff << "sheets of " << info.width << " x " << info.height << " points, expected " << width << " x "
         << height << "; ";
  const std::vector<Page> sheets = PdfSheets(pdf, pitch);
  if (sheets.size() != pages.size())
    return diff.str() + std::to_string(sheets.size()) + " sheets, expected " + std::to_string(pages.size());
  int offset = -1;
  for (std::size_t i = 0; i < pages.size(); ++i)
    if (const std::string sheet = CompareSheet(sheets[i], pages[i], offset); !sheet.empty())
      diff << "sheet " << i + 1 << ": " << sheet << "; ";
  return diff.str();
}

}  // namespace printtest
