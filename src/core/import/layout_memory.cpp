#include "import/layout_memory.h"

#include <charconv>

namespace tonnage::import {
namespace {

std::vector<std::string_view> Split(std::string_view text, char by) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0;;) {
    const std::size_t next = text.find(by, at);
    parts.push_back(text.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at));
    if (next == std::string_view::npos) return parts;
    at = next + 1;
  }
}

}  // namespace

LayoutMemory ParseLayoutMemory(std::string_view text) {
  LayoutMemory memory;
  for (std::string_view line : Split(text, '\n')) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::vector<std::string_view> parts = Split(line, '\t');
    if (parts.size() != 3 || parts[0].empty()) continue;
    RememberedLayout layout;
    layout.index.fill(-1);
    bool good = true;
    for (std::string_view pair : Split(parts[1], ',')) {
      const std::size_t eq = pair.find('=');
      const auto field = ColumnFromFieldName(pair.substr(0, eq));
      int column = -1;
      if (eq == std::string_view::npos || !field ||
          std::from_chars(pair.data() + eq + 1, pair.data() + pair.size(), column).ec != std::errc() || column < 0 ||
          column > 9999) {
        good = false;
        break;
      }
      layout.index[static_cast<std::size_t>(*field)] = column;
    }
    if (!parts[2].empty()) {
      const auto unit = UnitFromName(parts[2]);
      if (!unit)
        good = false;
      else
        layout.askedUnit = *unit;
    }
    if (good) memory[std::string(parts[0])] = layout;
  }
  return memory;
}

std::string FormatLayoutMemory(const LayoutMemory& memory) {
  std::string text;
  for (const auto& [key, layout] : memory) {
    if (key.find_first_of("\t\r\n") != std::string::npos) continue;
    text += key + '\t';
    bool first = true;
    for (int f = 0; f < kTicketColumnCount; ++f) {
      if (layout.index[static_cast<std::size_t>(f)] < 0) continue;
      if (!first) text += ',';
      first = false;
      text += std::string(ColumnFieldName(static_cast<TicketColumn>(f))) + '=' +
              std::to_string(layout.index[static_cast<std::size_t>(f)]);
    }
    text += '\t';
    text += UnitName(layout.askedUnit);
    text += '\n';
  }
  return text;
}

void MapColumn(ColumnMap& map, const std::vector<std::string>& header, TicketColumn field, int index) {
  if (index >= static_cast<int>(header.size())) index = -1;
  map[field] = index;
  const int k = static_cast<int>(field) - static_cast<int>(TicketColumn::Gross);
  if (k >= 0 && k < 3)
    map.headerUnits[static_cast<std::size_t>(k)] =
        index < 0 ? WeightUnit::Unknown : HeaderUnit(header[static_cast<std::size_t>(index)]);
}

ColumnMap MappingFor(const LayoutMemory& memory, const std::vector<std::string>& header, WeightUnit& askedUnit,
                     bool* remembered) {
  const auto found = memory.find(LayoutKey(header));
  if (remembered) *remembered = found != memory.end();
  if (found == memory.end()) return RecognizeColumns(header);
  ColumnMap map;
  for (int f = 0; f < kTicketColumnCount; ++f)
    MapColumn(map, header, static_cast<TicketColumn>(f), found->second.index[static_cast<std::size_t>(f)]);
  askedUnit = found->second.askedUnit;
  return map;
}

}  // namespace tonnage::import
