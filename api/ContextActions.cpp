#include "api/ContextActions.h"

namespace orvex {

HWND ContextWindow(IHostContext* context) noexcept {
  Chain chain;
  return ReadWindowHandle(ReachWindow(chain, context));
}

void ContextFrameName(IHostContext* context, CallerText& out) noexcept {
  Chain chain;
  ReadNodeName(ReachFrameNode(chain, context), out);
}

void ContextFrameAddress(IHostContext* context, CallerText& out) noexcept {
  Chain chain;
  ReadNodeAddress(ReachFrameNode(chain, context), out);
}

void HideContextSurface(IHostContext* context) noexcept {
  OnContextSurface(context, [](IHostSurface* surface) { ORVEX_CALL(surface, Hide)(); });
}

void ShowContextSurface(IHostContext* context) noexcept {
  OnContextSurface(context, [](IHostSurface* surface) { ORVEX_CALL(surface, Show)(); });
}

void ReadSurfacePosition(IHostContext* context, OutPair& out) noexcept {
  OnContextSurface(context, [&](IHostSurface* surface) {
    SurfaceGeometry geometry;
    geometry.Read(surface);
    out.first = geometry.x;
    out.second = geometry.y;
  });
}

void ReadSurfaceSize(IHostContext* context, OutPair& out) noexcept {
  OnContextSurface(context, [&](IHostSurface* surface) {
    SurfaceGeometry geometry;
    geometry.Read(surface);
    out.first = geometry.width;
    out.second = geometry.height;
  });
}

// The read is not checked: a surface that answers nothing keeps the preset
// zeros in the half passed back, rather than undefined values.
void MoveContextSurface(IHostContext* context, int x, int y) noexcept {
  OnContextSurface(context, [&](IHostSurface* surface) {
    SurfaceGeometry geometry;
    geometry.Read(surface);
    geometry.x = x;
    geometry.y = y;
    geometry.Write(surface);
  });
}

void SizeContextSurface(IHostContext* context, int width, int height) noexcept {
  OnContextSurface(context, [&](IHostSurface* surface) {
    SurfaceGeometry geometry;
    geometry.Read(surface);
    geometry.width = width;
    geometry.height = height;
    geometry.Write(surface);
  });
}

BOOL FreezeContextPainting(IHostContext* context, BOOL freeze) noexcept {
  BOOL wasFrozen = FALSE;
  OnContextSurface(context, [&](IHostSurface* surface) {
    wasFrozen = StatusFlag(ORVEX_CALL(surface, IsPaintingFrozen)());
    ORVEX_CALL(surface, FreezePainting)(freeze);
  });
  return wasFrozen;
}

}  // namespace orvex
