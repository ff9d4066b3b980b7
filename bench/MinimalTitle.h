// A title runtime of the benchmark's own that costs next to nothing, so that
// a call-frame floor is the hand-written chain and nothing else: one object
// is every interface the call-frame benchmarks reach, each method writes a
// fixed answer (no lookup, no journal, no lock) and references are a plain
// counter. Methods the benchmarks never reach answer E_NOTIMPL.
//
// The steps of the chains hand out the same object. Its answers: title
// location "C:\\Titles\\Intro\\intro.ttl", module name "IntroModule", object
// rectangle (10, 20, 330, 260), surface 640 x 480 at (0, 0), every thread
// running.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <OrvexC/RuntimeInterfaces.h>

namespace bench {

IHostContext* MinimalContext();
// A scope object: it offers IHostScope.
IUnknown* MinimalScope();
// Every reference the runtime handed out has come back.
bool MinimalTitleBalanced();

// The title location is one string made once, so that no call pays for an
// allocation: the floor frees what it is handed with FreeMinimalString, and
// the library's import of SysFreeString is routed to the same function for
// the length of the benchmark (false when it could not be).
void FreeMinimalString(BSTR text);
bool RouteLibraryStrings(HMODULE library);
void RestoreLibraryStrings(HMODULE library);

}  // namespace bench
