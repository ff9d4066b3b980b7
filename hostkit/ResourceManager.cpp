// ResourceManager.dll, the host kit's stand-in for the title runtime's
// resource manager component: OrvexC.dll loads it from beside the host's
// executable to create resource storages (SetResourceStorage). Its
// CLSID_ResourceManager class factory makes storages that keep their
// location and log every name and location they are told (StorageLog), so a
// host can show or check what a module set up.
#include <windows.h>
#include <oleauto.h>

#include <memory>
#include <new>
#include <string>

#include <OrvexC/RuntimeInterfaces.h>
#include <OrvexC/hostkit/Ledger.h>
#include <OrvexC/hostkit/StandInStorage.h>

namespace {

class Storage final : public IResourceStorage, public IStandInStorage {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IStandInStorage) {
      *out = static_cast<IStandInStorage*>(this);
    } else if (iid == IID_IUnknown || iid == IID_IResourceStorage) {
      *out = static_cast<IResourceStorage*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (!left) delete this;  // the last reference owned it
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetLocation(BSTR* out) override {
    *out = SysAllocString(hostkit::Widened(location_.c_str()).c_str());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetLocation(const char* text) override {
    location_ = text ? text : "";
    log_ += "location=" + location_ + ";";
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetName(const char* text) override {
    name_ = text ? text : "";
    log_ += "name=" + name_ + ";";
    return S_OK;
  }
  const char* STDMETHODCALLTYPE Name() override { return name_.c_str(); }
  const char* STDMETHODCALLTYPE Location() override { return location_.c_str(); }
  const char* STDMETHODCALLTYPE Log() override { return log_.c_str(); }

 private:
  ULONG refs_ = 0;
  std::string name_;
  std::string location_;
  std::string log_;
};

class Factory final : public IClassFactory {
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
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    std::unique_ptr<Storage> made(new (std::nothrow) Storage);
    if (!made) return E_OUTOFMEMORY;
    HRESULT status = made->QueryInterface(iid, out);
    if (status == S_OK) made.release();  // the caller's reference owns it now
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
  return static_cast<Storage*>(storage)->Log();
}
