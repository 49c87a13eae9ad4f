#include "print/printer_setup.h"

#include <algorithm>
#include <charconv>

#include "text/fixed_width.h"

namespace tonnage::print {

std::string_view CutName(std::string_view field) {
  const std::size_t nul = field.find('\0');
  return nul == std::string_view::npos ? field : field.substr(0, nul);
}

namespace {

// Numbers and name fields pair up by position; a name without a number (or
// the other way round) is left out rather than read past either list.
std::size_t Pairs(const std::vector<std::int16_t>& numbers, const std::vector<std::string>& names) {
  return std::min(numbers.size(), names.size());
}

std::string FirstNameOf(std::int16_t number, const std::vector<std::int16_t>& numbers,
                        const std::vector<std::string>& names) {
  for (std::size_t i = 0; i < Pairs(numbers, names); ++i)
    if (numbers[i] == number) return std::string(TrimBlanks(CutName(names[i])));
  return kNotDefined;
}

SetupList ListOf(const std::vector<std::int16_t>& numbers, const std::vector<std::string>& names,
                 std::int16_t current) {
  SetupList list;
  for (std::size_t i = 0; i < Pairs(numbers, names); ++i) list.entries.push_back(CapabilityEntry(numbers[i], names[i]));
  for (std::size_t i = 0; i < list.entries.size(); ++i) {
    const std::optional<double> number = EntryNumber(list.entries[i]);
    if (number && *number == current) list.selected = static_cast<int>(i);
  }
  return list;
}

SetupList Unavailable() { return SetupList{{kUnavailableEntry}, -1}; }

}  // namespace

PrinterDesc GetPrinterDesc(PrinterSystem& printers) {
  const PrinterState printer = printers.Current();
  PrinterDesc desc;
  if (printer.orientation == 2) desc.OrientDesc = "Landscape";
  const std::optional<PrinterCapabilities> caps = printers.Capabilities(printer.deviceName, printer.port);
  if (!caps) return desc;
  desc.BinDesc = FirstNameOf(printer.paperBin, caps->binNumbers, caps->binNames);
  desc.PaperDesc = FirstNameOf(printer.paperSize, caps->paperNumbers, caps->paperNames);
  return desc;
}

std::string PrinterLine(const PrinterState& printer) {
  return " Printer: " + printer.deviceName + "   [" + printer.port + "] ";
}

std::string PaperLine(const PrinterDesc& desc) { return " Paper: " + desc.PaperDesc + "   [" + desc.OrientDesc + "] "; }

std::string BinLine(const PrinterDesc& desc) { return " Bin: " + desc.BinDesc + " "; }

std::string CapabilityEntry(std::int16_t number, std::string_view nameField) {
  const std::string entry = std::to_string(number) + "  " + std::string(CutName(nameField));
  return std::string(TrimBlanks(entry));
}

std::optional<double> EntryNumber(std::string_view entry) {
  const std::size_t space = entry.find(' ');
  if (space == std::string_view::npos) return std::nullopt;
  return ParseLeadingNumber(entry.substr(0, space));
}

std::optional<std::int16_t> ChosenNumber(std::string_view text) {
  const std::size_t space = text.find(' ');
  if (space == std::string_view::npos || space == 0) return std::nullopt;
  const std::string_view head = text.substr(0, space);
  std::int16_t value = 0;
  const auto [end, ec] = std::from_chars(head.data(), head.data() + head.size(), value);
  if (ec != std::errc() || end != head.data() + head.size()) return std::nullopt;
  return value;
}

PaperAndBins FillPaperAndBins(PrinterSystem& printers, const PrinterState& printer) {
  const std::optional<PrinterCapabilities> caps = printers.Capabilities(printer.deviceName, printer.port);
  if (!caps) return {Unavailable(), Unavailable()};
  return {ListOf(caps->paperNumbers, caps->paperNames, printer.paperSize),
          ListOf(caps->binNumbers, caps->binNames, printer.paperBin)};
}

PrinterSetup::PrinterSetup(PrinterSystem& printers)
    : system_(printers), opened_(printers.Current()), names_(printers.InstalledPrinters()) {
  // The current printer is only selected here, not made current again: that
  // would give it back its own defaults and lose the paper and bin chosen
  // before.
  const auto found = std::find(names_.begin(), names_.end(), opened_.deviceName);
  if (found != names_.end()) selectedPrinter_ = static_cast<int>(found - names_.begin());
  Refresh();
}

void PrinterSetup::Refresh() {
  const PrinterState current = system_.Current();
  portrait_ = current.orientation == 1;
  lists_ = FillPaperAndBins(system_, current);
}

void PrinterSetup::ChoosePrinter(const std::string& deviceName) {
  const auto found = std::find(names_.begin(), names_.end(), deviceName);
  if (found != names_.end()) {
    selectedPrinter_ = static_cast<int>(found - names_.begin());
    if (system_.Current().deviceName != deviceName) system_.MakeCurrent(deviceName);
  }
  Refresh();
}

void PrinterSetup::Ok(std::string_view paperText, std::string_view binText, bool portrait) {
  if (const auto paper = ChosenNumber(paperText)) system_.SetPaperSize(*paper);
  if (const auto bin = ChosenNumber(binText)) system_.SetPaperBin(*bin);
  system_.SetOrientation(portrait ? 1 : 2);
}

void PrinterSetup::Cancel() {
  if (system_.Current().deviceName != opened_.deviceName && !system_.MakeCurrent(opened_.deviceName))
    return;  // the old printer is gone: nothing of it to restore
  system_.SetOrientation(opened_.orientation);
  system_.SetPaperSize(opened_.paperSize);
  system_.SetPaperBin(opened_.paperBin);
}

}  // namespace tonnage::print
