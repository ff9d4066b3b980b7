// The actions that the current-frame exports run on the caller's context and
// the thread exports run on a named thread's context. Each takes the context
// to act on and obtains (and releases) what lies beyond it; a null context
// (an earlier step failed) means no call at all.
#pragma once

#include "frame/HostChains.h"

namespace orvex {

// context 6 → surface; surface 6 → window; window 3: the handle, 0 on failure.
HWND ContextWindow(IHostContext* context) noexcept;
// context 5 → frame; frame 3 → node; node 9 / node 10 into the caller's buffer.
void ContextFrameName(IHostContext* context, CallerText& out) noexcept;
void ContextFrameAddress(IHostContext* context, CallerText& out) noexcept;
// context 6 → surface; surface 7 / surface 8.
void HideContextSurface(IHostContext* context) noexcept;
void ShowContextSurface(IHostContext* context) noexcept;
// context 6 → surface; surface 10: x and y, or width and height, into `out`.
void ReadSurfacePosition(IHostContext* context, OutPair& out) noexcept;
void ReadSurfaceSize(IHostContext* context, OutPair& out) noexcept;
// context 6 → surface; surface 10; surface 11 with one half replaced and the
// other as read.
void MoveContextSurface(IHostContext* context, int x, int y) noexcept;
void SizeContextSurface(IHostContext* context, int width, int height) noexcept;
// context 6 → surface; surface 13; surface 14 (freeze) whatever 13 answered.
// 1 when 13 answered 0 (painting was frozen), else 0.
BOOL FreezeContextPainting(IHostContext* context, BOOL freeze) noexcept;

// context 6 → surface, then `action` on it.
template <class Action>
void OnContextSurface(IHostContext* context, Action action) {
  Chain chain;
  if (IHostSurface* surface = ReachSurface(chain, context)) action(surface);
}

// context 6 → surface; surface 6 → window, then `action` on it.
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
