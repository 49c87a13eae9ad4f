// The report spool on a printer, page by page, and copied to a file the user
// chose. Pages are separated by lines holding a form feed; both routines
// stream the file one line at a time.
#pragma once

#include <cstdint>
#include <functional>
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

// Told after each page that went out, with the pages the whole job puts out;
// answering false stops the job.
using PageProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// A job's progress over its documents (copies): pages done so far of all.
struct JobProgress {
  PageProgress told;
  std::int64_t total = 0;
  std::int64_t done = 0;
  // False when the user stopped the job.
  bool Page() { return !told || told(++done, total); }
};

// What a stopped job answers.
Outcome CancelledJob(const std::string& title);

// The pages of the spool `spoolPath`: one more than its form-feed lines. A
// spool that cannot be read counts one page; printing it tells why.
std::int64_t CountSpoolPages(const std::string& spoolPath);

// Pages `from`..`to` of `lines` as one document: from 0 means page 1, to 0
// the last page. A line holding a form feed anywhere ends its page and is
// never printed; each page of the range after the first starts on a new
// sheet. Every line is read, then the document is ended; its outcome is
// EndDocument's. With `progress`, each page of the range is told; a stop
// abandons the document.
Outcome PrintPages(io::LineSource& lines, std::int16_t from, std::int16_t to, LinePrinter& printer,
                   JobProgress* progress = nullptr);

// PrintPages over the file `spoolPath`. A spool that cannot be opened leaves
// the printer untouched; otherwise `font`, when given, is set first. A spool
// that cannot be read to its end still ends the document and is reported.
Outcome PrintSpoolPages(const std::string& spoolPath, std::int16_t from, std::int16_t to, LinePrinter& printer,
                        const PrinterFont* font = nullptr, JobProgress* progress = nullptr);

// The spool line for line into `target` with CR LF line ends, form-feed lines
// included. The target is replaced only once the whole copy is written: on
// any failure, or when `progress` is told to stop, an older file of that name
// stays as it was.
Outcome CopySpoolToFile(const std::string& spoolPath, const std::string& target, const PageProgress& progress = {});

}  // namespace tonnage::print
