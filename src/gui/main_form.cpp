#include "main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>
#include <utility>
#include <cstdio>

#include "about_box.h"
#include "data/recovery.h"
#include "eng_met_form.h"
#include "icons.h"
#include "io/line_reader.h"
#include "lock_question.h"
#include "modal_window.h"
#include "proc_form.h"

namespace gui {

namespace {

QPushButton* MakeCommand(QWidget* parent, const char* name, const QString& text, QStyle::StandardPixmap icon) {
  auto* b = new QPushButton(parent->style()->standardIcon(icon), text, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  return b;
}

QLabel* MakeNote(QWidget* parent, const QString& text) {
  auto* note = new QLabel(text, parent);
  note->setWordWrap(true);
  QPalette pal = note->palette();
  pal.setColor(QPalette::WindowText, pal.color(QPalette::PlaceholderText));
  note->setPalette(pal);
  return note;
}

}  // namespace

bool StartSession(tonnage::Session& session, platform::Messages& messages, const std::string& dataFolder,
                  const std::string& tempParent) {
  const tonnage::Outcome started = session.Start(dataFolder, tempParent);
  if (started) return true;
  platform::Tell(messages, nullptr, Latin1(started.title),
                 QStringLiteral("The program cannot start:\n\n") + DisplayPath(started.message),
                 platform::Icon::Critical);
  session.Cleanup();
  return false;
}

MainForm1::MainForm1(const Services& services, std::function<void()> quitProgram, QWidget* parent)
    : QMainWindow(parent),
      services_(services),
      session_(services.session),
      messages_(*services.platform.messages),
      quitProgram_(std::move(quitProgram)) {
  setObjectName(QStringLiteral("MainForm1"));
  setWindowTitle(QStringLiteral("Quarrendale Tonnage"));
  setWindowIcon(ProgramIcon());

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(20, 16, 20, 12);
  layout->setSpacing(14);

  // Heading: the program's mark and name.
  auto* heading = new QHBoxLayout;
  auto* mark = new QLabel(central);
  mark->setPixmap(ProgramPixmap(56));
  auto* title = new QLabel(QStringLiteral("Quarrendale Tonnage"), central);
  QFont big = title->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  title->setFont(big);
  auto* subtitle = MakeNote(central, QStringLiteral("Asphalt tickets, books and tonnage reports"));
  auto* names = new QVBoxLayout;
  names->setSpacing(2);
  names->addWidget(title);
  names->addWidget(subtitle);
  heading->addWidget(mark);
  heading->addSpacing(10);
  heading->addLayout(names, 1);
  layout->addLayout(heading);

  auto* line = new QFrame(central);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  layout->addWidget(line);

  // The two ways into a file, each with a word on what it does.
  auto* newFile = MakeCommand(central, "Cmd_New", QStringLiteral("Start a &New File"), QStyle::SP_FileIcon);
  auto* openFile =
      MakeCommand(central, "Cmd_Open", QStringLiteral("&Open an Existing File"), QStyle::SP_DialogOpenButton);
  for (QPushButton* b : {newFile, openFile}) {
    b->setMinimumHeight(40);
    b->setIconSize(QSize(22, 22));
    b->setStyleSheet(QStringLiteral("text-align: left; padding-left: 10px; padding-right: 14px;"));
  }
  auto* commands = new QGridLayout;
  commands->setHorizontalSpacing(14);
  commands->setVerticalSpacing(10);
  commands->addWidget(newFile, 0, 0);
  commands->addWidget(MakeNote(central, QStringLiteral("An empty data file in English or metric units.")), 0, 1);
  commands->addWidget(openFile, 1, 0);
  commands->addWidget(MakeNote(central, QStringLiteral("A data file (*.K81) to edit, save or report.")), 1, 1);
  commands->setColumnStretch(1, 1);
  layout->addLayout(commands);
  layout->addStretch(1);

  auto* help = MakeCommand(central, "Cmd_Help", QStringLiteral("He&lp"), QStyle::SP_DialogHelpButton);
  auto* about = MakeCommand(central, "Cmd_About", QStringLiteral("A&bout"), QStyle::SP_MessageBoxInformation);
  auto* exit = MakeCommand(central, "Cmd_Exit", QStringLiteral("E&xit"), QStyle::SP_DialogCloseButton);
  auto* footer = new QHBoxLayout;
  footer->addWidget(help);
  footer->addWidget(about);
  footer->addStretch(1);
  footer->addWidget(exit);
  layout->addLayout(footer);
  setCentralWidget(central);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("Label1"));
  statusBar()->addWidget(status_, 1);
  statusBar()->setSizeGripEnabled(false);

  // The same commands in menus, for those who look there first.
  QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
  QAction* newAction = fileMenu->addAction(QStringLiteral("&New..."), newFile, &QPushButton::click);
  newAction->setShortcut(QKeySequence::New);
  QAction* openAction = fileMenu->addAction(QStringLiteral("&Open..."), openFile, &QPushButton::click);
  openAction->setShortcut(QKeySequence::Open);
  fileMenu->addSeparator();
  QAction* quitAction = fileMenu->addAction(QStringLiteral("E&xit"), exit, &QPushButton::click);
  quitAction->setShortcut(QKeySequence::Quit);
  QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("&Help"));
  helpMenu->addAction(QStringLiteral("&Contents"), help, &QPushButton::click);
  helpMenu->addAction(QStringLiteral("&About"), about, &QPushButton::click);

  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  f1->setObjectName(QStringLiteral("HelpKey"));
  connect(f1, &QShortcut::activated, this, [this] { services_.platform.help->ShowTopic(help_id::kMainForm); });

  connect(newFile, &QPushButton::clicked, this, &MainForm1::NewFile);
  connect(openFile, &QPushButton::clicked, this, &MainForm1::ChooseAndOpen);
  connect(help, &QPushButton::clicked, this, [this] { services_.platform.help->ShowContents(); });
  connect(about, &QPushButton::clicked, this, &MainForm1::ShowAbout);
  connect(exit, &QPushButton::clicked, this, &QWidget::close);

  resize(sizeHint().expandedTo(QSize(520, 0)));
}

void MainForm1::showEvent(QShowEvent* event) {
  if (!placed_) {
    placed_ = true;
    // Centred across, a quarter of the free height down; the other windows
    // take this top as theirs.
    if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
      const QRect area = screen->availableGeometry();
      const QRect outer = frameGeometry();
      const int left = area.x() + (area.width() - outer.width()) / 2;
      const int top = area.y() + (area.height() - outer.height()) / 4;
      move(left, top);
      KeepWindowTop(this, top);
    }
    // The focus frame shows from the start, not only after a first Tab.
    setAttribute(Qt::WA_KeyboardFocusChange);
    findChild<QPushButton*>(QStringLiteral("Cmd_New"))->setFocus(Qt::TabFocusReason);
  }
  QMainWindow::showEvent(event);
}

void MainForm1::SetStatus(const QString& text) {
  status_->setText(text);
  status_->repaint();
}

QString MainForm1::status() const { return status_->text(); }

void MainForm1::NewFile() {
  SetStatus(QStringLiteral("Setting Up For New Data"));
  session_.New();
  SetStatus(QString());
  TellIfStateNotKept(messages_, this, session_.TakeStateProblem());
  EngMet_Form units(session_, messages_, this);
  units.exec();
  if (!session_.index.unitSystem.empty()) ShowProcess();
}

void MainForm1::ChooseAndOpen() {
  const platform::FileRequest request{
      QStringLiteral("Open Data File"), session_.dataFolder, tonnage::kDataFileFilter, {}};
  const std::optional<std::string> chosen = services_.platform.files->OpenExisting(this, request);
  if (!chosen) return;
  session_.RememberDataFolder(*chosen);
  OpenFile(*chosen);
}

void MainForm1::OpenFile(const std::string& path) {
  if (!MayUseFile(messages_, this, path, session_.PrepareLock(path), FileUse::Open)) return;
  SetStatus(QStringLiteral("Loading Data"));
  tonnage::Outcome read;
  {
    platform::BusyScope busy(*services_.platform.busy);
    read = session_.Open(path);
  }
  SetStatus(QString());
  if (read) {
    TellIfStateNotKept(messages_, this, session_.TakeStateProblem());
    // Changes made outside the program, a damaged history set aside: once.
    if (!session_.openNotice.empty()) {
      platform::Tell(messages_, this, QStringLiteral("History"), DisplayPath(std::exchange(session_.openNotice, {})),
                     platform::Icon::Information);
    }
    return ShowProcess();
  }
  platform::Tell(messages_, this, Latin1(read.title), DisplayPath(read.message),
                 read.critical ? platform::Icon::Critical : platform::Icon::Warning);
  // A refused file leaves the main window for another try; a file beyond the
  // limits of the format ends the program.
  if (read.critical) ExitProgram();
}

bool MainForm1::OfferRecovery() {
  const std::optional<tonnage::RecoveryOffer> offer = session_.FindRecoveryOffer();
  if (!offer) return false;
  const QDateTime changed = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(offer->changed));
  const QString file = offer->dataFilePath == tonnage::kNoName ? QStringLiteral("a new file not yet saved")
                                                               : DisplayPath(offer->dataFilePath);
  const platform::Message question{
      QStringLiteral("Recover unsaved data"),
      QStringLiteral("The program ended without saving the data of\n\n%1\n\nas they were on %2.\n\n"
                     "Recover unsaved data? No discards them.")
          .arg(file, changed.toString(QStringLiteral("MM/dd/yyyy hh:mm"))),
      {platform::Button::Yes, platform::Button::No},
      platform::Icon::Question,
      platform::Button::Yes};
  if (messages_.Ask(this, question) != platform::Button::Yes) {
    tonnage::Session::Discard(offer->folder);
    return false;
  }
  const tonnage::Outcome recovered = session_.Recover(offer->folder);
  if (!recovered) {
    // The folder stays, to be offered again.
    platform::Tell(messages_, this, Latin1(recovered.title), DisplayPath(recovered.message), platform::Icon::Critical);
    return false;
  }
  TellRecoveredLock(session_.LockRecoveredFile());
  ShowProcess();
  return true;
}

void MainForm1::OpenAtStart(const QString& file) {
  OfferRecovery();
  // Recovered data came first; the file the program was started with is
  // still opened once their process window is left.
  if (file.isEmpty() || exited_) return;
  const QFileInfo info(file);
  if (!info.isFile()) {
    platform::Tell(messages_, this, QStringLiteral("File Input Error"),
                   QStringLiteral("Cannot find the file\n%1").arg(info.absoluteFilePath()), platform::Icon::Warning);
    return;
  }
  const std::string path(QFile::encodeName(info.absoluteFilePath()).constData());
  session_.RememberDataFolder(path);
  OpenFile(path);
}

void MainForm1::TellRecoveredLock(const tonnage::RecoveredLock& lock) {
  if (!lock.keptAsNoName) {
    MayUseFile(messages_, this, lock.path, lock.attempt, FileUse::Open);  // says why there is no lock
    return;
  }
  TellIfStateNotKept(messages_, this, session_.TakeStateProblem());
  platform::Tell(messages_, this, QStringLiteral("File In Use"),
                 QStringLiteral("This file is open in another copy of the program\n\n%1\n\n(%2).\n\n"
                                "The recovered data are kept as NoName: save them with Save As.")
                     .arg(DisplayPath(lock.path), HolderText(lock.attempt.holder)),
                 platform::Icon::Warning);
}

void MainForm1::ShowProcess() {
  ProcForm process(services_, this);
  process.exec();
}

void MainForm1::ShowAbout() {
  AboutBox about(this);
  about.exec();
}

void MainForm1::ExitProgram() {
  if (exited_) return;
  exited_ = true;
  services_.platform.help->Quit();
  SetStatus(QStringLiteral("Cleaning up files and memory"));
  session_.Cleanup();
  hide();
  if (quitProgram_) quitProgram_();
}

void MainForm1::ExitOnSignal() {
  if (exited_) return;
  // A print or save running under this call ends unwritten.
  if (services_.platform.progress) services_.platform.progress->Stop();
  // No file open: nothing to keep.
  if (session_.index.unitSystem.empty()) return ExitProgram();
  exited_ = true;
  services_.platform.help->Quit();
  session_.LeaveForRecovery();
  // No window is left to tell: the log is the only witness.
  if (const tonnage::Outcome kept = session_.TakeStateProblem(); !kept)
    std::fprintf(stderr, "tonnage: recovery copy not written: %s\n", kept.message.c_str());
  hide();
  if (quitProgram_) quitProgram_();
}

void MainForm1::closeEvent(QCloseEvent* event) {
  ExitProgram();
  event->accept();
}

}  // namespace gui
