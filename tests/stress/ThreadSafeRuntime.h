// A fake title runtime that may be called from many threads at once: atomic
// reference counts, BSTRs tracked in a locked set, and a check on every call
// that the library's own module state is current on the calling thread.
// Each "world" is one context with its runtime, application, module, node,
// surface, named thread and object, answering texts that name its owner;
// a named thread, an object and a scope object are shared by every world.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "frame/Framework.h"
#include "frame/HostInterfaces.h"

namespace tsfake {

// What every fake object and call reports to: counts only, all atomic.
struct Ledger {
  std::atomic<long> callsInside{0};
  std::atomic<long> wrongStateInside{0};  // runtime calls made outside the library's module state
  std::atomic<long> releasedBelowStart{0};
  std::atomic<long> stringsHanded{0};
  std::atomic<long> stringsFreed{0};
  std::atomic<long> unknownFrees{0};  // frees of strings not handed out, or freed twice

  // The library's module state, learned from a first call; null while learning.
  std::atomic<const orvex::fw::ModuleState*> libraryState{nullptr};

  void NoteHanded(BSTR text);
  void NoteFreed(BSTR text);
  std::size_t LiveStrings();

 private:
  std::mutex lock_;
  std::set<BSTR> live_;
};

Ledger& TheLedger();

// The calling thread's framework thread state inside the library, set by each
// thread before it calls; the fakes read the current module state from it.
void SetThreadState(orvex::fw::ThreadState* state);
// The module state the last runtime call on this thread saw.
const orvex::fw::ModuleState* LastStateInside();

// Routes OrvexC.dll's SysFreeString through the ledger (thread-safe).
bool HookSysFreeString(HMODULE library);

// Reference counting shared by every fake: starts at 1 (the test's own).
class Counted {
 public:
  explicit Counted(std::string name) : name_(std::move(name)) {}
  virtual ~Counted() = default;
  long Refs() const { return refs_.load(); }
  const std::string& Name() const { return name_; }

 protected:
  ULONG Up() { return static_cast<ULONG>(++refs_); }
  ULONG Down();

 private:
  std::atomic<long> refs_{1};
  std::string name_;
};

template <class I>
class Object : public I, public Counted {
 public:
  explicit Object(std::string name) : Counted(std::move(name)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return Up(); }
  ULONG STDMETHODCALLTYPE Release() override { return Down(); }

 protected:
  // Every method starts here: counts the call and checks the module state.
  static void Enter();
  template <class T>
  static HRESULT Hand(T* object, T** out) {
    Enter();
    if (!out) return E_POINTER;
    *out = object;
    if (!object) return E_FAIL;
    object->AddRef();
    return S_OK;
  }
  static HRESULT HandText(const std::wstring& text, BSTR* out);
  std::vector<GUID> answers_;  // interface identifiers answered besides IUnknown
};

// Notes the call and whether the library's module state is current.
void EnterRuntimeCall();
HRESULT HandString(const std::wstring& text, BSTR* out);

template <class I>
HRESULT STDMETHODCALLTYPE Object<I>::QueryInterface(REFIID iid, void** out) {
  EnterRuntimeCall();
  if (!out) return E_POINTER;
  *out = nullptr;
  bool answered = IsEqualGUID(iid, IID_IUnknown);
  for (const GUID& id : answers_) answered = answered || IsEqualGUID(iid, id);
  if (!answered) return E_NOINTERFACE;
  *out = static_cast<I*>(this);
  AddRef();
  return S_OK;
}

template <class I>
void Object<I>::Enter() {
  EnterRuntimeCall();
}

template <class I>
HRESULT Object<I>::HandText(const std::wstring& text, BSTR* out) {
  return HandString(text, out);
}

class Node : public Object<IHostNode> {
 public:
  Node(std::string name, std::string nodeName) : Object(std::move(name)), nodeName_(std::move(nodeName)) {}
  HRESULT STDMETHODCALLTYPE GetName(int capacity, char* buffer) override;
  HRESULT STDMETHODCALLTYPE GetAddress(int capacity, char* buffer) override;

 private:
  std::string nodeName_;
};

class Module : public Object<IHostModule> {
 public:
  using Object::Object;
  Node* node = nullptr;
  HRESULT STDMETHODCALLTYPE GetNode(IHostNode** out) override { return Hand<IHostNode>(node, out); }
};

class Frame : public Object<IHostFrame> {
 public:
  using Object::Object;
  Node* node = nullptr;
  HRESULT STDMETHODCALLTYPE GetNode(IHostNode** out) override { return Hand<IHostNode>(node, out); }
};

class Surface : public Object<IHostSurface> {
 public:
  using Object::Object;
  std::atomic<int> x{0}, y{0}, width{640}, height{480};
  HRESULT STDMETHODCALLTYPE GetWindow(IHostWindow** out) override;
  HRESULT STDMETHODCALLTYPE Hide() override { return Enter(), S_OK; }
  HRESULT STDMETHODCALLTYPE Show() override { return Enter(), S_OK; }
  HRESULT STDMETHODCALLTYPE GetVisible(int* out) override;
  HRESULT STDMETHODCALLTYPE GetGeometry(int* px, int* py, int* pw, int* ph) override;
  HRESULT STDMETHODCALLTYPE SetGeometry(int nx, int ny, int nw, int nh) override;
  HRESULT STDMETHODCALLTYPE Print(int, int) override { return Enter(), S_OK; }
  HRESULT STDMETHODCALLTYPE IsPaintingFrozen() override { return Enter(), S_FALSE; }
  HRESULT STDMETHODCALLTYPE FreezePainting(int) override { return Enter(), S_OK; }
};

class Thread : public Object<IHostThread> {
 public:
  Thread(std::string name, HRESULT running) : Object(std::move(name)), running_(running) {}
  HRESULT STDMETHODCALLTYPE Stop() override { return Enter(), S_OK; }
  HRESULT STDMETHODCALLTYPE IsRunning() override { return Enter(), running_; }
  HRESULT STDMETHODCALLTYPE GetContext(IHostContext** out) override { return Hand<IHostContext>(nullptr, out); }
  HRESULT STDMETHODCALLTYPE BranchByPath(int) override { return Enter(), S_OK; }
  HRESULT STDMETHODCALLTYPE BranchByPathName(const char*) override { return Enter(), S_OK; }
  HRESULT STDMETHODCALLTYPE BranchByColor(int) override { return Enter(), S_OK; }
  HRESULT STDMETHODCALLTYPE BranchToFrame(const char*) override { return Enter(), S_OK; }
  HRESULT STDMETHODCALLTYPE SetZOrder(IHostThread*) override { return Enter(), S_OK; }
  HRESULT STDMETHODCALLTYPE SendValues(int, int, int) override { return Enter(), S_OK; }
  HRESULT STDMETHODCALLTYPE SetReturnBranch(int) override { return Enter(), S_OK; }

 private:
  HRESULT running_;
};

class Application : public Object<IHostApplication> {
 public:
  using Object::Object;
  std::wstring location, path;
  std::vector<std::wstring> parameters;  // an index past them fails
  std::string media;                     // the one medium answered with status 0
  Thread* ownThread = nullptr;           // found by its name
  Thread* sharedThread = nullptr;        // found as "shared"

  HRESULT STDMETHODCALLTYPE IsMediaAvailable(const char* name) override;
  HRESULT STDMETHODCALLTYPE GetInstance(HINSTANCE* out) override;
  HRESULT STDMETHODCALLTYPE GetParameterCount(int* out) override;
  HRESULT STDMETHODCALLTYPE GetParameter(int index, BSTR* out) override;
  HRESULT STDMETHODCALLTYPE GetTitleLocation(BSTR* out) override { return HandText(location, out); }
  HRESULT STDMETHODCALLTYPE GetTitlePath(BSTR* out) override { return HandText(path, out); }
  HRESULT STDMETHODCALLTYPE StartThread(const char*) override { return Enter(), S_OK; }
  HRESULT STDMETHODCALLTYPE FindThread(const char* name, IHostThread** out) override;
};

class RuntimeObject : public Object<IHostRuntime> {
 public:
  using Object::Object;
  Application* app = nullptr;
  HRESULT STDMETHODCALLTYPE GetResources(IHostResources** out) override { return Hand<IHostResources>(nullptr, out); }
  HRESULT STDMETHODCALLTYPE GetTitleNode(IHostNode** out) override { return Hand<IHostNode>(nullptr, out); }
  HRESULT STDMETHODCALLTYPE GetApplication(IHostApplication** out) override {
    return Hand<IHostApplication>(app, out);
  }
};

class HostObject : public Object<IHostObject> {
 public:
  HostObject(std::string name, RECT rect) : Object(std::move(name)), rect_(rect) {}
  HRESULT STDMETHODCALLTYPE GetRect(RECT* out) override;
  HRESULT STDMETHODCALLTYPE SetRect(const RECT*, int) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFlags(int*) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ChangeFlags(int, int) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTransparent(int*, int*) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetTransparent(int, int, int) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetKeyColor(int*, int*) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetKeyColor(int, int, int) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAntiAlias(short*, int*) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetAntiAlias(int, int, int) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetEnabled(int, int) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetEnabled(int*) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetVisible(int, int) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVisible(int*) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetZOrder(int*) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetZOrder(int, int) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFocus(int*) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetFocus(int) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetState(int*) override { return Enter(), E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetState(int) override { return Enter(), E_NOTIMPL; }

 private:
  RECT rect_;
};

// A scope object: answers IID_IHostScope with its key.
class Scope : public Object<IHostScope> {
 public:
  Scope(std::string name, HostScopeKey key);
  HRESULT STDMETHODCALLTYPE GetScopeKey(HostScopeKey* out) override;

 private:
  HostScopeKey key_;
};

class Context : public Object<IHostContext> {
 public:
  using Object::Object;
  RuntimeObject* runtime = nullptr;
  Module* module = nullptr;
  Frame* frame = nullptr;
  Surface* surface = nullptr;
  HostScopeKey scopeKey = nullptr;    // the only key objects are found with
  HostObject* ownObject = nullptr;    // "own"
  HostObject* sharedObject = nullptr;  // "shared"

  HRESULT STDMETHODCALLTYPE GetRuntime(IHostRuntime** out) override { return Hand<IHostRuntime>(runtime, out); }
  HRESULT STDMETHODCALLTYPE GetModule(IHostModule** out) override { return Hand<IHostModule>(module, out); }
  HRESULT STDMETHODCALLTYPE GetFrame(IHostFrame** out) override { return Hand<IHostFrame>(frame, out); }
  HRESULT STDMETHODCALLTYPE GetSurface(IHostSurface** out) override { return Hand<IHostSurface>(surface, out); }
  HRESULT STDMETHODCALLTYPE GetThread(IHostThread** out) override { return Hand<IHostThread>(nullptr, out); }
  HRESULT STDMETHODCALLTYPE FindObject(HostScopeKey scope, const char* name, IHostObject** out) override;
};

// What every world shares.
struct Shared {
  Thread thread{"thread:shared", S_OK};
  HostObject object{"object:shared", RECT{500, 20, 540, 60}};
  Scope scope{"scope", reinterpret_cast<HostScopeKey>(0x5C0BE)};
};

// One thread's own title, answering texts that carry its number.
struct World {
  World(int number, Shared& shared);
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  int number;
  Context context;
  RuntimeObject runtime;
  Application app;
  Module module;
  Frame frame;
  Node moduleNode;
  Node frameNode;
  Surface surface;
  Thread ownThread;
  HostObject ownObject;

  std::vector<const Counted*> Objects() const;
};

// "name=refs" for every object whose count is not back at 1.
std::vector<std::string> Unbalanced(const std::vector<const Counted*>& objects);

}  // namespace tsfake
