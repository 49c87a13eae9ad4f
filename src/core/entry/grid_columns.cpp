#include "entry/grid_columns.h"

#include "text/calendar_date.h"
#include "text/fixed_width.h"

namespace tonnage {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int TwoDigits(std::string_view text, std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); }

ColumnRule Number(std::string title, double width, CellKind kind, double max, std::string maxText, std::string unit) {
  return {std::move(title), width, kind, max, std::move(maxText), true, std::move(unit)};
}

ColumnRule Mark(std::string title, double width) { return {std::move(title), width, CellKind::Mark, 0, {}, false, {}}; }

CellCheck Refuse(std::string reason) { return {CellInput::Invalid, std::move(reason)}; }

CellCheck CheckNumber(const ColumnRule& rule, std::string_view text) {
  const bool decimals = rule.kind == CellKind::Decimal3;
  std::size_t period = std::string_view::npos;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsDigit(text[i])) continue;
    if (decimals && text[i] == '.' && period == std::string_view::npos) {
      period = i;
      continue;
    }
    return Refuse(CellTakes(rule));
  }
  if (period != std::string_view::npos && text.size() - period - 1 > 3) return Refuse(CellTakes(rule));
  if (text == ".") return {CellInput::Intermediate, {}};
  if (ParseLeadingNumber(text) > rule.max) return Refuse(CellTakes(rule));
  return {};
}

constexpr const char* kDateReason = "Date takes mm/dd/yyyy, from 01/01/1990 to 12/31/2100";

CellCheck CheckDate(std::string_view text) {
  if (text.size() > 10) return Refuse(kDateReason);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool slash = i == 2 || i == 5;
    if (slash ? text[i] != '/' : !IsDigit(text[i])) return Refuse(kDateReason);
  }
  const std::size_t n = text.size();
  if (n >= 1 && text[0] > '1') return Refuse(kDateReason);
  if (n >= 2 && (TwoDigits(text, 0) < 1 || TwoDigits(text, 0) > 12)) return Refuse(kDateReason);
  if (n >= 4 && text[3] > '3') return Refuse(kDateReason);
  if (n >= 5 && (TwoDigits(text, 3) < 1 || TwoDigits(text, 3) > 31)) return Refuse(kDateReason);
  if (n >= 7 && (text[6] < '1' || text[6] > '2')) return Refuse(kDateReason);
  if (n < 10) return {CellInput::Intermediate, {}};
  if (!ParseMonthDayYear(text)) return Refuse(kDateReason);
  return {};
}

}  // namespace

GridColumns SetGridColumns(std::string_view unitSystem, std::string_view dataType) {
  const bool metric = unitSystem == "M";
  const bool wholePounds = !metric && (dataType == "0" || dataType == "2");
  const bool batchTitles = dataType == "2" || dataType.empty();

  GridColumns grid;
  // Types "0" and "2" are typed in pounds or kilograms, type "1" and a book
  // without a type in tons.
  const bool tons = !(dataType == "0" || dataType == "2");
  const std::string unit = metric ? (tons ? "metric tons" : "kilograms") : (tons ? "tons" : "pounds");
  auto weight = [&](std::string title, double width) {
    return wholePounds ? Number(std::move(title), width, CellKind::WholeNumber, 99999, "99999", unit)
                       : Number(std::move(title), width, CellKind::Decimal3, 99999.999, "99999.999", unit);
  };
  grid.columns[0] = Number("Page No", 7.5, CellKind::WholeNumber, 999999, "999999", "numbers");
  grid.columns[1] = {"Date", 8.87, CellKind::Date, 0, {}, false, {}};
  grid.columns[2] = weight(batchTitles ? "Agg Weight" : "Gross Weight", 9.5);
  grid.columns[3] = weight(batchTitles ? "Bit Weight" : "Tare Weight", 8.87);
  grid.columns[4] = weight(batchTitles ? "Tot Weight" : "Net Weight", 8.12);
  // The ticket line holds six characters for the percent, so 99.999 at most.
  grid.columns[5] = Number("Pct. Bitum.", 8.0, CellKind::Decimal3, 99.999, "99.999", "percent");
  grid.columns[6] = Mark("Priv Waste", 7.87);
  grid.columns[7] = Mark("Void", 4.0);
  grid.columns[8] = Mark("Note", 4.0);

  if (metric)
    grid.weightUnitLine = tons ? "Weights are in METRIC TONS" : "Weights are in KGS";
  else
    grid.weightUnitLine = tons ? "Weights are in TONS" : "Weights are in LBS";
  return grid;
}

std::string DataEntryCaption(std::string_view unitSystem) {
  return unitSystem == "M" ? "Data Entry --  Data Is In Metric" : "Data Entry --  Data Is In English";
}

CellCheck CheckCellInput(const ColumnRule& rule, std::string_view text) {
  if (text.empty()) return {};
  switch (rule.kind) {
    case CellKind::WholeNumber:
    case CellKind::Decimal3:
      return CheckNumber(rule, text);
    case CellKind::Date:
      return CheckDate(text);
    case CellKind::Mark:
      if (text.size() > 1) return Refuse(CellTakes(rule));
      return {};
  }
  return {};
}

std::string CellTakes(const ColumnRule& rule) {
  switch (rule.kind) {
    case CellKind::WholeNumber:
      return rule.title + " takes whole " + rule.unit + " up to " + rule.maxText;
    case CellKind::Decimal3:
      return rule.title + " takes " + rule.unit + " up to " + rule.maxText + ", three decimals at most";
    case CellKind::Date:
      return kDateReason;
    case CellKind::Mark:
      return rule.title + " takes Y, N, Space or Delete";
  }
  return {};
}

bool CellAccepts(const ColumnRule& rule, std::string_view text) {
  return CheckCellInput(rule, text).state == CellInput::Acceptable;
}

bool IsGridDate(std::string_view text) { return ParseMonthDayYear(text).has_value(); }

}  // namespace tonnage
