#include "modal_window.h"

#include <algorithm>

#include <QAction>
#include <QBoxLayout>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>

namespace gui {

ModalWindow::ModalWindow(platform::Help* help, int helpId, QWidget* parent)
    : QDialog(parent), help_(help), helpId_(helpId) {
  setModal(true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  if (helpId_ > 0) {
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setObjectName(QStringLiteral("HelpKey"));
    connect(f1, &QShortcut::activated, this, &ModalWindow::ShowHelp);
  }
}

QMenuBar* ModalWindow::InstallMenuBar(QBoxLayout* layout) {
  if (!menuBar_) {
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    layout->setMenuBar(menuBar_);
  }
  return menuBar_;
}

QAction* ModalWindow::AddHelpMenu() {
  QAction* help = new QAction(QStringLiteral("&Help"), this);
  help->setObjectName(QStringLiteral("Mnu_Help"));
  connect(help, &QAction::triggered, this, &ModalWindow::ShowHelp);
  if (menuBar_) menuBar_->addAction(help);
  return help;
}

void ModalWindow::ShowHelp() {
  if (helpId_ > 0 && help_) help_->ShowTopic(helpId_);
}

void ModalWindow::showEvent(QShowEvent* event) {
  if (!placed_) {
    placed_ = true;
    PlaceCentredAt(this, WindowTopFor(this));
    // The focus frame shows from the start, not only after a first Tab.
    setAttribute(Qt::WA_KeyboardFocusChange);
  }
  QDialog::showEvent(event);
}

namespace {
constexpr const char* kWindowTop = "tonnageWindowTop";
}  // namespace

void KeepWindowTop(QWidget* mainWindow, int top) { mainWindow->setProperty(kWindowTop, top); }

int WindowTopFor(const QWidget* window) {
  const QWidget* root = window;
  while (root->parentWidget()) root = root->parentWidget();
  return root->property(kWindowTop).toInt();
}

void PlaceCentredAt(QWidget* window, int top) {
  QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const int width = window->frameGeometry().width();
  const int left = area.x() + (area.width() - width) / 2;
  // The main window's top is kept for every window, but never off the screen.
  const int maxTop = area.bottom() - window->frameGeometry().height();
  window->move(left, std::max(area.y(), std::min(top, std::max(area.y(), maxTop))));
}

}  // namespace gui
