// The daily summary as one CSV file: each section a title row, a heading row
// and its rows, with a blank row between sections.
#pragma once

#include <string>

#include "daily/daily_summary.h"
#include "data/outcome.h"

namespace tonnage::daily {

std::string DailyCsv(const DailySummary& s);
Outcome WriteDailyCsv(const std::string& path, const DailySummary& s);

}  // namespace tonnage::daily
