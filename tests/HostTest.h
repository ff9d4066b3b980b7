// What every host-export test shares: the library's module-state check (the
// one test-only probe of the library's insides) and the fixture that runs
// each test on a fresh fake title and checks, whatever the export did: every
// reference released, every BSTR freed once, the calling thread's module
// state restored and the library's own current during every runtime call.
#pragma once

#include <gtest/gtest.h>

#include <OrvexC/hostkit/FakeRuntime.h>
#include <OrvexC/hostkit/ImportHook.h>

#include <atomic>
#include <string>
#include <vector>

#include "frame/Framework.h"
#include "include/OrvexC.h"

namespace hosttest {

using Calls = std::vector<std::string>;
using hostkit::GuardedBuffer;
using hostkit::StringLedger;

// The calling thread's framework state inside OrvexC.dll (found by its tag
// among the thread's TLS slots); null before the thread's first export call.
orvex::fw::ThreadState* ThreadState();

// Installs a sentinel as the calling thread's module state for its lifetime
// and watches `runtime`'s calls (from any thread) for the sentinel or none.
class ModuleStateCheck {
 public:
  explicit ModuleStateCheck(fake::Runtime& runtime);
  ~ModuleStateCheck();
  // "module state not restored", "a runtime call ran outside the library's module state"
  std::vector<std::string> Faults() const;

 private:
  orvex::fw::ModuleState sentinel_;
  orvex::fw::ThreadState* state_;
  std::atomic<int> outside_{0};
};

// The bytes of a file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

// A file of this process in the temporary folder: "<temp>\<name>-<process id>.<extension>".
// A program that runs twice at once (beside each edition of the library)
// never meets its other run's file.
std::string TempFile(const std::string& name, const std::string& extension);

// The names, without ".mnu", of the menu scripts in `dir`.
std::vector<std::string> MenuScripts(const std::string& dir);

// Every balance fault after a run: references, release order, BSTRs, module state.
std::vector<std::string> BalanceFaults(const fake::Runtime& rt, const ModuleStateCheck& check,
                                       bool releaseOrder = true);

// OrvexC.dll, loaded by every test program.
inline HMODULE Library() { return GetModuleHandleA("OrvexC.dll"); }

// Menus OrvexC.dll has made with CreateMenu, its only menu maker, since the
// first call of this function.
int MenusMade();

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override { StringLedger::Clear(); }
  void TearDown() override;
  // The journal since the last Reset.
  const Calls& Journal() const { return rt.journal.Entries(); }
  void ResetJournal() { rt.journal.Clear(); }

  fake::Runtime rt;
  ModuleStateCheck check{rt};
  bool releaseOrder = true;  // the last obtained released first
};

}  // namespace hosttest
