// The report spool on a printer, page by page, and copied to a file the user
// chose. Pages are separated by lines holding a form feed; both routines
// stream the file one line at a time.
#pragma once

#include <cstdint>
#include <string>

#include "data/outcome.h"
#include "io/line_reader.h"
#include "print/printer.h"

namespace tonnage::print {

inline constexpr char kFormFeed = '\f';

struct PrinterFont {
  const char* name;
  int points;
};
// The report's columns line up only in a fixed-pitch font.
inline constexpr PrinterFont kReportFont{"Courier New", 12};

// Pages `from`..`to` of `lines` as one document: from 0 means page 1, to 0
// the last page. A line holding a form feed anywhere ends its page and is
// never printed; each page of the range after the first starts on a new
// sheet. Every line is read, then the document is ended; its outcome is
// EndDocument's.
Outcome PrintPages(io::LineSource& lines, std::int16_t from, std::int16_t to, LinePrinter& printer);

// PrintPages over the file `spoolPath`. A spool that cannot be opened leaves
// the printer untouched; otherwise `font`, when given, is set first. A spool
// that cannot be read to its end still ends the document and is reported.
Outcome PrintSpoolPages(const std::string& spoolPath, std::int16_t from, std::int16_t to,
                        LinePrinter& printer, const PrinterFont* font = nullptr);

// The spool line for line into `target` with CR LF line ends, form-feed lines
// included. The target is replaced only once the whole copy is written: on
// any failure an older file of that name stays as it was.
Outcome CopySpoolToFile(const std::string& spoolPath, const std::string& target);

}  // namespace tonnage::print
