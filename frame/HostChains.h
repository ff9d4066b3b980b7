// The runtime chains that the host exports share. Each step asks the previous
// interface for the next and holds it in the caller's Chain. A function given
// a null interface (an earlier step failed) returns null without a call, so
// chains compose: ReachWindow(chain, ReachThreadContext(chain, ctx, name)).
// The steps are inline: an export's chain compiles to its runtime calls and
// the chain's bookkeeping, with no calls of the library's own in between.
#pragma once

#include "frame/CallFrame.h"

namespace orvex {

// The runtime.
inline IHostRuntime* ReachRuntime(Chain& chain, IHostContext* context) noexcept {
  IHostRuntime* runtime = nullptr;
  return context && chain.Take(ORVEX_CALL(context, GetRuntime)(&runtime), &runtime) ? runtime : nullptr;
}

// runtime → application
inline IHostApplication* ReachApplication(Chain& chain, IHostContext* context) noexcept {
  IHostRuntime* runtime = ReachRuntime(chain, context);
  IHostApplication* app = nullptr;
  return runtime && chain.Take(ORVEX_CALL(runtime, GetApplication)(&app), &app) ? app : nullptr;
}

// runtime → resources
inline IHostResources* ReachResources(Chain& chain, IHostContext* context) noexcept {
  IHostRuntime* runtime = ReachRuntime(chain, context);
  IHostResources* resources = nullptr;
  return runtime && chain.Take(ORVEX_CALL(runtime, GetResources)(&resources), &resources) ? resources
                                                                                          : nullptr;
}

// runtime → title node
inline IHostNode* ReachTitleNode(Chain& chain, IHostContext* context) noexcept {
  IHostRuntime* runtime = ReachRuntime(chain, context);
  IHostNode* node = nullptr;
  return runtime && chain.Take(ORVEX_CALL(runtime, GetTitleNode)(&node), &node) ? node : nullptr;
}

// module → node
inline IHostNode* ReachModuleNode(Chain& chain, IHostContext* context) noexcept {
  IHostModule* module = nullptr;
  if (!context || !chain.Take(ORVEX_CALL(context, GetModule)(&module), &module)) return nullptr;
  IHostNode* node = nullptr;
  return chain.Take(ORVEX_CALL(module, GetNode)(&node), &node) ? node : nullptr;
}

// frame → node
inline IHostNode* ReachFrameNode(Chain& chain, IHostContext* context) noexcept {
  IHostFrame* frame = nullptr;
  if (!context || !chain.Take(ORVEX_CALL(context, GetFrame)(&frame), &frame)) return nullptr;
  IHostNode* node = nullptr;
  return chain.Take(ORVEX_CALL(frame, GetNode)(&node), &node) ? node : nullptr;
}

// The drawing surface.
inline IHostSurface* ReachSurface(Chain& chain, IHostContext* context) noexcept {
  IHostSurface* surface = nullptr;
  return context && chain.Take(ORVEX_CALL(context, GetSurface)(&surface), &surface) ? surface : nullptr;
}

// surface → window
inline IHostWindow* ReachWindow(Chain& chain, IHostSurface* surface) noexcept {
  IHostWindow* window = nullptr;
  return surface && chain.Take(ORVEX_CALL(surface, GetWindow)(&window), &window) ? window : nullptr;
}

// The drawing surface, then its window.
inline IHostWindow* ReachWindow(Chain& chain, IHostContext* context) noexcept {
  return ReachWindow(chain, ReachSurface(chain, context));
}

// The calling thread.
inline IHostThread* ReachCallingThread(Chain& chain, IHostContext* context) noexcept {
  IHostThread* thread = nullptr;
  return context && chain.Take(ORVEX_CALL(context, GetThread)(&thread), &thread) ? thread : nullptr;
}

// FindThread (name) → thread
inline IHostThread* ReachThread(Chain& chain, IHostApplication* app, const char* name) noexcept {
  IHostThread* thread = nullptr;
  return app && chain.Take(ORVEX_CALL(app, FindThread)(name, &thread), &thread) ? thread : nullptr;
}

// The thread lookup by name: runtime → application → FindThread (name).
inline IHostThread* ReachNamedThread(Chain& chain, IHostContext* context, const char* name) noexcept {
  return ReachThread(chain, ReachApplication(chain, context), name);
}

// The thread lookup, then GetContext → the thread's own context.
inline IHostContext* ReachThreadContext(Chain& chain, IHostContext* context, const char* name) noexcept {
  IHostThread* thread = ReachNamedThread(chain, context, name);
  IHostContext* threadContext = nullptr;
  return thread && chain.Take(ORVEX_CALL(thread, GetContext)(&threadContext), &threadContext) ? threadContext
                                                                                              : nullptr;
}

// Buffer text of a node: name (GetName, capacity 32) and address (GetAddress,
// capacity 260), copied to the caller by the copy rule. Nothing is called for
// a null node.
void ReadNodeName(IHostNode* node, CallerText& out) noexcept;
void ReadNodeAddress(IHostNode* node, CallerText& out) noexcept;

// GetHandle: the window's handle (preset 0, status not examined); 0 for a null window.
HWND ReadWindowHandle(IHostWindow* window) noexcept;

// The drawing surface's geometry, x, y, width, height (GetGeometry, preset 0,
// status not examined).
struct SurfaceGeometry {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  void Read(IHostSurface* surface) noexcept { ORVEX_CALL(surface, GetGeometry)(&x, &y, &width, &height); }
  void Write(IHostSurface* surface) const noexcept { ORVEX_CALL(surface, SetGeometry)(x, y, width, height); }
};

}  // namespace orvex
