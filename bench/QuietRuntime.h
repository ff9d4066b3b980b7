// A title runtime whose methods do almost nothing: reference counting is a
// no-op (every object lives for the whole run), each method writes its fixed
// answer and returns 0. The benchmarks measure what the library adds on top
// of it. Defined in its own translation unit so that neither the library's
// calls nor the floors' hand-written ones can be devirtualised or inlined.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "HostInterfaces.h"

namespace bench {

// The title's location, handed out as a fresh BSTR by every call (the
// runtime's own cost, the same for the library and its floor).
constexpr const wchar_t* kTitleLocation = L"C:\\Titles\\Intro\\intro.ttl";
// The name every node reports (node 9).
constexpr const char* kModuleName = "IntroModule";
// The rectangle every object reports (object 11).
constexpr RECT kObjectRect = {10, 20, 330, 260};

// The context a module is given, and everything reachable from it.
IHostContext* MakeQuietContext();
// A scope object (it offers IHostScope).
IUnknown* QuietScope();
// The file name the resources deliver for `name`: `directory` + name.
void SetResourceDirectory(const std::string& directory);

}  // namespace bench
