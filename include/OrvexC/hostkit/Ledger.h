// The balances a host checks after a module's calls: every BSTR the fake
// runtime hands to OrvexC.dll freed exactly once (the ledger sees the
// library's SysFreeString through its import table), and no byte written
// outside a caller's buffer. The ledger may be used from many threads.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace hostkit {

// Routes `module`'s import of `function` from `dll` (names compared without
// case) to `replacement`. Returns the function the entry held before (the
// replacement itself when routed already), or null when not imported.
void* HookImport(HMODULE module, const char* dll, const char* function, void* replacement);

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
  std::string Text() const { return std::string(bytes_.data() + kGuard, strnlen(bytes_.data() + kGuard, size_)); }

 private:
  static constexpr int kGuard = 16;
  static constexpr char kGuardByte = '\xA5';
  int size_;
  std::vector<char> bytes_;
};

}  // namespace hostkit
