// The busy pointer shown while a long operation runs to its end.
#pragma once

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

}  // namespace platform
