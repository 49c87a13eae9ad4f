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
  gui::Services windows{session, services.get(), rowMenu};
  windows.platform.messages = &messages;
  windows.platform.files = &files;
  if (!gui::StartSession(session, messages, std::getenv("TONNAGE_TEST_DOCS"))) return 3;
  files.opens = {std::string(std::getenv("TONNAGE_TEST_FILE"))};

  gui::MainForm1 main(windows, [] {});
  main.show();
  fakes::ModalDriver driver;
  driver
      .Then([](QWidget* process) {
        Click(process, "IndexCmd");
        Click(process, "BookCmd");
      })
      .Then([](QWidget* index) {
        // Each field's old text selected and typed over.
        Activate(index);
        Key(Qt::Key_A, Qt::ControlModifier);
        Keys("4471");
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);  // the date as it is
        Key(Qt::Key_A, Qt::ControlModifier);
        Keys("NH-0094-07");
        Key(Qt::Key_Return);
        Key(Qt::Key_A, Qt::ControlModifier);
        Keys("K. NEUMANN");
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);  // OK
      })
      .Then([](QWidget* list) {
        // Slot 4, after the sample's three books.
        Activate(list);
        Key(Qt::Key_Home);
        for (int i = 0; i < 3; ++i) Key(Qt::Key_Down);
        Key(Qt::Key_Return);
        // Back from the grid the book just edited is still chosen: slot 5 is one down.
        Activate(list);
        Key(Qt::Key_Down);
        Key(Qt::Key_Return);
      })
      .Then([](QWidget* setup) {
        Activate(setup);
        Keys("NIGHT PAVING");
        Key(Qt::Key_Return);
        Key(Qt::Key_Space);  // "Standard Weight Tickets"
        Key(Qt::Key_Return);
        Keys("2.65");
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);  // Continue
      })
      .Then([](QWidget* grid) {
        Activate(grid);
        TypeCells({"3001", "10/07/2026", "77756", "30056", "47700", "5.6", "", "", ""});
        TypeCells({"72708", "29773", "42935", "5.6", "", "", ""});
        TypeCells({"64284", "28852", "35432", "5.6", "", "Y", ""});
        Key(Qt::Key_Escape);  // closes the grid, which stores the book
      })
      .Then([](QWidget* setup) {
        Activate(setup);
        Keys("DAY PAVING");
        Key(Qt::Key_Return);
        Key(Qt::Key_Space);
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);
      })
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

class KilledProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root / "tmp");
    fs::create_directories(root / "docs");
    fs::copy_file(kSample, file);
  }

  // Runs a copy of the program up to the closed grid and kills it.
  void RunAndKill() {
    child::Process run("killed-run", {"TMPDIR=" + (root / "tmp").string(),
                                      "TONNAGE_TEST_DOCS=" + (root / "docs").string(),
                                      "TONNAGE_TEST_FILE=" + file.string()});
    ASSERT_EQ(run.Await(60), "ready") << "the child never got to the open grid";
    ASSERT_TRUE(run.Kill());
  }

  tonnage::testing::ScratchFolder scratch;
  fs::path root{scratch.path()};
  fs::path file = root / "docs" / "JOB.K81";
};

TEST_F(KilledProgram, YesBringsBackTheIndexRecordTheBooksAndTheirTickets) {
  RunAndKill();
  ASSERT_EQ(tonnage::FindAbandonedWorkFolders((root / "tmp").string()).size(), 1u);
  const std::string saved = ReadFile(file);

  // The start-up path of the next run, as the program's main takes it.
  fakes::Harness h;
  h.session.Cleanup();
  ASSERT_TRUE(h.session.Start((root / "docs").string(), (root / "tmp").string()).ok());
  gui::MainForm1 main(h.services, h.quit);
  main.show();

  tonnage::Session& s = h.session;
  bool savedFlag = true, locked = false;
  std::string book4;
  std::string sections[5];
  fakes::ModalDriver driver;
  driver.Then([&](QWidget* process) {
    savedFlag = s.dataSaved;
    book4 = s.Book(4).comments;
    locked = s.holdsLock();
    for (int b = 1; b <= 5; ++b) sections[b - 1] = ReadFile(s.SectionPath(b));
    Click(process, "ExitCmd");  // not saved: asked, answered Don't Save
  });
  h.messages.answers = {Button::Yes, Button::Discard};
  EXPECT_TRUE(main.OfferRecovery());
  ASSERT_TRUE(driver.unexpected.empty());
  EXPECT_EQ(driver.seen, std::vector<QString>{"ProcForm"});

  ASSERT_GE(h.messages.asked.size(), 1u);
  const platform::Message& question = h.messages.asked[0];
  EXPECT_EQ(question.title, "Recover unsaved data");
  EXPECT_TRUE(question.text.contains(QString::fromStdString(file.string())));
  EXPECT_EQ(question.buttons, (std::vector<Button>{Button::Yes, Button::No}));
  EXPECT_EQ(question.icon, platform::Icon::Question);

  EXPECT_FALSE(savedFlag);
  EXPECT_EQ(s.dataFilePath, file.string());
  EXPECT_EQ(s.index.engineer + "|" + s.index.refNo + "|" + s.index.unitSystem, "K. NEUMANN|4471|E");
  EXPECT_EQ(book4, "NIGHT PAVING");
  EXPECT_EQ(s.Book(4).specificGravity, "2.65");
  EXPECT_TRUE(locked) << "the dead copy's lock is taken over";
  // The sample's books as they were, and the typed one as its grid stored it.
  for (int b = 1; b <= 3; ++b) EXPECT_NE(saved.find(sections[b - 1]), std::string::npos) << "book " << b;
  EXPECT_EQ(sections[3],
            "003001 10/07/2026 77756     30056     47700      5.600      \r\n"
            "003002 10/07/2026 72708     29773     42935      5.600      \r\n"
            "003003 10/07/2026 64284     28852     35432      5.600   Y  \r\n");
  EXPECT_EQ(s.Book(5).comments, "DAY PAVING");
  EXPECT_EQ(sections[4],
            "003101 10/08/2026 70120     29980     40140      5.500      \r\n"
            "003102 10/08/2026 71210     30020     41190      5.500   Y  \r\n");
  EXPECT_EQ(ReadFile(file), saved) << "nothing saved behind the user's back";
  EXPECT_TRUE(tonnage::FindAbandonedWorkFolders((root / "tmp").string()).empty());

  // Saved now, the recovered data make the whole file.
  ASSERT_TRUE(s.Save().ok());
  EXPECT_NE(ReadFile(file).find("* 0 2.6500 NIGHT PAVING\r\n003001 10/07/2026"), std::string::npos);
  EXPECT_NE(ReadFile(file).find("K. NEUMANN"), std::string::npos);
  main.ExitProgram();
}

TEST_F(KilledProgram, NoRemovesTheOldWorkFolder) {
  RunAndKill();
  const std::vector<std::string> left = tonnage::FindAbandonedWorkFolders((root / "tmp").string());
  ASSERT_EQ(left.size(), 1u);
  fakes::Harness h;
  h.session.Cleanup();
  ASSERT_TRUE(h.session.Start((root / "docs").string(), (root / "tmp").string()).ok());
  gui::MainForm1 main(h.services, h.quit);
  main.show();
  fakes::ModalDriver driver;
  h.messages.answers = {Button::No};
  EXPECT_FALSE(main.OfferRecovery());
  EXPECT_TRUE(driver.seen.empty());
  EXPECT_EQ(h.messages.asked.size(), 1u);
  EXPECT_FALSE(fs::exists(left[0]));
  EXPECT_TRUE(h.session.dataFilePath.empty());
  EXPECT_FALSE(h.session.Book(1).InUse());
  // Only this run's own work folder is left.
  int folders = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(root / "tmp"))
    folders += entry.path().filename().string().rfind("quarrendale-tonnage-", 0) == 0;
  EXPECT_EQ(folders, 1);
  // Nothing more to offer at the next start.
  EXPECT_FALSE(main.OfferRecovery());
  EXPECT_EQ(h.messages.asked.size(), 1u);
}

TEST(EndedFromOutside, AnOpenFilesDataWaitForTheNextStartNothingElseDoes) {
  for (bool fileOpen : {true, false}) {
    fakes::Harness h;
    ASSERT_TRUE(h.started);
    const fs::path file = h.root / "docs" / "JOB.K81";
    fs::copy_file(kSample, file);
    if (fileOpen) {
      ASSERT_EQ(h.session.PrepareLock(file.string()).state, tonnage::LockState::Taken);
      ASSERT_TRUE(h.session.Open(file.string()).ok());
      h.session.index.engineer = "TYPED BEFORE LOGOUT";
    }
    const std::string folder = h.session.workFolder().path();
    gui::MainForm1 main(h.services, h.quit);
    main.show();
    main.ExitOnSignal();
    EXPECT_TRUE(main.exited());
    EXPECT_FALSE(h.progress.Step(nullptr, QString(), 1, 2));  // a PDF being saved stops unwritten
    EXPECT_EQ(h.quits, 1);
    EXPECT_FALSE(fs::exists(file.string() + ".lock"));
    EXPECT_EQ(fs::exists(folder), fileOpen);
    const std::vector<std::string> offered = tonnage::FindAbandonedWorkFolders((h.root / "tmp").string());
    ASSERT_EQ(offered.size(), fileOpen ? 1u : 0u);
    if (fileOpen) {
      EXPECT_EQ(offered[0], folder);
      tonnage::SessionState state;
      ASSERT_TRUE(tonnage::ParseSessionState(ReadFile(folder + "STATE.TMP"), state));
      EXPECT_EQ(state.index.engineer, "TYPED BEFORE LOGOUT");
      tonnage::Session::Discard(folder);
    }
  }
}

// A run that ended with a file open, as the session leaves it on SIGTERM.
std::string LeaveDeadRun(const fs::path& root, const fs::path& file) {
  tonnage::Session dead;
  EXPECT_TRUE(dead.Start((root / "docs").string(), (root / "tmp").string()).ok());
  EXPECT_TRUE(dead.Open(file.string()).ok());
  const std::string folder = dead.workFolder().path();
  dead.LeaveForRecovery();
  return folder;
}

TEST(RecoveryOffer, NamesTheTimeOfTheNewestDataItBringsBack) {
  fakes::Harness h;
  const fs::path file = h.root / "docs" / "JOB.K81";
  fs::copy_file(kSample, file);
  const std::string folder = LeaveDeadRun(h.root, file);
  // Headers last changed ten minutes ago, book 2's grid closed two minutes ago.
  for (const char* name : {"STATE.TMP", "SECT0001.TMP", "SECT0003.TMP"}) tonnage::testing::Age(folder + name, 600);
  tonnage::testing::Age(folder + "SECT0002.TMP", 120);
  gui::MainForm1 main(h.services, h.quit);
  h.messages.answers = {Button::No};
  main.OfferRecovery();
  ASSERT_EQ(h.messages.asked.size(), 1u);
  const QDateTime now = QDateTime::currentDateTime();
  const QString format = QStringLiteral("MM/dd/yyyy hh:mm");
  EXPECT_TRUE(h.messages.asked[0].text.contains(now.addSecs(-120).toString(format))) << h.messages.asked[0].text.toStdString();
  EXPECT_FALSE(h.messages.asked[0].text.contains(now.addSecs(-600).toString(format)));
}

TEST(RecoveryOffer, TheFileNamedAtStartIsStillOpenedAfterTheRecoveredData) {
  fakes::Harness h;
  const fs::path other = h.root / "docs" / "OTHER.K81", job = h.root / "docs" / "JOB.K81";
  fs::copy_file(kSample, other);
  fs::copy_file(kSample, job);
  LeaveDeadRun(h.root, other);
  gui::MainForm1 main(h.services, h.quit);
  main.show();
  std::vector<std::string> opened;
  fakes::ModalDriver driver;
  const auto leave = [&](QWidget* process) {
    opened.push_back(h.session.dataFilePath);
    Click(process, "ExitCmd");
  };
  driver.Then(leave).Then(leave);
  h.messages.answers = {Button::Yes, Button::Discard};  // recover; leave it unsaved
  main.OpenAtStart(QString::fromStdString(job.string()));
  EXPECT_TRUE(driver.unexpected.empty());
  EXPECT_EQ(opened, (std::vector<std::string>{other.string(), job.string()}));
  main.ExitProgram();
}

TEST(RecoveryOffer, FileDialogsAfterARecoveredFileWasSavedOpenInItsFolder) {
  fakes::Harness h;
  const fs::path file = h.root / "jobs" / "JOB.K81";
  fs::create_directories(file.parent_path());
  fs::copy_file(kSample, file);
  LeaveDeadRun(h.root, file);
  gui::MainForm1 main(h.services, h.quit);
  main.show();
  fakes::ModalDriver driver;
  driver.Then([&](QWidget* process) { Click(process, "SaveCmd"); })
      .Then([&](QWidget* save) {
        Click(save, "Endsave");
        Click(save, "Endsaveas");  // cancelled in the dialog
        Click(save, "saveexit");
        Click(save->parentWidget(), "ExitCmd");
      });
  h.messages.answers = {Button::Yes};
  ASSERT_TRUE(main.OfferRecovery());
  EXPECT_TRUE(driver.unexpected.empty());
  ASSERT_EQ(h.files.saveRequests.size(), 1u);
  EXPECT_EQ(h.files.saveRequests[0].initialFolder, file.parent_path().string());
  main.ExitProgram();
}

}  // namespace
