#include "report/ticket_rules.h"

#include <cstdint>

#include "report/fast_number.h"
#include "text/fixed_width.h"

namespace tonnage::report {
namespace {

constexpr double kGallonDivisor = 850.0004;
constexpr double kLitreFactor = 0.009817784;
// Metric figures are the English ones carried through the gallon, pound and
// litre factors the plant's scales use.
constexpr double kMetricFactor = 3.785306 / 0.4535924;

double PlainAsphaltDensity(bool metric) { return metric ? 8.5 / kMetricFactor : 8.5; }
double WaterDensity(bool metric) { return metric ? 8.3282 / kMetricFactor : 8.3282; }

// A one-column Y/N flag (1-based column); a short line reads as no.
bool IsYes(std::string_view line, std::size_t column) {
  return line.size() >= column && line[column - 1] == 'Y';
}

// A page number as a 32-bit integer, rounding as the conversion always has.
long PageNumberOf(std::string_view text) {
  double value = RoundHalfEven(ParseLeadingNumber(text));
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  return static_cast<long>(value);
}

}  // namespace

BookRules ReadBookRules(std::string_view headerLine, bool metric) {
  BookRules rules;
  const std::string_view type = Columns(headerLine, 3, 3);
  rules.batch = type == "2";
  rules.tons = type == "1";
  rules.metric = metric;
  rules.gravity = ParseLeadingNumber(Columns(headerLine, 5, 10));
  return rules;
}

void ReadTicketLine(std::string_view line, const BookRules& rules, TicketSeen& t) {
  t.pageNo = PageNumberOf(Columns(line, 1, 6));
  t.date = TrimBlanks(Columns(line, 8, 17));
  t.w1Text = TrimBlanks(Columns(line, 19, 27));
  t.w2Text = TrimBlanks(Columns(line, 29, 37));
  t.w3Text = TrimBlanks(Columns(line, 39, 47));
  t.pctText = TrimBlanks(Columns(line, 49, 54));
  t.w1 = ParseLeadingNumber(t.w1Text);
  t.w2 = ParseLeadingNumber(t.w2Text);
  t.w3 = ParseLeadingNumber(t.w3Text);
  t.pct = ParseLeadingNumber(t.pctText);
  t.privWaste = IsYes(line, 56);
  t.isVoid = IsYes(line, 58);
  t.note = IsYes(line, 60);
  if (rules.tons) {
    const double f = TonFactor(rules.metric);
    t.w1 = Keep3(t.w1 * f);
    t.w2 = Keep3(t.w2 * f);
    t.w3 = Keep3(t.w3 * f);
  }
  t.kp = Keep3(t.w3);
  t.theo = t.kp;
  t.metric = rules.metric;
}

bool CheckTicketWeights(const BookRules& rules, TicketSeen& t) {
  if (t.w1Text.empty() || t.w2Text.empty()) return false;
  if (rules.batch) {
    t.theo = Keep3(t.w1 + t.w2);
  } else {
    if (t.w1 < t.w2) t.errors |= kErrorGrossLessThanTare;
    t.theo = Keep3(t.w1 - t.w2);
  }
  if (t.kp != t.theo) t.errors |= kErrorTheoKpMismatch;
  return true;
}

TicketGallons AddToBookTotals(const TicketSeen& t, bool metric, BookTotals& totals) {
  TicketGallons gallons;
  if (!t.privWaste) {
    totals.projectKp += t.kp;
    totals.projectTheo += t.theo;
    return gallons;
  }
  totals.privateKp += t.kp;
  totals.privateTheo += t.theo;
  if (t.pct == 0) return gallons;  // without bitumen
  if (metric) {
    gallons.theo = t.theo * t.pct * kLitreFactor;
    gallons.kp = t.kp * t.pct * kLitreFactor;
  } else {
    gallons.theo = t.theo * t.pct / kGallonDivisor;
    gallons.kp = t.kp * t.pct / kGallonDivisor;
  }
  totals.privateTheoGallons += gallons.theo;
  totals.privateKpGallons += gallons.kp;
  return gallons;
}

void AddToDate(const BookRules& rules, const TicketSeen& t, bool weighed, const TicketGallons& gallons,
               DateSlot& slot) {
  // Private/waste tickets carry their asphalt into the date as well.
  if (weighed && rules.batch) {
    if (rules.gravity > 0) {
      slot.gravityAsphalt += t.w2;
      slot.dateGravity = rules.gravity;
    } else {
      slot.plainAsphalt += t.w2;
    }
  }
  if (!t.privWaste) {
    slot.projectKp += t.kp;
    slot.projectTheo += t.theo;
  } else {
    slot.privateKp += t.kp;
    slot.privateTheo += t.theo;
    slot.privateTheoGallons += gallons.theo;
    slot.privateKpGallons += gallons.kp;
  }
}

double PayGallons(const DateSlot& slot, bool metric) {
  if (slot.projectTheo <= 0) return 0;
  double gallons = 0;
  if (slot.plainAsphalt > 0) gallons = slot.plainAsphalt / PlainAsphaltDensity(metric);
  if (slot.gravityAsphalt > 0) gallons = gallons + slot.gravityAsphalt / (WaterDensity(metric) * slot.dateGravity);
  return gallons;
}

}  // namespace tonnage::report
