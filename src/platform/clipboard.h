// The system clipboard, as plain text.
#pragma once

#include <QString>

namespace platform {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual QString Text() const = 0;
  virtual void SetText(const QString& text) = 0;
  virtual void Clear() = 0;
};

}  // namespace platform
