// The framework's reference-counted component object.
#pragma once

#include <windows.h>

#include <utility>

#include "frame/Framework.h"

namespace orvex::fw {

// A heap object whose creator holds a reference of its own, apart from the
// references its interfaces hand out: however a caller outside balances its
// AddRef and Release calls, the object lives until the creator has let go
// and the outside count is back at zero, and that count never goes below
// zero. Both live in one atomic word (the outside count times two, plus one
// while the creator holds), so exactly one release sees it reach zero and
// deletes the object. It remembers the module state current when it was
// made, for its interface methods to run in.
class CCmdTarget {
 public:
  CCmdTarget() : m_pModuleState(CurrentModuleState()) {}
  virtual ~CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  ULONG ExternalAddRef() { return Count(InterlockedExchangeAdd(&m_nRefs, kOutside) + kOutside); }
  ULONG ExternalRelease() {
    return Drop([](LONG count) { return count >= kOutside ? count - kOutside : count; });
  }
  // The creator's reference goes; the object goes too unless others hold it.
  void ReleaseCreator() {
    Drop([](LONG count) { return count & ~kCreator; });
  }
  ModuleState* ObjectModuleState() const { return m_pModuleState; }

 private:
  static constexpr LONG kCreator = 1;
  static constexpr LONG kOutside = 2;
  static ULONG Count(LONG count) { return static_cast<ULONG>(count / kOutside + (count & kCreator)); }
  // Moves the count to `next(count)` atomically; deletes the object on the
  // one move that reaches zero.
  template <class Next>
  ULONG Drop(Next next) {
    LONG count = m_nRefs;
    for (;;) {
      LONG seen = InterlockedCompareExchange(&m_nRefs, next(count), count);
      if (seen == count) break;
      count = seen;
    }
    LONG left = next(count);
    if (left == 0 && count != 0) delete this;
    return Count(left);
  }
  ModuleState* m_pModuleState;
  volatile LONG m_nRefs = kCreator;
};

// The creator's reference to a CCmdTarget, let go on scope exit.
template <class T>
class CreatorRef {
 public:
  CreatorRef() = default;
  explicit CreatorRef(T* created) : object_(created) {}
  ~CreatorRef() {
    if (object_) object_->ReleaseCreator();
  }
  CreatorRef(const CreatorRef&) = delete;
  CreatorRef& operator=(const CreatorRef&) = delete;
  // A new heap object, the creator's reference held here.
  static CreatorRef Make() { return CreatorRef(new T); }
  CreatorRef(CreatorRef&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
  CreatorRef& operator=(CreatorRef&& other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  T* operator->() const { return object_; }
  T* get() const { return object_; }

 private:
  T* object_ = nullptr;
};

}  // namespace orvex::fw
