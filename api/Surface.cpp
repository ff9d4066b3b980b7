// Drawing surface and output (501-506, 601-604): the calling module's
// drawing surface and that surface's window.
#include <windows.h>

#include "api/ContextActions.h"
#include "include/OrvexC.h"

using namespace orvex;

namespace {

// An out-values export: both pointers checked, then `read` fills the pair,
// which is written after the releases.
template <class Read>
void DeliverPair(IHostContext* context, int* first, int* second, Read read) {
  OutPair out(first, second);
  if (out.Open()) read(context, out);
}

}  // namespace

extern "C" {

void __cdecl HideDrawingSurface(IHostContext* context) {
  ORVEX_EXPORT(context);
  HostExport([&] { HideContextSurface(context); });
}

void __cdecl ShowDrawingSurface(IHostContext* context) {
  ORVEX_EXPORT(context);
  HostExport([&] { ShowContextSurface(context); });
}

void __cdecl GetDrawingSurfacePosition(IHostContext* context, int* x, int* y) {
  ORVEX_EXPORT(context, x, y);
  HostExport([&] { DeliverPair(context, x, y, ReadSurfacePosition); });
}

void __cdecl GetDrawingSurfaceSize(IHostContext* context, int* width, int* height) {
  ORVEX_EXPORT(context, width, height);
  HostExport([&] { DeliverPair(context, width, height, ReadSurfaceSize); });
}

void __cdecl MoveDrawingSurface(IHostContext* context, int x, int y) {
  ORVEX_EXPORT(context, x, y);
  HostExport([&] { MoveContextSurface(context, x, y); });
}

void __cdecl SizeDrawingSurface(IHostContext* context, int width, int height) {
  ORVEX_EXPORT(context, width, height);
  HostExport([&] { SizeContextSurface(context, width, height); });
}

// The text goes to the runtime as given, null included.
void __cdecl SetStatusBarText(IHostContext* context, const char* text) {
  ORVEX_EXPORT(context, text);
  HostExport([&] {
    OnContextWindow(context, [&](IHostWindow* window) { ORVEX_CALL(window, SetStatusText)(text); });
  });
}

void __cdecl ShowProgress(IHostContext* context, int value1, int value2, int value3) {
  ORVEX_EXPORT(context, value1, value2, value3);
  HostExport([&] {
    OnContextWindow(context, [&](IHostWindow* window) {
      ORVEX_CALL(window, ShowProgress)(value1, value2, value3);
    });
  });
}

void __cdecl PrintDrawingSurface(IHostContext* context, int value1, int value2) {
  ORVEX_EXPORT(context, value1, value2);
  HostExport([&] {
    OnContextSurface(context, [&](IHostSurface* surface) { ORVEX_CALL(surface, Print)(value1, value2); });
  });
}

// Exported as PrintWindow (see OrvexC.def): USER32 has a function of that name.
void __cdecl OrvexPrintWindow(IHostContext* context, int value1, int value2) {
  ORVEX_EXPORT(context, value1, value2);
  HostExport([&] {
    OnContextWindow(context, [&](IHostWindow* window) { ORVEX_CALL(window, Print)(value1, value2); });
  });
}

}  // extern "C"
