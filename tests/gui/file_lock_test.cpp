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
  void SetUp() override { main->show(); }
  fakes::Harness h;
  const std::string file = h.Copy("us-standard-tickets.K81");
  std::unique_ptr<gui::MainForm1> main = h.Make<gui::MainForm1>();
  fakes::ModalDriver driver;
};

// The lock's rules are core's (tests/core/data/file_lock_test.cpp); here the
// windows ask before they open or save over a file another copy has open.
TEST_F(FileLock, AFileOpenInAnotherCopyIsOpenedOrSavedOverOnlyWhenTheUserSaysYes) {
  child::Process other("lock-holder", {"TONNAGE_TEST_FILE=" + file});
  ASSERT_EQ(other.Await(30), "locked");
  h.files.opens = {file};
  Click(main.get(), "Cmd_Open");  // the double answers the question's default
  ASSERT_EQ(h.messages.asked.size(), 1u);
  const platform::Message& q = h.messages.asked[0];
  EXPECT_EQ(q.title, "File In Use");
  EXPECT_TRUE(q.text.startsWith("This file is open in another copy of the program\n\n" + QString::fromStdString(file)))
      << q.text.toStdString();
  EXPECT_TRUE(q.text.contains(QStringLiteral("process %1 on ").arg(other.pid())));
  EXPECT_EQ(q.defaultButton, Button::No);
  // No: nothing read, no process window, the other copy's lock untouched.
  EXPECT_TRUE(driver.seen.empty());
  EXPECT_TRUE(h.session.dataFilePath.empty());
  // Yes: opened, without a lock of its own.
  h.files.opens = {file};
  h.messages.answers = {Button::Yes, Button::No};
  driver.Then([](QWidget* process) { Click(process, "ExitCmd"); });
  Click(main.get(), "Cmd_Open");
  EXPECT_EQ(driver.seen, std::vector<QString>{"ProcForm"});
  EXPECT_EQ(h.session.dataFilePath, file);
  EXPECT_FALSE(h.session.holdsLock());
  EXPECT_EQ(tonnage::ReadLockHolder(file + ".lock").pid, other.pid());

  // Save As of a new file over it: asked first, No keeps the file.
  h.messages.asked.clear();
  h.session.New();
  h.session.ChooseUnits("M");
  h.session.Book(1) = {"NEW BOOK", "0", "2.65"};
  auto save = h.Make<gui::EnddataForm>();
  h.files.saves = {file, file};
  Click(save.get(), "Endsaveas");
  EXPECT_EQ(h.messages.asked.at(0).title, "File In Use");
  EXPECT_EQ(ReadFile(file), ReadFile(kSample));
  EXPECT_FALSE(Shown(save.get(), "Image2"));
  h.messages.answers = {Button::Yes};
  Click(save.get(), "Endsaveas");
  EXPECT_NE(ReadFile(file).find("NEW BOOK"), std::string::npos);
  EXPECT_FALSE(h.session.holdsLock()) << "the other copy still holds it";
}

TEST_F(FileLock, ALockThatCannotBeTakenIsMentionedAndTheFileOpens) {
  // Where no lock file can be made, as in a read-only folder (a folder of
  // that name stands in, since the tests may run as root).
  fs::create_directory(file + ".lock");
  h.files.opens = {file};
  h.messages.answers = {Button::Ok, Button::No};
  driver.Then([](QWidget* process) { Click(process, "ExitCmd"); });
  Click(main.get(), "Cmd_Open");
  ASSERT_GE(h.messages.asked.size(), 1u);
  const platform::Message& note = h.messages.asked[0];
  EXPECT_EQ(note.title, "File Lock");
  EXPECT_EQ(note.buttons, std::vector<Button>{Button::Ok});
  EXPECT_TRUE(note.text.contains(QString::fromStdString(file + ".lock: Is a directory"))) << note.text.toStdString();
  EXPECT_EQ(driver.seen, std::vector<QString>{"ProcForm"});
  EXPECT_EQ(h.session.index.refNo, "4417");
}

}  // namespace
