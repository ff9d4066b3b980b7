// A title runtime of the benchmark's own that costs next to nothing (see
// MinimalTitle.h). Its class is seen by no other source, so that no floor can
// be compiled to call it directly: they call through the vtables, as a module
// must.
#include "MinimalTitle.h"

#include <oleauto.h>

#include <cstring>

namespace bench {
namespace {

class MinimalTitle final : public IHostContext,
                           public IHostRuntime,
                           public IHostApplication,
                           public IHostThread,
                           public IHostModule,
                           public IHostNode,
                           public IHostSurface,
                           public IHostScope,
                           public IHostObject {
 public:
  static constexpr RECT kRect = {10, 20, 330, 260};
  static constexpr const char* kModuleName = "IntroModule";
  static constexpr const wchar_t* kLocation = L"C:\\Titles\\Intro\\intro.ttl";

  ULONG refs() const { return refs_; }

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
    *out = SysAllocString(kLocation);  // the library frees it, as a runtime's
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

  // Never reached by the benchmarks.
  HRESULT STDMETHODCALLTYPE GetFrame(IHostFrame**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetThread(IHostThread**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetResources(IHostResources**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTitleNode(IHostNode**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE IsMediaAvailable(const char*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetInstance(HINSTANCE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetParameterCount(int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetParameter(int, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTitlePath(BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE StartThread(const char*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stop() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContext(IHostContext**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BranchByPath(int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BranchByPathName(const char*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BranchByColor(int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE BranchToFrame(const char*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetZOrder(IHostThread*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SendValues(int, int, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetReturnBranch(int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAddress(int, char*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetWindow(IHostWindow**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Hide() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Show() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVisible(int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Print(int, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE IsPaintingFrozen() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE FreezePainting(int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetRect(const RECT*, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFlags(int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ChangeFlags(int, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTransparent(int*, int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetTransparent(int, int, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetKeyColor(int*, int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetKeyColor(int, int, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAntiAlias(short*, int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetAntiAlias(int, int, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetEnabled(int, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetEnabled(int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetVisible(int, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetZOrder(int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetZOrder(int, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetFocus(int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetFocus(int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetState(int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetState(int) override { return E_NOTIMPL; }

 private:
  template <class I>
  HRESULT Hand(I** out) {
    ++refs_;
    *out = this;
    return S_OK;
  }

  ULONG refs_ = 1;  // the benchmark's own
};

MinimalTitle g_title;

}  // namespace

IHostContext* MinimalContext() { return &g_title; }
IUnknown* MinimalScope() { return static_cast<IHostScope*>(&g_title); }
bool MinimalTitleBalanced() { return g_title.refs() == 1; }

}  // namespace bench
