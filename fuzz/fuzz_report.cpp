// Any bytes as WORK.TMP: the whole report run, with the leading-number parse
// and every formatter it uses. Every page is counted, the spool's pages are
// separated by form-feed lines, and the main pages follow the error pages.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "io/line_reader.h"
#include "report/tonnage_run.h"

using namespace tonnage;

namespace {

struct CountingSink final : report::LineSink {
  std::size_t lines = 0;
  int formFeeds = 0;
  void WriteLine(std::string_view line) override {
    ++lines;
    if (line == "\f") ++formFeeds;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  io::StringLineSource work(bytes);
  CountingSink errors;
  CountingSink spool;
  report::RenumberingAppender main(spool, 0);
  const report::RunResult result = report::ComputeTonnageReport(
      work, "PRAX V4.2.1 04/2006", report::MakeRunStamp(2026, 10, 6, 16, 5, 0), errors, main);
  if (result.errorPages < 0) std::abort();
  if (result.validFormat && errors.lines == 0) std::abort();
  return 0;
}
