// The daily summary as a PDF: headings, the sections as tables, the charts.
#pragma once

#include <QByteArray>
#include <string>

#include "daily/daily_summary.h"
#include "data/outcome.h"

namespace tonnage::charts {

// The PDF's bytes. Needs a QGuiApplication (fonts).
QByteArray DailyPdf(const daily::DailySummary& s);
// Written through the program's writer: whole or not at all.
Outcome WriteDailyPdf(const std::string& path, const daily::DailySummary& s);

}  // namespace tonnage::charts
