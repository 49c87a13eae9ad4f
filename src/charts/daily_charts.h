// The daily summary's three charts, painted into a rectangle: on screen, in
// the PDF, and in the window's tests alike.
#pragma once

#include <QPainter>
#include <QRectF>

#include "daily/daily_summary.h"

namespace tonnage::charts {

enum class DailyChart { TonsPerDay, TicketBitumen, SpreadRate };

void DrawDailyChart(QPainter& p, const QRectF& area, const daily::DailySummary& s, DailyChart which);

}  // namespace tonnage::charts
