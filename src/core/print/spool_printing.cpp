#include "print/spool_printing.h"

#include "io/file_writer.h"

namespace tonnage::print {

Outcome PrintPages(io::LineSource& lines, std::int16_t from, std::int16_t to, LinePrinter& printer) {
  const int first = from == 0 ? 1 : from;
  const int last = to == 0 ? 9999 : to;
  // Pages are 16-bit numbers to the user, but the count must not wrap: past
  // 32767 it would come round to the chosen range again.
  std::int64_t page = 1;
  std::string line;
  while (lines.Next(line)) {
    if (line.find(kFormFeed) != std::string::npos) {
      ++page;
      if (first < page && page <= last) printer.NewPage();
    } else if (first <= page && page <= last) {
      printer.PrintLine(line);
    }
  }
  return printer.EndDocument();
}

Outcome PrintSpoolPages(const std::string& spoolPath, std::int16_t from, std::int16_t to,
                        LinePrinter& printer, const PrinterFont* font) {
  io::FileLineReader reader(spoolPath);
  if (!reader.is_open()) return reader.error();
  if (font) printer.SetFont(font->name, font->points);
  const Outcome printed = PrintPages(reader, from, to, printer);
  // A read that broke off has already sent part of the report: say so first.
  if (Outcome read = reader.error(); !read) return read;
  return printed;
}

Outcome CopySpoolToFile(const std::string& spoolPath, const std::string& target) {
  io::FileLineReader reader(spoolPath);
  if (!reader.is_open()) return reader.error();
  io::FileWriter writer(target);
  std::string line;
  while (reader.Next(line)) {
    writer.WriteLine(line);
    if (writer.failed()) break;
  }
  // Without Commit the writer leaves the target as it was.
  if (Outcome read = reader.error(); !read) return read;
  return writer.Commit();
}

}  // namespace tonnage::print
