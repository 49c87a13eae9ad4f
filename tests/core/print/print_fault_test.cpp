// The files printing writes, failed at every step: Print To File's copy of
// the spool and the viewer's selected-text file.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "../test_files.h"
#include "io/file_writer.h"
#include "print/print_dialog.h"
#include "print/spool_printing.h"
#include "recording_printer.h"

namespace tonnage::print {
namespace {

using testing::ListFolder;
using testing::ReadFile;
using testing::ScratchFolder;
using testing::WriteFile;

struct FaultSite {
  const char* name;
  std::string target;
  std::function<Outcome()> write;
};

// Writes each fault point and index of `site` would reach, then fails each.
void WalkFaults(const FaultSite& site, const std::string& folder) {
  int writes = 0;
  io::SetFaultHook([&](io::FaultPoint p, const std::string& path, int) {
    if (p == io::FaultPoint::Write && path == site.target) ++writes;
    return 0;
  });
  const std::string fresh = site.write().ok() ? ReadFile(site.target) : "";
  io::SetFaultHook({});
  ASSERT_GT(writes, 0) << site.name;
  ASSERT_FALSE(fresh.empty()) << site.name;

  std::vector<std::pair<io::FaultPoint, int>> faults = {
      {io::FaultPoint::Open, 0}, {io::FaultPoint::Sync, 0}, {io::FaultPoint::Rename, 0}};
  for (int i = 0; i < writes; ++i) faults.push_back({io::FaultPoint::Write, i});
  for (auto [point, index] : faults) {
    WriteFile(site.target, "an older file\r\n");
    const auto filesBefore = ListFolder(folder).size();
    io::SetFaultHook([&, point = point, index = index](io::FaultPoint p, const std::string& path, int i) {
      return p == point && i == index && path == site.target ? ENOSPC : 0;
    });
    const Outcome r = site.write();
    io::SetFaultHook({});
    const std::string where = std::string(site.name) + " point " +
                              std::to_string(static_cast<int>(point)) + "/" + std::to_string(index);
    EXPECT_EQ(r.kind, OutcomeKind::IoError) << where;
    EXPECT_NE(r.message.find(site.target + ": No space left on device"), std::string::npos)
        << where << ": " << r.message;
    EXPECT_EQ(ReadFile(site.target), "an older file\r\n") << where;
    EXPECT_EQ(ListFolder(folder).size(), filesBefore) << where << ": a temporary file was left";
  }
  // And once more without a fault: the whole new text.
  EXPECT_TRUE(site.write().ok());
  EXPECT_EQ(ReadFile(site.target), fresh) << site.name;
}

TEST(PrintWriteFaults, PrintToFileAtEveryStep) {
  ScratchFolder dir;
  std::string spool;
  for (int line = 0; line < 4000; ++line)  // several buffered writes
    spool += (line % 57 == 56 ? std::string("\f") : "BOOK 3 PAGE " + std::to_string(line)) + "\r\n";
  WriteFile(dir.File("PRINT.SPL"), spool);
  const std::string target = dir.File("REPORT.PRN");
  WalkFaults({"Print To File", target, [&] { return CopySpoolToFile(dir.File("PRINT.SPL"), target); }},
             dir.path());
  EXPECT_EQ(ReadFile(target), spool);
}

TEST(PrintWriteFaults, SelectedTextFileAtEveryStepThenItsPrint) {
  ScratchFolder dir;
  const std::string selText = dir.File("SELTEXT.TXT");
  const std::string selection(100000, 'S');
  WalkFaults({"selected text", selText, [&] { return WriteSelectedText(selText, selection); }}, dir.path());
  EXPECT_EQ(ReadFile(selText), selection + "\r\n");

  // A selected-text print of a file that was never written says why and
  // gives SpoolPath back.
  testing::RemoveTree(selText);
  std::string spoolPath = dir.File("PRINT.SPL");
  PrintDialog d = LoadPrintDialog(true);
  ChooseRange(d, PrintRange::SelectedText);
  testing::RecordingPrinter printer;
  const Outcome r = PrintChosenPages(d, spoolPath, selText, printer);
  EXPECT_NE(r.message.find(selText + ": No such file or directory"), std::string::npos) << r.message;
  EXPECT_EQ(spoolPath, dir.File("PRINT.SPL"));
  EXPECT_TRUE(printer.documents.empty());
}

}  // namespace
}  // namespace tonnage::print
