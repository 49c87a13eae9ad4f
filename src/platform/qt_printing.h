// Printing on the print service's queues, PDF files and Qt's print preview.
#pragma once

#include <memory>
#include <string>

#include "cups_printers.h"
#include "printing.h"

namespace platform {

class QtPrinting final : public Printing {
 public:
  // `jobFolder`: see CupsPrinterSystem.
  explicit QtPrinting(std::string jobFolder = {});
  ~QtPrinting() override;

  tonnage::print::PrinterSystem& printers() override { return printers_; }
  std::unique_ptr<tonnage::print::LinePrinter> PdfPrinter(const std::string& path) override;
  // The preview only shows: its own print and page-setup buttons are taken
  // away, since printing goes through the program's print dialog, which also
  // applies the paper bin.
  void Preview(QWidget* parent, const std::function<void(tonnage::print::LinePrinter&)>& render) override;

  CupsPrinterSystem& cups() { return printers_; }

 private:
  CupsPrinterSystem printers_;
};

}  // namespace platform
