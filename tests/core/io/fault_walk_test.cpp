// Every write of the program, failed at every step it takes: the caller hears
// of it, the file on disk is as it was (its backup and the last report too),
// and nothing in memory or in the section files changes.
#include <gtest/gtest.h>

#include <functional>

#include "../test_files.h"
#include "data/recovery.h"
#include "data/section_file.h"
#include "data/session.h"
#include "print/print_dialog.h"
#include "print/spool_printing.h"
#include "report/run_tonnage_report.h"
#include "store/history.h"
#include "store/sha256.h"

namespace tonnage {
namespace {

using namespace testing;

const report::RunStamp kStamp{"10/06/2026", "16:05:00"};

struct Site {
  std::string file;  // base name of the file the site writes
  std::function<Outcome(Session&)> write;
};

// Everything of a session a failed write must leave alone.
struct Snapshot {
  std::string state;  // path, index record and book table
  BookRows rows;
  std::vector<std::pair<std::string, std::string>> sections;
  std::string spool, history;  // the history as its readers see it: every entry and the state kept

  static Snapshot Of(Session& s) {
    Snapshot shot{FormatSessionState({s.dataFilePath, s.index, s.books}), s.rows, {}, ReadFile(s.spoolPath), {}};
    for (int book = 1; book <= kMaxBooks; ++book)
      if (Exists(s.SectionPath(book))) shot.sections.emplace_back(SectionFileName(book), ReadFile(s.SectionPath(book)));
    if (s.store().isOpen()) {
      for (const auto& [entry, changes] : s.store().Entries()) shot.history += entry.hash.substr(0, 8) + " ";
      shot.history += store::Sha256Hex(store::DataFileBytes(store::LoadRecordedState(s.store()).state)).substr(0, 8);
    }
    return shot;
  }
  bool operator==(const Snapshot&) const = default;
};

TEST(FaultWalk, EveryWriteSiteAtEveryStepKeepsFilesAndMemory) {
  ScratchFolder dir;
  const std::string job = dir.File("JOB.K81"), small = ReadFile(SamplePath("us-standard-tickets.K81"));
  std::string big = small;  // big enough for several buffered writes of every file
  for (int b = 0; b < 40; ++b) {
    big += "* 0 0.0000 EXTRA BOOK " + std::to_string(b) + "\r\n";
    for (int p = 0; p < 200; ++p) big += "001201 09/28/2026 77756     30056     47700      5.600      \r\n";
  }
  auto report = [](Session& s) {
    Outcome work = s.WriteWorkFile();
    return work ? report::RunTonnageReport(s.workFolder().path(), kStamp) : work;
  };
  const auto save = [](Session& s) { return s.Save(); };
  const auto saveAs = [&](Session& s) { return s.SaveAs(dir.File("COPY.K81")); };
  // clang-format off
  const std::vector<Site> sites = {
      {"JOB.K81", save}, {"COPY.K81", saveAs}, {"JOB.K81.history", save}, {"JOB.K81.history-journal", save},
      {"COPY.K81.history", saveAs}, {"WORK.TMP", report}, {"TMP.SPL", report}, {"PRINT.SPL", report},
      {"SECT0002.TMP", [](Session& s) { return WriteSectionFile(s.SectionPath(2), s.rows, "E", "0"); }},
      {"VERSION.TMP", [](Session& s) { return s.workFolder().WriteVersionFile(); }},
      {"STATE.TMP", [](Session& s) { return s.SaveState(); }},
      // Print To File, and the viewer's selection for the print dialog.
      {"REPORT.PRN", [&](Session& s) { return print::CopySpoolToFile(s.spoolPath, dir.File("REPORT.PRN")); }},
      {"SELTEXT.TXT",
       [](Session& s) { return print::WriteSelectedText(s.workFolder().File("SELTEXT.TXT"), ReadFile(s.spoolPath)); }}};
  // clang-format on
  for (const Site& site : sites) {
    // A new history records every ticket, a page at a time: the small job
    // walks the same steps in a fraction of the saves.
    const std::string& text = site.file == "COPY.K81.history" ? small : big;
    WriteFile(job, text);
    Session s;
    ASSERT_TRUE(s.Start(dir.path(), dir.path()).ok() && s.Open(job).ok());
    ReadSectionFile(s.SectionPath(2), s.rows);
    s.rows[0][TicketField::Net] = "47701";
    s.index.engineer = "CHANGED IN MEMORY";
    ASSERT_TRUE(report(s).ok());  // an earlier spool and WORK.TMP to keep

    const std::string history = ReadFile(job + ".history");
    const std::vector<WriteStep> steps = WriteSteps(site.file, [&] { EXPECT_TRUE(site.write(s).ok()) << site.file; });
    ASSERT_GT(steps.size(), 2u) << site.file;
    // The counting run wrote the files: put back what was there before it.
    const bool inHistory = site.file.find(".history") != std::string::npos, copy = site.file.rfind("COPY", 0) == 0;
    if (copy) {
      // Failed Save As runs start the copy's history and must take it away.
      s.store().Close();
      io::RemoveQuietly(dir.File("COPY.K81.history"));
    } else {
      WriteFile(job + ".history", history);
    }
    ASSERT_TRUE(s.workFolder().WriteVersionFile().ok());
    WriteFile(job, text);
    WriteFile(job + ".bak", "the save before\r\n");
    WriteFile(dir.File("COPY.K81"), "an older copy\r\n");
    ASSERT_TRUE(report(s).ok());

    const std::string target = Exists(dir.File(site.file)) ? dir.File(site.file) : s.workFolder().File(site.file);
    // Older files than the write would make, so that a write in place shows.
    if (site.file == "WORK.TMP" || site.file.find(".SPL") != std::string::npos)
      WriteFile(s.spoolPath, "the report before\r\n");
    if (site.file != "JOB.K81" && !inHistory && Exists(target)) WriteFile(target, "the " + site.file + " before\r\n");
    for (const WriteStep& step : steps) {
      const bool existed = Exists(target);
      const std::string before = ReadFile(target);
      const Snapshot memory = Snapshot::Of(s);
      s.dataSaved = false;
      const Outcome r = [&] {
        FaultGuard fail(FailStep(site.file, step, EIO));
        return site.write(s);
      }();
      SCOPED_TRACE(StepName(site.file, step) + ": " + r.message);
      EXPECT_TRUE(r.kind == OutcomeKind::IoError && r.message.find(site.file) != r.message.npos &&
                  r.message.find("Input/output error") != r.message.npos);
      EXPECT_TRUE(Exists(target) == existed && ReadFile(target) == before) << "the file as it was";
      EXPECT_TRUE(Snapshot::Of(s) == memory);
      EXPECT_FALSE((copy && Exists(dir.File("COPY.K81.history"))) || s.dataSaved ||
                   Exists(s.workFolder().File("TMP.SPL")));
      if (site.file == "JOB.K81") {
        // The backup is taken before the save: it holds the bytes the save
        // would have replaced.
        EXPECT_TRUE(ReadFile(job + ".bak") == text);
        WriteFile(job + ".bak", "the save before\r\n");
      }
      for (const std::string& folder : {dir.path(), s.workFolder().path()})
        for (const std::string& name : ListFolder(folder))
          EXPECT_TRUE(name.find(".tonnage-") == std::string::npos && name.find("-journal") == std::string::npos)
              << name;
    }
    s.Cleanup();
  }
}

}  // namespace
}  // namespace tonnage
