// OrvexC.dll loaded and unloaded at run time, its exports reached by ordinal.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>
#include <oleauto.h>

#include <cstdio>

#include "LibraryProbe.h"
#include "frame/HostInterfaces.h"

namespace {

// A title that answers only the chain of GetTitleLocation (context 3 →
// runtime, runtime 9 → application, application 11 → a BSTR), counting the
// references it hands out and gets back.
template <class I>
struct Counted : I {
  LONG* balance;
  explicit Counted(LONG* counter) : balance(counter) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(balance); }
  ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(balance); }
  template <class T>
  HRESULT Hand(T* object, T** out) {
    object->AddRef();
    *out = object;
    return S_OK;
  }
};

struct LocationApp : Counted<IHostApplication> {
  using Counted::Counted;
  HRESULT STDMETHODCALLTYPE IsMediaAvailable(const char*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetInstance(HINSTANCE*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetParameterCount(int*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetParameter(int, BSTR*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetTitleLocation(BSTR* out) override {
    *out = SysAllocString(L"C:\\Titles\\Intro\\intro.ttl");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTitlePath(BSTR*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE StartThread(const char*) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE FindThread(const char*, IHostThread**) override { return E_FAIL; }
};

struct LocationRuntime : Counted<IHostRuntime> {
  LocationApp app{balance};
  using Counted::Counted;
  HRESULT STDMETHODCALLTYPE GetResources(IHostResources**) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetTitleNode(IHostNode**) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetApplication(IHostApplication** out) override { return Hand<IHostApplication>(&app, out); }
};

struct LocationContext : Counted<IHostContext> {
  LocationRuntime runtime{balance};
  using Counted::Counted;
  HRESULT STDMETHODCALLTYPE GetRuntime(IHostRuntime** out) override { return Hand<IHostRuntime>(&runtime, out); }
  HRESULT STDMETHODCALLTYPE GetModule(IHostModule**) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetFrame(IHostFrame**) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetSurface(IHostSurface**) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE GetThread(IHostThread**) override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE FindObject(HostScopeKey, const char*, IHostObject**) override { return E_FAIL; }
};

using IsVisibleFn = BOOL(__cdecl*)(void*);
using ShowFn = BOOL(__cdecl*)(void*, BOOL);
using TextFn = void(__cdecl*)(void*, char*, int);

class Loaded {
 public:
  Loaded() : module_(LoadLibraryA("OrvexC.dll")) { probe::ResetThreadStateSlot(); }
  ~Loaded() {
    if (module_) FreeLibrary(module_);
    probe::ResetThreadStateSlot();
  }
  HMODULE get() const { return module_; }
  template <class Fn>
  Fn ByOrdinal(int ordinal) const {
    return reinterpret_cast<Fn>(GetProcAddress(module_, MAKEINTRESOURCEA(ordinal)));
  }

 private:
  HMODULE module_;
};

TEST(LoadUnload, OrdinalsAndNamesReachTheSameFunctions) {
  Loaded dll;
  ASSERT_NE(dll.get(), nullptr);
  const struct {
    const char* name;
    int ordinal;
  } exports[] = {
      {"GetAppInstance", 101}, {"GetNumberOfAppParameters", 102}, {"GetAppParameter", 103},
      {"GetTitleLocation", 104}, {"GetTitleDirectory", 105}, {"GetTitleName", 106},
      {"ShowMouseCursor", 107}, {"IsMouseCursorVisible", 108}, {"FreezePainting", 109},
      {"IsMediaAvailable", 110}, {"GetModuleName", 201}, {"GetModuleAddress", 202},
  };
  for (const auto& e : exports) {
    FARPROC byName = GetProcAddress(dll.get(), e.name);
    EXPECT_NE(byName, nullptr) << e.name;
    EXPECT_EQ(byName, GetProcAddress(dll.get(), MAKEINTRESOURCEA(e.ordinal))) << e.name;
  }
}

TEST(LoadUnload, FreshLoadShowsTheCursorFlagSetAndRestoresTheModuleState) {
  Loaded dll;
  ASSERT_NE(dll.get(), nullptr);
  // The entry point made its own module state current and then gave the
  // loading thread back the one it had: none.
  orvex::fw::ThreadState* state = probe::FindThreadState();
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->moduleState, nullptr);

  auto isVisible = dll.ByOrdinal<IsVisibleFn>(108);
  auto show = dll.ByOrdinal<ShowFn>(107);
  ASSERT_TRUE(isVisible && show);
  EXPECT_EQ(isVisible(nullptr), 1);
  EXPECT_EQ(show(nullptr, FALSE), 1);
  EXPECT_EQ(isVisible(nullptr), 0);
  EXPECT_EQ(show(nullptr, TRUE), 0);
  EXPECT_EQ(state->moduleState, nullptr);
}

// A thread that attaches, calls the runtime through the library and detaches.
struct ThreadCall {
  TextFn titleLocation;
  IHostContext* context;
  char text[MAX_PATH];
};
DWORD WINAPI CallFromThread(LPVOID argument) {
  auto* call = static_cast<ThreadCall*>(argument);
  call->titleLocation(call->context, call->text, sizeof call->text);
  return 0;
}

std::size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof counters);
  return counters.PrivateUsage;
}

TEST(LoadUnload, RepeatedCyclesWithThreadsLeaveNothingBehind) {
  const int kCycles = 200;
  LONG balance = 0;
  LocationContext context(&balance);
  std::size_t memoryAfterWarmUp = 0;
  DWORD handlesAfterWarmUp = 0;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    Loaded dll;
    ASSERT_NE(dll.get(), nullptr) << "cycle " << cycle;
    auto isVisible = dll.ByOrdinal<IsVisibleFn>(108);
    ASSERT_EQ(isVisible(nullptr), 1) << "the flag starts at 1 in every load";
    dll.ByOrdinal<ShowFn>(107)(nullptr, TRUE);
    // Host calls from this thread and from one that attaches and detaches.
    ThreadCall call = {dll.ByOrdinal<TextFn>(104), &context, {}};
    ASSERT_NE(call.titleLocation, nullptr);
    char here[MAX_PATH] = {};
    call.titleLocation(&context, here, sizeof here);
    ASSERT_STREQ(here, "C:\\Titles\\Intro\\intro.ttl") << "cycle " << cycle;
    HANDLE thread = CreateThread(nullptr, 0, CallFromThread, &call, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    ASSERT_STREQ(call.text, here) << "cycle " << cycle;
    ASSERT_EQ(balance, 0) << "references not given back in cycle " << cycle;
    EXPECT_EQ(probe::CurrentModuleState(), nullptr);
    if (cycle == 9) {
      memoryAfterWarmUp = PrivateBytes();
      GetProcessHandleCount(GetCurrentProcess(), &handlesAfterWarmUp);
    }
  }
  DWORD handles = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handles);
  EXPECT_LE(handles, handlesAfterWarmUp + 4) << "handles grew over " << kCycles << " cycles";
  EXPECT_LE(PrivateBytes(), memoryAfterWarmUp + 512 * 1024) << "memory grew over " << kCycles << " cycles";
  EXPECT_EQ(GetModuleHandleA("OrvexC.dll"), nullptr);
  std::printf("load/unload: %d cycles, each with host calls on two threads\n", kCycles);
}

}  // namespace
