// The fixture of the host-export tests: a fresh fake title per test, and the
// checks every export must pass whatever it did: every reference handed out
// released, the calling thread's module state back where it was (a sentinel
// the fixture installs), and the library's own module state current during
// every runtime call.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "FakeRuntime.h"
#include "LibraryProbe.h"
#include "include/OrvexC.h"

namespace hosttest {

using Calls = std::vector<std::string>;

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The journal since the last Reset.
  const Calls& Journal() const { return rt.journal.Entries(); }
  Calls Methods() const { return rt.journal.Methods(); }
  void ResetJournal() { rt.journal.Clear(); }
  // How often the library freed `text` (a BSTR the fake handed out).
  int TimesFreed(const void* text, std::size_t fromEvent = 0) const;

  fake::Runtime rt;
  orvex::fw::ModuleState sentinel{nullptr};
  orvex::fw::ThreadState* threadState = nullptr;
};

// A caller buffer with guard bytes on both sides: Data() is `size` bytes,
// filled with `fill`, between guards that must stay intact.
class GuardedBuffer {
 public:
  explicit GuardedBuffer(int size, char fill = '\x5A');
  char* Data() { return bytes_.data() + kGuard; }
  int Size() const { return size_; }
  bool GuardsIntact() const;
  std::string Bytes() const { return std::string(bytes_.data() + kGuard, size_); }
  std::string Text() const { return std::string(bytes_.data() + kGuard, strnlen(bytes_.data() + kGuard, size_)); }

 private:
  static constexpr int kGuard = 16;
  static constexpr char kGuardByte = '\xA5';
  int size_;
  std::vector<char> bytes_;
};

}  // namespace hosttest
