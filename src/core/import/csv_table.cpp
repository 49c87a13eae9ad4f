#include "import/csv_table.h"

#include <csv.h>

#include <array>
#include <fstream>

namespace tonnage::import {
namespace {

// Length of the UTF-8 sequence at `at` and its code point; 0 when invalid.
std::size_t Utf8Sequence(std::string_view s, std::size_t at, unsigned& code) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned c = byte(at);
  std::size_t n = 0;
  if (c < 0x80) {
    code = c;
    return 1;
  }
  if ((c & 0xE0) == 0xC0) {
    n = 2;
    code = c & 0x1F;
  } else if ((c & 0xF0) == 0xE0) {
    n = 3;
    code = c & 0x0F;
  } else if ((c & 0xF8) == 0xF0) {
    n = 4;
    code = c & 0x07;
  } else {
    return 0;
  }
  if (at + n > s.size()) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  static constexpr std::array<unsigned, 5> kSmallest = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[n] || code > 0x10FFFF) return 0;  // overlong or out of range
  return n;
}

bool ValidUtf8(std::string_view s, bool& multiByte) {
  multiByte = false;
  unsigned code = 0;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = Utf8Sequence(s, i, code);
    if (n == 0) return false;
    multiByte = multiByte || n > 1;
    i += n;
  }
  return true;
}

// Bytes that no text file holds: NUL and most other control characters.
bool LooksBinary(std::string_view s) {
  std::size_t controls = 0;
  for (char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == 0) return true;
    if (c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != '\f') ++controls;
  }
  return controls > s.size() / 100 + 1;
}

// The delimiter the header line uses most, outside quotes.
char FindDelimiter(std::string_view text) {
  std::size_t comma = 0, semicolon = 0, tab = 0;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n') break;
    comma += c == ',';
    semicolon += c == ';';
    tab += c == '\t';
  }
  if (semicolon > comma && semicolon >= tab) return ';';
  if (tab > comma && tab > semicolon) return '\t';
  return ',';
}

struct Collector {
  std::vector<std::string> fields;
  std::vector<std::vector<std::string>> records;
};

void OnField(void* data, std::size_t length, void* sink) {
  auto* c = static_cast<Collector*>(sink);
  c->fields.emplace_back(data ? static_cast<const char*>(data) : "", data ? length : 0);
}

void OnRecord(int, void* sink) {
  auto* c = static_cast<Collector*>(sink);
  c->records.push_back(std::move(c->fields));
  c->fields.clear();
}

bool Blank(const std::vector<std::string>& fields) {
  for (const std::string& f : fields)
    if (f.find_first_not_of(" \t") != std::string::npos) return false;
  return true;
}

int LineAt(std::string_view text, std::size_t offset) {
  int line = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) line += text[i] == '\n';
  return line;
}

}  // namespace

std::string ToLatin1(std::string_view bytes, std::string* encoding) {
  const bool bom = bytes.substr(0, 3) == "\xEF\xBB\xBF";
  if (bom) bytes.remove_prefix(3);
  bool multiByte = false;
  if (!ValidUtf8(bytes, multiByte)) {
    if (encoding) *encoding = "Latin-1";
    return std::string(bytes);
  }
  if (encoding) *encoding = bom ? "UTF-8 with BOM" : "UTF-8";
  if (!multiByte) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size());
  unsigned code = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    i += Utf8Sequence(bytes, i, code);
    out += code <= 0xFF ? static_cast<char>(code) : '?';
  }
  return out;
}

namespace {

CsvTable Refused(std::string why) {
  CsvTable table;
  table.error = std::move(why);
  return table;
}

std::string TooLarge() {
  return "The file is larger than an e-ticket export can be (" + std::to_string(kMaxTicketFileBytes >> 20) +
         " MB at most).";
}

}  // namespace

CsvTable ReadCsvText(std::string_view bytes) {
  CsvTable table;
  if (bytes.size() > kMaxTicketFileBytes) return Refused(TooLarge());
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
    table.error = "The file is in UTF-16; save it as CSV in UTF-8 and import that.";
    return table;
  }
  if (LooksBinary(bytes)) {
    table.error = "The file is not a text file.";
    return table;
  }
  const std::string text = ToLatin1(bytes, &table.encoding);
  table.delimiter = FindDelimiter(text);

  csv_parser parser;
  if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) {
    table.error = "Out of memory.";
    return table;
  }
  csv_set_delim(&parser, static_cast<unsigned char>(table.delimiter));
  Collector collector;
  const std::size_t parsed = csv_parse(&parser, text.data(), text.size(), OnField, OnRecord, &collector);
  bool failed = parsed != text.size();
  if (!failed) failed = csv_fini(&parser, OnField, OnRecord, &collector) != 0;
  if (failed) {
    const bool unclosed = parsed == text.size();
    table.error = unclosed ? "A quote is never closed: the file ends inside a quoted field."
                           : "Line " + std::to_string(LineAt(text, parsed)) + " has a quote out of place.";
  }
  csv_free(&parser);
  if (failed) return table;

  int row = 0;
  for (auto& fields : collector.records) {
    ++row;
    if (Blank(fields)) continue;
    if (table.header.empty()) {
      table.header = std::move(fields);
      continue;
    }
    table.records.push_back({std::move(fields), row});
  }
  if (table.header.empty()) table.error = "The file is empty.";
  return table;
}

CsvTable ReadCsvFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Refused("Cannot read " + path + ".");
  in.seekg(0, std::ios::end);
  const auto size = static_cast<std::size_t>(in.tellg());
  in.seekg(0);
  if (size > kMaxTicketFileBytes) return Refused(TooLarge());
  std::string bytes(size, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  return ReadCsvText(bytes);
}

}  // namespace tonnage::import
