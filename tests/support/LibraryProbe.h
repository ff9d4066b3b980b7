// What a test can observe of OrvexC.dll from outside: the calling thread's
// framework state (found by its tag among the thread's TLS slots) and the
// library's calls of SysFreeString (through its import table).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "frame/Framework.h"

namespace probe {

// The calling thread's framework thread state inside OrvexC.dll, or null
// when the thread has not called the library yet.
orvex::fw::ThreadState* FindThreadState();
// The module state current on the calling thread (null if none).
orvex::fw::ModuleState* CurrentModuleState();
// Forget the cached TLS slot (after the library was unloaded).
void ResetThreadStateSlot();

// Routes `module`'s import of `function` from `dll` (names compared without
// case) to `replacement`. Returns the function the entry held before (the
// replacement itself when routed already), or null when the module does not
// import it.
void* HookImport(HMODULE module, const char* dll, const char* function, void* replacement);
// Routes OrvexC.dll's imported SysFreeString through a recorder. Returns
// false if the import could not be found. Safe to call repeatedly.
bool HookSysFreeString(HMODULE library);
// The life of the BSTRs that cross the library: the fake runtime notes each
// one it hands out, the hook each one the library frees, in one sequence.
struct StringEvent {
  bool handed;  // true: handed to the library; false: freed by it
  const void* text;
};
std::vector<StringEvent>& StringEvents();
void NoteHanded(const void* text);
// Faults in the sequence: a handed string freed twice, or a
// handed string not freed before its address came back. Empty when sound.
std::vector<std::string> StringFaults();
// Handed strings that the library has not freed yet.
int OutstandingStrings();

}  // namespace probe
