// Thread services (301-324): a thread named by the caller, found afresh by
// every call, and the window, frame and drawing surface of its own context.
#include <windows.h>

#include "api/ContextActions.h"
#include "include/OrvexC.h"

using namespace orvex;

namespace {

// The thread lookup by name, then `action` on the thread.
template <class Action>
void OnNamedThread(IHostContext* context, const char* name, Action action) {
  Chain chain;
  if (IHostThread* thread = ReachNamedThread(chain, context, name)) action(thread);
}

// The thread lookup, GetContext → its context, then `action` on that context
// (which obtains and releases everything beyond it first).
template <class Action>
auto OnThreadContext(IHostContext* context, const char* name, Action action) {
  Chain chain;
  return action(ReachThreadContext(chain, context, name));
}

// A Windows call on the thread's window, obtained through the public export.
template <class Result, class Call>
Result OnThreadWindow(IHostContext* context, const char* name, Result none, Call call) {
  return OnWindow(GetThreadWindow(context, name), none, call);
}

// The surface's own visible value (GetVisible): status 0 and non-zero.
bool SurfaceVisible(IHostSurface* surface) {
  int visible = 0;
  return ORVEX_CALL(surface, GetVisible)(&visible) == S_OK && visible != 0;
}

// The window's visibility as Windows sees it; false without a window.
bool WindowVisible(IHostSurface* surface) {
  Chain chain;
  HWND handle = ReadWindowHandle(ReachWindow(chain, surface));
  return handle && IsWindowVisible(handle);
}

}  // namespace

extern "C" {

// ---- lifecycle, branching and messages

// StartThread (name): no thread object is fetched.
void __cdecl StartThread(IHostContext* context, const char* name) {
  ORVEX_EXPORT(context, name);
  HostExport([&] {
    Chain chain;
    if (IHostApplication* app = ReachApplication(chain, context)) ORVEX_CALL(app, StartThread)(name);
  });
}

void __cdecl StopThread(IHostContext* context, const char* name) {
  ORVEX_EXPORT(context, name);
  HostExport([&] { OnNamedThread(context, name, [](IHostThread* thread) { ORVEX_CALL(thread, Stop)(); }); });
}

BOOL __cdecl IsThreadRunning(IHostContext* context, const char* name) {
  ORVEX_EXPORT(context, name);
  return HostExport<BOOL>(FALSE, [&] {
    BOOL running = FALSE;
    OnNamedThread(context, name,
                  [&](IHostThread* thread) { running = StatusFlag(ORVEX_CALL(thread, IsRunning)()); });
    return running;
  });
}

void __cdecl BranchThreadByPath(IHostContext* context, const char* name, int path) {
  ORVEX_EXPORT(context, name, path);
  HostExport([&] {
    OnNamedThread(context, name, [&](IHostThread* thread) { ORVEX_CALL(thread, BranchByPath)(path); });
  });
}

void __cdecl BranchThreadByPathName(IHostContext* context, const char* name, const char* pathName) {
  ORVEX_EXPORT(context, name, pathName);
  HostExport([&] {
    if (!pathName) return;
    OnNamedThread(context, name, [&](IHostThread* thread) {
      ORVEX_CALL(thread, BranchByPathName)(pathName);
    });
  });
}

void __cdecl BranchThreadByColor(IHostContext* context, const char* name, int color) {
  ORVEX_EXPORT(context, name, color);
  HostExport([&] {
    OnNamedThread(context, name, [&](IHostThread* thread) { ORVEX_CALL(thread, BranchByColor)(color); });
  });
}

void __cdecl BranchThreadToFrame(IHostContext* context, const char* name, const char* frame) {
  ORVEX_EXPORT(context, name, frame);
  HostExport([&] {
    if (!frame) return;
    OnNamedThread(context, name, [&](IHostThread* thread) { ORVEX_CALL(thread, BranchToFrame)(frame); });
  });
}

// SetZOrder on the second thread (null name: "") with the first (null name:
// none). The first lookup counts as failed only when no thread came back.
void __cdecl SetThreadZOrder(IHostContext* context, const char* firstName, const char* secondName) {
  ORVEX_EXPORT(context, firstName, secondName);
  HostExport([&] {
    Chain chain;
    IHostApplication* app = ReachApplication(chain, context);
    if (!app) return;
    IHostThread* first = nullptr;
    if (firstName) {
      ORVEX_CALL(app, FindThread)(firstName, &first);
      if (!chain.TakeIfPresent(&first)) return;
    }
    if (IHostThread* second = ReachThread(chain, app, secondName ? secondName : ""))
      ORVEX_CALL(second, SetZOrder)(first);
  });
}

void __cdecl SendThreadMessage(IHostContext* context, const char* name, int value1, int value2, int value3) {
  ORVEX_EXPORT(context, name, value1, value2, value3);
  HostExport([&] {
    OnNamedThread(context, name, [&](IHostThread* thread) {
      ORVEX_CALL(thread, SendValues)(value1, value2, value3);
    });
  });
}

// ---- the thread's window, frame and drawing surface

HWND __cdecl GetThreadWindow(IHostContext* context, const char* name) {
  ORVEX_EXPORT(context, name);
  return HostExport<HWND>(nullptr, [&] { return OnThreadContext(context, name, ContextWindow); });
}

HMENU __cdecl GetThreadMenu(IHostContext* context, const char* name) {
  ORVEX_EXPORT(context, name);
  return HostExport<HMENU>(nullptr, [&] {
    return OnThreadWindow<HMENU>(context, name, nullptr, [](HWND window) { return GetMenu(window); });
  });
}

void __cdecl GetThreadFrameName(IHostContext* context, const char* name, char* buffer, int length) {
  ORVEX_EXPORT(context, name, buffer, length);
  HostExport([&] {
    CallerText out(buffer, length);
    if (!out.Open()) return;
    OnThreadContext(context, name, [&](IHostContext* thread) { ContextFrameName(thread, out); });
  });
}

void __cdecl GetThreadFrameAddress(IHostContext* context, const char* name, char* buffer, int length) {
  ORVEX_EXPORT(context, name, buffer, length);
  HostExport([&] {
    CallerText out(buffer, length);
    if (!out.Open()) return;
    OnThreadContext(context, name, [&](IHostContext* thread) { ContextFrameAddress(thread, out); });
  });
}

void __cdecl HideThreadDrawingSurface(IHostContext* context, const char* name) {
  ORVEX_EXPORT(context, name);
  HostExport([&] { OnThreadContext(context, name, HideContextSurface); });
}

void __cdecl ShowThreadDrawingSurface(IHostContext* context, const char* name) {
  ORVEX_EXPORT(context, name);
  HostExport([&] { OnThreadContext(context, name, ShowContextSurface); });
}

void __cdecl GetThreadDrawingSurfacePosition(IHostContext* context, const char* name, int* x, int* y) {
  ORVEX_EXPORT(context, name, x, y);
  HostExport([&] {
    OutPair out(x, y);
    if (!out.Open()) return;
    OnThreadContext(context, name, [&](IHostContext* thread) { ReadSurfacePosition(thread, out); });
  });
}

void __cdecl GetThreadDrawingSurfaceSize(IHostContext* context, const char* name, int* width, int* height) {
  ORVEX_EXPORT(context, name, width, height);
  HostExport([&] {
    OutPair out(width, height);
    if (!out.Open()) return;
    OnThreadContext(context, name, [&](IHostContext* thread) { ReadSurfaceSize(thread, out); });
  });
}

void __cdecl MoveThreadDrawingSurface(IHostContext* context, const char* name, int x, int y) {
  ORVEX_EXPORT(context, name, x, y);
  HostExport([&] {
    OnThreadContext(context, name, [&](IHostContext* thread) { MoveContextSurface(thread, x, y); });
  });
}

void __cdecl SizeThreadDrawingSurface(IHostContext* context, const char* name, int width, int height) {
  ORVEX_EXPORT(context, name, width, height);
  HostExport([&] {
    OnThreadContext(context, name, [&](IHostContext* thread) { SizeContextSurface(thread, width, height); });
  });
}

BOOL __cdecl FreezeThreadPainting(IHostContext* context, const char* name, BOOL freeze) {
  ORVEX_EXPORT(context, name, freeze);
  return HostExport<BOOL>(FALSE, [&] {
    return OnThreadContext(context, name,
                           [&](IHostContext* thread) { return FreezeContextPainting(thread, freeze); });
  });
}

// Visible only when the surface says so and Windows shows its window; both
// are asked whatever the other answered.
BOOL __cdecl IsThreadVisible(IHostContext* context, const char* name) {
  ORVEX_EXPORT(context, name);
  return HostExport<BOOL>(FALSE, [&] {
    return OnThreadContext(context, name, [](IHostContext* thread) {
      Chain chain;
      IHostSurface* surface = ReachSurface(chain, thread);
      if (!surface) return FALSE;
      bool surfaceVisible = SurfaceVisible(surface);
      bool windowVisible = WindowVisible(surface);
      return surfaceVisible && windowVisible ? TRUE : FALSE;
    });
  });
}

void __cdecl ShowThreadWindow(IHostContext* context, const char* name) {
  ORVEX_EXPORT(context, name);
  HostExport(
      [&] { OnThreadWindow(context, name, FALSE, [](HWND window) { return ShowWindow(window, SW_SHOW); }); });
}

void __cdecl HideThreadWindow(IHostContext* context, const char* name) {
  ORVEX_EXPORT(context, name);
  HostExport(
      [&] { OnThreadWindow(context, name, FALSE, [](HWND window) { return ShowWindow(window, SW_HIDE); }); });
}

// Asks the window's owner to close it and does not wait.
void __cdecl CloseThreadWindow(IHostContext* context, const char* name) {
  ORVEX_EXPORT(context, name);
  HostExport([&] {
    OnThreadWindow(context, name, FALSE, [](HWND window) { return PostMessageA(window, WM_CLOSE, 0, 0); });
  });
}

}  // extern "C"
