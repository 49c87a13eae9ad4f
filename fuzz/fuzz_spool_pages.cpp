// Any bytes as the spool, with the page range from the first four bytes: the
// pages printed from the file are exactly those a plain count of form-feed
// lines over the same text gives, no form feed is ever printed, and the
// document is always ended once.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_scratch.h"
#include "io/file_writer.h"
#include "io/line_reader.h"
#include "print/spool_printing.h"

using namespace tonnage;

namespace {

struct CountingPrinter final : print::LinePrinter {
  std::size_t lines = 0;
  std::size_t newPages = 0;
  int ends = 0;
  void SetFont(const std::string&, int) override {}
  void PrintLine(std::string_view line) override {
    if (line.find_first_of("\f\r\n") != std::string_view::npos) std::abort();
    ++lines;
  }
  void NewPage() override { ++newPages; }
  Outcome EndDocument() override {
    ++ends;
    return Outcome::Success();
  }
  // Never asked for: the fuzz job has no progress to stop it.
  void Abandon() override { std::abort(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  std::int16_t from = 0;
  std::int16_t to = 0;
  std::memcpy(&from, data, 2);
  std::memcpy(&to, data + 2, 2);
  const std::string_view text(reinterpret_cast<const char*>(data + 4), size - 4);
  const std::string spool = fuzz::Scratch() + "PRINT.SPL";
  if (!io::WriteWholeFile(spool, text, io::WriteMode::Atomic)) std::abort();

  CountingPrinter printer;
  if (!print::PrintSpoolPages(spool, from, to, printer)) std::abort();
  if (printer.ends != 1) std::abort();

  const long first = from == 0 ? 1 : from;
  const long last = to == 0 ? 9999 : to;
  long page = 1;
  std::size_t lines = 0;
  std::size_t newPages = 0;
  for (const std::string& line : io::SplitLines(text)) {
    if (line.find('\f') != std::string::npos) {
      if (first < ++page && page <= last) ++newPages;
    } else if (first <= page && page <= last) {
      ++lines;
    }
  }
  if (printer.lines != lines || printer.newPages != newPages) std::abort();
  return 0;
}
