// A printer that keeps what it was sent, and installed printers made up by a
// test. Shared by the core and the window tests.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "print/printer.h"

namespace tonnage::testing {

// Sheets as a real printer would put them out: a NewPage starts the next
// sheet, and one that got no line by the end of the document never comes out.
class RecordingPrinter final : public print::LinePrinter {
 public:
  struct Document {
    std::vector<std::string> fonts;  // "Courier New 12"
    std::vector<std::vector<std::string>> sheets{{}};
    int newPages = 0;  // NewPage requests
  };

  void SetFont(const std::string& name, int points) override {
    Open().fonts.push_back(name + " " + std::to_string(points));
  }
  void PrintLine(std::string_view line) override { Open().sheets.back().emplace_back(line); }
  void NewPage() override {
    ++Open().newPages;
    open_->sheets.emplace_back();
  }
  Outcome EndDocument() override {
    Document doc = Open();
    open_.reset();
    if (doc.sheets.back().empty()) doc.sheets.pop_back();
    documents.push_back(doc);
    const Outcome answer = failures.empty() ? Outcome::Success() : failures.front();
    if (!failures.empty()) failures.erase(failures.begin());
    return answer;
  }
  void Abandon() override {
    open_.reset();
    ++abandoned;
  }

  int abandoned = 0;
  // Ended documents, in order.
  std::vector<Document> documents;
  // EndDocument's answers, one per document, before it succeeds again.
  std::vector<Outcome> failures;
  bool documentOpen() const { return open_.has_value(); }

  // Lines of every sheet of document `d`, sheets joined with "|".
  std::string Sheets(std::size_t d) const {
    std::string text;
    for (const auto& sheet : documents.at(d).sheets) {
      if (!text.empty()) text += "|";
      for (std::size_t i = 0; i < sheet.size(); ++i) text += (i ? "," : "") + sheet[i];
    }
    return text;
  }

 private:
  Document& Open() { return open_ ? *open_ : open_.emplace(); }
  std::optional<Document> open_;
};

// Installed printers with their own settings and capabilities.
class FakePrinterSystem final : public print::PrinterSystem {
 public:
  struct Installed {
    print::PrinterState state;
    std::optional<print::PrinterCapabilities> caps;  // none: cannot be opened
  };

  std::vector<std::string> InstalledPrinters() override {
    std::vector<std::string> names;
    for (const Installed& p : installed) names.push_back(p.state.deviceName);
    return names;
  }
  print::PrinterState Current() override { return current; }
  bool MakeCurrent(const std::string& deviceName) override {
    const Installed* p = Find(deviceName);
    if (p) current = p->state;
    return p != nullptr;
  }
  void SetOrientation(int orientation) override { current.orientation = orientation; }
  void SetPaperSize(std::int16_t paper) override { current.paperSize = paper; }
  void SetPaperBin(std::int16_t bin) override { current.paperBin = bin; }
  std::optional<print::PrinterCapabilities> Capabilities(const std::string& deviceName,
                                                         const std::string& /*port*/) override {
    if (const Installed* p = Find(deviceName)) return p->caps;
    return extraCaps.count(deviceName) ? std::optional(extraCaps[deviceName]) : std::nullopt;
  }
  print::LinePrinter& Printer() override { return printer; }

  std::vector<Installed> installed;
  // Capabilities of a printer that is current but not installed.
  std::map<std::string, print::PrinterCapabilities> extraCaps;
  print::PrinterState current;
  RecordingPrinter printer;

 private:
  const Installed* Find(const std::string& deviceName) const {
    for (const Installed& p : installed)
      if (p.state.deviceName == deviceName) return &p;
    return nullptr;
  }
};

// A name field as the capability query fills it: the name, then NULs.
inline std::string Field(std::string name, std::size_t width) {
  return name.append(width - std::min(width, name.size()), '\0');
}

// Two printers: an office laser with letter, legal and A4 in two trays, and
// a plotter that cannot be opened.
inline FakePrinterSystem OfficePrinters() {
  FakePrinterSystem system;
  // clang-format off
  const print::PrinterCapabilities laser{
      {1, 5, 9}, {Field("Letter", 64), Field("Legal", 64), Field("A4", 64)},
      {7, 15, 260}, {Field("Automatically Select", 24), Field("Tray 1", 24), Field("Manual Feed", 24)}};
  // clang-format on
  system.installed = {{{"Site Office Laser", "lp0", 1, 1, 7}, laser},
                      {{"Plan Plotter", "usb1", 2, 9, 15}, std::nullopt}};
  system.current = system.installed[0].state;
  return system;
}

}  // namespace tonnage::testing
