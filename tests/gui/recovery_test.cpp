// The recovery offer as the windows make it: a run ended from outside leaves
// its data, the next start asks, Yes brings them back, No removes them. What
// comes back after a SIGKILL, and that each edit keeps the state file, is
// core's (tests/core/data/recovery_test.cpp, SessionEdits in session_test.cpp).
#include <gtest/gtest.h>

#include <QDateTime>
#include <filesystem>

#include "fakes.h"
#include "main_form.h"

namespace {

namespace fs = std::filesystem;
using namespace steps;
using platform::Button;

// A SIGTERM (a logout, a shutdown) ends the program as Exit does, but an open
// file's data stay for the next start's offer; No there removes them, and
// nothing is offered again. What the state holds, and that runs without a
// file leave nothing, is core's (tests/core/data/recovery_test.cpp).
TEST(EndedFromOutside, AnOpenFilesDataWaitForTheNextStartWhereNoRemovesThem) {
  fakes::Harness h;
  const std::string file = h.Copy("us-standard-tickets.K81");
  ASSERT_TRUE(h.session.PrepareLock(file).state == tonnage::LockState::Taken && h.session.Open(file).ok());
  const std::string folder = h.session.workFolder().path();
  auto main = h.Make<gui::MainForm1>();
  main->show();
  main->ExitOnSignal();
  // Ended, a PDF being saved stops unwritten, the lock given back.
  EXPECT_EQ(std::tuple(main->exited(), h.progress.Step(nullptr, QString(), 1, 2), h.quits, fs::exists(file + ".lock")),
            std::tuple(true, false, 1, false));

  ASSERT_TRUE(h.session.Start((h.root / "docs").string(), (h.root / "tmp").string()).ok());
  auto next = h.Make<gui::MainForm1>();
  h.messages.answers = {Button::No};
  const bool first = next->OfferRecovery();
  const bool kept = fs::exists(folder);
  const bool second = next->OfferRecovery();
  EXPECT_EQ(std::tuple(first, kept, h.session.dataFilePath, second, h.messages.asked.size()),
            std::tuple(false, false, std::string(), false, std::size_t{1}));
}

// After the recovered file, the file named at start is opened as well; the
// file dialogs after the recovered file was saved open in its folder. The
// question names the time of the newest data it would bring back.
TEST(RecoveryOffer, TheFileNamedAtStartFollowsAndTheDialogsOpenInTheRecoveredFilesFolder) {
  fakes::Harness h;
  const fs::path other = h.root / "OTHER.K81";
  fs::copy_file(kSample, other);
  const std::string job = h.Copy("us-standard-tickets.K81");
  tonnage::Session dead;  // a run that ended with a file open, as on SIGTERM
  ASSERT_TRUE(dead.Start((h.root / "docs").string(), (h.root / "tmp").string()).ok() && dead.Open(other.string()).ok());
  const std::string folder = dead.workFolder().path();
  dead.LeaveForRecovery();
  // Headers last changed ten minutes ago, book 2's grid closed two minutes ago.
  for (const char* name : {"STATE.TMP", "SECT0001.TMP", "SECT0003.TMP"}) tonnage::testing::Age(folder + name, 600);
  tonnage::testing::Age(folder + "SECT0002.TMP", 120);
  auto main = h.Make<gui::MainForm1>();
  main->show();
  std::vector<std::string> opened;
  fakes::ModalDriver driver;
  driver
      .Then([&](QWidget* process) {
        opened.push_back(h.session.dataFilePath);
        Click(process, "SaveCmd");
      })
      .Then([&](QWidget* save) {
        for (const char* button : {"Endsave", "Endsaveas", "saveexit"}) Click(save, button);  // Save As cancelled
        Click(save->parentWidget(), "ExitCmd");
      })
      .Then([&](QWidget* process) {
        opened.push_back(h.session.dataFilePath);
        Click(process, "ExitCmd");
      });
  h.messages.answers = {Button::Yes};
  main->OpenAtStart(QString::fromStdString(job));
  EXPECT_TRUE(driver.unexpected.empty());
  EXPECT_EQ(opened, (std::vector<std::string>{other.string(), job}));
  ASSERT_EQ(h.files.saveRequests.size(), 1u);
  EXPECT_EQ(h.files.saveRequests[0].initialFolder, other.parent_path().string());
  const platform::Message& question = h.messages.asked.at(0);
  EXPECT_TRUE(question.title == "Recover unsaved data" && question.buttons == (std::vector{Button::Yes, Button::No}));
  const QDateTime now = QDateTime::currentDateTime();
  const QString format = QStringLiteral("MM/dd/yyyy hh:mm");
  EXPECT_TRUE(question.text.contains(QString::fromStdString(other.string())) &&
              question.text.contains(now.addSecs(-120).toString(format)) &&
              !question.text.contains(now.addSecs(-600).toString(format)))
      << question.text.toStdString();
  main->ExitProgram();
}

}  // namespace
