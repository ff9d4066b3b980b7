// OrvexC.dll loaded and unloaded at run time, its exports reached by ordinal:
// every load starts afresh and every unload leaves nothing behind.
#include "HostTest.h"

#include <psapi.h>

#include <cstdio>

namespace {

using IsVisibleFn = BOOL(__cdecl*)(void*);
using ShowFn = BOOL(__cdecl*)(void*, BOOL);
using TextFn = void(__cdecl*)(void*, char*, int);

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
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters.PrivateUsage;
}

TEST(LoadUnload, RepeatedCyclesWithThreadsLeaveNothingBehind) {
  const int kCycles = 200;
  fake::Runtime rt;
  rt.app.location = L"C:\\Titles\\Intro\\intro.ttl";
  std::size_t memoryAfterWarmUp = 0;
  DWORD handlesAfterWarmUp = 0;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    HMODULE dll = LoadLibraryA("OrvexC.dll");
    ASSERT_NE(dll, nullptr) << "cycle " << cycle;
    auto byOrdinal = [dll](int ordinal) { return reinterpret_cast<void*>(GetProcAddress(dll, MAKEINTRESOURCEA(ordinal))); };
    // The entry point gave the loading thread back the module state it had: none.
    orvex::fw::ThreadState* loaded = hosttest::ThreadState();
    ASSERT_TRUE(!loaded || !loaded->moduleState) << "cycle " << cycle;
    ASSERT_EQ(reinterpret_cast<IsVisibleFn>(byOrdinal(108))(nullptr), 1) << "the flag starts at 1 in every load";
    reinterpret_cast<ShowFn>(byOrdinal(107))(nullptr, FALSE);
    // Host calls from this thread and from one that attaches and detaches.
    ThreadCall call = {reinterpret_cast<TextFn>(byOrdinal(104)), rt.ctx(), {}};
    char here[MAX_PATH] = {};
    call.titleLocation(rt.ctx(), here, sizeof here);
    ASSERT_STREQ(here, "C:\\Titles\\Intro\\intro.ttl") << "cycle " << cycle;
    HANDLE thread = CreateThread(nullptr, 0, CallFromThread, &call, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    ASSERT_STREQ(call.text, here) << "cycle " << cycle;
    ASSERT_EQ(rt.UnbalancedObjects(), hosttest::Calls{}) << "cycle " << cycle;
    orvex::fw::ThreadState* state = hosttest::ThreadState();
    ASSERT_TRUE(state && !state->moduleState) << "cycle " << cycle;
    if (cycle == 9) {
      memoryAfterWarmUp = PrivateBytes();
      GetProcessHandleCount(GetCurrentProcess(), &handlesAfterWarmUp);
    }
    FreeLibrary(dll);
  }
  DWORD handles = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handles);
  EXPECT_LE(handles, handlesAfterWarmUp + 4) << "handles grew over " << kCycles << " cycles";
  EXPECT_LE(PrivateBytes(), memoryAfterWarmUp + 512 * 1024) << "memory grew over " << kCycles << " cycles";
  EXPECT_EQ(GetModuleHandleA("OrvexC.dll"), nullptr);
  std::printf("load/unload: %d cycles, each with host calls on two threads\n", kCycles);
}

}  // namespace
