// Typing into the windows as a user does: keys go where the keyboard focus
// is, and a window is made active before it is typed into.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <initializer_list>

namespace keyboard {

inline QWidget* Focus() {
  QWidget* focus = QApplication::focusWidget();
  if (!focus) {
    ADD_FAILURE() << "no keyboard focus in "
                  << (QApplication::activeModalWidget() ? qPrintable(QApplication::activeModalWidget()->objectName()) : "-")
                  << " active "
                  << (QApplication::activeWindow() ? qPrintable(QApplication::activeWindow()->objectName()) : "-");
    focus = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
  }
  return focus;
}

inline void Keys(const QString& text) {
  for (QChar c : text) QTest::keyClicks(Focus(), QString(c));
}

inline void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(Focus(), key, modifiers);
}

// Cells typed one after the other, each ended with Tab.
inline void TypeCells(std::initializer_list<const char*> cells) {
  for (const char* cell : cells) {
    Keys(QString::fromLatin1(cell));
    Key(Qt::Key_Tab);
  }
}

inline void Activate(QWidget* w) {
  w->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(w));
}

// Keys into a popup menu, which takes the keyboard while it is open.
inline void MenuKeys(QMenu* menu, std::initializer_list<Qt::Key> keys) {
  for (Qt::Key key : keys) QTest::keyClick(menu, key);
}

}  // namespace keyboard
