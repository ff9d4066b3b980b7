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
#include <stdexcept>
#include <string>
#include <vector>

#include "OrvexC/hostkit/Journal.h"
#include "OrvexC/hostkit/Ledger.h"
#include "OrvexC/RuntimeInterfaces.h"

namespace fake {

class Runtime;

// A script value per method of one interface, keyed by the method's name as
// the runtime's list gives it ("GetTitlePath"). A name the interface lacks is
// a mistake in the test: it throws std::invalid_argument.
template <class V>
class ByMethod {
 public:
  explicit ByMethod(const char* owner) : owner_(owner) {}
  V& operator[](const std::string& method) { return values_[SlotOf(method)]; }
  void erase(const std::string& method) { values_.erase(SlotOf(method)); }
  void clear() { values_.clear(); }
  bool empty() const { return values_.empty(); }
  // The value for the method in `slot`; null when none is set.
  const V* At(int slot) const {
    auto it = values_.find(slot);
    return it == values_.end() ? nullptr : &it->second;
  }

 private:
  int SlotOf(const std::string& method) const {
    const orvex::runtime::Method* row = orvex::runtime::MethodNamed(owner_, method.c_str());
    if (!row) throw std::invalid_argument(std::string(owner_) + " has no method " + method);
    return row->slot;
  }
  const char* owner_;
  std::map<int, V> values_;
};

// The bookkeeping that every fake object has.
class Base {
 public:
  Base(Runtime& runtime, std::string name, const char* owner)
      : status(owner), nullOut(owner), writeOnFailure(owner), onlyCall(owner), runtime_(runtime),
        name_(std::move(name)), owner_(owner) {}
  virtual ~Base() = default;
  const std::string& name() const { return name_; }
  ULONG refs() const { return refs_; }

  // The status a method answers (0 unless scripted): status["GetTitlePath"] = E_FAIL.
  ByMethod<HRESULT> status;
  // Methods that answer with a null out-pointer (whatever their status).
  ByMethod<bool> nullOut;
  // Methods that still write their out-values when their status is not 0.
  ByMethod<bool> writeOnFailure;
  // Methods whose scripted status and null out-pointer apply to one call of
  // them alone: the n-th, counted from 0. Others answer as unscripted.
  ByMethod<int> onlyCall;

  // Whether the call of the method in `slot` in progress is one its script applies to.
  bool Scripted(int slot) const {
    const int* only = onlyCall.At(slot);
    if (!only) return true;
    auto made = calls_.find(slot);
    return made != calls_.end() && made->second - 1 == *only;
  }
  bool NullOut(int slot) const {
    const bool* set = nullOut.At(slot);
    return set && *set && Scripted(slot);
  }

 protected:
  Runtime& runtime_;
  std::string name_;
  const char* owner_;  // the interface, as the runtime's list names it
  std::atomic<ULONG> refs_{1};
  std::map<int, int> calls_;  // calls made so far, by slot

  // Counts a call of the method in `slot` and gives the status it answers (0 unless scripted).
  HRESULT Answer(int slot) {
    ++calls_[slot];
    const HRESULT* scripted = status.At(slot);
    return !scripted || !Scripted(slot) ? S_OK : *scripted;
  }
  // "name.Method", as the audit notes who handed something out.
  std::string Where(int slot) const { return name_ + "." + orvex::runtime::MethodAt(owner_, slot)->name; }
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
  // I's slots by method name: Call(Slots::GetTitlePath).
  using Slots = orvex::runtime::SlotsOf<I>;
  // Journals the call and returns the scripted status.
  template <class... A>
  HRESULT Call(int slot, A... args);
  // Whether the out-values of the method in `slot` are written for `status`.
  bool Writes(int slot, HRESULT status) const {
    const bool* set = writeOnFailure.At(slot);
    return status == S_OK || (set && *set);
  }
  // Hands `object` out through `out` with a reference of its own.
  template <class T, class F>
  HRESULT Hand(int slot, HRESULT status, F* object, T** out);
  // Calls the method in `slot` (no arguments) and hands `object` out.
  template <class T, class F>
  HRESULT Give(int slot, F* object, T** out) { return Hand(slot, Call(slot), object, out); }
  // A BSTR copy of `text` for the library, recorded by the runtime.
  HRESULT HandText(int slot, HRESULT status, const std::wstring* text, BSTR* out);
  // Calls the method in `slot` and writes `value` through `out` when the status allows it.
  template <class T>
  HRESULT Read(int slot, T* out, T value) {
    HRESULT result = Call(slot);
    if (out && Writes(slot, result)) *out = value;
    return result;
  }
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
  // Objects found by FindObject, by name; each scope key it was asked with is journaled.
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

class FakeThread : public Object<IHostThread> {
 public:
  using Object::Object;
  FakeContext* context = nullptr;  // the thread's own context (GetContext)

  HRESULT STDMETHODCALLTYPE Stop() override { return Call(Slots::Stop); }
  HRESULT STDMETHODCALLTYPE IsRunning() override { return Call(Slots::IsRunning); }
  HRESULT STDMETHODCALLTYPE GetContext(IHostContext** out) override;
  HRESULT STDMETHODCALLTYPE BranchByPath(int path) override { return Call(Slots::BranchByPath, path); }
  HRESULT STDMETHODCALLTYPE BranchByPathName(const char* name) override { return Call(Slots::BranchByPathName, name); }
  HRESULT STDMETHODCALLTYPE BranchByColor(int color) override { return Call(Slots::BranchByColor, color); }
  HRESULT STDMETHODCALLTYPE BranchToFrame(const char* frame) override { return Call(Slots::BranchToFrame, frame); }
  HRESULT STDMETHODCALLTYPE SetZOrder(IHostThread* other) override {
    return Call(Slots::SetZOrder, static_cast<const void*>(other));
  }
  HRESULT STDMETHODCALLTYPE SendValues(int v1, int v2, int v3) override { return Call(Slots::SendValues, v1, v2, v3); }
  HRESULT STDMETHODCALLTYPE SetReturnBranch(int value) override { return Call(Slots::SetReturnBranch, value); }
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
  HRESULT STDMETHODCALLTYPE Hide() override { return Call(Slots::Hide); }
  HRESULT STDMETHODCALLTYPE Show() override { return Call(Slots::Show); }
  HRESULT STDMETHODCALLTYPE GetVisible(int* out) override;
  HRESULT STDMETHODCALLTYPE GetGeometry(int* px, int* py, int* pw, int* ph) override;
  HRESULT STDMETHODCALLTYPE SetGeometry(int nx, int ny, int nw, int nh) override;
  HRESULT STDMETHODCALLTYPE Print(int v1, int v2) override { return Call(Slots::Print, v1, v2); }
  HRESULT STDMETHODCALLTYPE IsPaintingFrozen() override { return Call(Slots::IsPaintingFrozen); }
  HRESULT STDMETHODCALLTYPE FreezePainting(int freeze) override { return Call(Slots::FreezePainting, freeze); }
};

class FakeWindow : public Object<IHostWindow> {
 public:
  using Object::Object;
  HWND handle = nullptr;
  HRESULT STDMETHODCALLTYPE GetHandle(HWND* out) override;
  HRESULT STDMETHODCALLTYPE Print(int v1, int v2) override { return Call(Slots::Print, v1, v2); }
  HRESULT STDMETHODCALLTYPE SetScrollIncrement(int h, int v) override { return Call(Slots::SetScrollIncrement, h, v); }
  HRESULT STDMETHODCALLTYPE ScrollTo(int px, int py) override { return Call(Slots::ScrollTo, px, py); }
  HRESULT STDMETHODCALLTYPE SetStatusText(const char* text) override { return Call(Slots::SetStatusText, text); }
  HRESULT STDMETHODCALLTYPE ShowProgress(int v1, int v2, int v3) override {
    return Call(Slots::ShowProgress, v1, v2, v3);
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
  bool hasLocation = true;  // false: GetLocation hands out a null BSTR
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
  HRESULT resourceStatus = S_OK;  // status of FindResourceByName when the resource exists
  // When set, a name not added is found too: a resource delivering fileDirectory + name.
  std::string fileDirectory;
  DWORD cookie = 0;
  // Storages handed over with AddStorage; the runtime keeps their reference.
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
  // ("thread:<name>", "context:<name>", ...), found by FindThread.
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

template <class I>
Object<I>::Object(Runtime& runtime, std::string name)
    : Base(runtime, std::move(name), orvex::runtime::SlotsOf<I>::kInterface) {
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
  constexpr int slot = orvex::runtime::MethodNamed("IUnknown", "QueryInterface")->slot;
  HRESULT failure = S_OK;
  if (!runtime_.quiet) {
    runtime_.journal.Add({name_, orvex::runtime::MethodAt(owner_, slot), iid == IID_IUnknown ? "IUnknown" : "iid"});
    if (runtime_.onCall) runtime_.onCall();
    failure = Answer(slot);
  }
  bool known = iid == IID_IUnknown;
  for (const GUID& g : answers) known = known || g == iid;
  if (!out) return E_POINTER;
  if (failure != S_OK || NullOut(slot)) {
    *out = nullptr;
    return failure;
  }
  if (!known) {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  if (!runtime_.quiet) runtime_.NoteObtained(Where(slot), name_);
  *out = static_cast<I*>(this);
  return S_OK;
}

template <class I>
ULONG STDMETHODCALLTYPE Object<I>::Release() {
  if (!runtime_.quiet) {
    auto hold = Hold();
    constexpr int slot = orvex::runtime::MethodNamed("IUnknown", "Release")->slot;
    runtime_.journal.Add({name_, orvex::runtime::MethodAt(owner_, slot), ""});
    runtime_.NoteReleased(name_);
  }
  return --refs_;
}

template <class I>
template <class... A>
HRESULT Object<I>::Call(int slot, A... args) {
  if (runtime_.quiet) return S_OK;
  auto hold = Hold();
  runtime_.journal.Add({name_, orvex::runtime::MethodAt(owner_, slot), FormatAll(runtime_.names, args...)});
  if (runtime_.onCall) runtime_.onCall();
  return Answer(slot);
}

template <class I>
template <class T, class F>
HRESULT Object<I>::Hand(int slot, HRESULT result, F* object, T** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  T* given = object;
  if (!Writes(slot, result) || NullOut(slot) || !given) return result;
  given->AddRef();
  if (!runtime_.quiet) {
    auto hold = Hold();
    runtime_.NoteObtained(Where(slot), runtime_.names.Of(given));
  }
  *out = given;
  return result;
}

template <class I>
HRESULT Object<I>::HandText(int slot, HRESULT result, const std::wstring* text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!Writes(slot, result) || NullOut(slot) || !text) return result;
  *out = SysAllocString(text->c_str());
  if (runtime_.quiet) return result;
  auto hold = Hold();
  runtime_.handingMethods.insert(Where(slot));
  if (result == S_OK) hostkit::StringLedger::NoteHanded(*out);
  else runtime_.failedStrings.push_back({*out, hostkit::StringLedger::Events()});
  return result;
}

}  // namespace fake
