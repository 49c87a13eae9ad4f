#include "daily/yield_check.h"

#include <algorithm>
#include <cmath>

#include "report/report_lines.h"
#include "text/fixed_width.h"

namespace tonnage::daily {
namespace {

constexpr double kSquareFeetPerYard = 9.0;
// Target spread rate from the mix's maximum specific gravity: lb/SY per inch
// of thickness, kg/m2 per mm.
constexpr double kGmmPoundsPerYardInch = 43.3;
constexpr double kGmmKilogramsPerMetreMm = 0.925;

bool IsNumber(std::string_view text) {
  bool digits = false, point = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

}  // namespace

double DefaultTargetRate(bool metric) {
  // 110 lb/SY per inch: 110 x 0.45359237 kg / 0.83612736 m2 / 25.4 mm.
  return metric ? 110.0 * 0.45359237 / 0.83612736 / 25.4 : 110.0;
}

std::optional<double> ParseStation(std::string_view text, bool metric) {
  text = TrimBlanks(text);
  const std::size_t plus = text.find('+');
  if (plus == std::string_view::npos) {
    if (!IsNumber(text)) return std::nullopt;
    return ParseLeadingNumber(text);
  }
  const std::string_view whole = text.substr(0, plus), part = text.substr(plus + 1);
  const double unit = metric ? 1000.0 : 100.0;
  if (!IsNumber(whole) || whole.find('.') != std::string_view::npos || !IsNumber(part)) return std::nullopt;
  const double offset = ParseLeadingNumber(part);
  if (offset >= unit) return std::nullopt;
  return ParseLeadingNumber(whole) * unit + offset;
}

YieldResult ComputeYield(const YieldEntry& e, double tonsPlaced, bool metric) {
  YieldResult r;
  YieldFigures& f = r.figures;
  if (!e.stationFrom.empty() || !e.stationTo.empty()) {
    const auto from = ParseStation(e.stationFrom, metric), to = ParseStation(e.stationTo, metric);
    if (!from || !to) {
      r.error = metric ? "The stations are written as 1+250 (kilometre and metres)."
                       : "The stations are written as 12+50 (hundreds of feet and feet).";
      return r;
    }
    f.length = std::fabs(*to - *from);
  } else {
    f.length = e.length;
  }
  if (!(f.length > 0) || !(e.width > 0) || !(e.thickness > 0)) {
    r.error = "The length, the width and the thickness must be above 0.";
    return r;
  }
  f.area = metric ? f.length * e.width : f.length * e.width / kSquareFeetPerYard;
  if (e.gmm > 0)
    f.target = (metric ? kGmmKilogramsPerMetreMm : kGmmPoundsPerYardInch) * e.gmm * e.thickness;
  else if (e.targetRate > 0)
    f.target = e.targetRate * e.thickness;
  if (!(f.target > 0)) {
    r.error = "A target rate or the mix's Gmm is needed.";
    return r;
  }
  const double perTon = report::TonFactor(metric);
  f.tonsPlaced = tonsPlaced;
  f.spreadRate = tonsPlaced * perTon / f.area;
  f.percentOfTarget = f.spreadRate / f.target * 100.0;
  f.offTarget = std::fabs(f.percentOfTarget - 100.0) > kYieldTolerance * 100.0;
  f.plannedTons = f.target * f.area / perTon;
  return r;
}

std::vector<YieldLine> YieldCheck(const std::vector<YieldEntry>& entries, const BookDateTons& tons,
                                  std::string_view fromKey, std::string_view toKey, bool metric) {
  std::vector<const YieldEntry*> sorted;
  for (const YieldEntry& e : entries) sorted.push_back(&e);
  std::stable_sort(sorted.begin(), sorted.end(), [](const YieldEntry* a, const YieldEntry* b) {
    return a->book != b->book ? a->book < b->book : a->dateKey < b->dateKey;
  });
  std::vector<YieldLine> lines;
  std::map<int, std::pair<double, double>> running;  // book -> tons, planned
  for (const YieldEntry* e : sorted) {
    if (e->dateKey > toKey) continue;
    const auto t = tons.find({e->book, e->dateKey});
    YieldLine line;
    line.entry = *e;
    const YieldResult r = ComputeYield(*e, t == tons.end() ? 0.0 : t->second, metric);
    line.error = r.error;
    line.figures = r.figures;
    auto& [tonsToDate, planned] = running[e->book];
    if (r.error.empty()) {
      tonsToDate += r.figures.tonsPlaced;
      planned += r.figures.plannedTons;
    }
    line.tonsToDate = tonsToDate;
    line.plannedToDate = planned;
    line.overPlanned = planned > 0 && tonsToDate > planned * (1.0 + kYieldTolerance);
    if (e->dateKey >= fromKey) lines.push_back(std::move(line));
  }
  std::stable_sort(lines.begin(), lines.end(), [](const YieldLine& a, const YieldLine& b) {
    return a.entry.dateKey != b.entry.dateKey ? a.entry.dateKey < b.entry.dateKey : a.entry.book < b.entry.book;
  });
  return lines;
}

}  // namespace tonnage::daily
