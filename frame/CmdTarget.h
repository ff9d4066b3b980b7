// The framework's reference-counted component object.
#pragma once

#include <windows.h>

#include "frame/Framework.h"

namespace orvex::fw {

// A heap object whose creator holds a reference of its own, apart from the
// count that its interfaces hand out: however a caller outside balances its
// AddRef and Release calls, the object lives until the creator has let go
// and the outside count is back at zero, and that count never goes below
// zero. It remembers the module state current when it was made, for its
// interface methods to run in.
class CCmdTarget {
 public:
  CCmdTarget() : moduleState_(CurrentModuleState()) {}
  virtual ~CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  ULONG ExternalAddRef() { return static_cast<ULONG>(InterlockedIncrement(&external_)) + Creator(); }
  ULONG ExternalRelease() {
    LONG count = external_;
    while (count > 0 && InterlockedCompareExchange(&external_, count - 1, count) != count) count = external_;
    LONG left = count > 0 ? count - 1 : 0;
    if (left == 0 && !creatorHolds_) delete this;
    return static_cast<ULONG>(left) + (creatorHolds_ ? 1 : 0);
  }
  // The creator's reference goes; the object goes too unless others hold it.
  void ReleaseCreator() {
    creatorHolds_ = false;
    if (external_ == 0) delete this;
  }
  ModuleState* ObjectModuleState() const { return moduleState_; }

 private:
  ULONG Creator() const { return creatorHolds_ ? 1 : 0; }
  ModuleState* moduleState_;
  volatile LONG external_ = 0;
  bool creatorHolds_ = true;
};

// The creator's reference to a CCmdTarget, let go on scope exit.
template <class T>
class CreatorRef {
 public:
  explicit CreatorRef(T* object) : object_(object) {}
  ~CreatorRef() {
    if (object_) object_->ReleaseCreator();
  }
  CreatorRef(const CreatorRef&) = delete;
  CreatorRef& operator=(const CreatorRef&) = delete;
  T* operator->() const { return object_; }
  T* get() const { return object_; }

 private:
  T* object_;
};

}  // namespace orvex::fw
