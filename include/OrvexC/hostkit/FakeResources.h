// The fake title runtime, resources and storages: the runtime's resources
// (storages by name, resources delivered as local files) and a resource that
// notifies its listener when started.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "OrvexC/hostkit/Script.h"

namespace fake {

class FakeStorage : public Object<IResourceStorage> {
 public:
  FakeStorage(Recorder& recorder, std::string name);
  std::wstring location;
  bool hasLocation = true;  // false: GetLocation hands out a null BSTR
  std::vector<std::string> locationsSet;
  std::vector<std::string> namesSet;
  // The storage handed over with AddStorage that this one stands for (held
  // by the resources), told every location this one is told; or null.
  IResourceStorage* handedOver = nullptr;
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
  ~FakeResources() override;
  std::map<std::string, FakeStorage*> storages;
  std::map<std::string, FakeResource*> resources;
  HRESULT resourceStatus = S_OK;  // status of FindResourceByName when the resource exists
  // When set, a name not added is found too: a resource delivering fileDirectory + name.
  std::string fileDirectory;
  DWORD cookie = 0;
  // Storages handed over with AddStorage; the runtime keeps their reference.
  // One the host kit's resource manager made (StandInStorage.h) is found by
  // its name afterwards, as `storages[name]`, located where it was told.
  std::vector<IResourceStorage*> added;

  // A storage ("storage:<name>") or resource ("resource:<name>") found by name from now on.
  FakeStorage& NewStorage(const std::string& name);
  FakeResource& NewResource(const std::string& name);

  HRESULT STDMETHODCALLTYPE AddStorage(IResourceStorage* storage) override;
  HRESULT STDMETHODCALLTYPE FindStorage(const char* name, IResourceStorage** out) override;
  HRESULT STDMETHODCALLTYPE FindResourceByName(const char* name, DWORD* cookie, IHostResource** out) override;

 private:
  // Lists a storage handed over under its name, when it tells its name.
  void Adopt(IResourceStorage* storage);
};

}  // namespace fake
