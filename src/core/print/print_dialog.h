// The print dialog's choices and what its Print button does with them; the
// window only shows this state and passes clicks on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/outcome.h"
#include "print/printer.h"
#include "print/spool_printing.h"

namespace tonnage::print {

enum class PrintRange { All = 0, Pages = 1, SelectedText = 2 };

inline constexpr int kMaxPageNumber = 9999;
inline constexpr std::size_t kCopiesDigits = 3;
inline constexpr const char* kNoPrinterTitle = "Print";
inline constexpr const char* kNoPrinterMessage = "No printer is installed.";
// What the print windows show in place of the printer's settings when there is
// no printer at all.
inline constexpr const char* kNoPrinterHelp =
    "No printer is installed. Add one in the system's printer settings (or at "
    "http://localhost:631), then open this window again. Save as PDF and Print To File work without one.";

struct PrintDialog {
  bool PrintToFile = false;
  std::int16_t PrintFrom = 0;
  std::int16_t PrintTo = 0;
  std::int16_t PrintCopies = 1;
  PrintRange range = PrintRange::All;
  bool selectedTextEnabled = false;  // the selected-text choice can be made
  bool pageFieldsEnabled = false;    // the From and To fields
  int pageFrom = 0;
  int pageTo = 0;
  std::string copiesText = "1";  // the copies field as typed
};

// The dialog as it opens: "All", pages 0 to 0, one copy, not to a file; the
// selected-text choice only while the viewer handed on a selection.
PrintDialog LoadPrintDialog(bool selTextReady);

// A click on a range choice. "All" clears and disables the page fields,
// "Pages" enables them at 1 to 1; a disabled choice cannot be clicked.
void ChooseRange(PrintDialog& dialog, PrintRange range);

// "Print To File" ticked or not.
void SetPrintToFile(PrintDialog& dialog, bool ticked);
// Whether the range frame, the copies label and field and Setup show: they
// mean nothing while the report goes to a file.
inline bool ShowsPrinterChoices(const PrintDialog& dialog) { return !dialog.PrintToFile; }

// The copies field takes digits only, at most three of them.
bool CopiesTextAcceptable(std::string_view text);
// Its number; empty text (or anything unacceptable) is 0 copies.
std::int16_t CopiesFromText(std::string_view text);

// Print when no file is ticked: the chosen pages on `printer` in PrintCopies
// documents, each in the report font, or the selected text (`selTextFile`)
// once. `oneCopy` gives exactly one document
// whatever the copies field says (preview and PDF). Stops at the first copy
// that fails and returns why. `progress` is told each page of every copy, with
// the pages of all copies; a stop abandons the document being made and prints
// no further copy.
Outcome PrintChosenPages(PrintDialog& dialog, const std::string& spoolPath, const std::string& selTextFile,
                         LinePrinter& printer, bool oneCopy = false, const PageProgress& progress = {});

// Why the chosen pages cannot be printed (From after To, or From past the
// report's last page), to be told before anything is written; ok otherwise.
Outcome CheckPageRange(const PrintDialog& dialog, const std::string& spoolPath);

// The viewer's selection as the file that "Print Selected Text" prints: the
// text as selected, then CR LF. An older file of that name stays as it was
// when the write fails.
Outcome WriteSelectedText(const std::string& selTextFile, std::string_view selection);

// Ok, or "No printer is installed." when the system has none.
Outcome CheckPrinterInstalled(PrinterSystem& printers);

}  // namespace tonnage::print
