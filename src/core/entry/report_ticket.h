// From a ticket of the report to its row in the book's grid: the book the
// report counted, checked by its comments, and the row of its section file
// that holds the ticket.
#pragma once

#include <string>

#include "report/spool_place.h"

namespace tonnage {

class Session;

struct TicketRowPlace {
  std::string error;  // for the user when the ticket cannot be placed
  int book = 0;       // slot
  int row = 0;        // grid row, from 1
  int column = 1;

  bool found() const { return error.empty(); }
};

// Where the open data hold `ticket` now. A report older than the books
// (a book deleted or renamed, the ticket moved) is told, never guessed at:
// a ticket is taken by its position only where its page number agrees.
TicketRowPlace FindTicketRow(const Session& session, const report::SpoolTicket& ticket);

}  // namespace tonnage
