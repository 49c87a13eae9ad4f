// The column mapping the user confirmed for a plant's header layout, kept
// between runs so the next file from the same plant imports without
// questions: one line per layout in a small text file.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "import/ticket_columns.h"

namespace tonnage::import {

struct RememberedLayout {
  std::array<int, kTicketColumnCount> index;  // as ColumnMap::index
  WeightUnit askedUnit = WeightUnit::Unknown;
};

using LayoutMemory = std::map<std::string, RememberedLayout>;  // by LayoutKey

// Lines "KEY<TAB>ticket=0,date=1,...<TAB>unit"; lines that do not read so
// are passed over, so a damaged file costs only its damaged layouts.
LayoutMemory ParseLayoutMemory(std::string_view text);
std::string FormatLayoutMemory(const LayoutMemory& memory);

// The mapping for `header`: the remembered one (units named in the header
// taken from it again), or the recognised one. `remembered` tells which.
ColumnMap MappingFor(const LayoutMemory& memory, const std::vector<std::string>& header, WeightUnit& askedUnit,
                     bool* remembered = nullptr);

// Column `index` (or -1) for `field`, with the unit its header names.
void MapColumn(ColumnMap& map, const std::vector<std::string>& header, TicketColumn field, int index);

}  // namespace tonnage::import
