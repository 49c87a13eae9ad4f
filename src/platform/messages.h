// Message boxes and questions. Windows describe what to ask; the platform
// shows it and gives back the button that was pressed.
#pragma once

#include <QString>

#include <vector>

class QWidget;

namespace platform {

// Save and Discard ("Don't Save") answer the question about unsaved data.
enum class Button { Ok, Cancel, Yes, No, Save, Discard };
enum class Icon { None, Information, Warning, Critical, Question };

struct Message {
  QString title;
  QString text;
  std::vector<Button> buttons{Button::Ok};
  Icon icon = Icon::None;
  Button defaultButton = Button::Ok;
};

class Messages {
 public:
  virtual ~Messages() = default;
  // Shows `message` modally over `parent`; closing the box counts as its
  // Cancel or No button when it has one, otherwise as its default.
  virtual Button Ask(QWidget* parent, const Message& message) = 0;
};

// Shorthand for a box with OK only.
inline void Tell(Messages& messages, QWidget* parent, const QString& title, const QString& text, Icon icon) {
  messages.Ask(parent, Message{title, text, {Button::Ok}, icon, Button::Ok});
}

}  // namespace platform
