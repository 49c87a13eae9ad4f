// The base of every window but the main one: modal, centred horizontally with
// its top at the main window's top, F1 and an optional "Help" menu opening the
// window's help topic.
#pragma once

#include <QDialog>

#include "context.h"

class QAction;
class QBoxLayout;
class QMenuBar;

namespace gui {

class ModalWindow : public QDialog {
  Q_OBJECT

 public:
  // helpId 0: the window has no help topic (and needs no help).
  ModalWindow(platform::Help* help, int helpId, QWidget* parent);

  int helpId() const { return helpId_; }

 protected:
  // A menu bar above the window's controls in `layout`.
  QMenuBar* InstallMenuBar(QBoxLayout* layout);
  // The "Help" item (object name Mnu_Help) on the window's menu bar.
  QAction* AddHelpMenu();
  void ShowHelp();

  void showEvent(QShowEvent* event) override;

 private:
  platform::Help* help_;
  int helpId_;
  QMenuBar* menuBar_ = nullptr;
  bool placed_ = false;
};

// Left edge centring `window` on its screen, top at `top`.
void PlaceCentredAt(QWidget* window, int top);
// The main window keeps the top it was placed at; the windows over it, however
// deep, take it as theirs (0 for a window over none).
void KeepWindowTop(QWidget* mainWindow, int top);
int WindowTopFor(const QWidget* window);

}  // namespace gui
