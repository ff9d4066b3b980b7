// OrvexCHostKit.dll: the host kit for C tests and for compilers that cannot
// use the C++ kit (OrvexC/hostkit.h). Each export is a thin call of the C++
// kit; none lets an exception out.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#define ORVEXC_HOSTKIT_API
#include "OrvexC/hostkit.h"
#include "OrvexC/hostkit/FakeRuntime.h"
#include "OrvexC/hostkit/Journal.h"
#include "OrvexC/hostkit/MenuTree.h"
#include "OrvexC/hostkit/TitleFolder.h"

// The C handle: a title and the text it last handed out.
struct HostKitTitle {
  fake::Runtime runtime;
  fake::ExportJournal exports;
  std::string text;

  const char* Keep(std::string value) {
    text = std::move(value);
    return text.c_str();
  }
};

namespace {

int g_checks = 0;
int g_failures = 0;

// Runs `body` for a live title; `refused` when the title is null or the kit throws.
template <class R, class F>
R Guarded(HostKitTitle* title, R refused, F body) {
  if (!title) return refused;
  try {
    return body(*title);
  } catch (...) {
    return refused;
  }
}

std::string Joined(const std::vector<std::string>& lines, const char* separator) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : separator) + line;
  return text;
}

// Scripts `method` ("app.GetTitlePath") of its object: `script` picks the table.
template <class V>
int Script(HostKitTitle* title, const char* method, fake::ByMethod<V> fake::Base::*script, V value) {
  return Guarded(title, 0, [&](HostKitTitle& t) {
    if (!method) return 0;
    std::string text = method;
    size_t dot = text.rfind('.');
    fake::Base* object = dot == std::string::npos ? nullptr : t.runtime.Find(text.substr(0, dot));
    if (!object) return 0;
    (object->*script)[text.substr(dot + 1)] = value;  // an unknown method throws: 0
    return 1;
  });
}

}  // namespace

extern "C" {

HostKitTitle* __cdecl HostKit_NewTitle(void) {
  try {
    hostkit::StringLedger::Clear();
    return new HostKitTitle();  // the C caller owns it until HostKit_FreeTitle
  } catch (...) {
    return nullptr;
  }
}

void __cdecl HostKit_FreeTitle(HostKitTitle* title) { delete title; }

const char* __cdecl HostKit_Describe(HostKitTitle* title, const char* description) {
  return Guarded(title, "", [&](HostKitTitle& t) {
    return t.Keep(description ? hostkit::DescribeTitle(t.runtime, description) : "no description");
  });
}

const char* __cdecl HostKit_LoadTitleFolder(HostKitTitle* title, const char* folder) {
  return Guarded(title, "", [&](HostKitTitle& t) {
    return t.Keep(folder ? hostkit::LoadTitleFolder(t.runtime, folder) : "no title folder");
  });
}

void __cdecl HostKit_SetFrameWindow(HostKitTitle* title, HWND window) {
  if (title) title->runtime.window.handle = window;
}

IHostContext* __cdecl HostKit_Context(HostKitTitle* title) {
  return Guarded(title, static_cast<IHostContext*>(nullptr),
                 [](HostKitTitle& t) -> IHostContext* { return t.runtime.ctx(); });
}

IHostContext* __cdecl HostKit_ThreadContext(HostKitTitle* title, const char* thread) {
  return Guarded(title, static_cast<IHostContext*>(nullptr), [&](HostKitTitle& t) -> IHostContext* {
    fake::FakeThread* found = fake::FindByName(t.runtime.app.threads, thread);
    return found ? found->context : nullptr;
  });
}

int __cdecl HostKit_CallEntry(HostKitTitle* title, const char* module, const char* entry, int* result) {
  return Guarded(title, 0, [&](HostKitTitle& t) {
    HMODULE loaded = module ? LoadLibraryA(module) : nullptr;
    auto call = loaded && entry ? reinterpret_cast<int(__cdecl*)(IHostContext*)>(
                                      reinterpret_cast<void*>(GetProcAddress(loaded, entry)))
                                : nullptr;
    if (!call) {
      std::printf("%s %s: %s\n", module ? module : "(null)", entry ? entry : "(null)",
                  loaded ? "no such entry" : "the module does not load");
      std::fflush(stdout);
      return 0;
    }
    hostkit::StringLedger::Watch();
    int answer = call(t.runtime.ctx());
    if (result) *result = answer;
    return 1;
  });
}

int __cdecl HostKit_SetStatus(HostKitTitle* title, const char* method, long status) {
  return Script<HRESULT>(title, method, &fake::Base::status, status);
}

int __cdecl HostKit_SetNullOut(HostKitTitle* title, const char* method, int nullOut) {
  return Script<bool>(title, method, &fake::Base::nullOut, nullOut != 0);
}

int __cdecl HostKit_SetOnlyCall(HostKitTitle* title, const char* method, int call) {
  return Script<int>(title, method, &fake::Base::onlyCall, call);
}

int __cdecl HostKit_JournalCount(HostKitTitle* title) {
  return Guarded(title, 0,
                 [](HostKitTitle& t) { return static_cast<int>(t.runtime.journal.Entries().size()); });
}

const char* __cdecl HostKit_JournalEntry(HostKitTitle* title, int index) {
  return Guarded(title, static_cast<const char*>(nullptr), [&](HostKitTitle& t) -> const char* {
    const auto& entries = t.runtime.journal.Entries();
    return index >= 0 && index < static_cast<int>(entries.size()) ? entries[index].c_str() : nullptr;
  });
}

int __cdecl HostKit_JournalFind(HostKitTitle* title, const char* prefix, int from) {
  return Guarded(title, -1, [&](HostKitTitle& t) {
    const auto& entries = t.runtime.journal.Entries();
    for (int i = from < 0 ? 0 : from; prefix && i < static_cast<int>(entries.size()); ++i)
      if (entries[i].compare(0, std::strlen(prefix), prefix) == 0) return i;
    return -1;
  });
}

const char* __cdecl HostKit_JournalText(HostKitTitle* title) {
  return Guarded(title, "", [](HostKitTitle& t) { return t.Keep(t.runtime.journal.Text()); });
}

void __cdecl HostKit_ClearJournal(HostKitTitle* title) {
  if (title) title->runtime.journal.Clear();
}

const char* __cdecl HostKit_ExportsText(HostKitTitle* title) {
  return Guarded(title, "", [](HostKitTitle& t) { return t.Keep(t.exports.Text()); });
}

const char* __cdecl HostKit_UnbalancedObjects(HostKitTitle* title) {
  return Guarded(title, "",
                 [](HostKitTitle& t) { return t.Keep(Joined(t.runtime.UnbalancedObjects(), " ")); });
}

const char* __cdecl HostKit_StringFaults(HostKitTitle* title) {
  return Guarded(title, "", [](HostKitTitle& t) {
    std::vector<std::string> faults = hostkit::StringLedger::Faults();
    if (int outstanding = hostkit::StringLedger::Outstanding())
      faults.push_back(std::to_string(outstanding) + " BSTR(s) handed to OrvexC.dll not freed");
    return t.Keep(Joined(faults, "\n"));
  });
}

const char* __cdecl HostKit_StorageLocation(HostKitTitle* title, const char* storage) {
  return Guarded(title, static_cast<const char*>(nullptr), [&](HostKitTitle& t) -> const char* {
    fake::FakeStorage* found = fake::FindByName(t.runtime.resources.storages, storage);
    return found ? t.Keep(hostkit::Narrowed(found->location)) : nullptr;
  });
}

const char* __cdecl HostKit_DescribeMenu(HostKitTitle* title, HMENU menu) {
  return Guarded(title, "", [&](HostKitTitle& t) { return t.Keep(hostkit::DescribeMenu(menu)); });
}

int __cdecl HostKit_Check(int ok, const char* what) {
  ++g_checks;
  if (!ok) ++g_failures;
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what ? what : "");
  std::fflush(stdout);
  return ok;
}

int __cdecl HostKit_Summary(void) {
  if (g_failures)
    std::printf("FAILED: %d of %d checks\n", g_failures, g_checks);
  else
    std::printf("passed: %d checks\n", g_checks);
  std::fflush(stdout);
  return g_failures ? 1 : 0;
}

}  // extern "C"
