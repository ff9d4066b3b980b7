// The balances a host checks after a module's calls: every BSTR the fake
// runtime hands to OrvexC.dll freed exactly once (the ledger sees the
// library's SysFreeString through its import table), every reference given
// back once and the last obtained first (the reference audit), and no byte
// written outside a caller's buffer. The ledger may be used from many threads.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace hostkit {

// Narrow text of the ANSI code page as the runtime's wide text: converted by
// characters, so a double-byte character becomes one wide character.
inline std::wstring Widened(const char* text) {
  if (!text || !*text) return std::wstring();
  int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
  if (length > 1) MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
  return wide;
}

// The runtime's wide text as narrow text of the ANSI code page, for a
// host's own output.
inline std::string Narrowed(const std::wstring& wide) {
  int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(length > 0 ? length - 1 : 0, '\0');
  if (length > 1) WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &narrow[0], length, nullptr, nullptr);
  return narrow;
}

// The life of the BSTRs that cross the library, in one sequence: the fake
// notes each one it hands out, the hook each one the library frees.
class StringLedger {
 public:
  // Starts watching OrvexC.dll's frees (loaded already). Safe to repeat.
  static bool Watch();
  static void Clear();
  static void NoteHanded(const void* text);
  static std::size_t Events();
  // How often the library freed `text` since event number `from`.
  static int TimesFreed(const void* text, std::size_t from = 0);
  // A string freed twice, or handed again before being freed; empty when sound.
  static std::vector<std::string> Faults();
  // Handed strings that the library has not freed yet.
  static int Outstanding();
};

// The references the library holds, in the order it obtained them, and the
// BSTRs handed to it with a failing status. The fakes note each reference
// they hand out and each release; the caller of the fakes holds the lock.
class ReferenceAudit {
 public:
  ReferenceAudit() = default;
  ReferenceAudit(const ReferenceAudit&) = delete;
  ReferenceAudit& operator=(const ReferenceAudit&) = delete;
  ~ReferenceAudit();

  // BSTRs handed out with a failing status: not the library's to free; the
  // audit frees them itself at the end. Each comes with where it was handed
  // out in the ledger's events: only frees after that point are frees of it
  // (BSTR addresses are reused).
  struct FailedString {
    BSTR text;
    std::size_t handedAt;
  };
  std::vector<FailedString> failedStrings;

  // The objects the library holds a reference to, in the order obtained. A
  // release that is not of the most recently obtained one, or of an object
  // the library holds no reference to, is noted in `releaseFaults`.
  std::vector<std::string> held;
  std::vector<std::string> releaseFaults;
  // Every "object.Method" that handed the library a reference or a BSTR.
  std::set<std::string> handingMethods;
  void NoteObtained(const std::string& handedBy, const std::string& object);
  void NoteReleased(const std::string& object);
};

// A caller buffer with guard bytes on both sides: Data() is `size` bytes,
// filled with `fill`, between guards that must stay intact.
class GuardedBuffer {
 public:
  explicit GuardedBuffer(int size, char fill = '\x5A')
      : size_(size < 0 ? 0 : size), bytes_(size_ + 2 * kGuard, kGuardByte) {
    std::memset(bytes_.data() + kGuard, fill, size_);
  }
  char* Data() { return bytes_.data() + kGuard; }
  int Size() const { return size_; }
  bool GuardsIntact() const {
    for (int i = 0; i < kGuard; ++i)
      if (bytes_[i] != kGuardByte || bytes_[kGuard + size_ + i] != kGuardByte) return false;
    return true;
  }
  std::string Bytes() const { return std::string(bytes_.data() + kGuard, size_); }
  std::string Text() const {
    return std::string(bytes_.data() + kGuard, strnlen(bytes_.data() + kGuard, size_));
  }

 private:
  static constexpr int kGuard = 16;
  static constexpr char kGuardByte = '\xA5';
  int size_;
  std::vector<char> bytes_;
};

}  // namespace hostkit
