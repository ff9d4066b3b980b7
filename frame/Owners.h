// The two owners of everything the library acquires outside a Chain: one
// reference to one interface, and a scope guard for any other release.
#pragma once

#include <unknwn.h>

#include <cstddef>
#include <utility>

namespace orvex {

// One reference to one interface, released once when the owner goes.
template <class I>
class ComRef {
 public:
  ComRef() noexcept = default;
  explicit ComRef(I* adopted) noexcept : p_(adopted) {}  // takes over the caller's reference
  ~ComRef() { reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ComRef(ComRef&& other) noexcept : p_(other.detach()) {}
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = other.detach();
    }
    return *this;
  }

  // The out-parameter for a call that hands over a reference; whatever was
  // held before is released first.
  I** put() noexcept {
    reset();
    return &p_;
  }
  // Adds a reference of its own to `borrowed`.
  void copy(I* borrowed) noexcept {
    if (borrowed) borrowed->AddRef();
    reset();
    p_ = borrowed;
  }
  // Gives the reference up without releasing it.
  I* detach() noexcept { return std::exchange(p_, nullptr); }
  void reset() noexcept {
    if (I* held = detach()) held->Release();
  }

  I* get() const noexcept { return p_; }
  I* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  friend bool operator==(const ComRef& r, std::nullptr_t) noexcept { return !r.p_; }
  friend bool operator!=(const ComRef& r, std::nullptr_t) noexcept { return r.p_ != nullptr; }

 private:
  I* p_ = nullptr;
};

// Runs `release` when the scope ends, unless dismissed.
template <class Release>
class ScopeGuard {
 public:
  explicit ScopeGuard(Release release) noexcept : release_(std::move(release)) {}
  ~ScopeGuard() {
    if (armed_) release_();
  }
  ScopeGuard(const ScopeGuard&) = delete;
  ScopeGuard& operator=(const ScopeGuard&) = delete;
  void Dismiss() noexcept { armed_ = false; }

 private:
  Release release_;
  bool armed_ = true;
};

// Fails fast: a state the library's own code can never reach.
[[noreturn]] inline void Unreachable() noexcept { __builtin_trap(); }

}  // namespace orvex
