// A title runtime of the benchmark's own that costs next to nothing (see
// MinimalTitle.h). Its class is seen by no other source, so that no floor can
// be compiled to call it directly: they call through the vtables, as a module
// must.
#include "MinimalTitle.h"

#include <OrvexC/hostkit/ImportHook.h>

#include <oleauto.h>

#include <cstring>

namespace bench {
namespace {

// Every interface of the runtime's list with each method answering
// E_NOTIMPL: the methods the benchmarks never reach.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define ORVEX_INTERFACE(interface) struct Unreached##interface : interface {
#define ORVEX_METHOD(interface, slot, method, parameters, note) \
  HRESULT STDMETHODCALLTYPE method parameters override { return E_NOTIMPL; }
#define ORVEX_END(interface) \
  }                          \
  ;
#include <OrvexC/RuntimeInterfaces.def>
#pragma GCC diagnostic pop

// One object is every interface the call-frame chains reach.
class MinimalTitle final : public UnreachedIHostContext,
                           public UnreachedIHostRuntime,
                           public UnreachedIHostApplication,
                           public UnreachedIHostThread,
                           public UnreachedIHostModule,
                           public UnreachedIHostNode,
                           public UnreachedIHostSurface,
                           public UnreachedIHostScope,
                           public UnreachedIHostObject {
 public:
  static constexpr RECT kRect = {10, 20, 330, 260};
  static constexpr const char* kModuleName = "IntroModule";
  static constexpr const wchar_t* kLocation = L"C:\\Titles\\Intro\\intro.ttl";

  ULONG refs() const { return refs_; }
  BSTR location() const { return location_; }

  // IUnknown: the scope interface is the one asked for by identifier.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IHostScope) return *out = nullptr, E_NOINTERFACE;
    return Hand(reinterpret_cast<IHostScope**>(out));
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }

  // The steps of the chains: each hands out this object, one reference more.
  HRESULT STDMETHODCALLTYPE GetRuntime(IHostRuntime** out) override { return Hand(out); }
  HRESULT STDMETHODCALLTYPE GetModule(IHostModule** out) override { return Hand(out); }
  HRESULT STDMETHODCALLTYPE GetSurface(IHostSurface** out) override { return Hand(out); }
  HRESULT STDMETHODCALLTYPE FindObject(HostScopeKey, const char*, IHostObject** out) override {
    return Hand(out);
  }
  HRESULT STDMETHODCALLTYPE GetApplication(IHostApplication** out) override { return Hand(out); }
  HRESULT STDMETHODCALLTYPE FindThread(const char*, IHostThread** out) override { return Hand(out); }
  HRESULT STDMETHODCALLTYPE GetNode(IHostNode** out) override { return Hand(out); }

  // The actions.
  HRESULT STDMETHODCALLTYPE GetTitleLocation(BSTR* out) override {
    *out = location_;  // the library frees it through MinimalFreeString
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsRunning() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetName(int capacity, char* buffer) override {
    if (capacity > 11) std::memcpy(buffer, kModuleName, 12);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetGeometry(int* x, int* y, int* width, int* height) override {
    *x = 0, *y = 0, *width = 640, *height = 480;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetGeometry(int, int, int, int) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetScopeKey(HostScopeKey* key) override {
    *key = this;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetRect(RECT* rect) override {
    *rect = kRect;
    return S_OK;
  }

 private:
  template <class I>
  HRESULT Hand(I** out) {
    ++refs_;
    *out = this;
    return S_OK;
  }

  ULONG refs_ = 1;                             // the benchmark's own
  BSTR location_ = SysAllocString(kLocation);  // made once, handed out on every call
};

MinimalTitle g_title;

void(WINAPI* g_sysFreeString)(BSTR) = SysFreeString;

// The library's SysFreeString and the floor's: the title location handed
// out on every call stays; any other string is freed.
void WINAPI MinimalFreeString(BSTR text) {
  if (text != g_title.location()) g_sysFreeString(text);
}

}  // namespace

IHostContext* MinimalContext() { return &g_title; }
IUnknown* MinimalScope() { return static_cast<IHostScope*>(&g_title); }
bool MinimalTitleBalanced() { return g_title.refs() == 1; }

void FreeMinimalString(BSTR text) { MinimalFreeString(text); }

bool RouteLibraryStrings(HMODULE library) {
  return hostkit::RouteImport(library, "oleaut32.dll", "SysFreeString", MinimalFreeString, &g_sysFreeString);
}

void RestoreLibraryStrings(HMODULE library) {
  hostkit::RouteImport(library, "oleaut32.dll", "SysFreeString", g_sysFreeString, &g_sysFreeString);
}

}  // namespace bench
