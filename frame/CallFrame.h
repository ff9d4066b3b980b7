// The host call frame: how every host export enters the library, holds the
// runtime interfaces it obtains, and turns the runtime's answers into its C
// result. An export reads as its chain: enter, check, clear, steps, action,
// convert; the releases and the module-state restore happen on scope exit.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "frame/HostInterfaces.h"
#include "frame/Library.h"
#include "frame/Owners.h"
#include "frame/Text.h"
#include "frame/Trace.h"

namespace orvex {

// ---- Entering an export ---------------------------------------------------

// Runs an export's body with the library's module state current on the
// calling thread; the previous one is back on every path. Nothing thrown in
// the body leaves the export: it then returns `failure`. The export's trace
// (ORVEX_EXPORT, frame/Trace.h) notes the result.
// Flattened: everything the body calls is compiled into it (except what is
// marked noinline, such as a thread's first-call path), so that an export
// costs its runtime calls and little else; a call of the library's own
// between the export and the runtime measured about 3 ns.
template <class Result, class Body>
[[gnu::flatten]] Result HostExport(Result failure, Body&& body) noexcept {
  fw::MaintainModuleState guard(LibraryModuleState());
  try {
    return ORVEX_RESULT(body());
  } catch (...) {
    return ORVEX_RESULT(failure);
  }
}

template <class Body>
[[gnu::flatten]] void HostExport(Body&& body) noexcept {
  fw::MaintainModuleState guard(LibraryModuleState());
  try {
    body();
  } catch (...) {
  }
}

// ---- Holding interfaces ---------------------------------------------------

// The interfaces one export obtains, each with the one reference the runtime
// gave it. They are released exactly once, the last obtained first, when the
// chain goes out of scope.
class Chain {
 public:
  Chain() noexcept = default;
  // Written out rather than looped: once an export is inlined, the compiler
  // knows the chain's length on each path, and the releases become straight
  // calls on pointers it can keep in registers.
  ~Chain() {
    static_assert(kCapacity == 8, "one case per slot");
    switch (count_) {
      case 8: held_[7]->Release(); [[fallthrough]];
      case 7: held_[6]->Release(); [[fallthrough]];
      case 6: held_[5]->Release(); [[fallthrough]];
      case 5: held_[4]->Release(); [[fallthrough]];
      case 4: held_[3]->Release(); [[fallthrough]];
      case 3: held_[2]->Release(); [[fallthrough]];
      case 2: held_[1]->Release(); [[fallthrough]];
      case 1: held_[0]->Release(); [[fallthrough]];
      default: break;
    }
  }
  Chain(const Chain&) = delete;
  Chain& operator=(const Chain&) = delete;

  // A step tested by its status: it succeeded when the status is 0 and an
  // interface came back. A failed step's pointer is not the library's to
  // release, so `*slot` is cleared.
  template <class I>
  bool Take(HRESULT status, I** slot) noexcept {
    if (status != S_OK || !*slot) {
      *slot = nullptr;
      return false;
    }
    Hold(*slot);
    return true;
  }

  // A step judged only by whether an interface came back.
  template <class I>
  bool TakeIfPresent(I** slot) noexcept {
    if (!*slot) return false;
    Hold(*slot);
    return true;
  }

 private:
  static constexpr int kCapacity = 8;  // the longest chain holds six
  void Hold(IUnknown* obtained) noexcept {
    if (count_ == kCapacity) Unreachable();  // no chain of the library is that long
    held_[count_++] = obtained;
  }

  IUnknown* held_[kCapacity];  // only the first count_ are ever read
  int count_ = 0;
};

// ---- Result kinds ---------------------------------------------------------

// Status flag: 1 when the action answered status 0, else 0.
inline BOOL StatusFlag(HRESULT status) noexcept { return status == S_OK ? TRUE : FALSE; }

// A caller's text buffer and its size in bytes.
class CallerText {
 public:
  CallerText(char* buffer, int length) noexcept : buffer_(buffer), length_(length) {}

  // The argument check and the clearing of the first byte: false when the
  // buffer is null. A length of 0 or less is never written to.
  bool Open() noexcept {
    if (!buffer_) return false;
    trace::NoteText(buffer_, length_);
    if (length_ > 0) buffer_[0] = '\0';
    return true;
  }
  // The copy rule.
  void Put(const char* text) noexcept { CopyRule(buffer_, length_, text); }
  // The copy rule for a wide text, narrowed to the ANSI code page.
  void PutNarrowed(const wchar_t* text) { CopyRuleNarrowed(buffer_, length_, text); }
  // A terminator at the buffer's last byte.
  void Terminate() noexcept {
    if (length_ > 0) buffer_[length_ - 1] = '\0';
  }

 private:
  char* buffer_;
  int length_;
};

// A wide string (BSTR) the runtime hands out. It belongs to the library only
// once the call that produced it succeeded; then it is freed exactly once.
class WideText {
 public:
  WideText() noexcept = default;
  explicit WideText(BSTR adopted) noexcept : text_(adopted) {}
  ~WideText() { Free(); }
  WideText(const WideText&) = delete;
  WideText& operator=(const WideText&) = delete;

  // The out-parameter for the next call; a string still held is freed first.
  BSTR* Out() noexcept {
    Free();
    return &text_;
  }
  // Keeps the string when `status` is 0; otherwise forgets it unfreed.
  bool Accept(HRESULT status) noexcept {
    if (status == S_OK) return true;
    text_ = nullptr;
    return false;
  }
  const wchar_t* get() const noexcept { return text_; }
  BSTR bstr() const noexcept { return text_; }

 private:
  void Free() noexcept {
    if (text_) SysFreeString(std::exchange(text_, nullptr));
  }
  BSTR text_ = nullptr;
};

// A library buffer of `Capacity` + 1 bytes that a runtime method fills with a
// narrow string (buffer text). It is read up to its first zero byte, and never
// past its last one.
template <int Capacity>
class NodeText {
 public:
  static constexpr int kCapacity = Capacity;
  char* data() noexcept { return text_; }
  const char* Text() noexcept {
    text_[Capacity] = '\0';
    return text_;
  }

 private:
  char text_[Capacity + 1] = {};
};
using NameText = NodeText<32>;
using AddressText = NodeText<260>;

// Two caller variables of an out-values export. Once both pointers are known
// to be valid they are written when this goes out of scope, after the
// chain's releases: the values read, or 0 after any failure.
class OutPair {
 public:
  OutPair(int* first, int* second) noexcept : first_(first), second_(second) {
    if (Open()) trace::NoteOut(first_), trace::NoteOut(second_);
  }
  ~OutPair() {
    if (Open()) {
      *first_ = first;
      *second_ = second;
    }
  }
  OutPair(const OutPair&) = delete;
  OutPair& operator=(const OutPair&) = delete;

  bool Open() const noexcept { return first_ && second_; }

  int first = 0;
  int second = 0;

 private:
  int* first_;
  int* second_;
};

}  // namespace orvex
