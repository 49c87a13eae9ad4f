#include "report/ticket_rules.h"

#include <cstdint>

#include "report/fast_number.h"
#include "text/fixed_width.h"

namespace tonnage::report {
namespace {

// A one-column Y/N flag (1-based column); a short line reads as no.
bool IsYes(std::string_view line, std::size_t column) { return line.size() >= column && line[column - 1] == 'Y'; }

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
  t.bookGravity = rules.gravity;
}

bool CheckTicketWeights(const BookRules& rules, TicketSeen& t) {
  if (t.w1Text.empty() || t.w2Text.empty()) return false;
  if (rules.batch) {
    t.theo = Keep3(t.w1 + t.w2);
    t.batchAsphalt = true;
  } else {
    if (t.w1 < t.w2) t.errors |= kErrorGrossLessThanTare;
    t.theo = Keep3(t.w1 - t.w2);
  }
  if (t.kp != t.theo) t.errors |= kErrorTheoKpMismatch;
  return true;
}

void CountTicket(TicketSeen& t, DateSlot& slot, BookTotals& totals) {
  if (t.privWaste) {
    const TicketGallons g = PrivateTicketGallons(t.theo, t.kp, t.pct, t.metric);
    t.theoGallons = g.theo;
    t.kpGallons = g.kp;
  }
  t.counted = true;
  AddToDate(slot, t);
  if (!t.privWaste) {
    totals.projectKp += t.kp;
    totals.projectTheo += t.theo;
  } else {
    totals.privateKp += t.kp;
    totals.privateTheo += t.theo;
    totals.privateTheoGallons += t.theoGallons;
    totals.privateKpGallons += t.kpGallons;
  }
}

}  // namespace tonnage::report
