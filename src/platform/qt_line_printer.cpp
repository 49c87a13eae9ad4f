#include "qt_line_printer.h"

#include <QFontMetricsF>
#include <QIODevice>
#include <QLocale>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QPointF>
#include <QString>
#include <QTransform>

#include "io/file_writer.h"

namespace platform {

namespace {

// Most printers cannot print closer to the edge than this (in points).
constexpr double kUsualMargin = 12.0;

}  // namespace

QFont ReportFont(const std::string& name, int points) {
  QFont font(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(points > 0 ? points : kReportFontPoints);
  // Columns of the report must stay under each other: no kerning, and the
  // font's own advances rather than ones fitted to a screen's pixels.
  font.setKerning(false);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

QPageLayout SheetLayout(const QueuePaper* paper, int orientation) {
  const QPageLayout::Orientation turn = orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait;
  QPageSize size;
  SheetMargins margins{kUsualMargin, kUsualMargin, kUsualMargin, kUsualMargin};
  if (paper) {
    size = QPageSize(QSizeF(paper->width, paper->length), QPageSize::Point, QString::fromLatin1(paper->name.c_str()),
                     QPageSize::FuzzyMatch);
    margins = paper->margins;
  } else {
    const bool us = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    size = QPageSize(us ? QPageSize::Letter : QPageSize::A4);
  }
  if (turn == QPageLayout::Landscape) margins = Landscape(margins);
  return QPageLayout(size, turn, QMarginsF(margins.left, margins.top, margins.right, margins.bottom),
                     QPageLayout::Point, QMarginsF());
}

// ---- lines on sheets --------------------------------------------------------

SheetPainter::SheetPainter(QPagedPaintDevice& device, const QFont& font) : device_(device), font_(font) {}

SheetPainter::~SheetPainter() { End(); }

void SheetPainter::SetFont(const QFont& font) {
  font_ = font;
  if (painter_.isActive()) ApplyFont();
}

bool SheetPainter::Begin() {
  if (painter_.isActive()) return true;
  if (ended_ || failed_) return false;
  if (!painter_.begin(&device_)) {
    failed_ = true;
    return false;
  }
  // The painter's origin is the top-left corner of the printable area.
  pageHeight_ = device_.height();
  ApplyFont();
  sheets_ = 1;
  y_ = 0;
  return true;
}

void SheetPainter::ApplyFont() {
  const QFont font(font_, &device_);
  painter_.setFont(font);
  const QFontMetricsF metrics(font, &device_);
  lineHeight_ = metrics.height();
  ascent_ = metrics.ascent();
  // A report page runs to 60 lines of up to 80 columns. Where the printable
  // area falls a little short of that at the font's own line height and
  // advance (Letter portrait holds 56 such lines, A4 portrait 79 columns),
  // the lines close up, down to the font's size, and the letters narrow, down
  // to nine tenths, so a page stays on one sheet and no column runs into the
  // margin. Further than that (a landscape sheet) a page goes on to the next
  // sheet instead.
  const double em = font.pointSizeF() * device_.logicalDpiY() / 72.0;
  const double fit = device_.height() / kReportPageLines;
  if (fit < lineHeight_ && fit >= em) lineHeight_ = fit;
  const double width = metrics.horizontalAdvance(QLatin1Char('0')) * kReportPageColumns;
  const double narrow = width > 0 ? device_.width() / width : 1.0;
  xScale_ = narrow < 1.0 && narrow >= 0.9 ? narrow : 1.0;
  painter_.setWorldTransform(QTransform::fromScale(xScale_, 1.0));
}

void SheetPainter::StartSheet() {
  device_.newPage();
  painter_.setWorldTransform(QTransform::fromScale(xScale_, 1.0));
  ++sheets_;
  y_ = 0;
}

void SheetPainter::PrintLine(std::string_view line) {
  const bool first = !painter_.isActive();
  if (!Begin()) return;
  // The first sheet is new already. A line that would cross the bottom of the
  // printable area goes to the next sheet; a sheet always takes one line.
  if ((pageHeld_ && !first) || (y_ > 0 && y_ + lineHeight_ > pageHeight_)) StartSheet();
  pageHeld_ = false;
  painter_.drawText(QPointF(0, y_ + ascent_), QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
  y_ += lineHeight_;
}

void SheetPainter::NewPage() { pageHeld_ = true; }

bool SheetPainter::End() {
  if (ended_) return !failed_;
  ended_ = true;
  pageHeld_ = false;
  if (painter_.isActive() && !painter_.end()) failed_ = true;
  return !failed_;
}

// ---- PDF files --------------------------------------------------------------

// Hands the PDF writer's bytes to the file writer as they come, so a document
// of any length streams to disk and a failed write shows up at Commit.
class PdfDocument::Device final : public QIODevice {
 public:
  explicit Device(tonnage::io::FileWriter& writer) : writer_(writer) { open(QIODevice::WriteOnly); }
  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    writer_.Write(std::string_view(data, static_cast<std::size_t>(size)));
    return writer_.failed() ? -1 : size;
  }

 private:
  tonnage::io::FileWriter& writer_;
};

PdfDocument::PdfDocument(const std::string& path, const QPageLayout& layout, bool durable, const QFont& font)
    : writer_(std::make_unique<tonnage::io::FileWriter>(
          path, durable ? tonnage::io::WriteMode::Replace : tonnage::io::WriteMode::Atomic)),
      device_(std::make_unique<Device>(*writer_)),
      pdf_(std::make_unique<QPdfWriter>(device_.get())) {
  pdf_->setPageLayout(layout);
  pdf_->setCreator(QStringLiteral("Quarrendale Tonnage"));
  pdf_->setTitle(QStringLiteral("Tonnage Report"));
  painter_ = std::make_unique<SheetPainter>(*pdf_, font);
}

PdfDocument::~PdfDocument() {
  // The painter writes the file's end into the writer: it goes first.
  painter_.reset();
  pdf_.reset();
  device_.reset();
}

const std::string& PdfDocument::path() const { return writer_->path(); }

tonnage::Outcome PdfDocument::Finish() {
  const bool drawn = painter_->sheets() > 0;
  const bool ended = painter_->End();
  if (!drawn) return tonnage::Outcome::Success();
  if (!ended) return tonnage::Outcome::Io("Cannot draw the pages of " + path());
  return writer_->Commit();
}

PdfLinePrinter::PdfLinePrinter(std::string path, QPageLayout layout)
    : path_(std::move(path)), layout_(std::move(layout)), font_(ReportFont()) {}

PdfLinePrinter::~PdfLinePrinter() = default;

PdfDocument& PdfLinePrinter::Document() {
  if (!document_) document_ = std::make_unique<PdfDocument>(path_, layout_, true, font_);
  return *document_;
}

void PdfLinePrinter::SetFont(const std::string& name, int points) {
  font_ = ReportFont(name, points);
  if (document_) document_->sheets().SetFont(font_);
}

void PdfLinePrinter::PrintLine(std::string_view line) { Document().sheets().PrintLine(line); }

void PdfLinePrinter::NewPage() { Document().sheets().NewPage(); }

tonnage::Outcome PdfLinePrinter::EndDocument() {
  if (!document_) return tonnage::Outcome::Success();
  const tonnage::Outcome outcome = document_->Finish();
  document_.reset();
  return outcome;
}

}  // namespace platform
