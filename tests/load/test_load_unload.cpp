// OrvexC.dll loaded and unloaded at run time, its exports reached by ordinal:
// every load starts afresh and every unload leaves nothing behind.
#include "HostTest.h"

#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

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

void* ByOrdinal(HMODULE dll, int ordinal) {
  return reinterpret_cast<void*>(GetProcAddress(dll, MAKEINTRESOURCEA(ordinal)));
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
    auto byOrdinal = [dll](int ordinal) { return ByOrdinal(dll, ordinal); };
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

// Where the library's thread-state slot lies: among the slots every thread's
// environment block holds inline, or past them (all of those taken before the
// load). Either way an export runs in the library's module state, gives the
// caller's back, and leaves the thread's last error as it was, also on a
// thread's first call.
struct SlotRow {
  const char* name;
  bool pastInline;
};
class ThreadStateSlot : public ::testing::TestWithParam<SlotRow> {};

struct LastErrors {
  IsVisibleFn isVisible;
  DWORD firstCall = 0;
  DWORD laterCall = 0;
};
DWORD WINAPI KeepLastError(LPVOID argument) {
  auto* errors = static_cast<LastErrors*>(argument);
  SetLastError(1234);
  errors->isVisible(nullptr);
  errors->firstCall = GetLastError();
  SetLastError(5678);
  errors->isVisible(nullptr);
  errors->laterCall = GetLastError();
  return 0;
}

TEST_P(ThreadStateSlot, ExportsKeepModuleStateAndLastError) {
  std::vector<DWORD> taken;
  if (GetParam().pastInline) {
    DWORD slot;
    while ((slot = TlsAlloc()) < 64) taken.push_back(slot);
    if (slot != TLS_OUT_OF_INDEXES) TlsFree(slot);
  }
  HMODULE dll = LoadLibraryA("OrvexC.dll");
  ASSERT_NE(dll, nullptr);
  auto byOrdinal = [dll](int ordinal) { return ByOrdinal(dll, ordinal); };
  LastErrors errors = {reinterpret_cast<IsVisibleFn>(byOrdinal(108))};
  HANDLE thread = CreateThread(nullptr, 0, KeepLastError, &errors, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_EQ(errors.firstCall, 1234u);
  EXPECT_EQ(errors.laterCall, 5678u);
  {
    fake::Runtime rt;
    rt.app.location = L"C:\\Titles\\Intro\\intro.ttl";
    hosttest::StringLedger::Clear();
    hosttest::ModuleStateCheck check(rt);
    char text[MAX_PATH] = {};
    reinterpret_cast<TextFn>(byOrdinal(104))(rt.ctx(), text, sizeof text);
    EXPECT_STREQ(text, "C:\\Titles\\Intro\\intro.ttl");
    SetLastError(4321);
    errors.isVisible(nullptr);
    EXPECT_EQ(GetLastError(), 4321u);
    EXPECT_EQ(hosttest::BalanceFaults(rt, check), hosttest::Calls{});
  }
  FreeLibrary(dll);
  for (DWORD slot : taken) TlsFree(slot);
}

INSTANTIATE_TEST_SUITE_P(Slots, ThreadStateSlot,
                         ::testing::Values(SlotRow{"inline", false}, SlotRow{"pastInline", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
