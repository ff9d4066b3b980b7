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

namespace {

class Storage final : public IResourceStorage {
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
    if (!left) delete this;  // the last reference owned it
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
  ULONG refs_ = 0;
  std::string location_;
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
  return static_cast<Storage*>(storage)->log_.c_str();
}
