// What the daily command takes from beyond the core: the PDF (drawn with Qt,
// when the program is built with it) and the project store's entries.
#pragma once

#include <string>

#include "daily/daily_summary.h"
#include "data/outcome.h"

namespace tonnage::cli {

bool CanWriteDailyPdf();
Outcome WriteDailyPdf(const std::string& path, const daily::DailySummary& s);

// Load times and yield entries kept for the data file at `dataFile`.
daily::DailyExtras DailyExtrasBeside(const std::string& dataFile);

}  // namespace tonnage::cli
