// What printing needs of a printer, and of the printers installed on the
// machine. The rules of page printing and of printer setup are written against
// these; the program passes the real printers, tests a recording double.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/outcome.h"

namespace tonnage::print {

// A document of text lines, top to bottom, page after page. The document
// starts with the first call after the previous EndDocument (or the first call
// of all). A NewPage that gets no line before the document ends is never
// output, so no blank sheet comes out.
class LinePrinter {
 public:
  virtual ~LinePrinter() = default;
  virtual void SetFont(const std::string& name, int points) = 0;
  // Draws `line` (single-byte text, no line end) at the current position and
  // moves one font line height down.
  virtual void PrintLine(std::string_view line) = 0;
  virtual void NewPage() = 0;
  // Ends the document and hands it to the printer as one job. A failure of the
  // printer anywhere in the document (none installed, queue stopped, job
  // refused) comes back here, for the user to see.
  virtual Outcome EndDocument() = 0;
  // Drops the document begun since the last EndDocument: nothing of it is
  // printed or written.
  virtual void Abandon() = 0;
};

// The current printer's settings, as printer setup reads and writes them.
struct PrinterState {
  std::string deviceName;
  std::string port;
  int orientation = 1;  // 1 portrait, 2 landscape
  std::int16_t paperSize = 0;
  std::int16_t paperBin = 0;
};

// A printer's papers and bins as the capability queries give them: numbers,
// and one name field per number in the same order. A name shorter than its
// field (64 characters for papers, 24 for bins) ends with a NUL; a longer
// name is its own field, whole.
struct PrinterCapabilities {
  std::vector<std::int16_t> paperNumbers;
  std::vector<std::string> paperNames;
  std::vector<std::int16_t> binNumbers;
  std::vector<std::string> binNames;
};

inline constexpr std::size_t kPaperNameField = 64;
inline constexpr std::size_t kBinNameField = 24;

// The installed printers and the current one.
class PrinterSystem {
 public:
  virtual ~PrinterSystem() = default;
  // Device names of the installed printers, in the system's order.
  virtual std::vector<std::string> InstalledPrinters() = 0;
  virtual PrinterState Current() = 0;
  // Makes the installed printer named `deviceName` current (with its own
  // settings); false when there is none of that name.
  virtual bool MakeCurrent(const std::string& deviceName) = 0;
  virtual void SetOrientation(int orientation) = 0;
  virtual void SetPaperSize(std::int16_t paper) = 0;
  virtual void SetPaperBin(std::int16_t bin) = 0;
  // Opens the printer and reads its papers and bins; nothing when the printer
  // cannot be opened.
  virtual std::optional<PrinterCapabilities> Capabilities(const std::string& deviceName, const std::string& port) = 0;
  // Prints on the current printer with its current settings.
  virtual LinePrinter& Printer() = 0;
};

}  // namespace tonnage::print
