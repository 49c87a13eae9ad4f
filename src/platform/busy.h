// The busy pointer shown while a long operation runs to its end.
#pragma once

#include <cstdint>

class QString;
class QWidget;

namespace platform {

class BusyPointer {
 public:
  virtual ~BusyPointer() = default;
  virtual void Begin() = 0;
  // Restores the pointer that was showing before the matching Begin.
  virtual void End() = 0;
};

// Busy for the lifetime of the scope, whatever way it is left.
class BusyScope {
 public:
  explicit BusyScope(BusyPointer& pointer) : pointer_(pointer) { pointer_.Begin(); }
  ~BusyScope() { pointer_.End(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  BusyPointer& pointer_;
};

// A long job's progress in a window that keeps the program painted and can
// stop the job.
class Progress {
 public:
  virtual ~Progress() = default;
  // Shows `done` of `total` under `title`, over `parent`; false once the user
  // asked to stop.
  virtual bool Step(QWidget* parent, const QString& title, std::int64_t done, std::int64_t total) = 0;
  // The job ended, whatever way: the window goes.
  virtual void Finish() = 0;
  // The program is ending: the job running stops at its next step.
  virtual void Stop() = 0;
};

}  // namespace platform
