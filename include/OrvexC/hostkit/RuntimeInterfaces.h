// The title runtime's component-object interfaces, as the library calls them.
// Every method returns a 32-bit status (only 0 is success) and is numbered in
// declaration order from QueryInterface = 0. Slots the library does not call
// are declared as reserved methods so that the numbered ones land where the
// runtime has them; their bodies exist only to complete the declaration.
#pragma once

#include <windows.h>
#include <unknwn.h>

#define ORVEX_RESERVED(n) \
  virtual HRESULT STDMETHODCALLTYPE Reserved##n() { return E_NOTIMPL; }

// Declared at global scope, as component-object interfaces are, so that the
// public header's opaque IHostContext is this very type.
struct IHostRuntime;
struct IHostApplication;
struct IHostThread;
struct IHostModule;
struct IHostFrame;
struct IHostNode;
struct IHostSurface;
struct IHostWindow;
struct IHostObject;
struct IHostResources;
struct IHostResource;
struct IResourceStorage;
struct IResourceNotify;

// The scope key: an opaque 32-bit value, never reference-counted.
using HostScopeKey = void*;

// {5FA83480-655C-11D0-A31C-0080C76B727A}
inline constexpr GUID IID_IHostScope = {
    0x5FA83480, 0x655C, 0x11D0, {0xA3, 0x1C, 0x00, 0x80, 0xC7, 0x6B, 0x72, 0x7A}};
// {6ADEDEE6-7906-11D0-9E0A-0080C76B727A}
inline constexpr GUID IID_IResourceNotify = {
    0x6ADEDEE6, 0x7906, 0x11D0, {0x9E, 0x0A, 0x00, 0x80, 0xC7, 0x6B, 0x72, 0x7A}};
// {6ADEDEE0-7906-11D0-9E0A-0080C76B727A}
inline constexpr GUID IID_IResourceStorage = {
    0x6ADEDEE0, 0x7906, 0x11D0, {0x9E, 0x0A, 0x00, 0x80, 0xC7, 0x6B, 0x72, 0x7A}};
// {FE032AE3-05F2-11D1-9E0A-0080C76B727A}
inline constexpr GUID CLSID_ResourceManager = {
    0xFE032AE3, 0x05F2, 0x11D1, {0x9E, 0x0A, 0x00, 0x80, 0xC7, 0x6B, 0x72, 0x7A}};

// The module's first argument; also handed out by IHostThread 8.
struct IHostContext : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetRuntime(IHostRuntime** runtime) = 0;     // 3
  virtual HRESULT STDMETHODCALLTYPE GetModule(IHostModule** module) = 0;        // 4
  virtual HRESULT STDMETHODCALLTYPE GetFrame(IHostFrame** frame) = 0;           // 5
  virtual HRESULT STDMETHODCALLTYPE GetSurface(IHostSurface** surface) = 0;     // 6
  ORVEX_RESERVED(7)
  virtual HRESULT STDMETHODCALLTYPE GetThread(IHostThread** thread) = 0;        // 8
  ORVEX_RESERVED(9) ORVEX_RESERVED(10) ORVEX_RESERVED(11) ORVEX_RESERVED(12)
  ORVEX_RESERVED(13) ORVEX_RESERVED(14) ORVEX_RESERVED(15) ORVEX_RESERVED(16)
  ORVEX_RESERVED(17) ORVEX_RESERVED(18) ORVEX_RESERVED(19) ORVEX_RESERVED(20)
  virtual HRESULT STDMETHODCALLTYPE FindObject(HostScopeKey scope, const char* name,
                                               IHostObject** object) = 0;       // 21
};

struct IHostRuntime : IUnknown {
  ORVEX_RESERVED(3)
  virtual HRESULT STDMETHODCALLTYPE GetResources(IHostResources** resources) = 0;  // 4
  ORVEX_RESERVED(5)
  virtual HRESULT STDMETHODCALLTYPE GetTitleNode(IHostNode** node) = 0;            // 6
  ORVEX_RESERVED(7) ORVEX_RESERVED(8)
  virtual HRESULT STDMETHODCALLTYPE GetApplication(IHostApplication** app) = 0;    // 9
};

struct IHostApplication : IUnknown {
  ORVEX_RESERVED(3) ORVEX_RESERVED(4) ORVEX_RESERVED(5)
  virtual HRESULT STDMETHODCALLTYPE IsMediaAvailable(const char* media) = 0;       // 6
  virtual HRESULT STDMETHODCALLTYPE GetInstance(HINSTANCE* instance) = 0;          // 7
  ORVEX_RESERVED(8)
  virtual HRESULT STDMETHODCALLTYPE GetParameterCount(int* count) = 0;             // 9
  virtual HRESULT STDMETHODCALLTYPE GetParameter(int index, BSTR* text) = 0;       // 10
  virtual HRESULT STDMETHODCALLTYPE GetTitleLocation(BSTR* location) = 0;          // 11
  virtual HRESULT STDMETHODCALLTYPE GetTitlePath(BSTR* path) = 0;                  // 12
  ORVEX_RESERVED(13) ORVEX_RESERVED(14) ORVEX_RESERVED(15) ORVEX_RESERVED(16)
  virtual HRESULT STDMETHODCALLTYPE StartThread(const char* name) = 0;             // 17
  ORVEX_RESERVED(18) ORVEX_RESERVED(19) ORVEX_RESERVED(20)
  virtual HRESULT STDMETHODCALLTYPE FindThread(const char* name, IHostThread** thread) = 0;  // 21
};

struct IHostThread : IUnknown {
  ORVEX_RESERVED(3)
  virtual HRESULT STDMETHODCALLTYPE Stop() = 0;                                    // 4
  ORVEX_RESERVED(5) ORVEX_RESERVED(6)
  virtual HRESULT STDMETHODCALLTYPE IsRunning() = 0;                               // 7
  virtual HRESULT STDMETHODCALLTYPE GetContext(IHostContext** context) = 0;        // 8
  ORVEX_RESERVED(9) ORVEX_RESERVED(10)
  virtual HRESULT STDMETHODCALLTYPE BranchByPath(int path) = 0;                    // 11
  virtual HRESULT STDMETHODCALLTYPE BranchByPathName(const char* pathName) = 0;    // 12
  virtual HRESULT STDMETHODCALLTYPE BranchByColor(int color) = 0;                  // 13
  virtual HRESULT STDMETHODCALLTYPE BranchToFrame(const char* frame) = 0;          // 14
  virtual HRESULT STDMETHODCALLTYPE SetZOrder(IHostThread* other) = 0;             // 15
  virtual HRESULT STDMETHODCALLTYPE SendValues(int value1, int value2, int value3) = 0;  // 16
  virtual HRESULT STDMETHODCALLTYPE SetReturnBranch(int value) = 0;                // 17
};

struct IHostModule : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetNode(IHostNode** node) = 0;  // 3
};

struct IHostFrame : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetNode(IHostNode** node) = 0;  // 3
};

// A node of the title: module, frame or the title itself.
struct IHostNode : IUnknown {
  ORVEX_RESERVED(3) ORVEX_RESERVED(4) ORVEX_RESERVED(5)
  ORVEX_RESERVED(6) ORVEX_RESERVED(7) ORVEX_RESERVED(8)
  virtual HRESULT STDMETHODCALLTYPE GetName(int capacity, char* buffer) = 0;     // 9
  virtual HRESULT STDMETHODCALLTYPE GetAddress(int capacity, char* buffer) = 0;  // 10
};

struct IHostSurface : IUnknown {
  ORVEX_RESERVED(3) ORVEX_RESERVED(4) ORVEX_RESERVED(5)
  virtual HRESULT STDMETHODCALLTYPE GetWindow(IHostWindow** window) = 0;     // 6
  virtual HRESULT STDMETHODCALLTYPE Hide() = 0;                              // 7
  virtual HRESULT STDMETHODCALLTYPE Show() = 0;                              // 8
  virtual HRESULT STDMETHODCALLTYPE GetVisible(int* visible) = 0;            // 9
  virtual HRESULT STDMETHODCALLTYPE GetGeometry(int* x, int* y, int* width, int* height) = 0;  // 10
  virtual HRESULT STDMETHODCALLTYPE SetGeometry(int x, int y, int width, int height) = 0;      // 11
  virtual HRESULT STDMETHODCALLTYPE Print(int value1, int value2) = 0;       // 12
  virtual HRESULT STDMETHODCALLTYPE IsPaintingFrozen() = 0;                  // 13
  virtual HRESULT STDMETHODCALLTYPE FreezePainting(int freeze) = 0;          // 14
};

struct IHostWindow : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetHandle(HWND* window) = 0;                          // 3
  virtual HRESULT STDMETHODCALLTYPE Print(int value1, int value2) = 0;                    // 4
  virtual HRESULT STDMETHODCALLTYPE SetScrollIncrement(int horizontal, int vertical) = 0;  // 5
  virtual HRESULT STDMETHODCALLTYPE ScrollTo(int x, int y) = 0;                           // 6
  virtual HRESULT STDMETHODCALLTYPE SetStatusText(const char* text) = 0;                  // 7
  virtual HRESULT STDMETHODCALLTYPE ShowProgress(int value1, int value2, int value3) = 0;  // 8
};

// Offered by scope objects through QueryInterface with IID_IHostScope.
struct IHostScope : IUnknown {
  ORVEX_RESERVED(3)
  virtual HRESULT STDMETHODCALLTYPE GetScopeKey(HostScopeKey* key) = 0;  // 4
};

// An on-screen object of a frame. Rectangles are left, top, right, bottom.
struct IHostObject : IUnknown {
  ORVEX_RESERVED(3) ORVEX_RESERVED(4) ORVEX_RESERVED(5) ORVEX_RESERVED(6)
  ORVEX_RESERVED(7) ORVEX_RESERVED(8) ORVEX_RESERVED(9) ORVEX_RESERVED(10)
  virtual HRESULT STDMETHODCALLTYPE GetRect(RECT* rect) = 0;                          // 11
  virtual HRESULT STDMETHODCALLTYPE SetRect(const RECT* rect, int one) = 0;           // 12
  ORVEX_RESERVED(13) ORVEX_RESERVED(14)
  virtual HRESULT STDMETHODCALLTYPE GetFlags(int* flags) = 0;                         // 15
  virtual HRESULT STDMETHODCALLTYPE ChangeFlags(int remove, int add) = 0;             // 16
  ORVEX_RESERVED(17) ORVEX_RESERVED(18) ORVEX_RESERVED(19)
  virtual HRESULT STDMETHODCALLTYPE GetTransparent(int* second, int* first) = 0;      // 20
  virtual HRESULT STDMETHODCALLTYPE SetTransparent(int second, int first, int one) = 0;  // 21
  virtual HRESULT STDMETHODCALLTYPE GetKeyColor(int* second, int* first) = 0;         // 22
  virtual HRESULT STDMETHODCALLTYPE SetKeyColor(int second, int first, int one) = 0;  // 23
  virtual HRESULT STDMETHODCALLTYPE GetAntiAlias(short* second, int* first) = 0;      // 24
  virtual HRESULT STDMETHODCALLTYPE SetAntiAlias(int second, int first, int one) = 0;  // 25
  ORVEX_RESERVED(26) ORVEX_RESERVED(27)
  virtual HRESULT STDMETHODCALLTYPE SetEnabled(int enabled, int one) = 0;             // 28
  virtual HRESULT STDMETHODCALLTYPE GetEnabled(int* enabled) = 0;                     // 29
  ORVEX_RESERVED(30) ORVEX_RESERVED(31)
  virtual HRESULT STDMETHODCALLTYPE SetVisible(int visible, int one) = 0;             // 32
  virtual HRESULT STDMETHODCALLTYPE GetVisible(int* visible) = 0;                     // 33
  virtual HRESULT STDMETHODCALLTYPE GetZOrder(int* zOrder) = 0;                       // 34
  virtual HRESULT STDMETHODCALLTYPE SetZOrder(int zOrder, int one) = 0;               // 35
  virtual HRESULT STDMETHODCALLTYPE GetFocus(int* focus) = 0;                         // 36
  virtual HRESULT STDMETHODCALLTYPE SetFocus(int one) = 0;                            // 37
  ORVEX_RESERVED(38)
  virtual HRESULT STDMETHODCALLTYPE GetState(int* flags) = 0;                         // 39
  virtual HRESULT STDMETHODCALLTYPE SetState(int flags) = 0;                          // 40
};

struct IHostResources : IUnknown {
  ORVEX_RESERVED(3) ORVEX_RESERVED(4) ORVEX_RESERVED(5) ORVEX_RESERVED(6) ORVEX_RESERVED(7)
  virtual HRESULT STDMETHODCALLTYPE AddStorage(IResourceStorage* storage) = 0;        // 8
  ORVEX_RESERVED(9) ORVEX_RESERVED(10) ORVEX_RESERVED(11) ORVEX_RESERVED(12) ORVEX_RESERVED(13)
  virtual HRESULT STDMETHODCALLTYPE FindStorage(const char* name,
                                                IResourceStorage** storage) = 0;      // 14
  ORVEX_RESERVED(15) ORVEX_RESERVED(16) ORVEX_RESERVED(17) ORVEX_RESERVED(18) ORVEX_RESERVED(19)
  virtual HRESULT STDMETHODCALLTYPE FindResourceByName(const char* name, DWORD* cookie,
                                                       IHostResource** resource) = 0;  // 20
};

// A title resource delivered as a local file to an advised IResourceNotify.
struct IHostResource : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Advise(IResourceNotify* notify) = 0;    // 3
  virtual HRESULT STDMETHODCALLTYPE Unadvise(IResourceNotify* notify) = 0;  // 4
  ORVEX_RESERVED(5) ORVEX_RESERVED(6) ORVEX_RESERVED(7)
  virtual HRESULT STDMETHODCALLTYPE Start(DWORD value, DWORD zero) = 0;     // 8
};

// The notifications a resource sends to its listener (implemented by the library).
struct IResourceNotify : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE OnStart(DWORD unused, DWORD value, IUnknown* binding) = 0;  // 3
  virtual HRESULT STDMETHODCALLTYPE OnStop(DWORD unused, DWORD value1, DWORD value2) = 0;       // 4
  virtual HRESULT STDMETHODCALLTYPE OnProgress(DWORD unused, DWORD progress, DWORD maximum,
                                               DWORD statusCode, const char* statusText) = 0;  // 5
  virtual HRESULT STDMETHODCALLTYPE OnData(DWORD unused, DWORD value1, DWORD value2,
                                           DWORD value3, DWORD value4) = 0;                    // 6
};

// A resource storage of the resource manager component.
struct IResourceStorage : IUnknown {
  ORVEX_RESERVED(3) ORVEX_RESERVED(4) ORVEX_RESERVED(5) ORVEX_RESERVED(6) ORVEX_RESERVED(7)
  ORVEX_RESERVED(8) ORVEX_RESERVED(9) ORVEX_RESERVED(10) ORVEX_RESERVED(11) ORVEX_RESERVED(12)
  virtual HRESULT STDMETHODCALLTYPE GetLocation(BSTR* location) = 0;      // 13
  virtual HRESULT STDMETHODCALLTYPE SetLocation(const char* location) = 0;  // 14
  ORVEX_RESERVED(15) ORVEX_RESERVED(16) ORVEX_RESERVED(17)
  virtual HRESULT STDMETHODCALLTYPE SetName(const char* name) = 0;        // 18
};

