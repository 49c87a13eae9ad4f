// Which column of an e-ticket export holds which part of a ticket, found
// from the header's names the way plant systems write them, and the weight
// unit a header names ("Net Tons", "Gross (kg)").
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonnage::import {

enum class TicketColumn { Ticket, Date, Time, Gross, Tare, Net, Mix, Truck, Pct, Plant };
inline constexpr int kTicketColumnCount = 10;

// "ticket", "date", "time", "gross", "tare", "net", "mix", "truck", "pct",
// "plant": the names --map and the remembered layouts use.
std::string_view ColumnFieldName(TicketColumn column);
std::optional<TicketColumn> ColumnFromFieldName(std::string_view name);

enum class WeightUnit { Unknown, Pound, Kilogram, ShortTon, MetricTon };

// lb, lbs, kg, ton, tons, t, Mg (tonne, tonnes), any case.
std::optional<WeightUnit> UnitFromName(std::string_view name);
// "lb", "kg", "ton", "t"; empty for Unknown.
std::string_view UnitName(WeightUnit unit);
bool IsTons(WeightUnit unit);

struct ColumnMap {
  std::array<int, kTicketColumnCount> index;  // 0-based column, -1 when none
  // Units the header names for the gross, tare and net columns.
  std::array<WeightUnit, 3> headerUnits{WeightUnit::Unknown, WeightUnit::Unknown, WeightUnit::Unknown};

  ColumnMap() { index.fill(-1); }
  int& operator[](TicketColumn c) { return index[static_cast<std::size_t>(c)]; }
  int operator[](TicketColumn c) const { return index[static_cast<std::size_t>(c)]; }
};

ColumnMap RecognizeColumns(const std::vector<std::string>& header);

// The unit named by one header, if any.
WeightUnit HeaderUnit(std::string_view header);

// The same text for two headers that differ only in case and punctuation:
// the key a remembered mapping is kept under.
std::string LayoutKey(const std::vector<std::string>& header);

}  // namespace tonnage::import
