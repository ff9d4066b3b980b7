#include "OrvexC/hostkit/FakeResources.h"

#include <cstring>
#include <memory>

#include "OrvexC/hostkit/StandInStorage.h"

namespace fake {

FakeStorage::FakeStorage(Recorder& recorder, std::string name) : Object(recorder, std::move(name)) {
  answers.push_back(IID_IResourceStorage);
}

HRESULT FakeStorage::GetLocation(BSTR* out) {
  return GiveText(Slots::GetLocation, hasLocation ? &location : nullptr, out);
}

HRESULT FakeStorage::SetLocation(const char* text) {
  locationsSet.push_back(text ? text : "(null)");
  if (text) location = hostkit::Widened(text);
  HRESULT result = Call(Slots::SetLocation, text);
  if (handedOver && result == S_OK) handedOver->SetLocation(text);
  return result;
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

FakeStorage& FakeResources::NewStorage(const std::string& name) {
  return *(storages[name] = &recorder_.Make<FakeStorage>("storage:" + name));
}

FakeResource& FakeResources::NewResource(const std::string& name) {
  return *(resources[name] = &recorder_.Make<FakeResource>("resource:" + name));
}

HRESULT FakeResources::AddStorage(IResourceStorage* storage) {
  HRESULT result = Call(Slots::AddStorage, static_cast<const void*>(storage));
  if (storage) {
    storage->AddRef();
    added.push_back(storage);
    if (result == S_OK) Adopt(storage);
  }
  return result;
}

void FakeResources::Adopt(IResourceStorage* storage) {
  struct Releaser {
    void operator()(IUnknown* unknown) const { unknown->Release(); }
  };
  void* asked = nullptr;
  if (storage->QueryInterface(IID_IStandInStorage, &asked) != S_OK || !asked) return;
  std::unique_ptr<IStandInStorage, Releaser> standIn(static_cast<IStandInStorage*>(asked));
  std::string name = standIn->Name();
  if (name.empty()) return;
  std::string where = standIn->Location();
  FakeStorage* listed = FindByName(storages, name.c_str());
  if (!listed) listed = &NewStorage(name);
  listed->location = hostkit::Widened(where.c_str());
  listed->handedOver = storage;
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
  if (!found && name && !fileDirectory.empty()) (found = &NewResource(name))->fileName = fileDirectory + name;
  if (found && result == S_OK) result = resourceStatus;
  if (!found && result == S_OK) result = E_FAIL;
  if (outCookie) *outCookie = cookie;
  if (!out) return E_POINTER;
  *out = nullptr;
  // Status is judged by its sign here: non-negative statuses hand the resource out.
  if (result >= 0 && found && !NullOut(Slots::FindResourceByName)) {
    found->AddRef();
    if (!recorder_.quiet) recorder_.NoteObtained(Where(Slots::FindResourceByName), found->name());
    *out = found;
  }
  return result;
}

}  // namespace fake
