// The daily summary as a spreadsheet: one sheet per section, and a sheet of
// native charts drawn from those sheets' cells.
#pragma once

#include <string>

#include "daily/daily_summary.h"
#include "data/outcome.h"

namespace tonnage::daily {

Outcome WriteDailyXlsx(const std::string& path, const DailySummary& s);

}  // namespace tonnage::daily
