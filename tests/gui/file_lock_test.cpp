// The windows and the data file's lock: a file open in another copy of the
// program is opened or saved over only when the user says so, a lock that
// cannot be had is mentioned and ignored, and the lock follows the file.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include "child_process.h"
#include "data/file_lock.h"
#include "enddata_form.h"
#include "fakes.h"
#include "main_form.h"

namespace {

namespace fs = std::filesystem;
using namespace steps;
using platform::Button;

// Another copy of the program holding a file's lock until it is killed.
int LockHolder() {
  tonnage::DataFileLock lock;
  if (lock.Take(std::getenv("TONNAGE_TEST_FILE")).state != tonnage::LockState::Taken) return 2;
  child::Report("locked");
  for (;;) ::pause();
}
child::Register lockHolder("lock-holder", LockHolder);

class FileLock : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(h.started);
    for (const char* name : {"A.K81", "B.K81"}) fs::copy_file(kSample, Docs(name));
  }
  std::string Docs(const char* name) const { return (h.root / "docs" / name).string(); }
  // Another copy opens `name`.
  std::unique_ptr<child::Process> OtherCopyOpens(const char* name) {
    auto other = std::make_unique<child::Process>(
        "lock-holder", std::vector<std::string>{"TONNAGE_TEST_FILE=" + Docs(name)});
    EXPECT_EQ(other->Await(30), "locked");
    return other;
  }

  fakes::Harness h;
  fakes::ModalDriver driver;
};

TEST_F(FileLock, AFileOpenInAnotherCopyIsLeftUnopenedUnlessTheUserSaysYes) {
  auto other = OtherCopyOpens("A.K81");
  gui::MainForm1 main(h.services, h.quit);
  main.show();
  h.files.opens = {Docs("A.K81")};
  Click(&main, "Cmd_Open");  // the double answers the question's default
  ASSERT_EQ(h.messages.asked.size(), 1u);
  const platform::Message& q = h.messages.asked[0];
  EXPECT_EQ(q.title, "File In Use");
  EXPECT_TRUE(q.text.startsWith("This file is open in another copy of the program\n\n" +
                                QString::fromStdString(Docs("A.K81"))))
      << q.text.toStdString();
  EXPECT_TRUE(q.text.contains(QStringLiteral("process %1 on ").arg(other->pid())));
  EXPECT_EQ(q.buttons, (std::vector<Button>{Button::Yes, Button::No}));
  EXPECT_EQ(q.defaultButton, Button::No);
  EXPECT_EQ(q.icon, platform::Icon::Warning);
  // No: nothing read, no process window, the other copy's lock untouched.
  EXPECT_TRUE(driver.seen.empty());
  EXPECT_TRUE(h.session.dataFilePath.empty());
  EXPECT_FALSE(h.session.Book(1).InUse());
  EXPECT_EQ(tonnage::ReadLockHolder(Docs("A.K81") + ".lock").pid, other->pid());

  // Yes: opened, without a lock of its own.
  h.files.opens = {Docs("A.K81")};
  h.messages.answers = {Button::Yes, Button::No};
  driver.Then([](QWidget* process) { Click(process, "ExitCmd"); });
  Click(&main, "Cmd_Open");
  EXPECT_EQ(driver.seen, std::vector<QString>{"ProcForm"});
  EXPECT_EQ(h.session.dataFilePath, Docs("A.K81"));
  EXPECT_FALSE(h.session.holdsLock());
  EXPECT_EQ(tonnage::ReadLockHolder(Docs("A.K81") + ".lock").pid, other->pid());
}

TEST_F(FileLock, SaveAsOverAFileOpenInAnotherCopyAsksFirst) {
  auto other = OtherCopyOpens("B.K81");
  h.session.New();
  h.session.ChooseUnits("M");
  h.session.Book(1) = {"NEW BOOK", "0", "2.65"};
  gui::EnddataForm save(h.services.Files(), nullptr);
  h.files.saves = {Docs("B.K81"), Docs("B.K81")};
  Click(&save, "Endsaveas");  // answered No
  ASSERT_EQ(h.messages.asked.size(), 1u);
  EXPECT_EQ(h.messages.asked[0].title, "File In Use");
  EXPECT_EQ(h.messages.asked[0].defaultButton, Button::No);
  EXPECT_EQ(ReadFile(Docs("B.K81")), ReadFile(kSample));
  EXPECT_EQ(h.session.dataFilePath, "NoName");
  EXPECT_FALSE(Shown(&save, "Image2"));

  h.messages.answers = {Button::Yes};
  Click(&save, "Endsaveas");
  EXPECT_NE(ReadFile(Docs("B.K81")).find("NEW BOOK"), std::string::npos);
  EXPECT_EQ(h.session.dataFilePath, Docs("B.K81"));
  EXPECT_FALSE(h.session.holdsLock()) << "the other copy still holds it";
}

TEST_F(FileLock, ALockThatCannotBeTakenIsMentionedAndTheFileOpens) {
  // Where no lock file can be made, as in a read-only folder (a folder of
  // that name stands in, since the tests may run as root).
  fs::create_directory(Docs("A.K81") + ".lock");
  gui::MainForm1 main(h.services, h.quit);
  main.show();
  h.files.opens = {Docs("A.K81")};
  h.messages.answers = {Button::Ok, Button::No};
  driver.Then([](QWidget* process) { Click(process, "ExitCmd"); });
  Click(&main, "Cmd_Open");
  ASSERT_GE(h.messages.asked.size(), 1u);
  const platform::Message& note = h.messages.asked[0];
  EXPECT_EQ(note.title, "File Lock");
  EXPECT_EQ(note.icon, platform::Icon::Information);
  EXPECT_EQ(note.buttons, std::vector<Button>{Button::Ok});
  EXPECT_TRUE(note.text.contains(QString::fromStdString(Docs("A.K81") + ".lock: Is a directory")))
      << note.text.toStdString();
  EXPECT_EQ(driver.seen, std::vector<QString>{"ProcForm"});
  EXPECT_EQ(h.session.index.refNo, "4417");
}

}  // namespace
