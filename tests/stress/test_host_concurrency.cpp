// Host exports called from several threads at once. Each thread has a title
// of its own whose answers name that thread, and all of them also reach a
// shared thread, object and scope object. Every thread must get its own
// answers, every reference must be released exactly once, every BSTR freed
// exactly once, and each thread's module state must be its own before, during
// (the library's) and after every call.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "LibraryProbe.h"
#include "StressSettings.h"
#include "ThreadSafeRuntime.h"
#include "include/OrvexC.h"

namespace {

const std::uint32_t kSeed = stress::Seed();
const int kThreads = static_cast<int>(stress::FromEnvironment("ORVEX_STRESS_THREADS", 8));
const int kCalls = static_cast<int>(stress::FromEnvironment("ORVEX_STRESS_CALLS", 20000));

// One worker's tally: its wrong answers, with the first few described.
struct Tally {
  long calls = 0;
  long wrong = 0;
  long stateLost = 0;  // the thread's module state changed across a call
  std::vector<std::string> notes;
  void Wrong(const std::string& what) {
    ++wrong;
    if (notes.size() < 5) notes.push_back(what);
  }
};

constexpr int kGuard = 16;
constexpr char kGuardByte = '\xA5';
constexpr char kFill = '\x5A';

// A text export into a buffer of `length` bytes between guard bytes; the
// bytes written must be `expected` as strncpy with count `length` writes it
// (with the last byte zeroed when `terminated`), and nothing else.
template <class Call>
void CheckText(Tally& tally, const char* what, int length, const std::string& expected, bool terminated,
               Call call) {
  char bytes[kGuard + 300 + kGuard];
  std::memset(bytes, kGuardByte, sizeof bytes);
  char* buffer = bytes + kGuard;
  std::memset(buffer, kFill, static_cast<std::size_t>(length));
  call(buffer, length);
  char want[300];
  std::strncpy(want, expected.c_str(), static_cast<std::size_t>(length));
  if (terminated) want[length - 1] = '\0';
  if (std::memcmp(buffer, want, static_cast<std::size_t>(length)) != 0)
    tally.Wrong(std::string(what) + ": got '" + std::string(buffer, strnlen(buffer, length)) + "' want '" +
                expected + "'");
  for (int i = 0; i < kGuard; ++i)
    if (bytes[i] != kGuardByte || buffer[length + i] != kGuardByte) {
      tally.Wrong(std::string(what) + ": wrote outside the buffer");
      break;
    }
}

void Expect(Tally& tally, bool ok, const char* what, long got, long want) {
  if (!ok) tally.Wrong(std::string(what) + ": got " + std::to_string(got) + " want " + std::to_string(want));
}

// One call of a randomly chosen export on this thread's world.
void OneCall(tsfake::World& world, tsfake::Shared& shared, std::mt19937& random, int step, Tally& tally) {
  const int n = world.number;
  const std::string number = std::to_string(n);
  IHostContext* ctx = &world.context;
  int length = std::uniform_int_distribution<int>(1, 64)(random);
  switch (random() % 12) {
    case 0:
      CheckText(tally, "GetTitleLocation", length, "http://titles.test/thread-" + number + "/course.ttl", false,
                [&](char* b, int l) { GetTitleLocation(ctx, b, l); });
      break;
    case 1:
      CheckText(tally, "GetTitleDirectory", length, "C:\\Titles\\thread-" + number + "\\", true,
                [&](char* b, int l) { GetTitleDirectory(ctx, b, l); });
      break;
    case 2:
      CheckText(tally, "GetTitleName", length, "title-" + number, false,
                [&](char* b, int l) { GetTitleName(ctx, b, l); });
      break;
    case 3: {
      int count = static_cast<int>(world.app.parameters.size());
      int index = static_cast<int>(random() % (count + 2)) - 1;  // one before and one past the ends
      if (index >= 0 && index < count) {
        CheckText(tally, "GetAppParameter", length, "param-" + number + "-" + std::to_string(index), false,
                  [&](char* b, int l) { GetAppParameter(ctx, index, b, l); });
      } else {
        // A failed parameter: only the first byte is cleared.
        CheckText(tally, "GetAppParameter (failing)", 1, "", false,
                  [&](char* b, int l) { GetAppParameter(ctx, index, b, l); });
      }
      Expect(tally, GetNumberOfAppParameters(ctx) == count, "GetNumberOfAppParameters",
             GetNumberOfAppParameters(ctx), count);
      break;
    }
    case 4:
      CheckText(tally, "GetModuleName", length, "module-" + number, false,
                [&](char* b, int l) { GetModuleName(ctx, b, l); });
      break;
    case 5: {
      BOOL own = IsThreadRunning(ctx, ("worker-" + number).c_str());
      Expect(tally, own == (n % 2 == 0), "IsThreadRunning own", own, n % 2 == 0);
      BOOL sharedRunning = IsThreadRunning(ctx, "shared");
      Expect(tally, sharedRunning == 1, "IsThreadRunning shared", sharedRunning, 1);
      std::string other = "worker-" + std::to_string(n + 1);  // another thread's name is not found here
      BOOL missing = IsThreadRunning(ctx, other.c_str());
      Expect(tally, missing == 0, "IsThreadRunning of another world", missing, 0);
      break;
    }
    case 6: {
      int own = GetObjectX(ctx, &shared.scope, "own");
      Expect(tally, own == n * 10 + 7, "GetObjectX own", own, n * 10 + 7);
      int common = GetObjectX(ctx, &shared.scope, "shared");
      Expect(tally, common == 500, "GetObjectX shared", common, 500);
      int none = GetObjectX(ctx, nullptr, "own");  // no scope, no key: not found
      Expect(tally, none == 0, "GetObjectX without scope", none, 0);
      break;
    }
    case 7: {
      int x = step, y = n * 1000 + step % 997;
      MoveDrawingSurface(ctx, x, y);
      int gotX = -1, gotY = -1;
      GetDrawingSurfacePosition(ctx, &gotX, &gotY);
      Expect(tally, gotX == x && gotY == y, "GetDrawingSurfacePosition after MoveDrawingSurface", gotX, x);
      break;
    }
    case 8: {
      // The cursor flag is the one process-wide state, and racy by design:
      // under contention only its range can be relied on.
      BOOL previous = ShowMouseCursor(ctx, static_cast<BOOL>(random() % 2));
      BOOL visible = IsMouseCursorVisible(ctx);
      Expect(tally, previous == 0 || previous == 1, "ShowMouseCursor result", previous, 1);
      Expect(tally, visible == 0 || visible == 1, "IsMouseCursorVisible", visible, 1);
      break;
    }
    case 9: {
      BOOL own = IsMediaAvailable(ctx, ("cd-" + number).c_str());
      BOOL other = IsMediaAvailable(ctx, ("cd-" + std::to_string(n + 1)).c_str());
      Expect(tally, own == 1 && other == 0, "IsMediaAvailable", own, 1);
      break;
    }
    case 10: {
      HINSTANCE instance = GetAppInstance(ctx);
      Expect(tally, instance == GetModuleHandleA(nullptr), "GetAppInstance", 0, 0);
      break;
    }
    default:
      CheckText(tally, "GetModuleAddress", length, "\\module-" + number + "\\address", false,
                [&](char* b, int l) { GetModuleAddress(ctx, b, l); });
      break;
  }
}

// A worker: its own module state sentinel installed, then `calls` calls.
void Work(tsfake::World& world, tsfake::Shared& shared, int calls, Tally& tally) {
  IsMouseCursorVisible(nullptr);  // gives the thread its framework state
  orvex::fw::ThreadState* state = probe::FindThreadState();
  if (!state) {
    tally.Wrong("no framework thread state on this thread");
    return;
  }
  tsfake::SetThreadState(state);
  orvex::fw::ModuleState sentinel{nullptr};
  state->moduleState = &sentinel;
  std::mt19937 random(kSeed + static_cast<std::uint32_t>(world.number) * 7919u);
  for (int step = 0; step < calls; ++step) {
    OneCall(world, shared, random, step, tally);
    ++tally.calls;
    if (state->moduleState != &sentinel) {
      ++tally.stateLost;
      state->moduleState = &sentinel;
    }
  }
  state->moduleState = nullptr;
  tsfake::SetThreadState(nullptr);
}

class HostConcurrency : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tsfake::HookSysFreeString(GetModuleHandleA("OrvexC.dll")));
    // The main thread learns the library's module state from one call.
    IsMouseCursorVisible(nullptr);
    orvex::fw::ThreadState* state = probe::FindThreadState();
    ASSERT_NE(state, nullptr);
    tsfake::SetThreadState(state);
    tsfake::World probeWorld(99, shared);
    char text[64];
    GetTitleLocation(&probeWorld.context, text, sizeof text);
    library = tsfake::LastStateInside();
    ASSERT_NE(library, nullptr);
    tsfake::TheLedger().libraryState = library;
    tsfake::SetThreadState(nullptr);
  }

  tsfake::Shared shared;
  const orvex::fw::ModuleState* library = nullptr;
};

TEST_F(HostConcurrency, ThreadsGetTheirOwnAnswersAndLeaveNothingBehind) {
  std::vector<std::unique_ptr<tsfake::World>> worlds;
  for (int i = 0; i < kThreads; ++i) worlds.push_back(std::make_unique<tsfake::World>(i, shared));
  std::vector<Tally> tallies(static_cast<std::size_t>(kThreads));
  tsfake::Ledger& ledger = tsfake::TheLedger();
  long insideBefore = ledger.callsInside;

  auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i)
    threads.emplace_back(Work, std::ref(*worlds[i]), std::ref(shared), kCalls, std::ref(tallies[i]));
  for (auto& thread : threads) thread.join();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  long calls = 0;
  for (int i = 0; i < kThreads; ++i) {
    const Tally& tally = tallies[i];
    calls += tally.calls;
    EXPECT_EQ(tally.calls, kCalls) << "thread " << i;
    EXPECT_EQ(tally.wrong, 0) << "thread " << i << ": " << (tally.notes.empty() ? "" : tally.notes[0]);
    for (const auto& note : tally.notes) ADD_FAILURE() << "thread " << i << ": " << note;
    EXPECT_EQ(tally.stateLost, 0) << "thread " << i << ": its module state was not restored";
  }
  std::vector<const tsfake::Counted*> objects = {&shared.thread, &shared.object, &shared.scope};
  for (const auto& world : worlds) {
    auto own = world->Objects();
    objects.insert(objects.end(), own.begin(), own.end());
  }
  EXPECT_EQ(tsfake::Unbalanced(objects), std::vector<std::string>{}) << "references not back at their start";
  EXPECT_EQ(ledger.releasedBelowStart, 0) << "a reference released more often than it was given";
  EXPECT_EQ(ledger.wrongStateInside, 0) << "runtime calls made outside the library's module state";
  EXPECT_GT(ledger.callsInside - insideBefore, calls) << "the runtime was hardly called";
  EXPECT_EQ(ledger.LiveStrings(), 0u) << "BSTRs handed to the library and never freed";
  EXPECT_EQ(ledger.unknownFrees, 0) << "BSTRs freed twice, or freed without being handed out";
  EXPECT_EQ(ledger.stringsFreed, ledger.stringsHanded);

  // Quiet again: the cursor flag answers exactly.
  ShowMouseCursor(nullptr, TRUE);
  EXPECT_EQ(IsMouseCursorVisible(nullptr), TRUE);
  EXPECT_EQ(ShowMouseCursor(nullptr, TRUE), TRUE);

  std::printf("[ stress   ] seed=0x%08X threads=%d x calls=%d = %ld export calls (ORVEX_STRESS_THREADS, "
              "ORVEX_STRESS_CALLS); runtime calls=%ld, BSTRs handed=%ld freed=%ld; %.2f s\n",
              kSeed, kThreads, kCalls, calls, ledger.callsInside - insideBefore, ledger.stringsHanded.load(),
              ledger.stringsFreed.load(), seconds);
}

}  // namespace
