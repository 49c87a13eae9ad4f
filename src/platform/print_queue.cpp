#include "print_queue.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace platform {

namespace {

// Lower case, letters and digits only: "Tray-1", "tray_1" and "TRAY1" are one.
std::string Folded(std::string_view keyword) {
  std::string folded;
  for (unsigned char c : keyword)
    if (std::isalnum(c)) folded += static_cast<char>(std::tolower(c));
  return folded;
}

struct ClassicBin {
  const char* keyword;
  int number;
};

// The driver keywords (InputSlot) and printer keywords (media-source) that
// name the usual slots. "main" is a printer's only or first tray; "default"
// and "auto" leave the choice to the printer.
constexpr ClassicBin kClassicBins[] = {
    {"upper", 1},          {"top", 1},
    {"onlyone", 1},        {"main", 1},
    {"tray1", 1},          {"lower", 2},
    {"bottom", 2},         {"tray2", 2},
    {"middle", 3},         {"manual", 4},
    {"manualfeed", 4},     {"bypasstray", 4},
    {"bypass", 4},         {"envelope", 5},
    {"envelopefeed", 5},   {"envmanual", 6},
    {"manualenvelope", 6}, {"envelopemanual", 6},
    {"auto", 7},           {"autoselect", 7},
    {"automatic", 7},      {"default", 7},
    {"tractor", 8},        {"largecapacity", 11},
    {"cassette", 14},
};

// Gives each entry its wanted number unless an earlier entry has it (or it
// has none); those get 256 + their position, so every number names one entry.
std::vector<std::int16_t> Unique(const std::vector<int>& wanted) {
  std::vector<std::int16_t> numbers;
  numbers.reserve(wanted.size());
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    const int w = wanted[i];
    const bool standard = w > 0 && w < kFirstOwnNumber;
    const bool taken =
        standard && std::find(numbers.begin(), numbers.end(), static_cast<std::int16_t>(w)) != numbers.end();
    const std::size_t own = kFirstOwnNumber + i;
    numbers.push_back(static_cast<std::int16_t>(standard && !taken ? w : std::min<std::size_t>(own, 32767)));
  }
  return numbers;
}

}  // namespace

int ClassicBinNumber(std::string_view keyword) {
  const std::string folded = Folded(keyword);
  for (const ClassicBin& bin : kClassicBins)
    if (folded == bin.keyword) return bin.number;
  return 0;
}

std::vector<std::int16_t> NumberBins(const std::vector<std::string>& keywords) {
  std::vector<int> wanted;
  wanted.reserve(keywords.size());
  for (const std::string& keyword : keywords) wanted.push_back(ClassicBinNumber(keyword));
  return Unique(wanted);
}

std::vector<std::int16_t> NumberPapers(const std::vector<int>& standardNumbers) { return Unique(standardNumbers); }

std::string NameField(std::string_view name, std::size_t width) {
  std::string field(name);
  if (field.size() < width) field.resize(width, '\0');
  return field;
}

tonnage::print::PrinterCapabilities CapabilitiesOf(const QueueInfo& queue) {
  tonnage::print::PrinterCapabilities caps;
  for (const QueuePaper& paper : queue.papers) {
    caps.paperNumbers.push_back(paper.number);
    caps.paperNames.push_back(NameField(paper.name, tonnage::print::kPaperNameField));
  }
  for (const QueueBin& bin : queue.bins) {
    caps.binNumbers.push_back(bin.number);
    caps.binNames.push_back(NameField(bin.name, tonnage::print::kBinNameField));
  }
  return caps;
}

const QueuePaper* FindPaper(const QueueInfo& queue, std::int16_t number) {
  for (const QueuePaper& paper : queue.papers)
    if (paper.number == number) return &paper;
  return nullptr;
}

const QueueBin* FindBin(const QueueInfo& queue, std::int16_t number) {
  for (const QueueBin& bin : queue.bins)
    if (bin.number == number) return &bin;
  return nullptr;
}

std::string WithoutCredentials(std::string_view uri) {
  const std::size_t scheme = uri.find("://");
  if (scheme == std::string_view::npos) return std::string(uri);
  const std::size_t hostStart = scheme + 3;
  const std::size_t hostEnd = std::min(uri.find('/', hostStart), uri.size());
  const std::size_t at = uri.substr(0, hostEnd).rfind('@');
  if (at == std::string_view::npos || at < hostStart) return std::string(uri);
  return std::string(uri.substr(0, hostStart)) + std::string(uri.substr(at + 1));
}

SheetMargins Landscape(const SheetMargins& upright) {
  return {upright.bottom, upright.left, upright.top, upright.right};
}

}  // namespace platform
