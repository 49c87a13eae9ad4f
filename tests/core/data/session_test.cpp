#include "data/session.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <filesystem>

#include "../test_files.h"
#include "data/recovery.h"
#include "data/section_file.h"

namespace tonnage {
namespace {

using namespace testing;

TEST(WorkFolder, PrivatePerRunAndRemovedAtExit) {
  ScratchFolder parent;
  // A link planted under a name a careless program might use leads nowhere.
  ::symlink("/etc/passwd", parent.File("WORK.TMP").c_str());
  WorkFolder a, b;
  ASSERT_TRUE(a.Create(parent.path()).ok());
  ASSERT_TRUE(b.Create(parent.path()).ok());
  EXPECT_NE(a.path(), b.path());
  EXPECT_EQ(a.path().rfind(parent.path() + "quarrendale-tonnage-", 0), 0u) << a.path();
  struct stat st {};
  ::stat(a.path().c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  ASSERT_TRUE(a.WriteVersionFile().ok());
  EXPECT_EQ(ReadFile(a.File("VERSION.TMP")), "PRAX V4.2.1 04/2006\r\n");
  for (const char* name : {"WORK.TMP", "PRINT.SPL", "TMP.SPL", "SECT0001.TMP", "SECT0500.TMP", "SELTEXT.TXT"})
    WriteFile(a.File(name), "x");
  WriteFile(b.File("SECT0001.TMP"), "other run");
  a.DeleteSectionFiles();
  EXPECT_FALSE(Exists(a.File("SECT0001.TMP")) || Exists(a.File("SECT0500.TMP")));
  EXPECT_TRUE(Exists(a.File("WORK.TMP")));
  const std::string aPath = a.path();
  a.Cleanup();
  EXPECT_FALSE(Exists(aPath));
  EXPECT_FALSE(a.valid());
  EXPECT_EQ(ReadFile(b.File("SECT0001.TMP")), "other run") << "another copy's files untouched";
  b.Cleanup();
  EXPECT_EQ(ListFolder(parent.path()), std::vector<std::string>{"WORK.TMP"});
}

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(session.Start("/home/inspector/Documents", scratch.path()).ok()); }
  void TearDown() override { session.Cleanup(); }
  ScratchFolder scratch;
  Session session;
};

// A later run may start in another folder: what it recovers and locks must
// name the same file.
TEST_F(SessionTest, ARelativePathIsKeptAbsoluteInTheStateAndTheLock) {
  WriteFile(scratch.File("JOB.K81"), ReadFile(SamplePath("us-standard-tickets.K81")));
  const std::filesystem::path here = std::filesystem::current_path();
  std::filesystem::current_path(scratch.path());
  ASSERT_EQ(session.PrepareLock("JOB.K81").state, LockState::Taken);
  const bool opened = session.Open("./JOB.K81").ok();
  session.PrepareLock("COPY.K81");
  const bool savedAs = session.SaveAs("COPY.K81").ok();
  std::filesystem::current_path(here);
  ASSERT_TRUE(opened && savedAs);
  SessionState state;
  ASSERT_TRUE(ParseSessionState(ReadFile(session.workFolder().File(kStateFileName)), state));
  EXPECT_EQ(state.dataFilePath, scratch.File("COPY.K81"));
  EXPECT_TRUE(session.holdsLock());
  // The program's end leaves neither the work folder nor the lock.
  const std::string work = session.workFolder().path();
  session.Cleanup();
  EXPECT_FALSE(Exists(work) || Exists(scratch.File("COPY.K81.lock")));
}

TEST_F(SessionTest, EverySaveKeepsTheFileItReplacesAsBakBesideTheRealFileNeverStoppingTheSave) {
  const std::string path = scratch.File("JOB.K81");
  const std::string first = ReadFile(SamplePath("metric-with-tons-book.K81"));
  WriteFile(path, first);
  ASSERT_TRUE(session.Open(path).ok());
  session.index.engineer = "SECOND";
  ASSERT_TRUE(session.Save().ok());
  const std::string second = ReadFile(path);
  EXPECT_EQ(ReadFile(path + ".bak"), first);
  session.index.engineer = "THIRD";
  ASSERT_TRUE(session.Save().ok());
  EXPECT_EQ(ReadFile(path + ".bak"), second) << "one backup, replaced at every save";
  // The backup is a copy of its own: writing the file in place leaves it be.
  WriteFile(path, "edited in place by another tool\r\n");
  EXPECT_EQ(ReadFile(path + ".bak"), second);

  // Without a history too. Save As to a new name has nothing to keep.
  session.keepHistory = false;
  ASSERT_TRUE(session.SaveAs(scratch.File("NEW.K81")).ok());
  EXPECT_FALSE(Exists(scratch.File("NEW.K81.bak")));

  // Through a link, the backup is of the file linked to.
  ::mkdir(scratch.File("real").c_str(), 0700);
  WriteFile(scratch.File("real/JOB.K81"), "the linked file\r\n");
  ASSERT_EQ(::symlink(scratch.File("real/JOB.K81").c_str(), scratch.File("LINK.K81").c_str()), 0);
  ASSERT_TRUE(session.SaveAs(scratch.File("LINK.K81")).ok());
  EXPECT_EQ(ReadFile(scratch.File("real/JOB.K81.bak")), "the linked file\r\n");
  EXPECT_FALSE(Exists(scratch.File("LINK.K81.bak")));

  // A backup that cannot be written (its name is a folder) does not keep
  // the data from being saved.
  ::mkdir(scratch.File("NEW.K81.bak").c_str(), 0700);
  session.index.engineer = "SAVED ANYWAY";
  ASSERT_TRUE(session.SaveAs(scratch.File("NEW.K81")).ok());
  EXPECT_NE(ReadFile(scratch.File("NEW.K81")).find("SAVED ANYWAY"), std::string::npos);
}

// Every edit of the open data keeps the state file a crash is recovered from,
// and says so, once, when it cannot.
TEST(SessionEdits, EachRewritesTheStateFileAndReportsWhenItCannot) {
  struct Edit {
    const char* name;
    Outcome (*make)(Session&);                          // the edit, and what its caller learns of the state file
    bool (*kept)(const Session&, const SessionState&);  // the edit as a later run finds it
  };
  const Edit edits[] = {
      {"index record",
       [](Session& s) {
         return s.SetIndexRecord({"CST81", "5120", "SP-6213-44", "", "K. NEUMANN", "E"});
       },
       [](const Session&, const SessionState& state) { return state.index.engineer == "K. NEUMANN"; }},
      {"book header",
       [](Session& s) {
         return s.SetBookHeader(2, {"SURFACE COURSE SP 12.5", "0", "1.0250"});
       },
       [](const Session&, const SessionState& state) { return state.books[1].specificGravity == "1.0250"; }},
      {"units",
       [](Session& s) {
         s.ChooseUnits("M");
         return s.TakeStateProblem();
       },
       [](const Session&, const SessionState& state) { return state.index.unitSystem == "M"; }},
      {"tickets",
       [](Session& s) {
         BookRows tickets;
         tickets[0].cells = {"1201", "09/28/2026", "77756", "30056", "47700", "5.6", "", "", ""};
         if (Outcome written = s.WriteBookTickets(2, tickets); !written) return written;
         return s.TakeStateProblem();
       },
       [](const Session& s, const SessionState&) {
         BookRows back;
         return !s.dataSaved && ReadSectionFile(s.SectionPath(2), back) && back[0].cells[0] == "001201";
       }},
  };
  for (const Edit& edit : edits) {
    for (const bool blocked : {false, true}) {
      SCOPED_TRACE(std::string(edit.name) + (blocked ? ", state file blocked" : ""));
      ScratchFolder scratch;
      Session session;
      ASSERT_TRUE(session.Start(scratch.path(), scratch.path()).ok());
      session.ChooseUnits("E");
      session.dataSaved = true;
      const std::string stateFile = session.workFolder().File(kStateFileName);
      RemoveTree(stateFile);
      if (blocked) {  // a folder in its place, not empty, so no rename can replace it
        ::mkdir(stateFile.c_str(), 0700);
        WriteFile(stateFile + "/x", "x");
      }
      const Outcome kept = edit.make(session);
      SessionState state;
      EXPECT_EQ(kept.ok(), !blocked) << kept.message;
      if (blocked) {
        EXPECT_NE(kept.message.find(kStateFileName), std::string::npos) << kept.message;
      } else {
        EXPECT_TRUE(ParseSessionState(ReadFile(stateFile), state) && edit.kept(session, state));
      }
      EXPECT_TRUE(session.TakeStateProblem().ok()) << "handed out once";
      session.Cleanup();
    }
  }
}

}  // namespace
}  // namespace tonnage
