#include "data/session.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <cstdlib>

#include "../test_files.h"
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
  EXPECT_EQ(a.path().back(), '/');
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
  EXPECT_FALSE(Exists(a.File("SECT0001.TMP")));
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

TEST_F(SessionTest, NewClearsEverything) {
  session.keepHistory = false;  // the sample's folder is not ours to write
  ASSERT_TRUE(session.Open(SamplePath("us-standard-tickets.K81")).ok());
  EXPECT_EQ(session.currentBook, 3);
  EXPECT_TRUE(Exists(session.SectionPath(3)));
  session.New();
  EXPECT_EQ(session.dataFilePath, "NoName");
  EXPECT_EQ(session.index.unitSystem, "");
  EXPECT_FALSE(session.Book(1).InUse());
  for (int b = 1; b <= kMaxBooks; ++b) ASSERT_FALSE(Exists(session.SectionPath(b)));
  EXPECT_FALSE(session.dataSaved);
}

// A later run may start in another folder: what it recovers and locks must
// name the same file.
TEST_F(SessionTest, ARelativePathIsKeptAbsoluteInTheStateAndTheLock) {
  WriteFile(scratch.File("JOB.K81"), ReadFile(SamplePath("us-standard-tickets.K81")));
  char* here = ::getcwd(nullptr, 0);
  ASSERT_EQ(::chdir(scratch.path().c_str()), 0);
  ASSERT_EQ(session.PrepareLock("JOB.K81").state, LockState::Taken);
  const bool opened = session.Open("./JOB.K81").ok();
  session.PrepareLock("COPY.K81");
  const bool savedAs = session.SaveAs("COPY.K81").ok();
  ::chdir(here);
  std::free(here);
  ASSERT_TRUE(opened && savedAs);
  SessionState state;
  ASSERT_TRUE(ParseSessionState(ReadFile(session.workFolder().File(kStateFileName)), state));
  EXPECT_EQ(state.dataFilePath, scratch.File("COPY.K81"));
  EXPECT_TRUE(session.holdsLock());
}

TEST_F(SessionTest, AStateFileThatCannotBeWrittenIsHandedOutOnce) {
  // A folder in its place (not empty, so no rename can replace it).
  ::mkdir(session.workFolder().File(kStateFileName).c_str(), 0700);
  WriteFile(session.workFolder().File(kStateFileName) + "/x", "x");
  session.ChooseUnits("M");
  EXPECT_EQ(session.index.unitSystem, "M") << "the command itself is done";
  const Outcome problem = session.TakeStateProblem();
  EXPECT_FALSE(problem.ok());
  EXPECT_NE(problem.message.find(kStateFileName), std::string::npos) << problem.message;
  EXPECT_TRUE(session.TakeStateProblem().ok());
  EXPECT_FALSE(session.SaveState().ok());
}

TEST_F(SessionTest, EverySaveKeepsTheVersionItReplacesAsBak) {
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
}

TEST_F(SessionTest, BackupsGoBesideTheRealFileAndNeverStopASave) {
  // Save As to a new name has nothing to keep.
  session.keepHistory = false;
  ASSERT_TRUE(session.Open(SamplePath("us-standard-tickets.K81")).ok());
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

}  // namespace
}  // namespace tonnage
