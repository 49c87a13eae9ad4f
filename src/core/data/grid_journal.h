// The rows of an open grid, kept beside the book's section file each time
// the cursor leaves a row, so a run killed with the grid open loses at most
// the cell being typed. Closing the grid writes the section file and removes
// the journal; recovering a killed run's folder turns a journal left there
// into its book's section file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "data/model.h"
#include "data/outcome.h"

namespace tonnage {

// "SECT0001.JNL" .. "SECT0500.JNL".
std::string GridJournalName(int book);

// A first line naming the book, then one line per row up to the last row
// that holds anything: the nine cells as typed, separated by tabs.
std::string FormatGridJournal(int book, const BookRows& rows);
// nullopt when the text is not a journal of `book`.
std::optional<BookRows> ParseGridJournal(std::string_view text, int book);

Outcome KeepGridJournal(const std::string& path, int book, const BookRows& rows);

// For every journal in `folder` (a killed run's work folder): its rows as
// closing the grid would store them (an unnamed book with page numbers
// named "BOOK NUMBER  n"), written into the book's section file there; the
// journal is then removed. Returns the books brought back.
int ApplyGridJournals(const std::string& folder, const std::string& unitSystem, BookTable& books);

// Closing the grid's rows into the book: marks "Y", blanks trimmed, and the
// name an unnamed book with page numbers gets. True when the book was named.
bool StoreGridRows(const BookRows& grid, int book, BookHeader& header, BookRows& kept);

}  // namespace tonnage
