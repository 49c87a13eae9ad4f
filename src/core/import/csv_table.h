// A delimited text file as records of fields: RFC 4180 quoting, the
// delimiter (comma, semicolon or tab) found from the header line, and the
// text brought to the program's single-byte Latin-1 whether the file was
// written in UTF-8 (with or without a byte order mark) or in Latin-1.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tonnage::import {

// A year of loads from a busy plant is a few megabytes; far beyond this the
// file is not an e-ticket export and is refused unread.
inline constexpr std::size_t kMaxTicketFileBytes = 16u << 20;

struct CsvRecord {
  std::vector<std::string> fields;
  int row = 0;  // the record's number in the file, the header being row 1
};

struct CsvTable {
  std::string error;  // why the whole file is refused; empty when read
  char delimiter = ',';
  std::string encoding;  // "UTF-8", "UTF-8 with BOM" or "Latin-1"
  std::vector<std::string> header;
  std::vector<CsvRecord> records;  // rows after the header; blank rows left out

  bool ok() const { return error.empty(); }
};

CsvTable ReadCsvText(std::string_view bytes);
CsvTable ReadCsvFile(const std::string& path);

// UTF-8 (a BOM dropped) as Latin-1, characters beyond it as '?'; text that
// is not valid UTF-8 is taken as Latin-1 already. `encoding` tells which.
std::string ToLatin1(std::string_view bytes, std::string* encoding = nullptr);

}  // namespace tonnage::import
