// The actions that the current-frame exports run on the caller's context and
// the thread exports run on a named thread's context. Each takes the context
// to act on and obtains (and releases) what lies beyond it; a null context
// (an earlier step failed) means no call at all.
#pragma once

#include "frame/HostChains.h"

namespace orvex {

// surface → window; GetHandle: the handle, 0 on failure.
HWND ContextWindow(IHostContext* context) noexcept;
// frame → node; GetName / GetAddress into the caller's buffer.
void ContextFrameName(IHostContext* context, CallerText& out) noexcept;
void ContextFrameAddress(IHostContext* context, CallerText& out) noexcept;
// surface; Hide / Show.
void HideContextSurface(IHostContext* context) noexcept;
void ShowContextSurface(IHostContext* context) noexcept;
// surface; GetGeometry: x and y, or width and height, into `out`.
void ReadSurfacePosition(IHostContext* context, OutPair& out) noexcept;
void ReadSurfaceSize(IHostContext* context, OutPair& out) noexcept;
// surface; GetGeometry; SetGeometry with one half replaced and the
// other as read.
void MoveContextSurface(IHostContext* context, int x, int y) noexcept;
void SizeContextSurface(IHostContext* context, int width, int height) noexcept;
// surface; IsPaintingFrozen; FreezePainting (freeze) whatever IsPaintingFrozen answered.
// 1 when 13 answered 0 (painting was frozen), else 0.
BOOL FreezeContextPainting(IHostContext* context, BOOL freeze) noexcept;

// surface, then `action` on it.
template <class Action>
void OnContextSurface(IHostContext* context, Action action) {
  Chain chain;
  if (IHostSurface* surface = ReachSurface(chain, context)) action(surface);
}

// surface → window, then `action` on it.
template <class Action>
void OnContextWindow(IHostContext* context, Action action) {
  Chain chain;
  if (IHostWindow* window = ReachWindow(chain, context)) action(window);
}

// A Windows call on a window handle, made only for a non-null handle.
template <class Result, class Call>
Result OnWindow(HWND window, Result none, Call call) {
  return window ? call(window) : none;
}

}  // namespace orvex
