// Watching what a module asks of the system: an entry of its import table
// routed through a function of the host's own. The host kit's BSTR ledger,
// the out-of-memory tests and the benchmark all route through HookImport.
#pragma once

#include <windows.h>

#include <cstddef>

namespace hostkit {

// Routes `module`'s import of `function` from `dll` (names compared without
// case) to `replacement`. Returns the function the entry held before (the
// replacement itself when routed already), or null when not imported.
void* HookImport(HMODULE module, const char* dll, const char* function, void* replacement);

// HookImport with the function's type: `*original` keeps the function called
// before (routing again leaves it as it is). False when not imported.
template <class F>
bool RouteImport(HMODULE module, const char* dll, const char* function, F hook, F* original) {
  void* before = HookImport(module, dll, function, reinterpret_cast<void*>(hook));
  if (before && before != reinterpret_cast<void*>(hook)) *original = reinterpret_cast<F>(before);
  return before != nullptr;
}

// The heap allocations a module makes through its imports, on any thread:
// the C runtime's malloc, calloc, realloc and _strdup; HeapAlloc,
// HeapReAlloc, LocalAlloc, GlobalAlloc; SysAllocString*. For out-of-memory
// tests one of the C runtime's malloc, calloc and realloc calls can be made
// to fail, and the blocks they give out followed until freed.
class AllocationWatch {
 public:
  // Routes `module`'s allocating imports (and free) through the watch; safe
  // to repeat. Returns how many imports it routes.
  static int Watch(HMODULE module);
  // Allocations of every kind so far.
  static long Count();
  // The C runtime's malloc, calloc and realloc calls so far (failed ones included).
  static long RuntimeCalls();
  // The call numbered `n` by RuntimeCalls fails with null; -1: none fails.
  static void FailAt(long n);
  // Starts following the blocks of the C runtime's allocators (and forgets
  // those followed before); LiveBlocks() counts those not freed since.
  static void FollowBlocks(bool follow);
  static std::size_t LiveBlocks();
  // Sets the counts back to 0.
  static void Reset();
};

}  // namespace hostkit
