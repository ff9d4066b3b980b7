// Application, title and module services (101-110, 201-202).
#include <windows.h>

#include "api/ContextActions.h"
#include "frame/HostChains.h"
#include "frame/PathParts.h"
#include "include/OrvexC.h"

using namespace orvex;

namespace {

// The title's path (GetTitlePath) into the caller's buffer, after
// `keep` has chosen what of it remains. False when a step failed.
template <class Keep>
bool DeliverTitlePath(IHostContext* context, CallerText& out, Keep keep) {
  Chain chain;
  IHostApplication* app = ReachApplication(chain, context);
  if (!app) return false;
  WideText path;
  if (!path.Accept(ORVEX_CALL(app, GetTitlePath)(path.Out()))) return false;
  NarrowText narrow(path.get());
  PathParts parts;
  SplitPath(narrow.c_str(), parts);
  char rebuilt[MAX_PATH] = {};
  keep(parts, rebuilt);
  out.Put(rebuilt);
  return true;
}

// An application wide-text method into the caller's buffer.
template <class Method>
void DeliverAppText(IHostContext* context, CallerText& out, Method method) {
  Chain chain;
  IHostApplication* app = ReachApplication(chain, context);
  if (!app) return;
  WideText text;
  if (text.Accept(method(app, text.Out()))) out.PutNarrowed(text.get());
}

}  // namespace

extern "C" {

// runtime → application; GetInstance (out HINSTANCE)
HINSTANCE __cdecl GetAppInstance(IHostContext* context) {
  ORVEX_EXPORT(context);
  return HostExport<HINSTANCE>(nullptr, [&] {
    Chain chain;
    HINSTANCE instance = nullptr;
    if (IHostApplication* app = ReachApplication(chain, context)) ORVEX_CALL(app, GetInstance)(&instance);
    return instance;
  });
}

// runtime → application; GetParameterCount (out count)
int __cdecl GetNumberOfAppParameters(IHostContext* context) {
  ORVEX_EXPORT(context);
  return HostExport(0, [&] {
    Chain chain;
    int count = 0;
    if (IHostApplication* app = ReachApplication(chain, context)) ORVEX_CALL(app, GetParameterCount)(&count);
    return count;
  });
}

// runtime → application; GetParameter (index, out wide string)
void __cdecl GetAppParameter(IHostContext* context, int index, char* buffer, int length) {
  ORVEX_EXPORT(context, index, buffer, length);
  HostExport([&] {
    CallerText out(buffer, length);
    if (!out.Open()) return;
    DeliverAppText(context, out, [&](IHostApplication* app, BSTR* text) {
      return ORVEX_CALL(app, GetParameter)(index, text);
    });
  });
}

// runtime → application; GetTitleLocation (out wide string)
void __cdecl GetTitleLocation(IHostContext* context, char* buffer, int length) {
  ORVEX_EXPORT(context, buffer, length);
  HostExport([&] {
    CallerText out(buffer, length);
    if (!out.Open()) return;
    DeliverAppText(context, out,
                   [](IHostApplication* app, BSTR* text) { return ORVEX_CALL(app, GetTitleLocation)(text); });
  });
}

// runtime → application; GetTitlePath; drive and directory kept, always terminated
void __cdecl GetTitleDirectory(IHostContext* context, char* buffer, int length) {
  ORVEX_EXPORT(context, buffer, length);
  HostExport([&] {
    CallerText out(buffer, length);
    if (!out.Open()) return;
    bool delivered = DeliverTitlePath(context, out, [](const PathParts& parts, char* rebuilt) {
      MakePath(rebuilt, MAX_PATH, parts.drive, parts.dir, nullptr, nullptr);
    });
    if (delivered) out.Terminate();
  });
}

// runtime → application; GetTitlePath; the file name without extension kept
void __cdecl GetTitleName(IHostContext* context, char* buffer, int length) {
  ORVEX_EXPORT(context, buffer, length);
  HostExport([&] {
    CallerText out(buffer, length);
    if (!out.Open()) return;
    DeliverTitlePath(context, out, [](const PathParts& parts, char* rebuilt) {
      MakePath(rebuilt, MAX_PATH, nullptr, nullptr, parts.name, nullptr);
    });
  });
}

// No runtime call: the library's cursor flag, and ShowCursor when it changes.
BOOL __cdecl ShowMouseCursor([[maybe_unused]] IHostContext* context, BOOL show) {
  ORVEX_EXPORT(context, show);
  return HostExport<BOOL>(TRUE, [&] {
    BOOL& flag = LibraryApp().m_bCursorShown;
    BOOL previous = flag;
    if (previous && !show) ShowCursor(FALSE);
    if (!previous && show) ShowCursor(TRUE);
    flag = show;
    return previous;
  });
}

BOOL __cdecl IsMouseCursorVisible([[maybe_unused]] IHostContext* context) {
  ORVEX_EXPORT(context);
  return HostExport<BOOL>(TRUE, [] { return LibraryApp().m_bCursorShown; });
}

// surface; IsPaintingFrozen; FreezePainting (freeze); status flag of IsPaintingFrozen
BOOL __cdecl FreezePainting(IHostContext* context, BOOL freeze) {
  ORVEX_EXPORT(context, freeze);
  return HostExport<BOOL>(FALSE, [&] { return FreezeContextPainting(context, freeze); });
}

// runtime → application; IsMediaAvailable (media); status flag
BOOL __cdecl IsMediaAvailable(IHostContext* context, const char* media) {
  ORVEX_EXPORT(context, media);
  return HostExport<BOOL>(FALSE, [&] {
    if (!media) return FALSE;
    Chain chain;
    IHostApplication* app = ReachApplication(chain, context);
    return app ? StatusFlag(ORVEX_CALL(app, IsMediaAvailable)(media)) : FALSE;
  });
}

// module → node; GetName (32, buffer)
void __cdecl GetModuleName(IHostContext* context, char* buffer, int length) {
  ORVEX_EXPORT(context, buffer, length);
  HostExport([&] {
    CallerText out(buffer, length);
    if (!out.Open()) return;
    Chain chain;
    ReadNodeName(ReachModuleNode(chain, context), out);
  });
}

// module → node; GetAddress (260, buffer)
void __cdecl GetModuleAddress(IHostContext* context, char* buffer, int length) {
  ORVEX_EXPORT(context, buffer, length);
  HostExport([&] {
    CallerText out(buffer, length);
    if (!out.Open()) return;
    Chain chain;
    ReadNodeAddress(ReachModuleNode(chain, context), out);
  });
}

}  // extern "C"
