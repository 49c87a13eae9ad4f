// The program's help: a topic by its context id, the contents, and quit.
#pragma once

namespace platform {

class Help {
 public:
  virtual ~Help() = default;
  virtual void ShowTopic(int contextId) = 0;
  virtual void ShowContents() = 0;
  // The program no longer needs help: its window goes.
  virtual void Quit() = 0;
};

}  // namespace platform
