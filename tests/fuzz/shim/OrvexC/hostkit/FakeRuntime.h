// Native stand-in for the host kit's fake title runtime, as far as the title
// reader (hostkit/TitleFolder.cpp) fills it in: the same members, of the same
// types, without the runtime interfaces, the journal and COM. The fuzz target
// tests/fuzz/fuzz_title_folder.cpp builds the real reader against it; a member
// the reader starts to use and this lacks shows as a build failure there.
#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <cstring>

namespace hostkit {

// As the real Widened (Ledger.h), which the reader only stores: byte by byte.
inline std::wstring Widened(const char* text) {
  return text ? std::wstring(text, text + std::strlen(text)) : std::wstring();
}

}  // namespace hostkit

namespace fake {

struct FakeNode {
  std::string nodeName, address;
};
struct FakeThread {
  bool running = true;
  FakeNode frameNode;  // the node of the thread's own frame
  void SetFrame(const std::string& name, const std::string& address = "") { frameNode = {name, address}; }
};
struct FakeHostObject {
  RECT rect = {0, 0, 0, 0};
  int enabled = 0, visible = 0, zOrder = 0, focus = 0, state = 0;
};
struct FakeStorage {
  std::wstring location;
};
struct FakeResource {
  std::string fileName;
};
struct FakeContext {
  std::map<std::string, FakeHostObject*> objects;
};
struct FakeApplication {
  int parameterCount = 0;
  std::vector<std::wstring> parameters;
  std::wstring location, path;
  std::set<std::string> media;
  std::map<std::string, FakeThread*> threads;
};
struct FakeResources {
  std::map<std::string, FakeStorage*> storages;
  std::map<std::string, FakeResource*> resources;
};

class Runtime {
 public:
  FakeContext context;
  FakeApplication app;
  FakeNode moduleNode, frameNode, titleNode;
  FakeResources resources;

  // As the real ones: each adds a new one under its name (replacing an
  // earlier one of that name in the lookup, as the real maps do).
  FakeThread& AddThread(const std::string& name) { return *(app.threads[name] = &Keep(threads_)); }
  FakeHostObject& AddObject(const std::string& name) { return *(context.objects[name] = &Keep(objects_)); }
  FakeStorage& AddStorage(const std::string& name) { return *(resources.storages[name] = &Keep(storages_)); }
  FakeResource& AddResource(const std::string& name) { return *(resources.resources[name] = &Keep(resources_)); }

 private:
  template <typename T>
  static T& Keep(std::deque<T>& all) {
    all.emplace_back();
    return all.back();
  }
  std::deque<FakeThread> threads_;
  std::deque<FakeHostObject> objects_;
  std::deque<FakeStorage> storages_;
  std::deque<FakeResource> resources_;
};

}  // namespace fake
