// The main window: start a new file or open one, help, about, exit.
#pragma once

#include <QMainWindow>
#include <functional>

#include "context.h"

class QLabel;

namespace gui {

// Start-up before the main window: the work folder and VERSION.TMP. When
// they cannot be made the user is told why (critical) and false comes back:
// the program cannot run without them.
bool StartSession(tonnage::Session& session, platform::Messages& messages, const std::string& dataFolder,
                  const std::string& tempParent = {});

class MainForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // `services` are handed on to the windows it opens. `quitProgram` ends the
  // run once the work files are gone: the program tells its event loops to
  // finish, a test that drives the window records the call instead.
  MainForm1(const Services& services, std::function<void()> quitProgram, QWidget* parent = nullptr);

  // Reads `path` and, when it is a data file, shows the process window.
  // A file that another copy of the program has open is opened only when
  // the user says so.
  void OpenFile(const std::string& path);
  // At start-up, before the window is used: offers back the unsaved data of
  // the newest run that ended without cleaning up ("Recover unsaved data").
  // Yes brings them back and shows the process window, No discards them.
  // Returns true when data were recovered.
  bool OfferRecovery();
  // The start of a run: the recovery offer, then `file` (named on the
  // command line; may be empty) opened as if chosen in the open dialog, or
  // the user told why it cannot be.
  void OpenAtStart(const QString& file);
  // The end of the run: help closed, every work file removed, the event
  // loops told to finish. Runs once, however the program ends.
  void ExitProgram();
  // The end forced on the program from outside (SIGTERM or SIGHUP as the
  // desktop session ends): nobody can be asked about unsaved data, so an
  // open file's work folder is left for the next start to offer back.
  void ExitOnSignal();
  bool exited() const { return exited_; }

  // The status line, drawn at once (long work follows).
  void SetStatus(const QString& text);
  QString status() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void NewFile();
  void ChooseAndOpen();
  void TellRecoveredLock(const tonnage::RecoveredLock& lock);
  void ShowProcess();
  void ShowAbout();

  const Services& services_;
  tonnage::Session& session_;
  platform::Messages& messages_;
  std::function<void()> quitProgram_;
  QLabel* status_ = nullptr;
  bool placed_ = false;
  bool exited_ = false;
};

}  // namespace gui
