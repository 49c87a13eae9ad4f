// The current printer in words for the print dialog, and the printer setup
// window's lists and steps, over the installed printers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "print/printer.h"

namespace tonnage::print {

inline constexpr const char* kNotDefined = "Not Defined";
inline constexpr const char* kUnavailableEntry = "  <Unavailable>";

// A paper or bin name from its field: the characters before the first NUL,
// or the whole field when it holds none.
std::string_view CutName(std::string_view field);

// The current printer's paper, orientation and bin by name.
struct PrinterDesc {
  std::string PaperDesc = kNotDefined;
  std::string OrientDesc = "Portrait";
  std::string BinDesc = kNotDefined;
};
// The first paper and the first bin whose numbers are the current ones, with
// blanks trimmed; "Not Defined" when none is, or the printer cannot be
// opened. Orientation 2 is "Landscape", anything else "Portrait".
PrinterDesc GetPrinterDesc(PrinterSystem& printers);

// The print dialog's three lines, spaces as they stand.
std::string PrinterLine(const PrinterState& printer);
std::string PaperLine(const PrinterDesc& desc);
std::string BinLine(const PrinterDesc& desc);

// A list entry: the number, two blanks, the name, the whole trimmed. Paper 9
// named A4 reads "9  A4".
std::string CapabilityEntry(std::int16_t number, std::string_view nameField);

// The number an entry starts with, for finding the current paper or bin in
// the list: the text before the first space read as a number (empty reads
// 0). An entry with no space has none and matches nothing.
std::optional<double> EntryNumber(std::string_view entry);

// The number OK takes from a paper or bin text: a whole number in 16 bits,
// with a space after it. Anything else (empty, "  <Unavailable>", typed
// words) gives none, and the printer keeps its value.
std::optional<std::int16_t> ChosenNumber(std::string_view text);

// A combo box's entries and the one selected (-1: none, text empty).
struct SetupList {
  std::vector<std::string> entries;
  int selected = -1;
};

struct PaperAndBins {
  SetupList papers;
  SetupList bins;
};
// The papers and bins of `printer`, each list selecting the entry whose
// number is the printer's current paper size or bin (the last such entry
// when several are). A printer that cannot be opened lists "  <Unavailable>".
PaperAndBins FillPaperAndBins(PrinterSystem& printers, const PrinterState& printer);

// The printer setup window's state: the installed printers, the current
// one's orientation and its papers and bins. It remembers the printer that
// was current when it opened, so Cancel can give it back.
class PrinterSetup {
 public:
  explicit PrinterSetup(PrinterSystem& printers);

  const std::vector<std::string>& printers() const { return names_; }
  // The current printer's entry in printers(), -1 when it is not installed.
  int selectedPrinter() const { return selectedPrinter_; }
  bool portrait() const { return portrait_; }
  const PaperAndBins& lists() const { return lists_; }

  // The user picked `deviceName`: the first installed printer of that name
  // becomes current at once, and orientation and lists follow it.
  void ChoosePrinter(const std::string& deviceName);
  // OK: paper and bin from the leading numbers of the two texts (a text
  // without one keeps the printer's value), and the orientation.
  void Ok(std::string_view paperText, std::string_view binText, bool portrait);
  // Cancel: the printer current at opening, with its paper, bin and
  // orientation as they were.
  void Cancel();

 private:
  void Refresh();

  PrinterSystem& system_;
  PrinterState opened_;
  std::vector<std::string> names_;
  int selectedPrinter_ = -1;
  bool portrait_ = true;
  PaperAndBins lists_;
};

}  // namespace tonnage::print
