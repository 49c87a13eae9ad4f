// What a counted ticket adds to its date, and what a date's amounts come to
// in tons and gallons. The report's date sections and the daily summary both
// work through these, so a day's figures are the same wherever they show.
#pragma once

#include "report/date_table.h"
#include "report/tonnage_run.h"

namespace tonnage::report {

// The bitumen of a private/waste ticket: gallons (English) or litres
// (metric) of its THEO and KP weights at its percent.
struct TicketGallons {
  double theo = 0, kp = 0;
};
TicketGallons PrivateTicketGallons(double theo, double kp, double pct, bool metric);

// Adds a counted ticket (not void, date in the table) to its date: project
// or private weights, private gallons, and the batch-plant asphalt weight.
void AddToDate(DateSlot& slot, const TicketSeen& t);

// A date's project-material figures. A date without project THEO weight
// shows zeros, even when it carried asphalt weight.
struct ProjectDate {
  double theoTons = 0, kpTons = 0, payGallons = 0, theoPct = 0, kpPct = 0;
};
ProjectDate ProjectByDate(const DateSlot& slot, bool metric);

// A date's private/waste figures; a date whose private THEO weight is 1.0
// or less shows zeros.
struct PrivateDate {
  double theoTons = 0, kpTons = 0, theoGallons = 0, kpGallons = 0;
  bool shown = false;  // above the threshold: the date's weights join the totals
};
PrivateDate PrivateByDate(const DateSlot& slot, bool metric);

}  // namespace tonnage::report
