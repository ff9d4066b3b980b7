#include "HostTest.h"

namespace hosttest {

void HostTest::SetUp() {
  // The first export call gives the thread its framework state.
  IsMouseCursorVisible(nullptr);
  threadState = probe::FindThreadState();
  ASSERT_NE(threadState, nullptr) << "no framework thread state found";
  ASSERT_TRUE(probe::HookSysFreeString(GetModuleHandleA("OrvexC.dll")));
  probe::StringEvents().clear();
  threadState->moduleState = &sentinel;
}

void HostTest::TearDown() {
  EXPECT_EQ(threadState->moduleState, &sentinel) << "the calling thread's module state was not restored";
  threadState->moduleState = nullptr;
  EXPECT_EQ(rt.UnbalancedObjects(), std::vector<std::string>{}) << rt.journal.Text();
  for (const auto* state : rt.moduleStatesInside) {
    EXPECT_NE(state, &sentinel) << "a runtime call ran outside the library's module state";
    EXPECT_NE(state, nullptr);
  }
  EXPECT_EQ(probe::StringFaults(), std::vector<std::string>{});
  EXPECT_EQ(probe::OutstandingStrings(), 0) << "a BSTR handed to the library was not freed";
  for (const auto& failed : rt.failedStrings)
    EXPECT_EQ(TimesFreed(failed.text, failed.handedAt), 0) << "a failed call's BSTR was freed";
}

int HostTest::TimesFreed(const void* text, std::size_t fromEvent) const {
  int count = 0;
  const auto& events = probe::StringEvents();
  for (std::size_t i = fromEvent; i < events.size(); ++i) count += !events[i].handed && events[i].text == text;
  return count;
}

GuardedBuffer::GuardedBuffer(int size, char fill) : size_(size), bytes_(size + 2 * kGuard, kGuardByte) {
  std::fill(bytes_.begin() + kGuard, bytes_.begin() + kGuard + size, fill);
}

bool GuardedBuffer::GuardsIntact() const {
  for (int i = 0; i < kGuard; ++i)
    if (bytes_[i] != kGuardByte || bytes_[kGuard + size_ + i] != kGuardByte) return false;
  return true;
}

}  // namespace hosttest
