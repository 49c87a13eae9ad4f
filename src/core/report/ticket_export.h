// One CSV row per ticket for spreadsheets and agency systems, with the
// faults the tonnage report finds in that ticket.
#pragma once

#include <string>
#include <string_view>

#include "io/line_reader.h"
#include "report/tonnage_run.h"

namespace tonnage::report {

// Reads a WORK.TMP image and writes the header row and one row per ticket
// (RFC 4180, each row ended by CR LF); weights in pounds or kilograms as
// the Unit column says. False when the image is not a data file.
bool ExportTickets(io::LineSource& work, LineSink& csv);

// A field quoted when it holds a comma, a quote or a line end.
std::string CsvField(std::string_view text);

}  // namespace tonnage::report
