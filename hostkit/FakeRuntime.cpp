// The title's wiring: which fake hands out which.
#include "OrvexC/hostkit/FakeRuntime.h"

namespace fake {

Runtime::Runtime()
    : context(*this, "context"),
      runtime(*this, "runtime"),
      app(*this, "app"),
      module(*this, "module"),
      frame(*this, "frame"),
      moduleNode(*this, "node:module"),
      frameNode(*this, "node:frame"),
      titleNode(*this, "node:title"),
      surface(*this, "surface"),
      window(*this, "window"),
      resources(*this, "resources") {
  runtime.app = &app;
  runtime.resources = &resources;
  runtime.titleNode = &titleNode;
  module.node = &moduleNode;
  WireContext(context, frame, frameNode, surface, window);
}

void Runtime::WireContext(FakeContext& to, FakeFrame& itsFrame, FakeNode& itsNode, FakeSurface& itsSurface,
                          FakeWindow& itsWindow) {
  to.runtime = &runtime;
  to.module = &module;
  to.frame = &itsFrame;
  to.surface = &itsSurface;
  itsFrame.node = &itsNode;
  itsSurface.window = &itsWindow;
}

void Runtime::SetTitle(const std::string& name, const std::wstring& path) {
  titleNode.nodeName = name;
  app.path = app.location = path;
}

FakeThread& Runtime::AddThread(const std::string& name) {
  auto& thread = Make<FakeThread>("thread:" + name);
  auto& threadContext = Make<FakeContext>("context:" + name);
  WireContext(threadContext, Make<FakeFrame>("frame:" + name), Make<FakeNode>("node:frame:" + name),
              Make<FakeSurface>("surface:" + name), Make<FakeWindow>("window:" + name));
  thread.context = &threadContext;
  threadContext.thread = &thread;
  app.threads[name] = &thread;
  return thread;
}

FakeContext& Runtime::ThreadContext(const std::string& name) { return *app.threads.at(name)->context; }

FakeHostObject& Runtime::AddObject(const std::string& name) {
  return *(context.objects[name] = &Make<FakeHostObject>("object:" + name));
}

FakeScope& Runtime::AddScope(const std::string& name) { return Make<FakeScope>(name); }
FakeStorage& Runtime::AddStorage(const std::string& name) { return resources.NewStorage(name); }
FakeResource& Runtime::AddResource(const std::string& name) { return resources.NewResource(name); }

}  // namespace fake
