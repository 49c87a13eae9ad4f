// The yield check: tons placed against the area paved, so a spread rate off
// target is caught the day it happens.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tonnage::daily {

// What the inspector paved with one book on one date. English: feet, inches,
// lb/SY per inch; metric: metres, millimetres, kg/m2 per mm.
struct YieldEntry {
  int book = 0;
  std::string dateKey;                 // YYYYMMDD
  std::string stationFrom, stationTo;  // "12+50" to "45+00"; both empty when a length is given
  double length = 0;
  double width = 0;
  double thickness = 0;
  double targetRate = 0;  // spread rate per unit of thickness; used when gmm is 0
  double gmm = 0;         // the mix's maximum specific gravity
};

inline bool operator==(const YieldEntry& a, const YieldEntry& b) {
  return a.book == b.book && a.dateKey == b.dateKey && a.stationFrom == b.stationFrom && a.stationTo == b.stationTo &&
         a.length == b.length && a.width == b.width && a.thickness == b.thickness && a.targetRate == b.targetRate &&
         a.gmm == b.gmm;
}

// The usual target rate: 110 lb/SY per inch, in metric the same as kg/m2 per mm.
double DefaultTargetRate(bool metric);

// A station in feet ("12+50" is 1250) or in metres ("1+250" is 1250); a
// plain number is taken as it stands. Empty when the text is no station.
std::optional<double> ParseStation(std::string_view text, bool metric);

// A spread rate more than this far from its target is flagged, and tons
// placed beyond this share of the planned tons are warned of.
inline constexpr double kYieldTolerance = 0.05;

struct YieldFigures {
  double length = 0;      // feet or metres
  double area = 0;        // square yards or square metres
  double target = 0;      // lb/SY or kg/m2
  double tonsPlaced = 0;  // project tons of the book that day
  double spreadRate = 0;  // lb/SY or kg/m2 placed
  double percentOfTarget = 0;
  bool offTarget = false;  // outside plus or minus 5 percent
  double plannedTons = 0;  // the target over the area
};

struct YieldResult {
  std::string error;  // empty when the entry could be worked out
  YieldFigures figures;
};
YieldResult ComputeYield(const YieldEntry& entry, double tonsPlaced, bool metric);

// One entry with its book's tons and plan through its date.
struct YieldLine {
  YieldEntry entry;
  std::string error;
  YieldFigures figures;
  double tonsToDate = 0, plannedToDate = 0;  // over the book's entries through this date
  bool overPlanned = false;                  // tons to date beyond 105 % of planned
};

// Project tons of every book on every date: (book, date key) -> tons.
using BookDateTons = std::map<std::pair<int, std::string>, double>;

// Lines of the entries whose dates lie in the range, in date then book order.
std::vector<YieldLine> YieldCheck(const std::vector<YieldEntry>& entries, const BookDateTons& tons,
                                  std::string_view fromKey, std::string_view toKey, bool metric);

}  // namespace tonnage::daily
