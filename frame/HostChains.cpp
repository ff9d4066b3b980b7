#include "frame/HostChains.h"

namespace orvex {

IHostRuntime* ReachRuntime(Chain& chain, IHostContext* context) noexcept {
  IHostRuntime* runtime = nullptr;
  return context && chain.Take(context->GetRuntime(&runtime), &runtime) ? runtime : nullptr;
}

IHostApplication* ReachApplication(Chain& chain, IHostContext* context) noexcept {
  IHostRuntime* runtime = ReachRuntime(chain, context);
  IHostApplication* app = nullptr;
  return runtime && chain.Take(runtime->GetApplication(&app), &app) ? app : nullptr;
}

IHostResources* ReachResources(Chain& chain, IHostContext* context) noexcept {
  IHostRuntime* runtime = ReachRuntime(chain, context);
  IHostResources* resources = nullptr;
  return runtime && chain.Take(runtime->GetResources(&resources), &resources) ? resources
                                                                               : nullptr;
}

IHostNode* ReachTitleNode(Chain& chain, IHostContext* context) noexcept {
  IHostRuntime* runtime = ReachRuntime(chain, context);
  IHostNode* node = nullptr;
  return runtime && chain.Take(runtime->GetTitleNode(&node), &node) ? node : nullptr;
}

IHostNode* ReachModuleNode(Chain& chain, IHostContext* context) noexcept {
  IHostModule* module = nullptr;
  if (!context || !chain.Take(context->GetModule(&module), &module)) return nullptr;
  IHostNode* node = nullptr;
  return chain.Take(module->GetNode(&node), &node) ? node : nullptr;
}

IHostNode* ReachFrameNode(Chain& chain, IHostContext* context) noexcept {
  IHostFrame* frame = nullptr;
  if (!context || !chain.Take(context->GetFrame(&frame), &frame)) return nullptr;
  IHostNode* node = nullptr;
  return chain.Take(frame->GetNode(&node), &node) ? node : nullptr;
}

IHostSurface* ReachSurface(Chain& chain, IHostContext* context) noexcept {
  IHostSurface* surface = nullptr;
  return context && chain.Take(context->GetSurface(&surface), &surface) ? surface : nullptr;
}

IHostWindow* ReachWindow(Chain& chain, IHostSurface* surface) noexcept {
  IHostWindow* window = nullptr;
  return surface && chain.Take(surface->GetWindow(&window), &window) ? window : nullptr;
}

IHostWindow* ReachWindow(Chain& chain, IHostContext* context) noexcept {
  return ReachWindow(chain, ReachSurface(chain, context));
}

IHostThread* ReachCallingThread(Chain& chain, IHostContext* context) noexcept {
  IHostThread* thread = nullptr;
  return context && chain.Take(context->GetThread(&thread), &thread) ? thread : nullptr;
}

IHostThread* ReachThread(Chain& chain, IHostApplication* app, const char* name) noexcept {
  IHostThread* thread = nullptr;
  return app && chain.Take(app->FindThread(name, &thread), &thread) ? thread : nullptr;
}

IHostThread* ReachNamedThread(Chain& chain, IHostContext* context, const char* name) noexcept {
  return ReachThread(chain, ReachApplication(chain, context), name);
}

IHostContext* ReachThreadContext(Chain& chain, IHostContext* context, const char* name) noexcept {
  IHostThread* thread = ReachNamedThread(chain, context, name);
  IHostContext* threadContext = nullptr;
  return thread && chain.Take(thread->GetContext(&threadContext), &threadContext) ? threadContext
                                                                                  : nullptr;
}

void ReadNodeName(IHostNode* node, CallerText& out) noexcept {
  if (!node) return;
  NameText name;
  node->GetName(NameText::kCapacity, name.data());
  out.Put(name.Text());
}

void ReadNodeAddress(IHostNode* node, CallerText& out) noexcept {
  if (!node) return;
  AddressText address;
  node->GetAddress(AddressText::kCapacity, address.data());
  out.Put(address.Text());
}

HWND ReadWindowHandle(IHostWindow* window) noexcept {
  HWND handle = nullptr;
  if (window) window->GetHandle(&handle);
  return handle;
}

}  // namespace orvex
