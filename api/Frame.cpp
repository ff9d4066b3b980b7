// Current frame services (111, 401-416): the calling module's frame, its
// window and the calling thread.
#include <windows.h>

#include <string>

#include "api/ContextActions.h"
#include "include/OrvexC.h"

using namespace orvex;

namespace {

// The calling thread (GetThread), then `action` on it.
template <class Action>
void OnCallingThread(IHostContext* context, Action action) {
  Chain chain;
  if (IHostThread* thread = ReachCallingThread(chain, context)) action(thread);
}

// A Windows call on the frame window, obtained through the public export.
template <class Result, class Call>
Result OnFrameWindow(IHostContext* context, Result none, Call call) {
  return OnWindow(GetFrameWindow(context), none, call);
}

// The title's name (GetTitleNode → node; GetName) followed by "."; empty when
// the title cannot be reached.
std::string TitlePrefix(IHostContext* context) {
  Chain chain;
  IHostNode* title = ReachTitleNode(chain, context);
  if (!title) return std::string();
  NameText name;
  ORVEX_CALL(title, GetName)(NameText::kCapacity, name.data());
  return std::string(name.Text()) + ".";
}

}  // namespace

extern "C" {

HWND __cdecl GetFrameWindow(IHostContext* context) {
  ORVEX_EXPORT(context);
  return HostExport<HWND>(nullptr, [&] { return ContextWindow(context); });
}

HMENU __cdecl GetFrameMenu(IHostContext* context) {
  ORVEX_EXPORT(context);
  return HostExport<HMENU>(nullptr, [&] {
    return OnFrameWindow<HMENU>(context, nullptr, [](HWND window) { return GetMenu(window); });
  });
}

void __cdecl GetFrameName(IHostContext* context, char* buffer, int length) {
  ORVEX_EXPORT(context, buffer, length);
  HostExport([&] {
    CallerText out(buffer, length);
    if (out.Open()) ContextFrameName(context, out);
  });
}

void __cdecl GetFrameAddress(IHostContext* context, char* buffer, int length) {
  ORVEX_EXPORT(context, buffer, length);
  HostExport([&] {
    CallerText out(buffer, length);
    if (out.Open()) ContextFrameAddress(context, out);
  });
}

void __cdecl ScrollWindowTo(IHostContext* context, int x, int y) {
  ORVEX_EXPORT(context, x, y);
  HostExport([&] {
    OnContextWindow(context, [&](IHostWindow* window) { ORVEX_CALL(window, ScrollTo)(x, y); });
  });
}

void __cdecl SetScrollIncrement(IHostContext* context, int horizontal, int vertical) {
  ORVEX_EXPORT(context, horizontal, vertical);
  HostExport([&] {
    OnContextWindow(context, [&](IHostWindow* window) {
      ORVEX_CALL(window, SetScrollIncrement)(horizontal, vertical);
    });
  });
}

void __cdecl BranchByPath(IHostContext* context, int path) {
  ORVEX_EXPORT(context, path);
  HostExport([&] {
    OnCallingThread(context, [&](IHostThread* thread) { ORVEX_CALL(thread, BranchByPath)(path); });
  });
}

void __cdecl BranchByPathName(IHostContext* context, const char* pathName) {
  ORVEX_EXPORT(context, pathName);
  HostExport([&] {
    if (!pathName) return;
    OnCallingThread(context, [&](IHostThread* thread) { ORVEX_CALL(thread, BranchByPathName)(pathName); });
  });
}

void __cdecl BranchByColor(IHostContext* context, int color) {
  ORVEX_EXPORT(context, color);
  HostExport([&] {
    OnCallingThread(context, [&](IHostThread* thread) { ORVEX_CALL(thread, BranchByColor)(color); });
  });
}

void __cdecl BranchToFrame(IHostContext* context, const char* frame) {
  ORVEX_EXPORT(context, frame);
  HostExport([&] {
    if (!frame) return;
    OnCallingThread(context, [&](IHostThread* thread) { ORVEX_CALL(thread, BranchToFrame)(frame); });
  });
}

// "<title name>.<frame>", or the frame alone when the title cannot be reached.
void __cdecl BranchToTitleFrame(IHostContext* context, const char* frame) {
  ORVEX_EXPORT(context, frame);
  HostExport([&] {
    if (!frame) return;
    std::string composed = TitlePrefix(context) + frame;
    BranchToFrame(context, composed.c_str());
  });
}

void __cdecl SetReturnBranch(IHostContext* context, int value) {
  ORVEX_EXPORT(context, value);
  HostExport([&] {
    OnCallingThread(context, [&](IHostThread* thread) { ORVEX_CALL(thread, SetReturnBranch)(value); });
  });
}

BOOL __cdecl IsFrameVisible(IHostContext* context) {
  ORVEX_EXPORT(context);
  return HostExport<BOOL>(FALSE, [&] {
    return OnFrameWindow<BOOL>(context, FALSE, [](HWND window) { return IsWindowVisible(window); });
  });
}

void __cdecl ShowFrameWindow(IHostContext* context) {
  ORVEX_EXPORT(context);
  HostExport([&] { OnFrameWindow(context, FALSE, [](HWND window) { return ShowWindow(window, SW_SHOW); }); });
}

void __cdecl HideFrameWindow(IHostContext* context) {
  ORVEX_EXPORT(context);
  HostExport([&] { OnFrameWindow(context, FALSE, [](HWND window) { return ShowWindow(window, SW_HIDE); }); });
}

// Destroys the window at once, unlike CloseThreadWindow, which asks its owner.
void __cdecl CloseFrameWindow(IHostContext* context) {
  ORVEX_EXPORT(context);
  HostExport([&] { OnFrameWindow(context, FALSE, [](HWND window) { return DestroyWindow(window); }); });
}

void __cdecl SendFrameMessage(IHostContext* context, int value1, int value2, int value3) {
  ORVEX_EXPORT(context, value1, value2, value3);
  HostExport([&] {
    OnCallingThread(context, [&](IHostThread* thread) {
      ORVEX_CALL(thread, SendValues)(value1, value2, value3);
    });
  });
}

}  // extern "C"
