// Any bytes as a section file and as ticket lines: a line written from a
// parsed row keeps its 60 columns whenever the values fit, and parses back
// to the row it was written from.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/section_file.h"
#include "fuzz_scratch.h"
#include "io/file_writer.h"
#include "io/line_reader.h"

using namespace tonnage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = fuzz::Scratch() + "SECT0001.TMP";
  if (!io::WriteWholeFile(path, bytes, io::WriteMode::Atomic)) std::abort();
  BookRows rows;
  if (!ReadSectionFile(path, rows)) std::abort();
  static const char* const kKinds[][2] = {{"E", "0"}, {"E", "1"}, {"E", "2"}, {"M", "0"}, {"M", "1"}};
  const auto& kind = kKinds[size % 5];
  if (!WriteSectionFile(path, rows, kind[0], kind[1])) std::abort();
  BookRows again;
  if (!ReadSectionFile(path, again)) std::abort();
  // Written once more, the file must not change: formatting is a fixed point.
  const std::string once = io::ReadWholeFile(path).bytes;
  if (!WriteSectionFile(path, again, kind[0], kind[1])) std::abort();
  if (io::ReadWholeFile(path).bytes != once) std::abort();
  for (const std::string& line : io::SplitLines(once))
    if (line.size() < 60) std::abort();
  return 0;
}
