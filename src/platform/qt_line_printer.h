// Report lines on printed sheets with Qt: the one layout that the printer,
// the PDF file and the preview share.
#pragma once

#include <QFont>
#include <QPageLayout>
#include <QPainter>
#include <memory>
#include <string>
#include <string_view>

#include "print/printer.h"
#include "print_queue.h"

class QPagedPaintDevice;
class QPdfWriter;

namespace tonnage::io {
class FileWriter;
}

namespace platform {

// The font every document starts with, until SetFont asks for another.
inline constexpr const char* kReportFontName = "Courier New";
inline constexpr int kReportFontPoints = 12;
// The size of a report page, which a sheet holds whole where it can.
inline constexpr int kReportPageLines = 60;
inline constexpr int kReportPageColumns = 80;

// Lines of single-byte (Latin-1) text drawn down the sheets of a paint device,
// from the top-left corner of its printable area, one font line height apart
// (a little closer, and a little narrower, where that keeps a report page on
// one sheet).
// A new page is held back until a line follows it, so no blank sheet is ever
// output (not even for a new page before the first line). A line that does
// not fit below the last one starts a new sheet instead of running off the
// paper.
class SheetPainter {
 public:
  SheetPainter(QPagedPaintDevice& device, const QFont& font);
  ~SheetPainter();
  SheetPainter(const SheetPainter&) = delete;
  SheetPainter& operator=(const SheetPainter&) = delete;

  void SetFont(const QFont& font);
  void PrintLine(std::string_view line);
  void NewPage();
  // Stops drawing; what was drawn stays on the device. Later lines are
  // dropped. False when the device could not be drawn on.
  bool End();

  // Sheets begun so far (0 until the first line).
  int sheets() const { return sheets_; }
  const QFont& font() const { return font_; }

 private:
  bool Begin();
  void ApplyFont();
  void StartSheet();

  QPagedPaintDevice& device_;
  QPainter painter_;
  QFont font_;
  double lineHeight_ = 0;
  double xScale_ = 1.0;
  double ascent_ = 0;
  double pageHeight_ = 0;
  double y_ = 0;
  int sheets_ = 0;
  bool pageHeld_ = false;
  bool failed_ = false;
  bool ended_ = false;
};

// One document drawn into a PDF file written through the project's file
// writer (temporary name, then renamed into place).
class PdfDocument {
 public:
  PdfDocument(const std::string& path, const QPageLayout& layout, bool durable, const QFont& font);
  ~PdfDocument();
  PdfDocument(const PdfDocument&) = delete;
  PdfDocument& operator=(const PdfDocument&) = delete;

  SheetPainter& sheets() { return *painter_; }
  const std::string& path() const;
  // Finishes the file and puts it in place; an IoError names the path. A
  // document without a line writes no file.
  tonnage::Outcome Finish();

 private:
  class Device;
  std::unique_ptr<tonnage::io::FileWriter> writer_;
  std::unique_ptr<Device> device_;
  std::unique_ptr<QPdfWriter> pdf_;
  std::unique_ptr<SheetPainter> painter_;
};

// A LinePrinter whose every document becomes the PDF file `path` (the last
// document wins), laid out on `layout`.
class PdfLinePrinter final : public tonnage::print::LinePrinter {
 public:
  PdfLinePrinter(std::string path, QPageLayout layout);
  ~PdfLinePrinter() override;

  void SetFont(const std::string& name, int points) override;
  void PrintLine(std::string_view line) override;
  void NewPage() override;
  tonnage::Outcome EndDocument() override;
  void Abandon() override { document_.reset(); }

 private:
  PdfDocument& Document();

  std::string path_;
  QPageLayout layout_;
  QFont font_;
  std::unique_ptr<PdfDocument> document_;
};

// The font that SetFont(name, points) asks for; the report is fixed-width
// text, so a missing family falls back to a fixed-pitch one.
QFont ReportFont(const std::string& name = kReportFontName, int points = kReportFontPoints);

// The sheet of `paper` (its size and printable area) turned to `orientation`
// (1 portrait, 2 landscape). Without a paper: the usual paper of the user's
// region (Letter or A4) with the narrow margins most printers need.
QPageLayout SheetLayout(const QueuePaper* paper, int orientation);

}  // namespace platform
