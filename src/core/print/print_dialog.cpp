#include "print/print_dialog.h"

#include <algorithm>

#include "io/file_writer.h"
#include "print/spool_printing.h"

namespace tonnage::print {

PrintDialog LoadPrintDialog(bool selTextReady) {
  PrintDialog dialog;
  dialog.selectedTextEnabled = selTextReady;
  ChooseRange(dialog, PrintRange::All);
  return dialog;
}

void ChooseRange(PrintDialog& dialog, PrintRange range) {
  if (range == PrintRange::SelectedText && !dialog.selectedTextEnabled) return;
  dialog.range = range;
  if (range == PrintRange::All) {
    dialog.pageFieldsEnabled = false;
    dialog.pageFrom = dialog.pageTo = 0;
  } else if (range == PrintRange::Pages) {
    dialog.pageFieldsEnabled = true;
    dialog.pageFrom = dialog.pageTo = 1;
  }
}

void SetPrintToFile(PrintDialog& dialog, bool ticked) { dialog.PrintToFile = ticked; }

bool CopiesTextAcceptable(std::string_view text) {
  return text.size() <= kCopiesDigits &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::int16_t CopiesFromText(std::string_view text) {
  if (!CopiesTextAcceptable(text)) return 0;
  int copies = 0;
  for (char c : text) copies = copies * 10 + (c - '0');
  return static_cast<std::int16_t>(copies);
}

namespace {

std::int16_t PageField(int value) { return static_cast<std::int16_t>(std::clamp(value, 0, kMaxPageNumber)); }

}  // namespace

Outcome PrintChosenPages(PrintDialog& dialog, const std::string& spoolPath, const std::string& selTextFile,
                         LinePrinter& printer, bool oneCopy, const PageProgress& progress) {
  dialog.PrintCopies = CopiesFromText(dialog.copiesText);
  JobProgress job{progress};
  if (dialog.range == PrintRange::SelectedText) {
    // The whole selection, once, whatever the copies field says.
    dialog.PrintFrom = dialog.PrintTo = 0;
    if (progress) job.total = CountSpoolPages(selTextFile);
    return PrintSpoolPages(selTextFile, dialog.PrintFrom, dialog.PrintTo, printer, &kReportFont, &job);
  }
  dialog.PrintFrom = PageField(dialog.pageFrom);
  dialog.PrintTo = PageField(dialog.pageTo);
  if (dialog.range == PrintRange::All) dialog.PrintFrom = dialog.PrintTo = 0;
  // Every copy is a document of its own, so the font is set for each: a font
  // set with no document after it would open one that never ends.
  const int copies = oneCopy ? 1 : dialog.PrintCopies;
  if (progress) {
    const std::int64_t pages = CountSpoolPages(spoolPath);
    const std::int64_t first = dialog.PrintFrom == 0 ? 1 : dialog.PrintFrom;
    const std::int64_t last = dialog.PrintTo == 0 ? pages : std::min<std::int64_t>(dialog.PrintTo, pages);
    job.total = std::max<std::int64_t>(0, last - first + 1) * copies;
  }
  for (int copy = 0; copy < copies; ++copy) {
    const Outcome printed = PrintSpoolPages(spoolPath, dialog.PrintFrom, dialog.PrintTo, printer, &kReportFont, &job);
    if (!printed) return printed;
  }
  return Outcome::Success();
}

Outcome CheckPageRange(const PrintDialog& dialog, const std::string& spoolPath) {
  if (dialog.range != PrintRange::Pages) return Outcome::Success();
  const int from = PageField(dialog.pageFrom), to = PageField(dialog.pageTo);
  const auto refuse = [](const std::string& why) { return Outcome::Failure(OutcomeKind::BadLine, "Print", why); };
  if (to != 0 && from > to)
    return refuse("Pages From " + std::to_string(from) + " To " + std::to_string(to) +
                  " cannot be printed: the first page comes after the last.\n"
                  "Change From or To and try again.");
  const std::int64_t pages = CountSpoolPages(spoolPath);
  if (from > pages)
    return refuse("The report has " + std::to_string(pages) + (pages == 1 ? " page" : " pages") + ": Pages From " +
                  std::to_string(from) + " cannot be printed.");
  return Outcome::Success();
}

Outcome WriteSelectedText(const std::string& selTextFile, std::string_view selection) {
  io::FileWriter writer(selTextFile, io::WriteMode::Atomic);
  writer.Write(selection);
  writer.Write("\r\n");
  return writer.Commit();
}

Outcome CheckPrinterInstalled(PrinterSystem& printers) {
  if (!printers.InstalledPrinters().empty()) return Outcome::Success();
  return Outcome::Failure(OutcomeKind::IoError, kNoPrinterTitle, kNoPrinterMessage);
}

}  // namespace tonnage::print
