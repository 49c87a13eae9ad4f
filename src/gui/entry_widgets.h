// What the book list, Book Setup and the index record window share: their
// buttons and fields, Enter as the key that goes on, and two custom widgets.
#pragma once

#include <QListWidget>
#include <QString>
#include <QLineEdit>
#include <QValidator>

class QEvent;
class QPushButton;

namespace gui {

// Enter or Return without modifiers (the keypad's counts).
bool IsEnter(QEvent* event);
QPushButton* Button(QWidget* parent, const char* name, const QString& caption, const QString& tip = {});
QLineEdit* Field(QWidget* parent, const char* name, int maxLength);

// The specific gravity: a number below 10 with up to four decimals.
class GravityValidator final : public QValidator {
 public:
  explicit GravityValidator(QLineEdit* field) : QValidator(field), field_(field) {}
  State validate(QString& input, int&) const override;

 private:
  QLineEdit* field_;
};

// Opens with no entry chosen, and focus alone chooses none, so the first
// arrow key or Home selects book 1 rather than moving past it.
class BookListWidget final : public QListWidget {
 public:
  using QListWidget::QListWidget;

 protected:
  void focusInEvent(QFocusEvent* event) override {
    QListWidget::focusInEvent(event);
    if (selectedItems().isEmpty()) selectionModel()->clearCurrentIndex();
  }
};

}  // namespace gui
