// One book's ticket lines in a work file of their own, and the ticket line
// itself: 60 fixed columns shared with the data file.
#pragma once

#include <string>
#include <string_view>

#include "data/model.h"
#include "data/outcome.h"

namespace tonnage {

// "SECT0001.TMP" .. "SECT0500.TMP".
std::string SectionFileName(int book);

// A row taken apart by the reading columns of a ticket line (upper-cased,
// trimmed; the date untrimmed with a blank month or day digit made "0").
TicketRow ParseTicketLine(std::string_view line);

// The 60-column line of a row, weights formatted for the unit system and the
// book's data type. Never wider than its columns: a short date is padded to
// 10 and a percent that does not fit 6 characters loses decimals.
std::string FormatTicketLine(const TicketRow& row, std::string_view unitSystem, std::string_view dataType);

// A row is kept when it has a gross weight, a net weight or a void mark.
bool RowIsWritten(const TicketRow& row);

// True when any row has a page number.
bool BookHasRows(const BookRows& rows);

void ClearBookRows(BookRows& rows);

// Fills rows 1, 2, ... from the file's lines; rows beyond keep what they
// held. False (rows untouched) when the file cannot be opened.
bool ReadSectionFile(const std::string& path, BookRows& rows);

// Writes the kept rows, closing up gaps. Replaces the file only on success.
Outcome WriteSectionFile(const std::string& path, const BookRows& rows, std::string_view unitSystem,
                         std::string_view dataType);

}  // namespace tonnage
