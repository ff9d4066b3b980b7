// A resource manager component for the tests: CLSID_ResourceManager's class
// factory makes storages that log every name and location they are told.
#include <windows.h>
#include <oleauto.h>

#include <string>

#include "include/OrvexC/hostkit/RuntimeInterfaces.h"

namespace {

class Storage : public IResourceStorage {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IUnknown && iid != IID_IResourceStorage) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<IResourceStorage*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (!left) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetLocation(BSTR* out) override {
    std::wstring wide(location_.begin(), location_.end());
    *out = SysAllocString(wide.c_str());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetLocation(const char* text) override {
    location_ = text ? text : "";
    log_ += "location=" + location_ + ";";
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetName(const char* text) override {
    log_ += std::string("name=") + (text ? text : "") + ";";
    return S_OK;
  }
  std::string log_;

 private:
  ULONG refs_ = 1;
  std::string location_;
};

class Factory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IUnknown && iid != IID_IClassFactory) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    Storage* storage = new Storage;
    HRESULT status = storage->QueryInterface(iid, out);
    storage->Release();
    return status;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

}  // namespace

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (clsid != CLSID_ResourceManager) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT __stdcall DllCanUnloadNow() { return S_FALSE; }

// What the storage was told, in order: "name=...;location=...;".
extern "C" const char* __cdecl StorageLog(IResourceStorage* storage) {
  return static_cast<Storage*>(storage)->log_.c_str();
}
