// Turns SIGTERM, SIGINT and SIGHUP into a call on the event loop, so the end
// of a desktop session still removes the work files. The handler only writes
// a byte to a socket pair; the notifier does the work outside signal context.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace gui {

class SignalExit : public QObject {
  Q_OBJECT

 public:
  explicit SignalExit(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
  ~SignalExit() override;

 private:
  void Drain();

  std::function<void(int)> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace gui
