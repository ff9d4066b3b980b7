#include "QuietRuntime.h"

namespace bench {
namespace {

// Reference counting that does nothing; QueryInterface answers with the
// object itself for whatever it is asked.
template <typename Interface>
struct Quiet : Interface {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = static_cast<Interface*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

template <typename T>
HRESULT Give(T* object, T** out) {
  *out = object;
  return S_OK;
}

struct Node : Quiet<IHostNode> {
  HRESULT STDMETHODCALLTYPE GetName(int capacity, char* buffer) override {
    lstrcpynA(buffer, kModuleName, capacity);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetAddress(int capacity, char* buffer) override {
    lstrcpynA(buffer, "C:\\Titles\\Intro\\modules\\intro.mod", capacity);
    return S_OK;
  }
} g_node;

struct Module : Quiet<IHostModule> {
  HRESULT STDMETHODCALLTYPE GetNode(IHostNode** out) override { return Give<IHostNode>(&g_node, out); }
} g_module;

struct Thread : Quiet<IHostThread> {
  HRESULT STDMETHODCALLTYPE Stop() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsRunning() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetContext(IHostContext** out) override;
  HRESULT STDMETHODCALLTYPE BranchByPath(int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE BranchByPathName(const char*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE BranchByColor(int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE BranchToFrame(const char*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetZOrder(IHostThread*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SendValues(int, int, int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetReturnBranch(int) override { return S_OK; }
} g_thread;

struct App : Quiet<IHostApplication> {
  HRESULT STDMETHODCALLTYPE IsMediaAvailable(const char*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetInstance(HINSTANCE* out) override {
    *out = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetParameterCount(int* out) override {
    *out = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetParameter(int, BSTR* out) override {
    *out = nullptr;
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE GetTitleLocation(BSTR* out) override {
    *out = SysAllocString(kTitleLocation);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTitlePath(BSTR* out) override { return GetTitleLocation(out); }
  HRESULT STDMETHODCALLTYPE StartThread(const char*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE FindThread(const char*, IHostThread** out) override {
    return Give<IHostThread>(&g_thread, out);
  }
} g_app;

struct Window : Quiet<IHostWindow> {
  HRESULT STDMETHODCALLTYPE GetHandle(HWND* out) override {
    *out = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Print(int, int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetScrollIncrement(int, int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ScrollTo(int, int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetStatusText(const char*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ShowProgress(int, int, int) override { return S_OK; }
} g_window;

struct Surface : Quiet<IHostSurface> {
  int x = 0, y = 0, width = 640, height = 480;
  HRESULT STDMETHODCALLTYPE GetWindow(IHostWindow** out) override { return Give<IHostWindow>(&g_window, out); }
  HRESULT STDMETHODCALLTYPE Hide() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Show() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetVisible(int* out) override {
    *out = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetGeometry(int* outX, int* outY, int* outWidth, int* outHeight) override {
    *outX = x, *outY = y, *outWidth = width, *outHeight = height;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetGeometry(int newX, int newY, int newWidth, int newHeight) override {
    x = newX, y = newY, width = newWidth, height = newHeight;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Print(int, int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsPaintingFrozen() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE FreezePainting(int) override { return S_OK; }
} g_surface;

struct Object : Quiet<IHostObject> {
  HRESULT STDMETHODCALLTYPE GetRect(RECT* rect) override {
    *rect = kObjectRect;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetRect(const RECT*, int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetFlags(int* out) override { return Zero(out); }
  HRESULT STDMETHODCALLTYPE ChangeFlags(int, int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetTransparent(int* second, int* first) override { return Zero(second, first); }
  HRESULT STDMETHODCALLTYPE SetTransparent(int, int, int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetKeyColor(int* second, int* first) override { return Zero(second, first); }
  HRESULT STDMETHODCALLTYPE SetKeyColor(int, int, int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetAntiAlias(short* second, int* first) override {
    *second = 0;
    return Zero(first);
  }
  HRESULT STDMETHODCALLTYPE SetAntiAlias(int, int, int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetEnabled(int, int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetEnabled(int* out) override { return Zero(out); }
  HRESULT STDMETHODCALLTYPE SetVisible(int, int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetVisible(int* out) override { return Zero(out); }
  HRESULT STDMETHODCALLTYPE GetZOrder(int* out) override { return Zero(out); }
  HRESULT STDMETHODCALLTYPE SetZOrder(int, int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetFocus(int* out) override { return Zero(out); }
  HRESULT STDMETHODCALLTYPE SetFocus(int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetState(int* out) override { return Zero(out); }
  HRESULT STDMETHODCALLTYPE SetState(int) override { return S_OK; }

  static HRESULT Zero(int* a, int* b = nullptr) {
    *a = 0;
    if (b) *b = 0;
    return S_OK;
  }
} g_object;

struct Scope : Quiet<IHostScope> {
  HRESULT STDMETHODCALLTYPE GetScopeKey(HostScopeKey* out) override {
    *out = reinterpret_cast<HostScopeKey>(0x5C09E);
    return S_OK;
  }
} g_scope;

std::string g_resourceDirectory;

// A resource that, once started, tells its listener the local file it lives
// in: start, progress with status code 14 and the file name, stop.
struct Resource : Quiet<IHostResource> {
  IResourceNotify* listener = nullptr;
  std::string fileName;
  HRESULT STDMETHODCALLTYPE Advise(IResourceNotify* notify) override {
    listener = notify;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(IResourceNotify* notify) override {
    if (listener == notify) listener = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Start(DWORD, DWORD) override {
    if (IResourceNotify* notify = listener) {
      notify->OnStart(0, 0, nullptr);
      notify->OnProgress(0, 0, 0, 14, fileName.c_str());
      if (listener) listener->OnStop(0, 0, 0);
    }
    return S_OK;
  }
} g_resource;

struct Resources : Quiet<IHostResources> {
  HRESULT STDMETHODCALLTYPE AddStorage(IResourceStorage*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE FindStorage(const char*, IResourceStorage** out) override {
    *out = nullptr;
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE FindResourceByName(const char* name, DWORD* cookie, IHostResource** out) override {
    g_resource.fileName = g_resourceDirectory + name;
    *cookie = 1;
    return Give<IHostResource>(&g_resource, out);
  }
} g_resources;

struct Runtime : Quiet<IHostRuntime> {
  HRESULT STDMETHODCALLTYPE GetResources(IHostResources** out) override {
    return Give<IHostResources>(&g_resources, out);
  }
  HRESULT STDMETHODCALLTYPE GetTitleNode(IHostNode** out) override { return Give<IHostNode>(&g_node, out); }
  HRESULT STDMETHODCALLTYPE GetApplication(IHostApplication** out) override {
    return Give<IHostApplication>(&g_app, out);
  }
} g_runtime;

struct Context : Quiet<IHostContext> {
  HRESULT STDMETHODCALLTYPE GetRuntime(IHostRuntime** out) override { return Give<IHostRuntime>(&g_runtime, out); }
  HRESULT STDMETHODCALLTYPE GetModule(IHostModule** out) override { return Give<IHostModule>(&g_module, out); }
  HRESULT STDMETHODCALLTYPE GetFrame(IHostFrame** out) override {
    *out = nullptr;
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE GetSurface(IHostSurface** out) override { return Give<IHostSurface>(&g_surface, out); }
  HRESULT STDMETHODCALLTYPE GetThread(IHostThread** out) override { return Give<IHostThread>(&g_thread, out); }
  HRESULT STDMETHODCALLTYPE FindObject(HostScopeKey, const char*, IHostObject** out) override {
    return Give<IHostObject>(&g_object, out);
  }
} g_context;

HRESULT Thread::GetContext(IHostContext** out) { return Give<IHostContext>(&g_context, out); }

}  // namespace

IHostContext* MakeQuietContext() { return &g_context; }
IUnknown* QuietScope() { return &g_scope; }
void SetResourceDirectory(const std::string& directory) { g_resourceDirectory = directory; }

}  // namespace bench
