// Printing as the windows use it: the installed printers (and the current
// one), and the report's pages as a PDF file or in a print preview.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "print/printer.h"

class QWidget;

namespace platform {

class Printing {
 public:
  virtual ~Printing() = default;
  virtual tonnage::print::PrinterSystem& printers() = 0;
  // A printer whose documents become the PDF file `path`, laid out as the
  // current printer lays them out (paper size and orientation).
  virtual std::unique_ptr<tonnage::print::LinePrinter> PdfPrinter(const std::string& path) = 0;
  // Shows a preview of exactly what `render` prints on the current printer,
  // modally over `parent`; `render` draws one whole document.
  virtual void Preview(QWidget* parent, const std::function<void(tonnage::print::LinePrinter&)>& render) = 0;
};

}  // namespace platform
