// The host kit's fake title runtime: every runtime interface, with a call
// journal, a scriptable status (and out-value behaviour) per method, and
// reference counts per object (Script.h). A title author runs a module
// against it and checks the module's calls; OrvexC's own tests and benchmark
// use it too. Objects are named in the journal: context, runtime, app,
// module, frame, surface, window, thread:<name>, node:<name>, object:<name>,
// scope, resources, resource:<name>, storage:<name>.
#pragma once

#include <string>

#include "OrvexC/hostkit/FakeFrames.h"
#include "OrvexC/hostkit/FakeObjects.h"
#include "OrvexC/hostkit/FakeResources.h"
#include "OrvexC/hostkit/FakeTitle.h"

namespace fake {

// The whole fake title: one context with its runtime, application, module,
// frame (with nodes), surface and window, all wired up; threads, objects,
// storages and resources are added by the test (or a title description).
class Runtime : public Recorder {
 public:
  Runtime();

  FakeContext context;
  FakeRuntimeObject runtime;
  FakeApplication app;
  FakeModule module;
  FakeFrame frame;
  FakeNode moduleNode;
  FakeNode frameNode;
  FakeNode titleNode;
  FakeSurface surface;
  FakeWindow window;
  FakeResources resources;

  IHostContext* ctx() { return &context; }

  // The title's name (its node's) and its path, which is also its location.
  void SetTitle(const std::string& name, const std::wstring& path);
  // A named thread with its own context, surface, window, frame and node
  // ("thread:<name>", "context:<name>", ...), found by FindThread.
  FakeThread& AddThread(const std::string& name);
  FakeContext& ThreadContext(const std::string& name);
  // An object of the frame, found by FindObject.
  FakeHostObject& AddObject(const std::string& name);
  FakeScope& AddScope(const std::string& name = "scope");
  // A storage and a resource of the title's resources, found by name.
  FakeStorage& AddStorage(const std::string& name);
  FakeResource& AddResource(const std::string& name);

 private:
  // A context of this title with its own frame (and node), surface and window.
  void WireContext(FakeContext& to, FakeFrame& itsFrame, FakeNode& itsNode, FakeSurface& itsSurface,
                   FakeWindow& itsWindow);
};

}  // namespace fake
