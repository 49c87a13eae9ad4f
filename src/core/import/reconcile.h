// An e-ticket file against one book's tickets, matched by ticket number:
// what agrees, what differs and by how much, what is on one side only, what
// is there twice, and which ticket numbers the e-tickets skip.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "data/model.h"
#include "import/ticket_import.h"

namespace tonnage::import {

enum class MatchClass { Matched, Differs, ETicketOnly, BookOnly, DuplicateETicket, DuplicateBook, Gap };
inline constexpr int kMatchClasses = 7;

// "matched", "weights differ", "e-ticket only", "book only", "duplicate
// e-ticket", "duplicate in book", "gap in e-ticket numbers".
const char* MatchClassText(MatchClass c);

struct FieldDifference {
  TicketField field = TicketField::Gross;
  std::string eticket;  // as the book's cell would hold it
  std::string book;
  double delta = 0;  // e-ticket less book, in the book's units (weights)
};

struct ReconcileLine {
  MatchClass match = MatchClass::Matched;
  int eticket = -1;    // index into the e-ticket rows; -1 none
  int bookRow = 0;     // 1-based row of the book; 0 none
  std::string ticket;  // whole e-ticket number, or the book's page number
  std::string date;
  std::vector<FieldDifference> differences;
  std::string text;  // what differs, or the gap, in words
};

struct Reconciliation {
  std::vector<ReconcileLine> lines;
  std::array<int, kMatchClasses> counts{};
};

// `etickets` as converted for the book (ETicket::converted); rows that could
// not be read take no part. `book` in its row order.
Reconciliation Reconcile(const std::vector<ETicket>& etickets, const std::vector<TicketRow>& book);

// The book's row with the e-ticket's date and weights: "take the e-ticket's
// values" of a matched row.
TicketRow TakeETicketValues(const TicketRow& bookRow, const ETicket& eticket);

// "weights differ             7306       06/17/2026 net e-ticket ...".
std::string FindingLine(const ReconcileLine& line);

// The findings of the classes `shown` as a listing to print: the title, the
// counts of every class, then one line per finding, cut into pages.
std::vector<std::vector<std::string>> ReconciliationPages(const Reconciliation& r, const std::string& title,
                                                          const std::array<bool, kMatchClasses>& shown,
                                                          std::size_t linesPerPage = 57);

// One CSV row per line, with a header (RFC 4180, CR LF).
std::string ReconciliationCsv(const Reconciliation& r, const std::vector<ETicket>& etickets);

}  // namespace tonnage::import
