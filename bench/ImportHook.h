// Observing what OrvexC.dll asks of the system: an entry of a module's import
// table routed through a function of the benchmark's own, and the count of
// heap allocations made through the imports that allocate.
#pragma once

#include <windows.h>

#include <OrvexC/hostkit/Ledger.h>

namespace bench {

using hostkit::HookImport;

// Counts the heap allocations `module` makes through its imports (the C
// runtime's malloc, calloc, realloc, _strdup; HeapAlloc, HeapReAlloc,
// LocalAlloc, GlobalAlloc; SysAllocString*). Returns how many imports it
// routed. Safe to call once per module.
int CountAllocationsOf(HMODULE module);
// Allocations counted so far (on any thread).
long AllocationCount();

}  // namespace bench
