// A copy of the real program is killed with SIGKILL after typing tickets into
// a book; the next start finds its work folder and offers the data back.
//
// How: the test starts this test program again as a child process (a fresh
// exec, see child_process.h) that builds the program's real windows over a
// real session, as the program's main does, with only the message boxes and
// the file chooser answered by test doubles. It is driven through its
// controls with QTest key clicks: Open, the index record, a new book set up
// and typed into, the grid closed (which stores the book's section file),
// then a second book typed into with its grid left open. It then tells the
// parent through a pipe and waits. The parent kills it
// and runs the start-up path again. No test-only code is in the program
// itself, and the killed process is an ordinary copy of its windows.
#include <gtest/gtest.h>

#include <QDateTime>
#include <filesystem>

#include "child_process.h"
#include "data/recovery.h"
#include "data/section_file.h"
#include "fakes.h"
#include "main_form.h"
#include "platform/qt_platform.h"

namespace {

namespace fs = std::filesystem;
using namespace steps;
using platform::Button;

// The child: the program's windows over a session whose work folder is made
// under $TMPDIR, as in a real run.
int KilledRun() {
  tonnage::Session session;
  platform::QtPlatform services;
  fakes::Messages messages;
  fakes::Files files;
  tonnage::RowMenuState rowMenu;
  gui::Services context{session, services.get(), rowMenu};
  context.platform.messages = &messages;
  context.platform.files = &files;
  if (!gui::StartSession(session, messages, std::getenv("TONNAGE_TEST_DOCS"))) return 3;
  files.opens = {std::string(std::getenv("TONNAGE_TEST_FILE"))};

  gui::MainForm1 main(context, [] {});
  main.show();
  // A field's old text selected and typed over, then on to the next.
  const auto over = [](const char* text) { Key(Qt::Key_A, Qt::ControlModifier), Keys(text), Key(Qt::Key_Return); };
  // Book Setup: comments, "Standard Weight Tickets", the gravity, Continue.
  const auto setup = [](const char* comments, const char* gravity) {
    return [=](QWidget* w) {
      Activate(w);
      Keys(comments);
      for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Return}) Key(key);
      Keys(gravity);
      Key(Qt::Key_Return), Key(Qt::Key_Return);
    };
  };
  fakes::ModalDriver driver;
  driver.Then([](QWidget* process) { Click(process, "IndexCmd"), Click(process, "BookCmd"); })
      .Then([&](QWidget* index) {
        Activate(index);
        over("4471");
        Key(Qt::Key_Return);  // the date as it is
        over("NH-0094-07");
        over("K. NEUMANN");
        Key(Qt::Key_Return);  // OK
      })
      .Then([](QWidget* list) {
        // Slot 4, after the sample's three books.
        Activate(list);
        for (Qt::Key key : {Qt::Key_Home, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}) Key(key);
        // Back from the grid the book just edited is still chosen: slot 5 is one down.
        Activate(list);
        Key(Qt::Key_Down), Key(Qt::Key_Return);
      })
      .Then(setup("NIGHT PAVING", "2.65"))
      .Then([](QWidget* grid) {
        Activate(grid);
        TypeCells({"3001", "10/07/2026", "77756", "30056", "47700", "5.6", "", "", ""});
        TypeCells({"64284", "28852", "35432", "5.6", "", "Y", ""});
        Key(Qt::Key_Escape);  // closes the grid, which stores the book
      })
      .Then(setup("DAY PAVING", ""))
      .Then([](QWidget* grid) {
        // Left open: rows the cursor left are kept, the cell being typed is not.
        Activate(grid);
        TypeCells({"3101", "10/08/2026", "70120", "29980", "40140", "5.5", "", "", ""});
        TypeCells({"71210", "30020", "41190", "5.5", "", "Y", ""});
        Keys("69870");
        child::Report("ready");
      });
  Click(&main, "Cmd_Open");
  return 1;  // never reached: the parent kills the process first
}

child::Register killedRun("killed-run", KilledRun);

// The dead copy's lock is taken over; the sample's books come back as they
// were, the closed grid's book as it stored it, and of the grid left open
// every row the cursor left; nothing is saved behind the user's back.
TEST(KilledProgram, YesBringsBackTheIndexRecordTheBooksAndTheirTickets) {
  fakes::Harness h;
  const fs::path root = h.root, file = h.Copy("us-standard-tickets.K81");
  const std::string saved = ReadFile(file.string());
  h.session.Cleanup();
  {
    child::Process run("killed-run",
                       {"TMPDIR=" + (root / "tmp").string(), "TONNAGE_TEST_DOCS=" + (root / "docs").string(),
                        "TONNAGE_TEST_FILE=" + file.string()});
    ASSERT_EQ(run.Await(60), "ready") << "the child never got to the open grid";
    ASSERT_TRUE(run.Kill());
  }
  ASSERT_EQ(tonnage::FindAbandonedWorkFolders((root / "tmp").string()).size(), 1u);
  // The start-up path of the next run, as the program's main takes it.
  ASSERT_TRUE(h.session.Start((root / "docs").string(), (root / "tmp").string()).ok());
  auto main = h.Make<gui::MainForm1>();
  main->show();
  tonnage::Session& s = h.session;
  bool savedFlag = true, locked = false;
  std::string sections[6];
  fakes::ModalDriver driver;
  driver.Then([&](QWidget* process) {
    savedFlag = s.dataSaved, locked = s.holdsLock();
    for (int b = 1; b <= 5; ++b) sections[b] = ReadFile(s.SectionPath(b));
    Click(process, "ExitCmd");  // not saved: asked, answered Don't Save
  });
  h.messages.answers = {Button::Yes, Button::Discard};
  EXPECT_TRUE(main->OfferRecovery());
  EXPECT_EQ(driver.seen, std::vector<QString>{"ProcForm"});
  ASSERT_GE(h.messages.asked.size(), 1u);
  const platform::Message& question = h.messages.asked[0];
  EXPECT_EQ(question.title, "Recover unsaved data");
  EXPECT_TRUE(question.text.contains(QString::fromStdString(file.string())));
  EXPECT_EQ(question.buttons, (std::vector<Button>{Button::Yes, Button::No}));

  EXPECT_FALSE(savedFlag);
  EXPECT_EQ(s.dataFilePath, file.string());
  EXPECT_EQ(s.index.engineer + "|" + s.index.refNo + "|" + s.index.unitSystem, "K. NEUMANN|4471|E");
  EXPECT_EQ(s.Book(4).comments + "|" + s.Book(4).specificGravity + "|" + s.Book(5).comments,
            "NIGHT PAVING|2.65|DAY PAVING");
  EXPECT_TRUE(locked);
  for (int b = 1; b <= 3; ++b) EXPECT_NE(saved.find(sections[b]), std::string::npos) << "book " << b;
  EXPECT_EQ(sections[4],
            "003001 10/07/2026 77756     30056     47700      5.600      \r\n"
            "003002 10/07/2026 64284     28852     35432      5.600   Y  \r\n");
  EXPECT_EQ(sections[5],
            "003101 10/08/2026 70120     29980     40140      5.500      \r\n"
            "003102 10/08/2026 71210     30020     41190      5.500   Y  \r\n");
  EXPECT_EQ(ReadFile(file.string()), saved);
  EXPECT_TRUE(tonnage::FindAbandonedWorkFolders((root / "tmp").string()).empty());
  main->ExitProgram();
}

// A SIGTERM (a logout, a shutdown) ends the program as Exit does, but an open
// file's data stay for the next start's offer; No there removes them, and
// nothing is offered again. What the state holds, and that runs without a
// file leave nothing, is core's (tests/core/data/recovery_test.cpp).
TEST(EndedFromOutside, AnOpenFilesDataWaitForTheNextStartWhereNoRemovesThem) {
  fakes::Harness h;
  const std::string file = h.Copy("us-standard-tickets.K81");
  ASSERT_EQ(h.session.PrepareLock(file).state, tonnage::LockState::Taken);
  ASSERT_TRUE(h.session.Open(file).ok());
  const std::string folder = h.session.workFolder().path();
  auto main = h.Make<gui::MainForm1>();
  main->show();
  main->ExitOnSignal();
  EXPECT_TRUE(main->exited());
  EXPECT_FALSE(h.progress.Step(nullptr, QString(), 1, 2));  // a PDF being saved stops unwritten
  EXPECT_EQ(h.quits, 1);
  EXPECT_FALSE(fs::exists(file + ".lock"));
  ASSERT_EQ(tonnage::FindAbandonedWorkFolders((h.root / "tmp").string()), std::vector<std::string>{folder});

  ASSERT_TRUE(h.session.Start((h.root / "docs").string(), (h.root / "tmp").string()).ok());
  auto next = h.Make<gui::MainForm1>();
  h.messages.answers = {Button::No};
  EXPECT_FALSE(next->OfferRecovery());
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(h.session.dataFilePath.empty());
  EXPECT_FALSE(next->OfferRecovery());
  EXPECT_EQ(h.messages.asked.size(), 1u);
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
  ASSERT_TRUE(dead.Start((h.root / "docs").string(), (h.root / "tmp").string()).ok());
  ASSERT_TRUE(dead.Open(other.string()).ok());
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
  const QDateTime now = QDateTime::currentDateTime();
  const QString format = QStringLiteral("MM/dd/yyyy hh:mm"), text = h.messages.Text(0);
  EXPECT_TRUE(text.contains(now.addSecs(-120).toString(format))) << text.toStdString();
  EXPECT_FALSE(text.contains(now.addSecs(-600).toString(format))) << text.toStdString();
  main->ExitProgram();
}

}  // namespace
