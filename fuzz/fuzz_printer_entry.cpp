// Any bytes as a paper or bin entry and as a name field: a name is never
// longer than its field and holds no NUL; OK's number is always the number
// the list matches on; an entry built from a number and a name that is not
// blank reads back as that number in both ways.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "print/printer_setup.h"

using namespace tonnage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  std::int16_t number = 0;
  std::memcpy(&number, data, 2);
  const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);

  const std::string_view name = print::CutName(rest);
  if (name.size() > rest.size() || name.find('\0') != std::string_view::npos) std::abort();
  if (rest.find('\0') == std::string_view::npos && name != rest) std::abort();

  // The same bytes typed into a list's text.
  const std::optional<double> matched = print::EntryNumber(rest);
  const std::optional<std::int16_t> chosen = print::ChosenNumber(rest);
  if (rest.find(' ') == std::string_view::npos && (matched || chosen)) std::abort();
  if (chosen && (!matched || *matched != *chosen)) std::abort();

  const std::string entry = print::CapabilityEntry(number, rest);
  if (!entry.empty() && (entry.front() == ' ' || entry.back() == ' ')) std::abort();
  bool blankName = true;
  for (char c : name) blankName = blankName && c == ' ';
  if (blankName) {
    if (entry != std::to_string(number)) std::abort();
    return 0;
  }
  if (print::EntryNumber(entry) != static_cast<double>(number)) std::abort();
  if (print::ChosenNumber(entry) != number) std::abort();
  return 0;
}
