// Any bytes as a data file: reading never fails badly, what it accepts
// writes back to a file that reads the same and writes the same again, and
// the report's streamed image of it is the very file a save writes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/data_file.h"
#include "fuzz_scratch.h"
#include "io/file_writer.h"
#include "io/line_reader.h"

using namespace tonnage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& dir = fuzz::Scratch();
  const std::string in = dir + "IN.K81";
  if (!io::WriteWholeFile(in, std::string_view(reinterpret_cast<const char*>(data), size), io::WriteMode::Atomic))
    std::abort();
  ReadDataFileResult first = ReadDataFile(in, dir);
  WorkImageSource streamed(in);
  std::string image, line;
  while (streamed.Next(line)) image += line + "\r\n";
  if (streamed.outcome().kind != first.outcome.kind) std::abort();
  if (!first.outcome) return 0;
  if (first.bookCount < 0 || first.bookCount > kMaxBooks) std::abort();
  if (!WriteDataFile(dir + "OUT1.K81", first.index, first.books, dir, io::WriteMode::Atomic)) std::abort();
  if (io::ReadWholeFile(dir + "OUT1.K81").bytes != image) std::abort();
  ReadDataFileResult second = ReadDataFile(dir + "OUT1.K81", dir);
  if (!second.outcome) std::abort();
  if (!WriteDataFile(dir + "OUT2.K81", second.index, second.books, dir, io::WriteMode::Atomic)) std::abort();
  if (io::ReadWholeFile(dir + "OUT1.K81").bytes != io::ReadWholeFile(dir + "OUT2.K81").bytes) std::abort();
  return 0;
}
