// The runtime chains that the host exports share. Each step asks the previous
// interface for the next and holds it in the caller's Chain. A function given
// a null interface (an earlier step failed) returns null without a call, so
// chains compose: ReachWindow(chain, ReachThreadContext(chain, ctx, name)).
#pragma once

#include "frame/CallFrame.h"

namespace orvex {

// context 3 → runtime
IHostRuntime* ReachRuntime(Chain& chain, IHostContext* context) noexcept;
// context 3 → runtime; runtime 9 → application
IHostApplication* ReachApplication(Chain& chain, IHostContext* context) noexcept;
// context 3 → runtime; runtime 4 → resources
IHostResources* ReachResources(Chain& chain, IHostContext* context) noexcept;
// context 3 → runtime; runtime 6 → title node
IHostNode* ReachTitleNode(Chain& chain, IHostContext* context) noexcept;
// context 4 → module; module 3 → node
IHostNode* ReachModuleNode(Chain& chain, IHostContext* context) noexcept;
// context 5 → frame; frame 3 → node
IHostNode* ReachFrameNode(Chain& chain, IHostContext* context) noexcept;
// context 6 → surface
IHostSurface* ReachSurface(Chain& chain, IHostContext* context) noexcept;
// context 6 → surface; surface 6 → window
IHostWindow* ReachWindow(Chain& chain, IHostContext* context) noexcept;
// surface 6 → window
IHostWindow* ReachWindow(Chain& chain, IHostSurface* surface) noexcept;
// context 8 → the calling thread
IHostThread* ReachCallingThread(Chain& chain, IHostContext* context) noexcept;
// application 21 (name) → thread
IHostThread* ReachThread(Chain& chain, IHostApplication* app, const char* name) noexcept;
// The thread lookup by name: context 3 → runtime; runtime 9 → application;
// application 21 (name) → thread.
IHostThread* ReachNamedThread(Chain& chain, IHostContext* context, const char* name) noexcept;
// The thread lookup, then thread 8 → the thread's own context.
IHostContext* ReachThreadContext(Chain& chain, IHostContext* context, const char* name) noexcept;

// Buffer text of a node: name (node 9, capacity 32) and address (node 10,
// capacity 260), copied to the caller by the copy rule. Nothing is called for
// a null node.
void ReadNodeName(IHostNode* node, CallerText& out) noexcept;
void ReadNodeAddress(IHostNode* node, CallerText& out) noexcept;

// window 3: the window's handle (preset 0, status not examined); 0 for a null window.
HWND ReadWindowHandle(IHostWindow* window) noexcept;

// The drawing surface's geometry, x, y, width, height (surface 10, preset 0,
// status not examined).
struct SurfaceGeometry {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  void Read(IHostSurface* surface) noexcept { surface->GetGeometry(&x, &y, &width, &height); }
  void Write(IHostSurface* surface) const noexcept { surface->SetGeometry(x, y, width, height); }
};

}  // namespace orvex
