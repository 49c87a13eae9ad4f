// The rules the report applies to one ticket, kept apart from the report's
// pages so the grid checks a row by the very same code: reading a ticket
// line, the page order of a book, THEO against KP, and a ticket's share of
// its book's totals.
#pragma once

#include <string_view>

#include "report/date_table.h"
#include "report/report_lines.h"
#include "report/tonnage_run.h"

namespace tonnage::report {

// What the report takes from a book header line for its tickets.
struct BookRules {
  bool batch = false;  // type "2": aggregate, bitumen and total weights
  bool tons = false;   // type "1": weights in tons
  bool metric = false;
  double gravity = 0;
};
BookRules ReadBookRules(std::string_view headerLine, bool metric);

// The fields of an upper-cased ticket line, weights of a tons book in pounds
// or kilograms; KP and THEO both the recorded net (total) weight. The views
// in `t` point into `line`.
void ReadTicketLine(std::string_view line, const BookRules& rules, TicketSeen& t);

// Each page must follow the one before by exactly 1; the first page of a
// book, and the page after a fault, may have any number.
class PageOrder {
 public:
  // False when `page` is out of order.
  bool Accept(long page) {
    if (expected_ == 0) expected_ = page;
    const bool inOrder = page == expected_;
    expected_ = page + 1;
    return inOrder;
  }
  void Restart() { expected_ = 0; }

 private:
  long expected_ = 0;
};

// True when the ticket has both a gross (aggregate) and a tare (bitumen)
// weight: THEO is then worked out from them and checked against KP, setting
// kErrorGrossLessThanTare and kErrorTheoKpMismatch in `t.errors`.
bool CheckTicketWeights(const BookRules& rules, TicketSeen& t);

// Gallons (litres) a private/waste ticket with bitumen carries.
struct TicketGallons {
  double theo = 0, kp = 0;
};
// Adds a ticket that is neither void nor refused to its book's totals.
TicketGallons AddToBookTotals(const TicketSeen& t, bool metric, BookTotals& totals);

// Adds a ticket (`weighed`: CheckTicketWeights was true) to its date's slot:
// project or private weights and gallons, and a batch-plant ticket's asphalt.
void AddToDate(const BookRules& rules, const TicketSeen& t, bool weighed, const TicketGallons& gallons,
               DateSlot& slot);

// A date's calculated pay gallons (litres) from its batch-plant asphalt
// weights; none for a date without project material.
double PayGallons(const DateSlot& slot, bool metric);

}  // namespace tonnage::report
