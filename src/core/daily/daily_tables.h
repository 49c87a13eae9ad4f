// The daily summary as tables of cells: the one description of its sections
// that the CSV, the spreadsheet, the PDF and the window all show.
#pragma once

#include <string>
#include <vector>

#include "daily/daily_summary.h"

namespace tonnage::daily {

struct TableCell {
  std::string text;  // as shown; numbers formatted to `decimals`
  double number = 0;
  bool isNumber = false;
  int decimals = 0;
};

struct Table {
  std::string name;  // the sheet's name: short, no punctuation a spreadsheet refuses
  std::string title;
  std::vector<std::string> headings;
  std::vector<std::vector<TableCell>> rows;
};

// Sections in order; tables keep their place even when they have no rows.
enum class Section { Books, Days, Yield, Hours, Tickets, TonsByDay };

std::vector<Table> DailyTables(const DailySummary& s);

// Unit words of the summary's units.
struct UnitWords {
  const char* tons;       // "Tons" or "Metric tons"
  const char* gallons;    // "Gallons" or "Litres"
  const char* weight;     // "lb" or "kg"
  const char* area;       // "SY" or "m2"
  const char* rate;       // "lb/SY" or "kg/m2"
  const char* length;     // "ft" or "m"
  const char* thickness;  // "in" or "mm"
};
UnitWords UnitsOf(bool metric);

// "Daily summary 09/28/2026" or "... 09/28/2026 to 10/02/2026".
std::string SummaryTitle(const DailySummary& s);

}  // namespace tonnage::daily
