// Every write of the session, failed at every step it takes: the caller hears
// of it, the file on disk is as it was (its backup too), and nothing in
// memory or in the section files changes.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <set>

#include "../test_files.h"
#include "data/recovery.h"
#include "data/section_file.h"
#include "data/session.h"
#include "io/file_writer.h"
#include "report/run_tonnage_report.h"

namespace tonnage {
namespace {

using testing::Exists;
using testing::ListFolder;
using testing::ReadFile;
using testing::SamplePath;
using testing::ScratchFolder;
using testing::WriteFile;

const report::RunStamp kStamp{"10/06/2026", "16:05:00"};

std::string Basename(const std::string& path) { return path.substr(path.rfind('/') + 1); }

struct Site {
  std::string name;
  std::string file;  // base name of the file the site writes
  std::function<Outcome(Session&)> write;
};

using Step = std::pair<io::FaultPoint, int>;

// The steps a site takes on its file, seen through the hook.
std::vector<Step> StepsOf(Session& s, const Site& site) {
  std::set<Step> steps;
  io::SetFaultHook([&](io::FaultPoint p, const std::string& path, int i) {
    if (Basename(path) == site.file) steps.insert({p, i});
    return 0;
  });
  const Outcome ran = site.write(s);
  io::SetFaultHook({});
  EXPECT_TRUE(ran.ok()) << site.name << ": " << ran.message;
  return {steps.begin(), steps.end()};
}

// Everything of a session a failed write must leave alone.
struct Snapshot {
  std::string state;  // path, index record and book table
  BookRows rows;
  std::vector<std::pair<std::string, std::string>> sections;

  static Snapshot Of(const Session& s) {
    Snapshot shot{FormatSessionState({s.dataFilePath, s.index, s.books}), s.rows, {}};
    for (int book = 1; book <= kMaxBooks; ++book)
      if (Exists(s.SectionPath(book))) shot.sections.emplace_back(SectionFileName(book), ReadFile(s.SectionPath(book)));
    return shot;
  }
  bool operator==(const Snapshot&) const = default;
};

std::string BigJob() {
  // Big enough for several buffered writes of every file.
  std::string text = ReadFile(SamplePath("us-standard-tickets.K81"));
  for (int b = 0; b < 40; ++b) {
    text += "* 0 0.0000 EXTRA BOOK " + std::to_string(b) + "\r\n";
    for (int p = 0; p < 200; ++p) text += "001201 09/28/2026 77756     30056     47700      5.600      \r\n";
  }
  return text;
}

TEST(FaultWalk, EveryWriteSiteAtEveryStepKeepsFilesAndMemory) {
  ScratchFolder dir;
  const std::string job = dir.File("JOB.K81");
  const std::string copy = dir.File("COPY.K81");
  const std::string text = BigJob();

  auto report = [](Session& s) {
    Outcome work = s.WriteWorkFile();
    return work ? report::RunTonnageReport(s.workFolder().path(), kStamp) : work;
  };
  const std::vector<Site> sites = {
      {"Save", "JOB.K81", [](Session& s) { return s.Save(); }},
      {"Save As", "COPY.K81", [&](Session& s) { return s.SaveAs(copy); }},
      {"WORK.TMP", "WORK.TMP", report},
      {"TMP.SPL", "TMP.SPL", report},
      {"PRINT.SPL", "PRINT.SPL", report},
      {"section file", "SECT0002.TMP",
       [](Session& s) { return WriteSectionFile(s.SectionPath(2), s.rows, "E", "0"); }},
      {"VERSION.TMP", "VERSION.TMP", [](Session& s) { return s.workFolder().WriteVersionFile(); }},
      {"state", "STATE.TMP", [](Session& s) { return s.SaveState(); }},
  };
  for (const Site& site : sites) {
    WriteFile(job, text);
    Session s;
    ASSERT_TRUE(s.Start(dir.path(), dir.path()).ok());
    ASSERT_TRUE(s.Open(job).ok());
    ReadSectionFile(s.SectionPath(2), s.rows);
    s.rows[0][TicketField::Net] = "47701";
    s.index.engineer = "CHANGED IN MEMORY";
    ASSERT_TRUE(report(s).ok());  // an earlier spool and WORK.TMP to keep

    const std::vector<Step> steps = StepsOf(s, site);
    ASSERT_GT(steps.size(), 2u) << site.name;
    // The counting run wrote the files: put back what was there before it.
    ASSERT_TRUE(s.workFolder().WriteVersionFile().ok());
    WriteFile(job, text);
    WriteFile(job + ".bak", "the save before\r\n");
    WriteFile(copy, "an older copy\r\n");
    ASSERT_TRUE(report(s).ok());

    const std::string target = site.file == "JOB.K81"    ? job
                               : site.file == "COPY.K81" ? copy
                                                         : s.workFolder().File(site.file);
    for (const auto& [point, index] : steps) {
      const std::string where = site.name + " step " + std::to_string(static_cast<int>(point)) + "/" +
                                std::to_string(index);
      const bool existed = Exists(target);
      const std::string before = ReadFile(target);
      const Snapshot memory = Snapshot::Of(s);
      s.dataSaved = false;
      io::SetFaultHook([&, point = point, index = index](io::FaultPoint p, const std::string& path, int i) {
        return p == point && i == index && Basename(path) == site.file ? EIO : 0;
      });
      const Outcome r = site.write(s);
      io::SetFaultHook({});
      EXPECT_EQ(r.kind, OutcomeKind::IoError) << where;
      EXPECT_NE(r.message.find(site.file), std::string::npos) << where << ": " << r.message;
      EXPECT_NE(r.message.find("Input/output error"), std::string::npos) << where << ": " << r.message;
      EXPECT_EQ(Exists(target), existed) << where;
      EXPECT_TRUE(ReadFile(target) == before) << where;
      EXPECT_TRUE(Snapshot::Of(s) == memory) << where;
      EXPECT_FALSE(s.dataSaved) << where;
      EXPECT_EQ(s.index.engineer, "CHANGED IN MEMORY") << where;
      if (site.file == "JOB.K81") {
        // The backup is taken before the save: it holds the bytes the save
        // would have replaced.
        EXPECT_TRUE(ReadFile(job + ".bak") == text) << where;
        WriteFile(job + ".bak", "the save before\r\n");
      }
      for (const std::string& folder : {dir.path(), s.workFolder().path()})
        for (const std::string& name : ListFolder(folder))
          EXPECT_EQ(name.find(".tonnage-"), std::string::npos) << where << ": left " << name;
    }
    s.Cleanup();
  }
}

TEST(FaultWalk, RealConditionsBehindEverySaveAreReportedAndChangeNothing) {
  ScratchFolder dir;
  Session s;
  ASSERT_TRUE(s.Start(dir.path(), dir.path()).ok());
  const std::string job = dir.File("JOB.K81");
  WriteFile(job, ReadFile(SamplePath("us-standard-tickets.K81")));
  ASSERT_TRUE(s.Open(job).ok());
  s.index.engineer = "NOT YET SAVED";
  const Snapshot memory = Snapshot::Of(s);

  // A full device, and a name that is a folder.
  ::mkdir(dir.File("FOLDER.K81").c_str(), 0700);
  for (const std::string& target : {std::string("/dev/full"), dir.File("FOLDER.K81")}) {
    const Outcome r = s.SaveAs(target);
    EXPECT_EQ(r.kind, OutcomeKind::IoError) << target;
    EXPECT_NE(r.message.find(target), std::string::npos) << r.message;
    EXPECT_EQ(s.dataFilePath, job);
    EXPECT_FALSE(s.dataSaved);
    EXPECT_TRUE(Snapshot::Of(s) == memory);
  }
  EXPECT_NE(s.SaveAs("/dev/full").message.find("No space left on device"), std::string::npos);
  EXPECT_TRUE(ListFolder(dir.File("FOLDER.K81")).empty());
  EXPECT_EQ(ReadFile(job), ReadFile(SamplePath("us-standard-tickets.K81")));
  s.Cleanup();
}

}  // namespace
}  // namespace tonnage
