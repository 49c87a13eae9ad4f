#include "report/date_amounts.h"

#include "report/report_lines.h"

namespace tonnage::report {
namespace {

// Bitumen conversions. Metric figures are the English ones carried through
// the gallon, pound and litre factors the plant's scales use.
constexpr double kGallonDivisor = 850.0004;
constexpr double kLitreFactor = 0.009817784;
constexpr double kMetricFactor = 3.785306 / 0.4535924;
constexpr double kPrivateThreshold = 1.0;

double PlainAsphaltDensity(bool metric) { return metric ? 8.5 / kMetricFactor : 8.5; }
double WaterDensity(bool metric) { return metric ? 8.3282 / kMetricFactor : 8.3282; }
double PercentFactor(bool metric) { return metric ? 0.425 * (0.264172 / (2.204623 / 2.0)) : 0.425; }

}  // namespace

TicketGallons PrivateTicketGallons(double theo, double kp, double pct, bool metric) {
  if (pct == 0) return {};
  if (metric) return {theo * pct * kLitreFactor, kp * pct * kLitreFactor};
  return {theo * pct / kGallonDivisor, kp * pct / kGallonDivisor};
}

void AddToDate(DateSlot& slot, const TicketSeen& t) {
  if (t.batchAsphalt) {
    if (t.bookGravity > 0) {
      slot.gravityAsphalt += t.w2;
      slot.dateGravity = t.bookGravity;
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
    slot.privateTheoGallons += t.theoGallons;
    slot.privateKpGallons += t.kpGallons;
  }
}

ProjectDate ProjectByDate(const DateSlot& slot, bool metric) {
  const double tons = TonFactor(metric);
  if (!(slot.projectTheo > 0)) return {};
  ProjectDate d;
  d.theoTons = slot.projectTheo / tons;
  d.kpTons = slot.projectKp / tons;
  if (slot.plainAsphalt > 0) d.payGallons = slot.plainAsphalt / PlainAsphaltDensity(metric);
  if (slot.gravityAsphalt > 0)
    d.payGallons = d.payGallons + slot.gravityAsphalt / (WaterDensity(metric) * slot.dateGravity);
  if (d.theoTons != 0) d.theoPct = d.payGallons / d.theoTons * PercentFactor(metric);
  if (d.kpTons != 0) d.kpPct = d.payGallons / d.kpTons * PercentFactor(metric);
  return d;
}

PrivateDate PrivateByDate(const DateSlot& slot, bool metric) {
  if (!(slot.privateTheo > kPrivateThreshold)) return {};
  const double tons = TonFactor(metric);
  return {slot.privateTheo / tons, slot.privateKp / tons, slot.privateTheoGallons, slot.privateKpGallons, true};
}

}  // namespace tonnage::report
