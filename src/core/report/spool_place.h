// Which ticket a line of a finished report stands for, so the viewer can take
// the inspector from an error or a ticket line to that ticket's row. The
// spool prints no book numbers: books are counted as the report meets them,
// in the error report by their book lines and in the main report by their
// book totals, and each book's heading is kept to check the count against.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tonnage::report {

struct SpoolTicket {
  std::string error;     // why the line leads to no ticket; empty when it does
  int book = 0;          // the n-th book of the report, from 1
  std::string comments;  // that book's comments as its heading prints them
  // Main report: the n-th ticket printed for the book, from 1. The error
  // report prints no position, only the ticket line itself (`echo`).
  int ticket = 0;
  std::string echo;
  long page = 0;
  int column = 1;  // the grid column the line's error is about

  bool found() const { return error.empty(); }
};

// The ticket of line `line` (from 0) of a spool split into lines: an error
// line (its ticket is the echo below it), a ticket echo, a detail or void
// line, or a note or private-work line under a detail line.
SpoolTicket LocateSpoolTicket(const std::vector<std::string_view>& lines, std::size_t line);
SpoolTicket LocateSpoolTicket(const std::vector<std::string>& lines, std::size_t line);

}  // namespace tonnage::report
