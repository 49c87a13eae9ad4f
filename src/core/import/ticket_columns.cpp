#include "import/ticket_columns.h"

#include <initializer_list>

namespace tonnage::import {
namespace {

constexpr std::array<std::string_view, kTicketColumnCount> kFieldNames = {"ticket", "date", "time",  "gross", "tare",
                                                                          "net",    "mix",  "truck", "pct",   "plant"};

// Header names as they read with case, blanks and punctuation taken out.
const std::array<std::initializer_list<std::string_view>, kTicketColumnCount> kHeaderNames = {{
    {"ticket", "ticketno", "ticketnumber", "ticketnum", "tkt", "tktno", "loadno", "loadnumber"},
    {"date", "loaddate", "ticketdate", "shipdate"},
    {"time", "loadtime", "tickettime", "timeout"},
    {"gross", "grosswt", "grossweight"},
    {"tare", "tarewt", "tareweight"},
    {"net", "netwt", "netweight", "netqty", "netquantity"},
    {"mix", "mixid", "mixcode", "product", "productcode", "material", "materialcode"},
    {"truck", "truckno", "trucknumber", "truckid", "vehicle"},
    {"ac", "binder", "pctac", "acpct", "binderpct", "acpercent", "percentac", "acontent"},
    {"plant", "plantid", "plantno", "plantname"},
}};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool Alnum(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words(1);
  for (char c : text) {
    c = Lower(c);
    if (Alnum(c))
      words.back() += c;
    else if (!words.back().empty())
      words.emplace_back();
  }
  if (words.back().empty()) words.pop_back();
  return words;
}

// The header's name without a trailing unit, and that unit.
std::string NameOf(std::string_view header, WeightUnit* unit) {
  std::vector<std::string> words = Words(header);
  WeightUnit found = WeightUnit::Unknown;
  if (words.size() > 1)
    if (auto u = UnitFromName(words.back())) {
      found = *u;
      words.pop_back();
    }
  if (unit) *unit = found;
  std::string name;
  for (const std::string& w : words) name += w;
  return name;
}

}  // namespace

std::string_view ColumnFieldName(TicketColumn column) { return kFieldNames[static_cast<std::size_t>(column)]; }

std::optional<TicketColumn> ColumnFromFieldName(std::string_view name) {
  for (std::size_t i = 0; i < kFieldNames.size(); ++i)
    if (kFieldNames[i] == name) return static_cast<TicketColumn>(i);
  return std::nullopt;
}

std::optional<WeightUnit> UnitFromName(std::string_view name) {
  std::string n;
  for (char c : name) n += Lower(c);
  if (n == "lb" || n == "lbs") return WeightUnit::Pound;
  if (n == "kg" || n == "kgs") return WeightUnit::Kilogram;
  if (n == "ton" || n == "tons") return WeightUnit::ShortTon;
  if (n == "t" || n == "mg" || n == "tonne" || n == "tonnes") return WeightUnit::MetricTon;
  return std::nullopt;
}

std::string_view UnitName(WeightUnit unit) {
  switch (unit) {
    case WeightUnit::Pound:
      return "lb";
    case WeightUnit::Kilogram:
      return "kg";
    case WeightUnit::ShortTon:
      return "ton";
    case WeightUnit::MetricTon:
      return "t";
    case WeightUnit::Unknown:
      break;
  }
  return {};
}

bool IsTons(WeightUnit unit) { return unit == WeightUnit::ShortTon || unit == WeightUnit::MetricTon; }

WeightUnit HeaderUnit(std::string_view header) {
  WeightUnit unit = WeightUnit::Unknown;
  NameOf(header, &unit);
  return unit;
}

ColumnMap RecognizeColumns(const std::vector<std::string>& header) {
  ColumnMap map;
  for (std::size_t col = 0; col < header.size(); ++col) {
    WeightUnit unit = WeightUnit::Unknown;
    const std::string name = NameOf(header[col], &unit);
    for (std::size_t f = 0; f < kHeaderNames.size(); ++f) {
      bool match = false;
      for (std::string_view known : kHeaderNames[f]) match = match || known == name;
      if (!match || map.index[f] >= 0) continue;
      map.index[f] = static_cast<int>(col);
      const auto field = static_cast<TicketColumn>(f);
      if (field == TicketColumn::Gross || field == TicketColumn::Tare || field == TicketColumn::Net)
        map.headerUnits[f - static_cast<std::size_t>(TicketColumn::Gross)] = unit;
      break;
    }
  }
  return map;
}

std::string LayoutKey(const std::vector<std::string>& header) {
  std::string key;
  for (const std::string& h : header) {
    if (!key.empty()) key += '|';
    for (const std::string& w : Words(h)) key += w;
  }
  return key;
}

}  // namespace tonnage::import
