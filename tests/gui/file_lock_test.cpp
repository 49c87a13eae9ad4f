// The windows and the data file's lock: a file open in another copy of the
// program is opened or saved over only when the user says so, a lock that
// cannot be had is mentioned and ignored. The lock's rules are core's
// (DataFileLock and SessionLock in tests/core/data/recovery_test.cpp).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "data/file_lock.h"
#include "enddata_form.h"
#include "fakes.h"
#include "main_form.h"

namespace {

namespace fs = std::filesystem;
using namespace steps;
using platform::Button;

class FileLock : public ::testing::Test {
 protected:
  void SetUp() override { main->show(); }
  fakes::Harness h;
  const std::string file = h.Copy("us-standard-tickets.K81");
  std::unique_ptr<gui::MainForm1> main = h.Make<gui::MainForm1>();
  fakes::ModalDriver driver;
};

TEST_F(FileLock, AFileOpenInAnotherCopyIsOpenedOrSavedOverOnlyWhenTheUserSaysYes) {
  // Another copy of the program: a lock taken here on a descriptor of its own
  // (a lock apart from the session's, as another process's is), naming the
  // process that started the tests.
  tonnage::DataFileLock other;
  ASSERT_EQ(other.Take(file).state, tonnage::LockState::Taken);
  std::ofstream(file + ".lock") << ::getppid() << "\nquarrendale-tonnage\nsite-office\n";
  h.files.opens = {file, file};
  Click(main.get(), "Cmd_Open");  // the double answers the question's default
  ASSERT_EQ(h.messages.asked.size(), 1u);
  const platform::Message& q = h.messages.asked[0];
  EXPECT_TRUE(
      q.title == "File In Use" &&
      q.text.startsWith("This file is open in another copy of the program\n\n" + QString::fromStdString(file)) &&
      q.text.contains(QStringLiteral("process %1 on site-office").arg(::getppid())))
      << q.text.toStdString();
  // No (the default): nothing read, no process window, the other copy's lock untouched.
  EXPECT_TRUE(q.defaultButton == Button::No && driver.seen.empty() && h.session.dataFilePath.empty());
  // Yes: opened, without a lock of its own.
  h.messages.answers = {Button::Yes, Button::No};
  driver.Then([](QWidget* process) { Click(process, "ExitCmd"); });
  Click(main.get(), "Cmd_Open");
  EXPECT_EQ(driver.seen, std::vector<QString>{"ProcForm"});
  EXPECT_TRUE(h.session.dataFilePath == file && !h.session.holdsLock());

  // Save As of a new file over it: asked first, No keeps the file.
  h.messages.asked.clear();
  h.session.New();
  h.session.ChooseUnits("M");
  h.session.Book(1) = {"NEW BOOK", "0", "2.65"};
  auto save = h.Make<gui::EnddataForm>();
  h.files.saves = {file, file};
  Click(save.get(), "Endsaveas");
  EXPECT_EQ(h.messages.asked.at(0).title, "File In Use");
  EXPECT_TRUE(ReadFile(file) == ReadFile(kSample) && !Shown(save.get(), "Image2"));
  h.messages.answers = {Button::Yes};
  Click(save.get(), "Endsaveas");
  // Written, and the lock still the other copy's.
  EXPECT_TRUE(ReadFile(file).find("NEW BOOK") != std::string::npos && !h.session.holdsLock());
}

// A lock that cannot be had is mentioned and the file opens; a file changed
// outside the program since its last save says so once, after it.
TEST_F(FileLock, ALockThatCannotBeTakenAndAChangeMadeOutsideAreMentionedAndTheFileOpens) {
  {
    tonnage::Session other;
    // The history starts with the open.
    ASSERT_TRUE(other.Start((h.root / "docs").string(), (h.root / "tmp").string()).ok() && other.Open(file).ok());
    other.keepHistory = false;
    other.index.engineer = "M. OKAFOR";
    ASSERT_TRUE(other.Save().ok());  // as another program would, without a word to the history
    other.Cleanup();
  }
  // Where no lock file can be made, as in a read-only folder (a folder of
  // that name stands in, since the tests may run as root).
  fs::create_directory(file + ".lock");
  h.files.opens = {file};
  h.messages.answers = {Button::Ok, Button::Ok, Button::No};
  driver.Then([](QWidget* process) { Click(process, "ExitCmd"); });
  Click(main.get(), "Cmd_Open");
  ASSERT_EQ(h.messages.asked.size(), 2u);
  const platform::Message& note = h.messages.asked[0];
  EXPECT_TRUE(note.title == "File Lock" && note.buttons == std::vector<Button>{Button::Ok});
  EXPECT_TRUE(note.text.contains(QString::fromStdString(file + ".lock: Is a directory"))) << note.text.toStdString();
  EXPECT_TRUE(h.messages.asked[1].title == "History" &&
              h.messages.Text(1).contains("changed outside the program since it was last saved: the index record."))
      << h.messages.Text(1).toStdString();
  EXPECT_TRUE(driver.seen == std::vector<QString>{"ProcForm"} && h.session.index.engineer == "M. OKAFOR");
}

}  // namespace
