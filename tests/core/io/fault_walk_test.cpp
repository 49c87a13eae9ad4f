// Every write of the session, failed at every step: the caller hears of it,
// the file on disk is as it was, and nothing in memory changes.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <map>

#include "../test_files.h"
#include "data/section_file.h"
#include "data/session.h"
#include "io/file_writer.h"

namespace tonnage {
namespace {

using testing::ReadFile;
using testing::SamplePath;
using testing::ScratchFolder;
using testing::WriteFile;

struct Site {
  std::string name;
  std::string file;  // the file the site writes (its basename is enough to match)
  std::function<Outcome(Session&)> write;
};

// Number of low-level writes a site makes to its file.
int CountWrites(Session& s, const Site& site) {
  int writes = 0;
  io::SetFaultHook([&](io::FaultPoint p, const std::string& path, int) {
    if (p == io::FaultPoint::Write && path.find(site.file) != std::string::npos) ++writes;
    return 0;
  });
  site.write(s);
  io::SetFaultHook({});
  return writes;
}

TEST(FaultWalk, EveryWriteSiteAtEveryFailurePoint) {
  ScratchFolder dir;
  const std::string job = dir.File("JOB.K81");
  // A file big enough to take several buffered writes.
  std::string text = ReadFile(SamplePath("us-standard-tickets.K81"));
  for (int b = 0; b < 40; ++b) {
    text += "* 0 0.0000 EXTRA BOOK " + std::to_string(b) + "\r\n";
    for (int p = 0; p < 200; ++p) text += "001201 09/28/2026 77756     30056     47700      5.600      \r\n";
  }
  WriteFile(job, text);

  const std::vector<Site> sites = {
      {"Save", "JOB.K81", [](Session& s) { return s.Save(); }},
      {"Save As", "COPY.K81", [&](Session& s) { return s.SaveAs(dir.File("COPY.K81")); }},
      {"WORK.TMP", "WORK.TMP", [](Session& s) { return s.WriteWorkFile(); }},
      {"section file", "SECT0002.TMP",
       [](Session& s) { return WriteSectionFile(s.SectionPath(2), s.rows, "E", "0"); }},
      {"VERSION.TMP", "VERSION.TMP", [](Session& s) { return s.workFolder().WriteVersionFile(); }},
      {"state", "STATE.TMP", [](Session& s) { return s.SaveState(); }},
  };
  for (const Site& site : sites) {
    Session s;
    ASSERT_TRUE(s.Start(dir.path(), dir.path()).ok());
    ASSERT_TRUE(s.Open(job).ok());
    ReadSectionFile(s.SectionPath(2), s.rows);
    s.rows[0][TicketField::Net] = "47701";
    s.index.engineer = "CHANGED IN MEMORY";
    WriteFile(dir.File("COPY.K81"), "an older copy\r\n");
    ASSERT_TRUE(s.WriteWorkFile().ok());

    const int writes = CountWrites(s, site);
    ASSERT_GT(writes, 0) << site.name;
    // Put the files back as they were before the counting run.
    ASSERT_TRUE(s.workFolder().WriteVersionFile().ok());
    WriteFile(job, text);
    WriteFile(dir.File("COPY.K81"), "an older copy\r\n");

    std::vector<std::pair<io::FaultPoint, int>> faults = {{io::FaultPoint::Open, 0},
                                                         {io::FaultPoint::Sync, 0},
                                                         {io::FaultPoint::Rename, 0}};
    for (int i = 0; i < writes; ++i) faults.push_back({io::FaultPoint::Write, i});

    const std::string target = site.file == "JOB.K81" ? job
                               : site.file == "COPY.K81" ? dir.File("COPY.K81")
                                                         : s.workFolder().File(site.file);
    for (auto [point, index] : faults) {
      const std::string before = ReadFile(target);
      const std::string sectionBefore = ReadFile(s.SectionPath(2));
      const std::string pathBefore = s.dataFilePath;
      s.dataSaved = false;
      io::SetFaultHook([&, point = point, index = index](io::FaultPoint p, const std::string& path, int i) {
        return p == point && i == index && path.find(site.file) != std::string::npos ? EIO : 0;
      });
      const Outcome r = site.write(s);
      io::SetFaultHook({});
      const std::string where = site.name + " point " + std::to_string(static_cast<int>(point)) + "/" +
                                std::to_string(index);
      EXPECT_EQ(r.kind, OutcomeKind::IoError) << where;
      EXPECT_NE(r.message.find("Input/output error"), std::string::npos) << where << ": " << r.message;
      EXPECT_EQ(ReadFile(target), before) << where;
      EXPECT_EQ(ReadFile(s.SectionPath(2)), sectionBefore) << where;
      EXPECT_FALSE(s.dataSaved) << where;
      EXPECT_EQ(s.dataFilePath, pathBefore) << where;
      EXPECT_EQ(s.index.engineer, "CHANGED IN MEMORY") << where;
      EXPECT_EQ(s.rows[0][TicketField::Net], "47701") << where;
    }
    s.Cleanup();
  }
}

}  // namespace
}  // namespace tonnage
