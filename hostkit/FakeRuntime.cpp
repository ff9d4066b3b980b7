#include "OrvexC/hostkit/FakeRuntime.h"

#include <algorithm>
#include <cstring>
#include <iterator>


namespace fake {

std::string FormatAll(const Names&) { return ""; }

namespace {
// The entry of `byName` called `name`; null for a null or unknown name.
template <class Map>
typename Map::mapped_type FindByName(const Map& byName, const char* name) {
  if (!name) return nullptr;
  auto it = byName.find(name);
  return it != byName.end() ? it->second : nullptr;
}
}  // namespace

// ---- context, runtime, application --------------------------------------------

HRESULT FakeContext::GetRuntime(IHostRuntime** out) { return Hand<IHostRuntime>(3, Call(3), runtime, out); }
HRESULT FakeContext::GetModule(IHostModule** out) { return Hand<IHostModule>(4, Call(4), module, out); }
HRESULT FakeContext::GetFrame(IHostFrame** out) { return Hand<IHostFrame>(5, Call(5), frame, out); }
HRESULT FakeContext::GetSurface(IHostSurface** out) { return Hand<IHostSurface>(6, Call(6), surface, out); }
HRESULT FakeContext::GetThread(IHostThread** out) { return Hand<IHostThread>(8, Call(8), thread, out); }

HRESULT FakeContext::FindObject(HostScopeKey scope, const char* name, IHostObject** out) {
  HRESULT result = Call(21, static_cast<const void*>(scope), name);
  FakeHostObject* found = FindByName(objects, name);
  if (!found && result == S_OK) result = E_FAIL;
  return Hand<IHostObject>(21, result, found, out);
}

HRESULT FakeRuntimeObject::GetResources(IHostResources** out) {
  return Hand<IHostResources>(4, Call(4), resources, out);
}
HRESULT FakeRuntimeObject::GetTitleNode(IHostNode** out) { return Hand<IHostNode>(6, Call(6), titleNode, out); }
HRESULT FakeRuntimeObject::GetApplication(IHostApplication** out) {
  return Hand<IHostApplication>(9, Call(9), app, out);
}

HRESULT FakeApplication::IsMediaAvailable(const char* name) {
  HRESULT result = Call(6, name);
  if (result == S_OK && !(name && media.count(name))) result = S_FALSE;
  return result;
}

HRESULT FakeApplication::GetInstance(HINSTANCE* out) {
  HRESULT result = Call(7);
  if (Writes(7, result)) *out = instance;
  return result;
}

HRESULT FakeApplication::GetParameterCount(int* out) {
  HRESULT result = Call(9);
  if (Writes(9, result)) *out = parameterCount;
  return result;
}

HRESULT FakeApplication::GetParameter(int index, BSTR* out) {
  HRESULT result = Call(10, index);
  bool known = index >= 0 && index < static_cast<int>(parameters.size());
  if (!known && result == S_OK) result = E_INVALIDARG;
  return HandText(10, result, known ? &parameters[index] : nullptr, out);
}

HRESULT FakeApplication::GetTitleLocation(BSTR* out) { return HandText(11, Call(11), &location, out); }
HRESULT FakeApplication::GetTitlePath(BSTR* out) { return HandText(12, Call(12), &path, out); }

HRESULT FakeApplication::StartThread(const char* name) {
  started.push_back(name ? name : "(null)");
  return Call(17, name);
}

HRESULT FakeApplication::FindThread(const char* name, IHostThread** out) {
  HRESULT result = Call(21, name);
  FakeThread* found = FindByName(threads, name);
  if (!found && result == S_OK) result = E_FAIL;
  return Hand<IHostThread>(21, result, found, out);
}

HRESULT FakeThread::GetContext(IHostContext** out) { return Hand<IHostContext>(8, Call(8), context, out); }
HRESULT FakeModule::GetNode(IHostNode** out) { return Hand<IHostNode>(3, Call(3), node, out); }
HRESULT FakeFrame::GetNode(IHostNode** out) { return Hand<IHostNode>(3, Call(3), node, out); }

HRESULT FakeNode::GetName(int capacity, char* buffer) {
  HRESULT result = Call(9, capacity);
  if (Writes(9, result) && buffer && capacity > 0) std::strncpy(buffer, nodeName.c_str(), capacity);
  return result;
}

HRESULT FakeNode::GetAddress(int capacity, char* buffer) {
  HRESULT result = Call(10, capacity);
  if (Writes(10, result) && buffer && capacity > 0) std::strncpy(buffer, address.c_str(), capacity);
  return result;
}

// ---- surface and window ----------------------------------------------------------

HRESULT FakeSurface::GetWindow(IHostWindow** out) { return Hand<IHostWindow>(6, Call(6), window, out); }

HRESULT FakeSurface::GetVisible(int* out) {
  HRESULT result = Call(9);
  if (Writes(9, result)) *out = visible;
  return result;
}

HRESULT FakeSurface::GetGeometry(int* px, int* py, int* pw, int* ph) {
  HRESULT result = Call(10);
  if (Writes(10, result)) {
    *px = x;
    *py = y;
    *pw = width;
    *ph = height;
  }
  return result;
}

HRESULT FakeSurface::SetGeometry(int nx, int ny, int nw, int nh) {
  HRESULT result = Call(11, nx, ny, nw, nh);
  if (result == S_OK) {
    x = nx;
    y = ny;
    width = nw;
    height = nh;
  }
  return result;
}

HRESULT FakeWindow::GetHandle(HWND* out) {
  HRESULT result = Call(3);
  if (Writes(3, result)) *out = handle;
  return result;
}

// ---- scope and objects -----------------------------------------------------------

FakeScope::FakeScope(Runtime& runtime, std::string name) : Object(runtime, std::move(name)) {
  OfferScope(true);
}

void FakeScope::OfferScope(bool offer) {
  answers.clear();
  if (offer) answers.push_back(IID_IHostScope);
}

HRESULT FakeScope::GetScopeKey(HostScopeKey* out) {
  HRESULT result = Call(4);
  if (writesKey && Writes(4, result)) *out = key;
  return result;
}

namespace {
template <class T>
HRESULT ReadValue(HRESULT result, bool writes, T* out, T value) {
  if (writes && out) *out = value;
  return result;
}
// The pair methods answer the second value first, as the runtime does.
template <class S>
HRESULT ReadPair(HRESULT result, bool writes, S* second, int* first, S secondValue, int firstValue) {
  ReadValue(result, writes, second, secondValue);
  return ReadValue(result, writes, first, firstValue);
}
}  // namespace

HRESULT FakeHostObject::GetRect(RECT* out) { HRESULT r = Call(11); return ReadValue(r, Writes(11, r), out, rect); }
HRESULT FakeHostObject::SetRect(const RECT* in, int one) {
  HRESULT result = Call(12, in, one);
  if (in) rect = *in;
  return result;
}
HRESULT FakeHostObject::GetFlags(int* out) { HRESULT r = Call(15); return ReadValue(r, Writes(15, r), out, flags); }
HRESULT FakeHostObject::ChangeFlags(int remove, int add) {
  HRESULT result = Call(16, remove, add);
  flags = (flags & ~remove) | add;
  return result;
}
HRESULT FakeHostObject::GetTransparent(int* second, int* first) {
  HRESULT r = Call(20);
  return ReadPair(r, Writes(20, r), second, first, transparentSecond, transparentFirst);
}
HRESULT FakeHostObject::SetTransparent(int second, int first, int one) {
  transparentSecond = second;
  transparentFirst = first;
  return Call(21, second, first, one);
}
HRESULT FakeHostObject::GetKeyColor(int* second, int* first) {
  HRESULT r = Call(22);
  return ReadPair(r, Writes(22, r), second, first, keyColorSecond, keyColorFirst);
}
HRESULT FakeHostObject::SetKeyColor(int second, int first, int one) {
  keyColorSecond = second;
  keyColorFirst = first;
  return Call(23, second, first, one);
}
HRESULT FakeHostObject::GetAntiAlias(short* second, int* first) {
  HRESULT r = Call(24);
  return ReadPair(r, Writes(24, r), second, first, antiAliasSecond, antiAliasFirst);
}
HRESULT FakeHostObject::SetAntiAlias(int second, int first, int one) {
  antiAliasSecond = static_cast<short>(second);
  antiAliasFirst = first;
  return Call(25, second, first, one);
}
HRESULT FakeHostObject::SetEnabled(int value, int one) { enabled = value; return Call(28, value, one); }
HRESULT FakeHostObject::GetEnabled(int* out) { HRESULT r = Call(29); return ReadValue(r, Writes(29, r), out, enabled); }
HRESULT FakeHostObject::SetVisible(int value, int one) { visible = value; return Call(32, value, one); }
HRESULT FakeHostObject::GetVisible(int* out) { HRESULT r = Call(33); return ReadValue(r, Writes(33, r), out, visible); }
HRESULT FakeHostObject::GetZOrder(int* out) { HRESULT r = Call(34); return ReadValue(r, Writes(34, r), out, zOrder); }
HRESULT FakeHostObject::SetZOrder(int value, int one) { zOrder = value; return Call(35, value, one); }
HRESULT FakeHostObject::GetFocus(int* out) { HRESULT r = Call(36); return ReadValue(r, Writes(36, r), out, focus); }
HRESULT FakeHostObject::SetFocus(int one) { focus = one; return Call(37, one); }
HRESULT FakeHostObject::GetState(int* out) { HRESULT r = Call(39); return ReadValue(r, Writes(39, r), out, state); }
HRESULT FakeHostObject::SetState(int value) { state = value; return Call(40, value); }

// ---- resources and storages -------------------------------------------------------

FakeStorage::FakeStorage(Runtime& runtime, std::string name) : Object(runtime, std::move(name)) {
  answers.push_back(IID_IResourceStorage);
}

HRESULT FakeStorage::GetLocation(BSTR* out) { return HandText(13, Call(13), hasLocation ? &location : nullptr, out); }

HRESULT FakeStorage::SetLocation(const char* text) {
  locationsSet.push_back(text ? text : "(null)");
  if (text) location.assign(text, text + std::strlen(text));
  return Call(14, text);
}

HRESULT FakeStorage::SetName(const char* text) {
  namesSet.push_back(text ? text : "(null)");
  return Call(18, text);
}

HRESULT FakeResource::Advise(IResourceNotify* notify) {
  HRESULT result = Call(3, static_cast<const void*>(notify));
  advised = notify;
  return result;
}

HRESULT FakeResource::Unadvise(IResourceNotify* notify) {
  HRESULT result = Call(4, static_cast<const void*>(notify));
  if (notify == advised) advised = nullptr;
  return result;
}

HRESULT FakeResource::Start(DWORD value, DWORD zero) {
  HRESULT result = Call(8, value, zero);
  IResourceNotify* listener = advised;
  if (!listener) return result;
  if (onStart) {
    onStart(listener);
  } else {
    listener->OnStart(0, 0, nullptr);
    listener->OnProgress(0, 0, 0, 14, fileName.c_str());
    listener->OnStop(0, 0, 0);
  }
  return result;
}

FakeResources::~FakeResources() {
  for (IResourceStorage* storage : added) storage->Release();
}

HRESULT FakeResources::AddStorage(IResourceStorage* storage) {
  HRESULT result = Call(8, static_cast<const void*>(storage));
  if (storage) {
    storage->AddRef();
    added.push_back(storage);
  }
  return result;
}

HRESULT FakeResources::FindStorage(const char* name, IResourceStorage** out) {
  HRESULT result = Call(14, name);
  FakeStorage* found = FindByName(storages, name);
  if (!found && result == S_OK) result = E_FAIL;
  return Hand<IResourceStorage>(14, result, found, out);
}

HRESULT FakeResources::FindResourceByName(const char* name, DWORD* outCookie, IHostResource** out) {
  HRESULT result = Call(20, name);
  FakeResource* found = FindByName(resources, name);
  if (!found && name && !fileDirectory.empty()) (found = &runtime_.AddResource(name))->fileName = fileDirectory + name;
  if (found && result == S_OK) result = resourceStatus;
  if (!found && result == S_OK) result = E_FAIL;
  if (outCookie) *outCookie = cookie;
  if (!out) return E_POINTER;
  *out = nullptr;
  // Status is judged by its sign here: non-negative statuses hand the resource out.
  if (result >= 0 && found && !NullOut(20)) {
    found->AddRef();
    if (!runtime_.quiet) runtime_.NoteObtained(name_ + ".20", found->name());
    *out = found;
  }
  return result;
}

// ---- the whole title ------------------------------------------------------------

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
  context.runtime = &runtime;
  context.module = &module;
  context.frame = &frame;
  context.surface = &surface;
  runtime.app = &app;
  runtime.resources = &resources;
  runtime.titleNode = &titleNode;
  module.node = &moduleNode;
  frame.node = &frameNode;
  surface.window = &window;
}

Runtime::~Runtime() {
  for (const FailedString& failed : failedStrings) SysFreeString(failed.text);
  owned_.clear();
}

void Runtime::Untrack(Base* object) {
  objects_.erase(std::remove(objects_.begin(), objects_.end(), object), objects_.end());
}

template <class T>
T& Runtime::Make(const std::string& name) {
  owned_.push_back(std::make_unique<T>(*this, name));
  return static_cast<T&>(*owned_.back());
}

FakeThread& Runtime::AddThread(const std::string& name) {
  auto& thread = Make<FakeThread>("thread:" + name);
  auto& ctx = Make<FakeContext>("context:" + name);
  auto& surf = Make<FakeSurface>("surface:" + name);
  auto& win = Make<FakeWindow>("window:" + name);
  auto& frm = Make<FakeFrame>("frame:" + name);
  auto& node = Make<FakeNode>("node:frame:" + name);
  thread.context = &ctx;
  ctx.runtime = &runtime;
  ctx.module = &module;
  ctx.frame = &frm;
  ctx.surface = &surf;
  ctx.thread = &thread;
  surf.window = &win;
  frm.node = &node;
  app.threads[name] = &thread;
  return thread;
}

FakeContext& Runtime::ThreadContext(const std::string& name) { return *app.threads.at(name)->context; }

FakeHostObject& Runtime::AddObject(const std::string& name) {
  auto& object = Make<FakeHostObject>("object:" + name);
  context.objects[name] = &object;
  return object;
}

FakeScope& Runtime::AddScope(const std::string& name) { return Make<FakeScope>(name); }

FakeStorage& Runtime::AddStorage(const std::string& name) {
  auto& storage = Make<FakeStorage>("storage:" + name);
  resources.storages[name] = &storage;
  return storage;
}

FakeResource& Runtime::AddResource(const std::string& name) {
  auto& resource = Make<FakeResource>("resource:" + name);
  resources.resources[name] = &resource;
  return resource;
}

void Runtime::NoteObtained(const std::string& handedBy, const std::string& object) {
  handingMethods.insert(handedBy);
  held.push_back(object);
}

void Runtime::NoteReleased(const std::string& object) {
  if (!held.empty() && held.back() == object) {
    held.pop_back();
    return;
  }
  auto it = std::find(held.rbegin(), held.rend(), object);
  if (it == held.rend()) {
    releaseFaults.push_back(object + " released without a reference held");
    return;
  }
  releaseFaults.push_back(object + " released before " + held.back());
  held.erase(std::next(it).base());
}

std::vector<std::string> Runtime::UnbalancedObjects() const {
  std::vector<std::string> unbalanced;
  for (const Base* object : objects_)
    if (object->refs() != 1) unbalanced.push_back(object->name() + "=" + std::to_string(object->refs()));
  return unbalanced;
}

}  // namespace fake
