#include "io/line_reader.h"

#include <gtest/gtest.h>

#include "../test_files.h"

namespace tonnage::io {
namespace {

using namespace tonnage::testing;
using V = std::vector<std::string>;

V ReadAll(const std::string& path) {
  FileLineReader reader(path);
  V lines;
  std::string line;
  while (reader.Next(line)) lines.push_back(line);
  return lines;
}

TEST(LineReader, EveryLineEndAnUnendedLastLineAndLinesAcrossReadChunks) {
  EXPECT_EQ(SplitLines("A\r\n\r\nB\r\n"), (V{"A", "", "B"}));
  EXPECT_EQ(SplitLines(""), V{});
  EXPECT_EQ(SplitLines("\r\n"), V{""});
  ScratchFolder dir;
  WriteFile(dir.File("f"), "A\r\nB\nC\rD");
  EXPECT_EQ(ReadAll(dir.File("f")), (V{"A", "B", "C", "D"}));
  // 65536 is the read chunk: put a CR LF pair and a long line across it.
  const std::string first(65535, 'a');
  WriteFile(dir.File("f"), first + "\r\n" + std::string(70000, 'b') + "\r\nlast");
  EXPECT_EQ(ReadAll(dir.File("f")), (V{first, std::string(70000, 'b'), "last"}));
}

TEST(LineReader, AMissingFileIsAnErrorWithItsPath) {
  FileLineReader reader("/nonexistent/JOB.K81");  // what a reader of no file says
  EXPECT_FALSE(reader.is_open());
  std::string line;
  EXPECT_FALSE(reader.Next(line));
  EXPECT_NE(reader.error().message.find("/nonexistent/JOB.K81"), std::string::npos);
  EXPECT_FALSE(ReadWholeFile("/nonexistent/JOB.K81").outcome.ok());
}

}  // namespace
}  // namespace tonnage::io
