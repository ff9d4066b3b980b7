// OrvexC.dll loaded and unloaded at run time, its exports reached by ordinal.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include "LibraryProbe.h"

namespace {

using IsVisibleFn = BOOL(__cdecl*)(void*);
using ShowFn = BOOL(__cdecl*)(void*, BOOL);

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

DWORD WINAPI CallFromThread(LPVOID fn) {
  reinterpret_cast<IsVisibleFn>(fn)(nullptr);
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
  std::size_t memoryAfterWarmUp = 0;
  DWORD handlesAfterWarmUp = 0;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    Loaded dll;
    ASSERT_NE(dll.get(), nullptr) << "cycle " << cycle;
    auto isVisible = dll.ByOrdinal<IsVisibleFn>(108);
    ASSERT_EQ(isVisible(nullptr), 1) << "the flag starts at 1 in every load";
    dll.ByOrdinal<ShowFn>(107)(nullptr, TRUE);
    // A thread that attaches, calls and detaches while the library is loaded.
    HANDLE thread = CreateThread(nullptr, 0, CallFromThread, reinterpret_cast<LPVOID>(isVisible), 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
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
}

}  // namespace
