// The fake title runtime, title and application: the context a module is
// handed, the runtime object, the application (title path and location,
// parameters, media, threads by name) and the module with its node.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "OrvexC/hostkit/Script.h"

namespace fake {

class FakeRuntimeObject;
class FakeApplication;
class FakeModule;
class FakeFrame;
class FakeNode;
class FakeSurface;
class FakeThread;
class FakeHostObject;
class FakeResources;

// A context: the title's own, or a thread's (then `thread` is that thread).
class FakeContext : public Object<IHostContext> {
 public:
  using Object::Object;
  FakeRuntimeObject* runtime = nullptr;
  FakeModule* module = nullptr;
  FakeFrame* frame = nullptr;
  FakeSurface* surface = nullptr;
  FakeThread* thread = nullptr;
  // Objects found by FindObject, by name; each scope key it was asked with is journaled.
  std::map<std::string, FakeHostObject*> objects;

  HRESULT STDMETHODCALLTYPE GetRuntime(IHostRuntime** out) override;
  HRESULT STDMETHODCALLTYPE GetModule(IHostModule** out) override;
  HRESULT STDMETHODCALLTYPE GetFrame(IHostFrame** out) override;
  HRESULT STDMETHODCALLTYPE GetSurface(IHostSurface** out) override;
  HRESULT STDMETHODCALLTYPE GetThread(IHostThread** out) override;
  HRESULT STDMETHODCALLTYPE FindObject(HostScopeKey scope, const char* name, IHostObject** out) override;
};

class FakeRuntimeObject : public Object<IHostRuntime> {
 public:
  using Object::Object;
  FakeResources* resources = nullptr;
  FakeNode* titleNode = nullptr;
  FakeApplication* app = nullptr;
  HRESULT STDMETHODCALLTYPE GetResources(IHostResources** out) override;
  HRESULT STDMETHODCALLTYPE GetTitleNode(IHostNode** out) override;
  HRESULT STDMETHODCALLTYPE GetApplication(IHostApplication** out) override;
};

class FakeApplication : public Object<IHostApplication> {
 public:
  using Object::Object;
  HINSTANCE instance = nullptr;
  int parameterCount = 0;
  std::vector<std::wstring> parameters;
  std::wstring location;
  std::wstring path;
  std::set<std::string> media;  // media answered with status 0 by IsMediaAvailable
  std::map<std::string, FakeThread*> threads;
  std::vector<std::string> started;  // names passed to StartThread

  HRESULT STDMETHODCALLTYPE IsMediaAvailable(const char* media) override;
  HRESULT STDMETHODCALLTYPE GetInstance(HINSTANCE* out) override;
  HRESULT STDMETHODCALLTYPE GetParameterCount(int* out) override;
  HRESULT STDMETHODCALLTYPE GetParameter(int index, BSTR* out) override;
  HRESULT STDMETHODCALLTYPE GetTitleLocation(BSTR* out) override;
  HRESULT STDMETHODCALLTYPE GetTitlePath(BSTR* out) override;
  HRESULT STDMETHODCALLTYPE StartThread(const char* name) override;
  HRESULT STDMETHODCALLTYPE FindThread(const char* name, IHostThread** out) override;
};

class FakeModule : public Object<IHostModule> {
 public:
  using Object::Object;
  FakeNode* node = nullptr;
  HRESULT STDMETHODCALLTYPE GetNode(IHostNode** out) override;
};

}  // namespace fake
