// The report's checks and totals over the rows of the open grid, so an
// inspector sees a mistake on the row where it is typed. Each row goes
// through the ticket line the section file would hold and the report's own
// ticket rules, so the grid and the report cannot disagree.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "data/model.h"
#include "report/report_lines.h"

namespace tonnage {

struct RowCheck {
  bool kept = false;    // the row goes into the section file
  unsigned errors = 0;  // report::TicketError bits, as the report finds them
  int samePageRow = 0;  // another kept row with the same page number (1-based)
  double theo = 0, kp = 0;
  long page = 0;
  std::string reason;  // every problem of the row, for the status line

  bool Marked() const { return errors != 0 || samePageRow != 0; }
};

struct GridTotals {
  int tickets = 0;  // kept rows, void tickets included
  int voids = 0;
  report::BookTotals book;  // as the report's book total lines
  double payGallons = 0;    // batch plant: the asphalt weight's gallons (litres)
  bool metric = false;
};

struct BookCheck {
  std::array<RowCheck, kMaxRows> rows;
  GridTotals totals;
};

// `headerLine` is the book's header line as the data file holds it.
BookCheck CheckBookRows(const BookRows& rows, std::string_view unitSystem, std::string_view dataType,
                        std::string_view headerLine);

// Weight (pounds or kilograms) of the kept, not void rows dated `date`.
double DateWeight(const BookRows& rows, const BookCheck& check, std::string_view date);

// The line under the grid: tickets, the book's net weight and tons, the
// tons of `date` (the current row's), and bitumen gallons or litres.
std::string FormatGridTotals(const GridTotals& totals, double dateWeight, std::string_view date);

}  // namespace tonnage
