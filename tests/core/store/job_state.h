// A job of four books of five tickets each, as a data file's state, for the
// store's tests: tickets made by page number, net weight and date, the gross
// always the net plus the same tare.
#pragma once

#include <string>

#include "data/data_file.h"
#include "data/section_file.h"
#include "store/data_state.h"

namespace tonnage::store::job_state {

inline std::string Ticket(int page, const std::string& net, const std::string& date = "09/28/2026") {
  const std::string gross = std::to_string(std::stoi(net) + 30056);
  return FormatTicketLine(TicketRow{{std::to_string(page), date, gross, "30056", net, "5.6"}}, "E", "0");
}

inline StateBook Book(const std::string& comments, int firstPage, int count, const std::string& type = "0") {
  StateBook b{FormatBookHeaderLine({comments, type, "2.65"}), {}};
  for (int p = 0; p < count; ++p) b.tickets.push_back(Ticket(firstPage + p, std::to_string(47000 + p)));
  return b;
}

inline DataState Job() {
  DataState s;
  s.indexLine = FormatIndexLine({"CST81", "4417", "STP-0312(8)", "09/28/2026", "R. HALVORSEN", "E"});
  s.books = {Book("SURFACE COURSE SP 12.5", 1201, 5), Book("BINDER COURSE SP 19.0", 2201, 5),
             Book("BASE COURSE SP 25.0", 3201, 5), Book("SHOULDERS", 4201, 5)};
  return s;
}

}  // namespace tonnage::store::job_state
