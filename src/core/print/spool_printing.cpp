#include "print/spool_printing.h"

#include "io/file_writer.h"

namespace tonnage::print {

Outcome CancelledJob(const std::string& title) {
  return Outcome::Failure(OutcomeKind::Cancelled, title, "Stopped before the end: nothing was written.");
}

std::int64_t CountSpoolPages(const std::string& spoolPath) {
  io::FileLineReader reader(spoolPath);
  std::int64_t pages = 1;
  if (!reader.is_open()) return pages;
  std::string line;
  while (reader.Next(line))
    if (line.find(kFormFeed) != std::string::npos) ++pages;
  return pages;
}

Outcome PrintPages(io::LineSource& lines, std::int16_t from, std::int16_t to, LinePrinter& printer,
                   JobProgress* progress) {
  const int first = from == 0 ? 1 : from;
  const int last = to == 0 ? 9999 : to;
  // Pages are 16-bit numbers to the user, but the count must not wrap: past
  // 32767 it would come round to the chosen range again.
  std::int64_t page = 1;
  std::string line;
  while (lines.Next(line)) {
    if (line.find(kFormFeed) != std::string::npos) {
      if (progress && first <= page && page <= last && !progress->Page()) {
        printer.Abandon();
        return CancelledJob("Print");
      }
      ++page;
      if (first < page && page <= last) printer.NewPage();
    } else if (first <= page && page <= last) {
      printer.PrintLine(line);
    }
  }
  // The last page has no form feed after it.
  if (progress && first <= page && page <= last && !progress->Page()) {
    printer.Abandon();
    return CancelledJob("Print");
  }
  return printer.EndDocument();
}

Outcome PrintSpoolPages(const std::string& spoolPath, std::int16_t from, std::int16_t to, LinePrinter& printer,
                        const PrinterFont* font, JobProgress* progress) {
  io::FileLineReader reader(spoolPath);
  if (!reader.is_open()) return reader.error();
  if (font) printer.SetFont(font->name, font->points);
  const Outcome printed = PrintPages(reader, from, to, printer, progress);
  // A read that broke off has already sent part of the report: say so first.
  if (Outcome read = reader.error(); !read) return read;
  return printed;
}

Outcome CopySpoolToFile(const std::string& spoolPath, const std::string& target, const PageProgress& progress) {
  io::FileLineReader reader(spoolPath);
  if (!reader.is_open()) return reader.error();
  JobProgress job{progress, progress ? CountSpoolPages(spoolPath) : 0};
  io::FileWriter writer(target);
  std::string line;
  while (reader.Next(line)) {
    writer.WriteLine(line);
    if (writer.failed()) break;
    if (line.find(kFormFeed) != std::string::npos && !job.Page()) return CancelledJob("Print To File");
  }
  if (!job.Page()) return CancelledJob("Print To File");
  // Without Commit the writer leaves the target as it was.
  if (Outcome read = reader.error(); !read) return read;
  return writer.Commit();
}

}  // namespace tonnage::print
