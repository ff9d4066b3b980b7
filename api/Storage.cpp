// Resource storage (833, 834): where a storage of the title keeps its
// resources, and moving or creating one with the resource manager component.
#include <windows.h>
#include <objbase.h>

#include "frame/CharText.h"
#include "frame/HostChains.h"
#include "include/OrvexC.h"
#include "resource/Location.h"

using namespace orvex;

namespace {

constexpr UINT kResourceManagerString = 100;

// DllGetClassObject of the component library at `path`; E_FAIL when the
// library or its entry is missing. The library is left to the component
// runtime to unload.
HRESULT GetClassObjectFromLibrary(const char* path, REFCLSID clsid, REFIID iid, void** out) {
  int wideLength = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
  WideText widePath(SysAllocStringLen(nullptr, wideLength > 0 ? wideLength - 1 : 0));
  if (!widePath.get()) return E_FAIL;
  MultiByteToWideChar(CP_ACP, 0, path, -1, widePath.bstr(), wideLength);
  HINSTANCE library = CoLoadLibrary(widePath.bstr(), TRUE);
  if (!library) return E_FAIL;
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto entry =
      reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")));
  return entry ? entry(clsid, iid, out) : E_FAIL;
}

HRESULT CreateFromLibrary(const char* path, REFCLSID clsid, REFIID iid, void** out) {
  ComRef<IClassFactory> factory;
  HRESULT status =
      GetClassObjectFromLibrary(path, clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.put()));
  if (status != S_OK) {
    factory.detach();  // not the library's after a failure
    return status;
  }
  if (!factory) return E_FAIL;
  return factory->CreateInstance(nullptr, iid, out);
}

// A location's drive and directory; both unchanged when it cannot be split.
bool DirectoryOf(const CLocation& path, std::string& drive, std::string& dir) {
  return path.Split(nullptr, nullptr, &drive, &dir, nullptr, nullptr, nullptr, nullptr);
}

// A new storage from the resource manager beside the application: named,
// placed at `location` resolved against the title's directory, handed over.
HRESULT CreateResourceStorage(IHostContext* context, IHostResources* resources, const char* name,
                              const char* location) {
  // Held from its creation on: the string work below can throw.
  ComRef<IResourceStorage> storage;
  char text[MAX_PATH] = {};
  HINSTANCE found = fw::FindStringResource(kResourceManagerString);
  if (found) LoadStringA(found, kResourceManagerString, text, sizeof text);
  CLocation file(text);

  char buffer[MAX_PATH] = {};
  GetModuleFileNameA(GetAppInstance(context), buffer, sizeof buffer);
  CLocation path(buffer);
  std::string drive, dir;
  DirectoryOf(path, drive, dir);
  path.Make(nullptr, nullptr, drive.c_str(), dir.c_str(), file.c_str(), nullptr, nullptr, nullptr);

  if (CreateFromLibrary(path.c_str(), CLSID_ResourceManager, IID_IResourceStorage,
                        reinterpret_cast<void**>(storage.put())) != S_OK) {
    storage.detach();  // not the library's after a failure
    return E_FAIL;
  }
  if (!storage) return E_FAIL;
  ORVEX_CALL(storage.get(), SetName)(name);

  char title[MAX_PATH] = {};
  GetTitleLocation(context, title, sizeof title - 1);
  path.assign(title);
  DirectoryOf(path, drive, dir);  // on failure the application's directory remains
  path.Make(nullptr, nullptr, drive.c_str(), dir.c_str(), nullptr, nullptr, nullptr, nullptr);
  if (CLocation(location).IsRelative())
    path.MakeAbsolute(location);
  else
    path.assign(location);  // a drive path, a network path or a URL: passed as it is
  ORVEX_CALL(storage.get(), SetLocation)(path.c_str());
  ORVEX_CALL(resources, AddStorage)(storage.get());
  return S_OK;
}

// runtime → resources. The runtime is released right
// after GetResources, before its status is looked at.
IHostResources* ReachResourcesAlone(Chain& chain, IHostContext* context) {
  IHostResources* resources = nullptr;
  HRESULT status = E_FAIL;
  {
    Chain first;
    IHostRuntime* runtime = ReachRuntime(first, context);
    if (!runtime) return nullptr;
    status = ORVEX_CALL(runtime, GetResources)(&resources);
  }
  return chain.Take(status, &resources) ? resources : nullptr;
}

}  // namespace

extern "C" {

// FindStorage (name) → storage; GetLocation (out location) with a final backslash
void __cdecl GetResourceStorage(IHostContext* context, const char* name, char* buffer, int length) {
  ORVEX_EXPORT(context, name, buffer, length);
  HostExport([&] {
    if (!name || !buffer || length <= 0) return;
    CallerText out(buffer, length);
    out.Open();
    Chain chain;
    IHostResources* resources = ReachResourcesAlone(chain, context);
    if (!resources) return;
    IResourceStorage* storage = nullptr;
    ORVEX_CALL(resources, FindStorage)(name, &storage);
    if (!chain.TakeIfPresent(&storage)) return;
    WideText location;
    ORVEX_CALL(storage, GetLocation)(location.Out());
    std::string text = NarrowText(location.get()).c_str();
    const char* last = LastChar(text.c_str());  // a trail byte 5C ends no text in a backslash
    if (!last || *last != '\\') text += '\\';
    out.Put(text.c_str());
  });
}

// an existing storage: SetLocation (location unchanged); else a new one
void __cdecl SetResourceStorage(IHostContext* context, const char* name, const char* location) {
  ORVEX_EXPORT(context, name, location);
  HostExport([&] {
    if (!name || !location) return;
    Chain chain;
    IHostResources* resources = ReachResourcesAlone(chain, context);
    if (!resources) return;
    IResourceStorage* storage = nullptr;
    ORVEX_CALL(resources, FindStorage)(name, &storage);
    if (chain.TakeIfPresent(&storage)) {
      ORVEX_CALL(storage, SetLocation)(location);
      return;
    }
    CreateResourceStorage(context, resources, name, location);
  });
}

}  // extern "C"
