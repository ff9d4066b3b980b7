// The host call frame: five exports a module calls from its frame loop and
// event handlers, each against the same runtime calls made by hand through
// the vtables, with the same result left in the caller's variables (the copy
// rule included: a text shorter than the caller's buffer is zero-filled).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "Harness.h"
#include <OrvexC/hostkit/ImportHook.h>
#include "OrvexC.h"

namespace bench {
namespace {

constexpr double kGoal = 1.10;
// Short samples, many of them: on a shared machine most then fall between
// two preemptions, and the median is theirs.
constexpr int kIterations = 20000;
constexpr int kRepetitions = 61;
constexpr const char* kThreadName = "Narrator";
constexpr const char* kObjectName = "StartButton";

volatile int g_sink;  // keeps results the compiler would otherwise drop

// The floors: what any implementation must call and write, in functions of
// their own, as an export is.

// The copy rule (strncpy semantics) in two block moves, the fastest way to
// the same bytes.
void CopyText(char* buffer, int length, const char* text) {
  std::size_t size = strnlen(text, length);
  std::memcpy(buffer, text, size);
  std::memset(buffer + size, 0, length - size);
}

__attribute__((noinline)) void TitleLocationFloor(IHostContext* context, char* buffer, int length) {
  IHostRuntime* runtime = nullptr;
  if (context->GetRuntime(&runtime) != S_OK || !runtime) return;
  IHostApplication* app = nullptr;
  if (runtime->GetApplication(&app) == S_OK && app) {
    BSTR text = nullptr;
    if (app->GetTitleLocation(&text) == S_OK) {
      int written = WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, length, nullptr, nullptr);
      if (written > 0) std::memset(buffer + written, 0, length - written);
      SysFreeString(text);
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
  IHostModule* module = nullptr;
  if (context->GetModule(&module) != S_OK || !module) return;
  IHostNode* node = nullptr;
  if (module->GetNode(&node) == S_OK && node) {
    char name[33];
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
  IHostContext* context = QuietTitle().ctx();
  IUnknown* scope = QuietScope();
  int iterations = settings.Iterations(kIterations);
  int repetitions = settings.smoke ? settings.repetitions : kRepetitions;
  char buffer[MAX_PATH];
  const int length = sizeof buffer;

  auto add = [&](const char* name, Timing t) { report.Add(Row{name, "ns/call", t.library, t.floor, kGoal, t.ratio}); };

  auto titleFloor = Through(TitleLocationFloor);
  auto objectFloor = Through(ObjectXFloor);
  auto threadFloor = Through(ThreadRunningFloor);
  auto moveFloor = Through(MoveSurfaceFloor);
  auto nameFloor = Through(ModuleNameFloor);
  add("GetTitleLocation", Compare([&] { GetTitleLocation(context, buffer, length); },
                                  [&] { titleFloor(context, buffer, length); }, iterations, repetitions));
  add("GetObjectX", Compare([&] { g_sink = GetObjectX(context, scope, kObjectName); },
                            [&] { g_sink = objectFloor(context, scope, kObjectName); }, iterations, repetitions));
  add("IsThreadRunning", Compare([&] { g_sink = IsThreadRunning(context, kThreadName); },
                                 [&] { g_sink = threadFloor(context, kThreadName); }, iterations, repetitions));
  int step = 0;
  add("MoveDrawingSurface", Compare([&] { MoveDrawingSurface(context, ++step & 63, 8); },
                                    [&] { moveFloor(context, ++step & 63, 8); }, iterations, repetitions));
  add("GetModuleName", Compare([&] { GetModuleName(context, buffer, length); },
                               [&] { nameFloor(context, buffer, length); }, iterations, repetitions));

  // What every export pays before its first runtime call: the call into the
  // library with its module-state guard (an export that calls nothing of the
  // runtime), against a plain call; and the thread-state lookup on its own.
  auto emptyCall = Through(EmptyCall);
  Timing frame = Compare([&] { g_sink = IsMouseCursorVisible(context); }, [&] { g_sink = emptyCall(context); },
                         iterations, repetitions);
  DWORD slot = TlsAlloc();
  TlsSetValue(slot, context);
  Timing tls = Compare([&] { g_sink = TlsGetValue(slot) != nullptr; }, [&] { g_sink = 1; }, iterations, repetitions);
  TlsFree(slot);
  report.Add(Note{Format("frame cost: IsMouseCursorVisible %.1f ns/call, an empty call %.1f ns/call", frame.library,
                         frame.floor)});
  report.Add(Note{Format("frame cost: TlsGetValue %.1f ns/call (loop alone %.1f ns)", tls.library, tls.floor)});
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
  IHostContext* context = QuietTitle().ctx();
  IUnknown* scope = QuietScope();
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
