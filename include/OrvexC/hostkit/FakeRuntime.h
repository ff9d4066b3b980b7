// The host kit's fake title runtime: every runtime interface, with a call
// journal, a scriptable status (and out-value behaviour) per method, and
// reference counts per object. A title author runs a module against it and
// checks the module's calls; OrvexC's own tests and benchmark use it too. Objects are named in the journal:
// context, runtime, app, module, frame, surface, window, thread:<name>,
// node:<name>, object:<name>, scope, resources, resource:<name>, storage:<name>.
//
// Each object starts with one reference, the test's own. Every interface the
// fake hands out carries one more, which the library must release: after
// every export every object is back at 1 (Runtime::UnbalancedObjects()).
//
// A runtime marked `shared` may be called from many threads (its objects
// lock it); one marked `quiet` keeps no journal and answers every call with
// 0, for measuring what the library adds to the runtime's own cost.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "OrvexC/hostkit/Journal.h"
#include "OrvexC/hostkit/Ledger.h"
#include "OrvexC/hostkit/RuntimeInterfaces.h"

namespace fake {

class Runtime;

// The bookkeeping that every fake object has.
class Base {
 public:
  Base(Runtime& runtime, std::string name) : runtime_(runtime), name_(std::move(name)) {}
  virtual ~Base() = default;
  const std::string& name() const { return name_; }
  ULONG refs() const { return refs_; }

  // The status method `method` answers (0 unless scripted).
  std::map<int, HRESULT> status;
  // Methods that answer with a null out-pointer (whatever their status).
  std::set<int> nullOut;
  // Methods that still write their out-values when their status is not 0.
  std::set<int> writeOnFailure;
  // Methods whose scripted status and null out-pointer apply to one call of
  // them alone: the n-th, counted from 0. Others answer as unscripted.
  std::map<int, int> onlyCall;

  // Whether the call of `method` in progress is one its script applies to.
  bool Scripted(int method) const {
    auto only = onlyCall.find(method);
    if (only == onlyCall.end()) return true;
    auto made = calls_.find(method);
    return made != calls_.end() && made->second - 1 == only->second;
  }
  bool NullOut(int method) const { return nullOut.count(method) != 0 && Scripted(method); }

 protected:
  Runtime& runtime_;
  std::string name_;
  std::atomic<ULONG> refs_{1};
  std::map<int, int> calls_;  // calls made so far, by method

  // Counts a call of `method` and gives the status it answers (0 unless scripted).
  HRESULT Answer(int method) {
    ++calls_[method];
    auto it = status.find(method);
    return it == status.end() || !Scripted(method) ? S_OK : it->second;
  }
};

// Base of a fake implementing interface I (derived from IUnknown).
template <class I>
class Object : public I, public Base {
 public:
  Object(Runtime& runtime, std::string name);
  ~Object() override;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  // Holds the runtime's lock for the call in progress when it is shared.
  std::unique_lock<std::recursive_mutex> Hold() const;
  ULONG STDMETHODCALLTYPE Release() override;

  // Interface identifiers answered besides IUnknown.
  std::vector<GUID> answers;

 protected:
  // Journals the call and returns the scripted status.
  template <class... A>
  HRESULT Call(int method, A... args);
  // Whether the out-values of `method` are written for `status`.
  bool Writes(int method, HRESULT status) const {
    return status == S_OK || writeOnFailure.count(method) != 0;
  }
  // Hands `object` out through `out` with a reference of its own.
  template <class T>
  HRESULT Hand(int method, HRESULT status, T* object, T** out);
  // A BSTR copy of `text` for the library, recorded by the runtime.
  HRESULT HandText(int method, HRESULT status, const std::wstring* text, BSTR* out);
};

class FakeNode;
class FakeThread;
class FakeSurface;
class FakeWindow;
class FakeHostObject;
class FakeResources;
class FakeResource;
class FakeStorage;
class FakeApplication;
class FakeRuntimeObject;
class FakeModule;
class FakeFrame;

class FakeContext : public Object<IHostContext> {
 public:
  using Object::Object;
  FakeRuntimeObject* runtime = nullptr;
  FakeModule* module = nullptr;
  FakeFrame* frame = nullptr;
  FakeSurface* surface = nullptr;
  FakeThread* thread = nullptr;
  // Objects found by method 21, by name; each scope key it was asked with is journaled.
  std::map<std::string, FakeHostObject*> objects;

  HRESULT STDMETHODCALLTYPE GetRuntime(IHostRuntime** out) override;
  HRESULT STDMETHODCALLTYPE GetModule(IHostModule** out) override;
  HRESULT STDMETHODCALLTYPE GetFrame(IHostFrame** out) override;
  HRESULT STDMETHODCALLTYPE GetSurface(IHostSurface** out) override;
  HRESULT STDMETHODCALLTYPE GetThread(IHostThread** out) override;
  HRESULT STDMETHODCALLTYPE FindObject(HostScopeKey scope, const char* name,
                                       IHostObject** out) override;
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
  std::set<std::string> media;  // media answered with status 0 by method 6
  std::map<std::string, FakeThread*> threads;
  std::vector<std::string> started;  // names passed to method 17

  HRESULT STDMETHODCALLTYPE IsMediaAvailable(const char* media) override;
  HRESULT STDMETHODCALLTYPE GetInstance(HINSTANCE* out) override;
  HRESULT STDMETHODCALLTYPE GetParameterCount(int* out) override;
  HRESULT STDMETHODCALLTYPE GetParameter(int index, BSTR* out) override;
  HRESULT STDMETHODCALLTYPE GetTitleLocation(BSTR* out) override;
  HRESULT STDMETHODCALLTYPE GetTitlePath(BSTR* out) override;
  HRESULT STDMETHODCALLTYPE StartThread(const char* name) override;
  HRESULT STDMETHODCALLTYPE FindThread(const char* name, IHostThread** out) override;
};

class FakeThread : public Object<IHostThread> {
 public:
  using Object::Object;
  FakeContext* context = nullptr;  // the thread's own context (method 8)

  HRESULT STDMETHODCALLTYPE Stop() override { return Call(4); }
  HRESULT STDMETHODCALLTYPE IsRunning() override { return Call(7); }
  HRESULT STDMETHODCALLTYPE GetContext(IHostContext** out) override;
  HRESULT STDMETHODCALLTYPE BranchByPath(int path) override { return Call(11, path); }
  HRESULT STDMETHODCALLTYPE BranchByPathName(const char* name) override { return Call(12, name); }
  HRESULT STDMETHODCALLTYPE BranchByColor(int color) override { return Call(13, color); }
  HRESULT STDMETHODCALLTYPE BranchToFrame(const char* frame) override { return Call(14, frame); }
  HRESULT STDMETHODCALLTYPE SetZOrder(IHostThread* other) override {
    return Call(15, static_cast<const void*>(other));
  }
  HRESULT STDMETHODCALLTYPE SendValues(int v1, int v2, int v3) override { return Call(16, v1, v2, v3); }
  HRESULT STDMETHODCALLTYPE SetReturnBranch(int value) override { return Call(17, value); }
};

class FakeModule : public Object<IHostModule> {
 public:
  using Object::Object;
  FakeNode* node = nullptr;
  HRESULT STDMETHODCALLTYPE GetNode(IHostNode** out) override;
};

class FakeFrame : public Object<IHostFrame> {
 public:
  using Object::Object;
  FakeNode* node = nullptr;
  HRESULT STDMETHODCALLTYPE GetNode(IHostNode** out) override;
};

class FakeNode : public Object<IHostNode> {
 public:
  using Object::Object;
  // Written with strncpy(buffer, text, capacity): a text of `capacity`
  // characters or more fills the whole capacity without a terminator.
  std::string nodeName;
  std::string address;
  HRESULT STDMETHODCALLTYPE GetName(int capacity, char* buffer) override;
  HRESULT STDMETHODCALLTYPE GetAddress(int capacity, char* buffer) override;
};

class FakeSurface : public Object<IHostSurface> {
 public:
  using Object::Object;
  FakeWindow* window = nullptr;
  int visible = 1;
  int x = 0, y = 0, width = 0, height = 0;

  HRESULT STDMETHODCALLTYPE GetWindow(IHostWindow** out) override;
  HRESULT STDMETHODCALLTYPE Hide() override { return Call(7); }
  HRESULT STDMETHODCALLTYPE Show() override { return Call(8); }
  HRESULT STDMETHODCALLTYPE GetVisible(int* out) override;
  HRESULT STDMETHODCALLTYPE GetGeometry(int* px, int* py, int* pw, int* ph) override;
  HRESULT STDMETHODCALLTYPE SetGeometry(int nx, int ny, int nw, int nh) override;
  HRESULT STDMETHODCALLTYPE Print(int v1, int v2) override { return Call(12, v1, v2); }
  HRESULT STDMETHODCALLTYPE IsPaintingFrozen() override { return Call(13); }
  HRESULT STDMETHODCALLTYPE FreezePainting(int freeze) override { return Call(14, freeze); }
};

class FakeWindow : public Object<IHostWindow> {
 public:
  using Object::Object;
  HWND handle = nullptr;
  HRESULT STDMETHODCALLTYPE GetHandle(HWND* out) override;
  HRESULT STDMETHODCALLTYPE Print(int v1, int v2) override { return Call(4, v1, v2); }
  HRESULT STDMETHODCALLTYPE SetScrollIncrement(int h, int v) override { return Call(5, h, v); }
  HRESULT STDMETHODCALLTYPE ScrollTo(int px, int py) override { return Call(6, px, py); }
  HRESULT STDMETHODCALLTYPE SetStatusText(const char* text) override { return Call(7, text); }
  HRESULT STDMETHODCALLTYPE ShowProgress(int v1, int v2, int v3) override {
    return Call(8, v1, v2, v3);
  }
};

// A scope object: answers IID_IHostScope when `offersScope` is set.
class FakeScope : public Object<IHostScope> {
 public:
  FakeScope(Runtime& runtime, std::string name);
  HostScopeKey key = nullptr;
  bool writesKey = true;
  HRESULT STDMETHODCALLTYPE GetScopeKey(HostScopeKey* out) override;
  void OfferScope(bool offer);
};

class FakeHostObject : public Object<IHostObject> {
 public:
  using Object::Object;
  RECT rect = {0, 0, 0, 0};
  int flags = 0;       // appearance flags word (15, 16)
  int transparentFirst = 0, transparentSecond = 0;
  int keyColorFirst = 0, keyColorSecond = 0;
  int antiAliasFirst = 0;
  short antiAliasSecond = 0;
  int enabled = 0, visible = 0, zOrder = 0, focus = 0, state = 0;

  HRESULT STDMETHODCALLTYPE GetRect(RECT* out) override;
  HRESULT STDMETHODCALLTYPE SetRect(const RECT* in, int one) override;
  HRESULT STDMETHODCALLTYPE GetFlags(int* out) override;
  HRESULT STDMETHODCALLTYPE ChangeFlags(int remove, int add) override;
  HRESULT STDMETHODCALLTYPE GetTransparent(int* second, int* first) override;
  HRESULT STDMETHODCALLTYPE SetTransparent(int second, int first, int one) override;
  HRESULT STDMETHODCALLTYPE GetKeyColor(int* second, int* first) override;
  HRESULT STDMETHODCALLTYPE SetKeyColor(int second, int first, int one) override;
  HRESULT STDMETHODCALLTYPE GetAntiAlias(short* second, int* first) override;
  HRESULT STDMETHODCALLTYPE SetAntiAlias(int second, int first, int one) override;
  HRESULT STDMETHODCALLTYPE SetEnabled(int value, int one) override;
  HRESULT STDMETHODCALLTYPE GetEnabled(int* out) override;
  HRESULT STDMETHODCALLTYPE SetVisible(int value, int one) override;
  HRESULT STDMETHODCALLTYPE GetVisible(int* out) override;
  HRESULT STDMETHODCALLTYPE GetZOrder(int* out) override;
  HRESULT STDMETHODCALLTYPE SetZOrder(int value, int one) override;
  HRESULT STDMETHODCALLTYPE GetFocus(int* out) override;
  HRESULT STDMETHODCALLTYPE SetFocus(int one) override;
  HRESULT STDMETHODCALLTYPE GetState(int* out) override;
  HRESULT STDMETHODCALLTYPE SetState(int value) override;
};

class FakeStorage : public Object<IResourceStorage> {
 public:
  FakeStorage(Runtime& runtime, std::string name);
  std::wstring location;
  bool hasLocation = true;  // false: method 13 hands out a null BSTR
  std::vector<std::string> locationsSet;
  std::vector<std::string> namesSet;
  HRESULT STDMETHODCALLTYPE GetLocation(BSTR* out) override;
  HRESULT STDMETHODCALLTYPE SetLocation(const char* text) override;
  HRESULT STDMETHODCALLTYPE SetName(const char* text) override;
};

// A resource: on Start it sends its listener the scripted notifications.
class FakeResource : public Object<IHostResource> {
 public:
  using Object::Object;
  // What Start does, given the advised listener; by default OnStart with no
  // binding, OnProgress with status code 14 and `fileName`, then OnStop.
  std::function<void(IResourceNotify*)> onStart;
  std::string fileName;
  IResourceNotify* advised = nullptr;
  HRESULT STDMETHODCALLTYPE Advise(IResourceNotify* notify) override;
  HRESULT STDMETHODCALLTYPE Unadvise(IResourceNotify* notify) override;
  HRESULT STDMETHODCALLTYPE Start(DWORD value, DWORD zero) override;
};

class FakeResources : public Object<IHostResources> {
 public:
  using Object::Object;
  std::map<std::string, FakeStorage*> storages;
  std::map<std::string, FakeResource*> resources;
  HRESULT resourceStatus = S_OK;  // status of method 20 when the resource exists
  // When set, a name not added is found too: a resource delivering fileDirectory + name.
  std::string fileDirectory;
  DWORD cookie = 0;
  // Storages handed over with method 8; the runtime keeps their reference.
  std::vector<IResourceStorage*> added;
  ~FakeResources() override;

  HRESULT STDMETHODCALLTYPE AddStorage(IResourceStorage* storage) override;
  HRESULT STDMETHODCALLTYPE FindStorage(const char* name, IResourceStorage** out) override;
  HRESULT STDMETHODCALLTYPE FindResourceByName(const char* name, DWORD* cookie,
                                               IHostResource** out) override;
};

// The whole fake title: one context with its runtime, application, module,
// frame (with nodes), surface and window, all wired up; threads, objects,
// storages and resources are added by the test.
class Runtime {
 public:
  Runtime();
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  Journal journal;
  Names names;
  bool shared = false;  // called from many threads: every call locks `mutex`
  bool quiet = false;   // no journal, no scripts: every call answers 0
  std::recursive_mutex mutex;
  // Called at the start of every runtime call (not in quiet mode): a test
  // checks there what must hold while the library is inside the runtime.
  std::function<void()> onCall;

 private:
  // Before the fakes below: each registers itself here as it is built.
  std::vector<Base*> objects_;
  std::vector<std::unique_ptr<Base>> owned_;

 public:
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

  // A named thread with its own context, surface, window, frame and node
  // ("thread:<name>", "context:<name>", ...), known to app 21.
  FakeThread& AddThread(const std::string& name);
  FakeContext& ThreadContext(const std::string& name);
  FakeHostObject& AddObject(const std::string& name);
  FakeScope& AddScope(const std::string& name = "scope");
  FakeStorage& AddStorage(const std::string& name);
  FakeResource& AddResource(const std::string& name);

  // Objects whose reference count is not back at 1, as "name=count".
  std::vector<std::string> UnbalancedObjects() const;
  // Every object, in creation order.
  const std::vector<Base*>& Objects() const { return objects_; }

  // BSTRs handed out with a failing status: not the library's to free; the
  // fake frees them itself at the end. Each comes with where it was handed
  // out in the library's string events: only frees after that point are
  // frees of it (BSTR addresses are reused).
  struct FailedString {
    BSTR text;
    std::size_t handedAt;
  };
  std::vector<FailedString> failedStrings;

  // The references the library holds, in the order it obtained them. A
  // release that is not of the most recently obtained one, or of an object
  // the library holds no reference to, is noted in `releaseFaults`.
  std::vector<std::string> held;
  std::vector<std::string> releaseFaults;
  // Every "object.method" that handed the library a reference or a BSTR.
  std::set<std::string> handingMethods;
  void NoteObtained(const std::string& handedBy, const std::string& object);
  void NoteReleased(const std::string& object);

  void Track(Base* object) { objects_.push_back(object); }
  void Untrack(Base* object);

 private:
  template <class T>
  T& Make(const std::string& name);
};

// ---- template members --------------------------------------------------------

std::string FormatAll(const Names& names);
template <class A, class... R>
std::string FormatAll(const Names& names, A first, R... rest) {
  std::string tail = FormatAll(names, rest...);
  return FormatArg(names, first) + (tail.empty() ? "" : "," + tail);
}

template <class I>
Object<I>::Object(Runtime& runtime, std::string name) : Base(runtime, std::move(name)) {
  runtime_.names.Register(static_cast<I*>(this), name_);
  runtime_.Track(this);
}

template <class I>
Object<I>::~Object() {
  runtime_.names.Forget(static_cast<I*>(this));
  runtime_.Untrack(this);
}

template <class I>
std::unique_lock<std::recursive_mutex> Object<I>::Hold() const {
  return runtime_.shared ? std::unique_lock<std::recursive_mutex>(runtime_.mutex)
                         : std::unique_lock<std::recursive_mutex>();
}

template <class I>
HRESULT STDMETHODCALLTYPE Object<I>::QueryInterface(REFIID iid, void** out) {
  auto hold = Hold();
  HRESULT failure = S_OK;
  if (!runtime_.quiet) {
    runtime_.journal.Add(name_ + ".0(" + (iid == IID_IUnknown ? "IUnknown" : "iid") + ")");
    if (runtime_.onCall) runtime_.onCall();
    failure = Answer(0);
  }
  bool known = iid == IID_IUnknown;
  for (const GUID& g : answers) known = known || g == iid;
  if (!out) return E_POINTER;
  if (failure != S_OK || NullOut(0)) {
    *out = nullptr;
    return failure;
  }
  if (!known) {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  if (!runtime_.quiet) runtime_.NoteObtained(name_ + ".0", name_);
  *out = static_cast<I*>(this);
  return S_OK;
}

template <class I>
ULONG STDMETHODCALLTYPE Object<I>::Release() {
  if (!runtime_.quiet) {
    auto hold = Hold();
    runtime_.journal.Add(name_ + ".2()");
    runtime_.NoteReleased(name_);
  }
  return --refs_;
}

template <class I>
template <class... A>
HRESULT Object<I>::Call(int method, A... args) {
  if (runtime_.quiet) return S_OK;
  auto hold = Hold();
  runtime_.journal.Add(name_ + "." + std::to_string(method) + "(" +
                       FormatAll(runtime_.names, args...) + ")");
  if (runtime_.onCall) runtime_.onCall();
  return Answer(method);
}

template <class I>
template <class T>
HRESULT Object<I>::Hand(int method, HRESULT result, T* object, T** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!Writes(method, result) || NullOut(method) || !object) return result;
  object->AddRef();
  if (!runtime_.quiet) {
    auto hold = Hold();
    runtime_.NoteObtained(name_ + "." + std::to_string(method), runtime_.names.Of(static_cast<T*>(object)));
  }
  *out = object;
  return result;
}

template <class I>
HRESULT Object<I>::HandText(int method, HRESULT result, const std::wstring* text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!Writes(method, result) || NullOut(method) || !text) return result;
  *out = SysAllocString(text->c_str());
  if (runtime_.quiet) return result;
  auto hold = Hold();
  runtime_.handingMethods.insert(name_ + "." + std::to_string(method));
  if (result == S_OK) hostkit::StringLedger::NoteHanded(*out);
  else runtime_.failedStrings.push_back({*out, hostkit::StringLedger::Events()});
  return result;
}

}  // namespace fake
