// What the window tests do to a window as a user would: find a control by
// its object name, click a button; and read a file the program wrote.
#pragma once

#include <gtest/gtest.h>

#include <QLabel>
#include <QString>
#include <QPushButton>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

// Failed checks show texts of the windows as text, not as code units.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace steps {

// The child `name` of `window`; a failure (and null) when there is none.
template <typename T>
T* Find(QWidget* window, const char* name) {
  T* child = window->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

inline void Click(QWidget* window, const char* name) {
  auto* button = window->findChild<QPushButton*>(QString::fromLatin1(name));
  ASSERT_NE(button, nullptr) << name;
  button->click();
}

inline QString Text(QWidget* window, const char* label) { return Find<QLabel>(window, label)->text(); }

// The file's bytes; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace steps
