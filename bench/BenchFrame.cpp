// The host call frame: five exports a module calls from its frame loop and
// event handlers, each against the same runtime calls made by hand through
// the vtables, with the same result left in the caller's variables (the copy
// rule included: a text shorter than the caller's buffer is zero-filled).
// The runtime is the benchmark's minimal one, so the difference of the two is
// what the library's frame adds.
#include <windows.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "Harness.h"
#include "MinimalTitle.h"
#include <OrvexC/hostkit/ImportHook.h>
#include "OrvexC.h"
#include "frame/Owners.h"

namespace bench {
namespace {

// The time an export may add to its floor.
constexpr double kAddedGoal = 1.5;
// Short samples (tens of microseconds, hundreds of ticks of the clock), many
// of them, each next to its pair: on a shared machine most pairs then fall
// between two preemptions and see the same load, and the median is theirs.
constexpr int kIterations = 2000;
constexpr int kRepetitions = 601;
// The five comparisons run in rounds, one after another; each export's row is
// its quietest round, the one where the library added the least: another
// program's work only ever adds time, and seldom to both sides of a pair alike.
constexpr int kRounds = 3;
constexpr int kExports = 5;
constexpr const char* kExportNames[kExports] = {"GetTitleLocation", "GetObjectX", "IsThreadRunning",
                                                "MoveDrawingSurface", "GetModuleName"};
constexpr const char* kThreadName = "Narrator";
constexpr const char* kObjectName = "StartButton";

volatile int g_sink;  // keeps results the compiler would otherwise drop

// The floors: what any implementation must call and write, in functions of
// their own, as an export is.

// The copy rule (strncpy semantics): the text copied up to its terminator,
// the rest zero-filled as one block; the fastest way to the same bytes for
// the short texts of names (three calls of the C runtime, strnlen, memcpy
// and memset, cost more).
void CopyText(char* buffer, int length, const char* text) {
  int size = 0;
  while (size < length && (buffer[size] = text[size]) != '\0') ++size;
  if (size < length) std::memset(buffer + size, 0, length - size);
}

__attribute__((noinline)) void TitleLocationFloor(IHostContext* context, char* buffer, int length) {
  buffer[0] = '\0';  // the caller's text is empty until one is copied
  IHostRuntime* runtime = nullptr;
  if (context->GetRuntime(&runtime) != S_OK || !runtime) return;
  IHostApplication* app = nullptr;
  if (runtime->GetApplication(&app) == S_OK && app) {
    BSTR text = nullptr;
    if (app->GetTitleLocation(&text) == S_OK) {
      int written = WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, length, nullptr, nullptr);
      if (written > 0) std::memset(buffer + written, 0, length - written);
      FreeMinimalString(text);
    }
    app->Release();
  }
  runtime->Release();
}

__attribute__((noinline)) int ObjectXFloor(IHostContext* context, IUnknown* scope, const char* name) {
  HostScopeKey key = nullptr;
  IHostScope* hostScope = nullptr;
  if (scope->QueryInterface(IID_IHostScope, reinterpret_cast<void**>(&hostScope)) == S_OK && hostScope) {
    hostScope->GetScopeKey(&key);
    hostScope->Release();
  }
  IHostObject* object = nullptr;
  int x = 0;
  if (context->FindObject(key, name, &object) == S_OK && object) {
    RECT rect = {0, 0, 0, 0};
    object->GetRect(&rect);
    x = rect.left;
    object->Release();
  }
  return x;
}

__attribute__((noinline)) BOOL ThreadRunningFloor(IHostContext* context, const char* name) {
  BOOL running = FALSE;
  IHostRuntime* runtime = nullptr;
  if (context->GetRuntime(&runtime) != S_OK || !runtime) return FALSE;
  IHostApplication* app = nullptr;
  if (runtime->GetApplication(&app) == S_OK && app) {
    IHostThread* thread = nullptr;
    if (app->FindThread(name, &thread) == S_OK && thread) {
      running = thread->IsRunning() == S_OK;
      thread->Release();
    }
    app->Release();
  }
  runtime->Release();
  return running;
}

__attribute__((noinline)) void MoveSurfaceFloor(IHostContext* context, int x, int y) {
  IHostSurface* surface = nullptr;
  if (context->GetSurface(&surface) != S_OK || !surface) return;
  int oldX = 0, oldY = 0, width = 0, height = 0;
  surface->GetGeometry(&oldX, &oldY, &width, &height);
  surface->SetGeometry(x, y, width, height);
  surface->Release();
}

__attribute__((noinline)) void ModuleNameFloor(IHostContext* context, char* buffer, int length) {
  buffer[0] = '\0';
  IHostModule* module = nullptr;
  if (context->GetModule(&module) != S_OK || !module) return;
  IHostNode* node = nullptr;
  if (module->GetNode(&node) == S_OK && node) {
    alignas(
        8) char name[33] = {};  // aligned and zeroed first, as the library's buffer (both measured faster)
    node->GetName(32, name);
    name[32] = '\0';
    CopyText(buffer, length, name);
    node->Release();
  }
  module->Release();
}

// A call that does nothing, made through a pointer: what any call costs.
__attribute__((noinline)) BOOL EmptyCall(IHostContext*) { return TRUE; }

// Every floor is called the way a module calls an export, through a
// function pointer (the import table's entry), never inlined into the loop.
template <class F>
F* Through(F* function) {
  F* volatile pointer = function;
  return pointer;
}

std::string Format(const char* format, double a, double b) {
  char text[160];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

}  // namespace

void RunCallFrame(const Settings& settings, Report& report) {
  IHostContext* context = MinimalContext();
  IUnknown* scope = MinimalScope();
  int iterations = settings.Iterations(kIterations);
  int repetitions = settings.smoke ? settings.repetitions : kRepetitions;
  char buffer[MAX_PATH];
  const int length = sizeof buffer;

  HMODULE library = GetModuleHandleA("OrvexC.dll");
  if (!RouteLibraryStrings(library))
    return report.Fail("call frame: the library's SysFreeString could not be routed");
  orvex::ScopeGuard restore([library] { RestoreLibraryStrings(library); });

  // The library and its floor must leave the same results, or the timing
  // compares different work.
  char floorBuffer[MAX_PATH];
  GetTitleLocation(context, buffer, length);
  TitleLocationFloor(context, floorBuffer, length);
  bool same = std::memcmp(buffer, floorBuffer, length) == 0;
  GetModuleName(context, buffer, length);
  ModuleNameFloor(context, floorBuffer, length);
  same = same && std::memcmp(buffer, floorBuffer, length) == 0;
  same = same && GetObjectX(context, scope, kObjectName) == ObjectXFloor(context, scope, kObjectName);
  same = same && IsThreadRunning(context, kThreadName) == ThreadRunningFloor(context, kThreadName);
  if (!same) report.Fail("call frame: the library's results differ from its floor's");

  auto titleFloor = Through(TitleLocationFloor);
  auto objectFloor = Through(ObjectXFloor);
  auto threadFloor = Through(ThreadRunningFloor);
  auto moveFloor = Through(MoveSurfaceFloor);
  auto nameFloor = Through(ModuleNameFloor);
  int step = 0;
  auto round = [&] {
    return std::array<Timing, kExports>{
        Compare([&] { GetTitleLocation(context, buffer, length); },
                [&] { titleFloor(context, buffer, length); }, iterations, repetitions),
        Compare([&] { g_sink = GetObjectX(context, scope, kObjectName); },
                [&] { g_sink = objectFloor(context, scope, kObjectName); }, iterations, repetitions),
        Compare([&] { g_sink = IsThreadRunning(context, kThreadName); },
                [&] { g_sink = threadFloor(context, kThreadName); }, iterations, repetitions),
        Compare([&] { MoveDrawingSurface(context, ++step & 63, 8); },
                [&] { moveFloor(context, ++step & 63, 8); }, iterations, repetitions),
        Compare([&] { GetModuleName(context, buffer, length); }, [&] { nameFloor(context, buffer, length); },
                iterations, repetitions)};
  };
  std::array<Timing, kExports> quietest = round();
  for (int r = 1; r < (settings.smoke ? 1 : kRounds); ++r) {
    std::array<Timing, kExports> next = round();
    for (int e = 0; e < kExports; ++e)
      if (next[e].added < quietest[e].added) quietest[e] = next[e];
  }
  for (int e = 0; e < kExports; ++e) {
    const Timing& t = quietest[e];
    report.Add(Row{kExportNames[e], "ns/call", t.library, t.floor, 0, t.ratio, t.added, kAddedGoal});
  }

  // What every export pays before its first runtime call: the call into the
  // library with its module-state guard (an export that calls nothing of the
  // runtime, so the compiler keeps only the guard's read of the thread's
  // state), against a plain call; and TlsGetValue, which the guard no longer
  // calls, on its own.
  auto emptyCall = Through(EmptyCall);
  Timing frame = Compare([&] { g_sink = IsMouseCursorVisible(context); },
                         [&] { g_sink = emptyCall(context); }, iterations, repetitions);
  DWORD slot = TlsAlloc();
  TlsSetValue(slot, context);
  Timing tls =
      Compare([&] { g_sink = TlsGetValue(slot) != nullptr; }, [&] { g_sink = 1; }, iterations, repetitions);
  TlsFree(slot);
  if (!MinimalTitleBalanced()) report.Fail("call frame: a reference of the runtime was not released");
  report.Add(Note{Format("frame cost: IsMouseCursorVisible %.1f ns/call, an empty call %.1f ns/call",
                         frame.library, frame.floor)});
  report.Add(
      Note{Format("frame cost: TlsGetValue %.1f ns/call (loop alone %.1f ns)", tls.library, tls.floor)});
}

// Heap allocations on the success path of the call-frame exports: none of
// them has a text longer than its fixed buffer.
void RunAllocationChecks(const Settings& settings, Report& report) {
  HMODULE library = GetModuleHandleA("OrvexC.dll");
  if (!library || hostkit::AllocationWatch::Watch(library) == 0) {
    report.Add(Note{"allocation check: the library's imports could not be routed"});
    report.Add(Allocation{"(unchecked)", 1, true});
    return;
  }
  IHostContext* context = MinimalContext();
  IUnknown* scope = MinimalScope();
  char buffer[MAX_PATH];
  const int calls = settings.Iterations(10000);
  auto check = [&](const char* name, auto call) {
    call();  // a first call may make the thread's framework data
    long before = hostkit::AllocationWatch::Count();
    for (int i = 0; i < calls; ++i) call();
    report.Add(Allocation{name, double(hostkit::AllocationWatch::Count() - before) / calls, true});
  };
  check("GetTitleLocation", [&] { GetTitleLocation(context, buffer, sizeof buffer); });
  check("GetObjectX", [&] { g_sink = GetObjectX(context, scope, kObjectName); });
  check("IsThreadRunning", [&] { g_sink = IsThreadRunning(context, kThreadName); });
  check("MoveDrawingSurface", [&] { MoveDrawingSurface(context, 1, 2); });
  check("GetModuleName", [&] { GetModuleName(context, buffer, sizeof buffer); });
}

}  // namespace bench
