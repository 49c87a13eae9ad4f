// The main window: start a new file or open one, help, about, exit.
#pragma once

#include <QMainWindow>

#include "context.h"

class QLabel;

namespace gui {

class MainForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainForm1(Context& context, QWidget* parent = nullptr);

  // Reads `path` and, when it is a data file, shows the process window.
  void OpenFile(const std::string& path);
  // The end of the run: help closed, every work file removed, the event
  // loops told to finish. Runs once, however the program ends.
  void ExitProgram();
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
  void ShowProcess();
  void ShowAbout();

  Context& context_;
  tonnage::Session& session_;
  QLabel* status_ = nullptr;
  bool placed_ = false;
  bool exited_ = false;
};

}  // namespace gui
