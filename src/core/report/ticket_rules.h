// The rules the report applies to one ticket, kept apart from the report's
// pages so the grid checks a row by the very same code: reading a ticket
// line, the page order of a book, THEO against KP, and a ticket's share of
// its book's totals.
#pragma once

#include <string_view>

#include "report/date_amounts.h"
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
// or kilograms; KP and THEO both the recorded net (total) weight; the book's
// gravity and units. The views in `t` point into `line`.
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
// kErrorGrossLessThanTare and kErrorTheoKpMismatch in `t.errors` (and, in a
// batch-plant book, marking the bitumen weight as the date's asphalt).
bool CheckTicketWeights(const BookRules& rules, TicketSeen& t);

// Counts a ticket that is neither void nor refused: its private gallons,
// its date's sums and its book's totals.
void CountTicket(TicketSeen& t, DateSlot& slot, BookTotals& totals);

}  // namespace tonnage::report
