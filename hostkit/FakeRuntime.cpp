#include "OrvexC/hostkit/FakeRuntime.h"

#include <algorithm>
#include <cstring>
#include <iterator>


namespace fake {

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

HRESULT FakeContext::GetRuntime(IHostRuntime** out) { return Give(Slots::GetRuntime, runtime, out); }
HRESULT FakeContext::GetModule(IHostModule** out) { return Give(Slots::GetModule, module, out); }
HRESULT FakeContext::GetFrame(IHostFrame** out) { return Give(Slots::GetFrame, frame, out); }
HRESULT FakeContext::GetSurface(IHostSurface** out) { return Give(Slots::GetSurface, surface, out); }
HRESULT FakeContext::GetThread(IHostThread** out) { return Give(Slots::GetThread, thread, out); }

HRESULT FakeContext::FindObject(HostScopeKey scope, const char* name, IHostObject** out) {
  HRESULT result = Call(Slots::FindObject, static_cast<const void*>(scope), name);
  FakeHostObject* found = FindByName(objects, name);
  if (!found && result == S_OK) result = E_FAIL;
  return Hand(Slots::FindObject, result, found, out);
}

HRESULT FakeRuntimeObject::GetResources(IHostResources** out) {
  return Give(Slots::GetResources, resources, out);
}
HRESULT FakeRuntimeObject::GetTitleNode(IHostNode** out) { return Give(Slots::GetTitleNode, titleNode, out); }
HRESULT FakeRuntimeObject::GetApplication(IHostApplication** out) {
  return Give(Slots::GetApplication, app, out);
}

HRESULT FakeApplication::IsMediaAvailable(const char* name) {
  HRESULT result = Call(Slots::IsMediaAvailable, name);
  if (result == S_OK && !(name && media.count(name))) result = S_FALSE;
  return result;
}

HRESULT FakeApplication::GetInstance(HINSTANCE* out) {
  HRESULT result = Call(Slots::GetInstance);
  if (Writes(Slots::GetInstance, result)) *out = instance;
  return result;
}

HRESULT FakeApplication::GetParameterCount(int* out) {
  HRESULT result = Call(Slots::GetParameterCount);
  if (Writes(Slots::GetParameterCount, result)) *out = parameterCount;
  return result;
}

HRESULT FakeApplication::GetParameter(int index, BSTR* out) {
  HRESULT result = Call(Slots::GetParameter, index);
  bool known = index >= 0 && index < static_cast<int>(parameters.size());
  if (!known && result == S_OK) result = E_INVALIDARG;
  return HandText(Slots::GetParameter, result, known ? &parameters[index] : nullptr, out);
}

HRESULT FakeApplication::GetTitleLocation(BSTR* out) { return HandText(Slots::GetTitleLocation, Call(Slots::GetTitleLocation), &location, out); }
HRESULT FakeApplication::GetTitlePath(BSTR* out) { return HandText(Slots::GetTitlePath, Call(Slots::GetTitlePath), &path, out); }

HRESULT FakeApplication::StartThread(const char* name) {
  started.push_back(name ? name : "(null)");
  return Call(Slots::StartThread, name);
}

HRESULT FakeApplication::FindThread(const char* name, IHostThread** out) {
  HRESULT result = Call(Slots::FindThread, name);
  FakeThread* found = FindByName(threads, name);
  if (!found && result == S_OK) result = E_FAIL;
  return Hand(Slots::FindThread, result, found, out);
}

HRESULT FakeThread::GetContext(IHostContext** out) { return Give(Slots::GetContext, context, out); }
HRESULT FakeModule::GetNode(IHostNode** out) { return Give(Slots::GetNode, node, out); }
HRESULT FakeFrame::GetNode(IHostNode** out) { return Give(Slots::GetNode, node, out); }

HRESULT FakeNode::GetName(int capacity, char* buffer) {
  HRESULT result = Call(Slots::GetName, capacity);
  if (Writes(Slots::GetName, result) && buffer && capacity > 0) std::strncpy(buffer, nodeName.c_str(), capacity);
  return result;
}

HRESULT FakeNode::GetAddress(int capacity, char* buffer) {
  HRESULT result = Call(Slots::GetAddress, capacity);
  if (Writes(Slots::GetAddress, result) && buffer && capacity > 0) std::strncpy(buffer, address.c_str(), capacity);
  return result;
}

// ---- surface and window ----------------------------------------------------------

HRESULT FakeSurface::GetWindow(IHostWindow** out) { return Give(Slots::GetWindow, window, out); }

HRESULT FakeSurface::GetVisible(int* out) {
  HRESULT result = Call(Slots::GetVisible);
  if (Writes(Slots::GetVisible, result)) *out = visible;
  return result;
}

HRESULT FakeSurface::GetGeometry(int* px, int* py, int* pw, int* ph) {
  HRESULT result = Call(Slots::GetGeometry);
  if (Writes(Slots::GetGeometry, result)) {
    *px = x;
    *py = y;
    *pw = width;
    *ph = height;
  }
  return result;
}

HRESULT FakeSurface::SetGeometry(int nx, int ny, int nw, int nh) {
  HRESULT result = Call(Slots::SetGeometry, nx, ny, nw, nh);
  if (result == S_OK) {
    x = nx;
    y = ny;
    width = nw;
    height = nh;
  }
  return result;
}

HRESULT FakeWindow::GetHandle(HWND* out) {
  HRESULT result = Call(Slots::GetHandle);
  if (Writes(Slots::GetHandle, result)) *out = handle;
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
  HRESULT result = Call(Slots::GetScopeKey);
  if (writesKey && Writes(Slots::GetScopeKey, result)) *out = key;
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

HRESULT FakeHostObject::GetRect(RECT* out) { HRESULT r = Call(Slots::GetRect); return ReadValue(r, Writes(Slots::GetRect, r), out, rect); }
HRESULT FakeHostObject::SetRect(const RECT* in, int one) {
  HRESULT result = Call(Slots::SetRect, in, one);
  if (in) rect = *in;
  return result;
}
HRESULT FakeHostObject::GetFlags(int* out) { HRESULT r = Call(Slots::GetFlags); return ReadValue(r, Writes(Slots::GetFlags, r), out, flags); }
HRESULT FakeHostObject::ChangeFlags(int remove, int add) {
  HRESULT result = Call(Slots::ChangeFlags, remove, add);
  flags = (flags & ~remove) | add;
  return result;
}
HRESULT FakeHostObject::GetTransparent(int* second, int* first) {
  HRESULT r = Call(Slots::GetTransparent);
  return ReadPair(r, Writes(Slots::GetTransparent, r), second, first, transparentSecond, transparentFirst);
}
HRESULT FakeHostObject::SetTransparent(int second, int first, int one) {
  transparentSecond = second;
  transparentFirst = first;
  return Call(Slots::SetTransparent, second, first, one);
}
HRESULT FakeHostObject::GetKeyColor(int* second, int* first) {
  HRESULT r = Call(Slots::GetKeyColor);
  return ReadPair(r, Writes(Slots::GetKeyColor, r), second, first, keyColorSecond, keyColorFirst);
}
HRESULT FakeHostObject::SetKeyColor(int second, int first, int one) {
  keyColorSecond = second;
  keyColorFirst = first;
  return Call(Slots::SetKeyColor, second, first, one);
}
HRESULT FakeHostObject::GetAntiAlias(short* second, int* first) {
  HRESULT r = Call(Slots::GetAntiAlias);
  return ReadPair(r, Writes(Slots::GetAntiAlias, r), second, first, antiAliasSecond, antiAliasFirst);
}
HRESULT FakeHostObject::SetAntiAlias(int second, int first, int one) {
  antiAliasSecond = static_cast<short>(second);
  antiAliasFirst = first;
  return Call(Slots::SetAntiAlias, second, first, one);
}
HRESULT FakeHostObject::SetEnabled(int value, int one) { enabled = value; return Call(Slots::SetEnabled, value, one); }
HRESULT FakeHostObject::GetEnabled(int* out) { HRESULT r = Call(Slots::GetEnabled); return ReadValue(r, Writes(Slots::GetEnabled, r), out, enabled); }
HRESULT FakeHostObject::SetVisible(int value, int one) { visible = value; return Call(Slots::SetVisible, value, one); }
HRESULT FakeHostObject::GetVisible(int* out) { HRESULT r = Call(Slots::GetVisible); return ReadValue(r, Writes(Slots::GetVisible, r), out, visible); }
HRESULT FakeHostObject::GetZOrder(int* out) { HRESULT r = Call(Slots::GetZOrder); return ReadValue(r, Writes(Slots::GetZOrder, r), out, zOrder); }
HRESULT FakeHostObject::SetZOrder(int value, int one) { zOrder = value; return Call(Slots::SetZOrder, value, one); }
HRESULT FakeHostObject::GetFocus(int* out) { HRESULT r = Call(Slots::GetFocus); return ReadValue(r, Writes(Slots::GetFocus, r), out, focus); }
HRESULT FakeHostObject::SetFocus(int one) { focus = one; return Call(Slots::SetFocus, one); }
HRESULT FakeHostObject::GetState(int* out) { HRESULT r = Call(Slots::GetState); return ReadValue(r, Writes(Slots::GetState, r), out, state); }
HRESULT FakeHostObject::SetState(int value) { state = value; return Call(Slots::SetState, value); }

// ---- resources and storages -------------------------------------------------------

FakeStorage::FakeStorage(Runtime& runtime, std::string name) : Object(runtime, std::move(name)) {
  answers.push_back(IID_IResourceStorage);
}

HRESULT FakeStorage::GetLocation(BSTR* out) { return HandText(Slots::GetLocation, Call(Slots::GetLocation), hasLocation ? &location : nullptr, out); }

HRESULT FakeStorage::SetLocation(const char* text) {
  locationsSet.push_back(text ? text : "(null)");
  if (text) location.assign(text, text + std::strlen(text));
  return Call(Slots::SetLocation, text);
}

HRESULT FakeStorage::SetName(const char* text) {
  namesSet.push_back(text ? text : "(null)");
  return Call(Slots::SetName, text);
}

HRESULT FakeResource::Advise(IResourceNotify* notify) {
  HRESULT result = Call(Slots::Advise, static_cast<const void*>(notify));
  advised = notify;
  return result;
}

HRESULT FakeResource::Unadvise(IResourceNotify* notify) {
  HRESULT result = Call(Slots::Unadvise, static_cast<const void*>(notify));
  if (notify == advised) advised = nullptr;
  return result;
}

HRESULT FakeResource::Start(DWORD value, DWORD zero) {
  HRESULT result = Call(Slots::Start, value, zero);
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
  HRESULT result = Call(Slots::AddStorage, static_cast<const void*>(storage));
  if (storage) {
    storage->AddRef();
    added.push_back(storage);
  }
  return result;
}

HRESULT FakeResources::FindStorage(const char* name, IResourceStorage** out) {
  HRESULT result = Call(Slots::FindStorage, name);
  FakeStorage* found = FindByName(storages, name);
  if (!found && result == S_OK) result = E_FAIL;
  return Hand(Slots::FindStorage, result, found, out);
}

HRESULT FakeResources::FindResourceByName(const char* name, DWORD* outCookie, IHostResource** out) {
  HRESULT result = Call(Slots::FindResourceByName, name);
  FakeResource* found = FindByName(resources, name);
  if (!found && name && !fileDirectory.empty()) (found = &runtime_.AddResource(name))->fileName = fileDirectory + name;
  if (found && result == S_OK) result = resourceStatus;
  if (!found && result == S_OK) result = E_FAIL;
  if (outCookie) *outCookie = cookie;
  if (!out) return E_POINTER;
  *out = nullptr;
  // Status is judged by its sign here: non-negative statuses hand the resource out.
  if (result >= 0 && found && !NullOut(Slots::FindResourceByName)) {
    found->AddRef();
    if (!runtime_.quiet) runtime_.NoteObtained(Where(Slots::FindResourceByName), found->name());
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
