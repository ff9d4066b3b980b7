// Host exports called from several threads at once. Each thread plays a
// title of its own whose answers name that thread, and all of them also
// reach a thread and an object of one shared title. Every thread must get
// its own answers, every reference must be released exactly once, every BSTR
// freed exactly once, and each thread's module state must be its own before,
// during (the library's) and after every call.
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <thread>

#include "HostTest.h"
#include "StressSettings.h"

namespace {

using hosttest::Calls;
using hosttest::GuardedBuffer;
const std::uint32_t kSeed = stress::Seed();
const int kThreads = static_cast<int>(stress::FromEnvironment("ORVEX_STRESS_THREADS", 8));
const int kCalls = static_cast<int>(stress::FromEnvironment("ORVEX_STRESS_CALLS", 20000));

// One worker: its title, what went wrong (the first few described).
struct Worker {
  int n = 0;
  fake::Runtime* common = nullptr;
  IUnknown* scope = nullptr;
  long wrong = 0;
  Calls notes, faults;
  void Expect(bool ok, const std::string& what) {
    if (!ok && ++wrong <= 5) notes.push_back(what);
  }
  // A text export into a guarded buffer of `length`: exactly strncpy's bytes.
  void Text(const char* what, int length, std::string want, void (*call)(IHostContext*, char*, int),
            IHostContext* ctx) {
    GuardedBuffer buffer(length);
    call(ctx, buffer.Data(), length);
    want.resize(length, '\0');
    Expect(buffer.Bytes() == want && buffer.GuardsIntact(), std::string(what) + ": got '" + buffer.Text() + "'");
  }
  void Run();
};
void Worker::Run() {
  const std::string number = std::to_string(n);
  fake::Runtime rt;
  hosttest::ModuleStateCheck check(rt);
  rt.app.location = L"http://titles.test/thread-" + std::wstring(number.begin(), number.end()) + L"/course.ttl";
  rt.app.path = L"C:\\Titles\\thread-" + std::wstring(number.begin(), number.end()) + L"\\title.ttl";
  rt.moduleNode.nodeName = "module-" + number;
  rt.AddThread("worker-" + number).running = n % 2 == 0;
  rt.app.threads["shared"] = common->app.threads.at("shared");
  rt.AddObject("own").rect = {n * 10 + 7, 0, 0, 0};
  rt.context.objects["shared"] = common->context.objects.at("shared");
  std::mt19937 random(kSeed + static_cast<std::uint32_t>(n) * 7919u);
  for (int step = 0; step < kCalls; ++step) {
    IHostContext* ctx = rt.ctx();
    int length = std::uniform_int_distribution<int>(1, 64)(random);
    switch (random() % 7) {
      case 0:
        Text("GetTitleLocation", length, "http://titles.test/thread-" + number + "/course.ttl", GetTitleLocation, ctx);
        break;
      case 1: Text("GetTitleName", length, "title", GetTitleName, ctx); break;
      case 2: Text("GetModuleName", length, "module-" + number, GetModuleName, ctx); break;
      case 3:
        Expect(IsThreadRunning(ctx, ("worker-" + number).c_str()) == (n % 2 == 0), "IsThreadRunning own");
        Expect(IsThreadRunning(ctx, "shared") == 1, "IsThreadRunning shared");
        Expect(IsThreadRunning(ctx, ("worker-" + std::to_string(n + 1)).c_str()) == 0, "another world's thread");
        break;
      case 4:
        Expect(GetObjectX(ctx, scope, "own") == n * 10 + 7, "GetObjectX own");
        Expect(GetObjectX(ctx, scope, "shared") == 500, "GetObjectX shared");
        break;
      case 5: {
        int x = step, y = n * 1000 + step % 997, gotX = -1, gotY = -1;
        MoveDrawingSurface(ctx, x, y);
        GetDrawingSurfacePosition(ctx, &gotX, &gotY);
        Expect(gotX == x && gotY == y, "position after MoveDrawingSurface");
        break;
      }
      default: {
        // The cursor flag is the one process-wide state: only its range holds under contention.
        BOOL previous = ShowMouseCursor(ctx, static_cast<BOOL>(random() % 2));
        Expect(previous == 0 || previous == 1, "ShowMouseCursor result");
      }
    }
    rt.journal.Clear();
  }
  faults = hosttest::BalanceFaults(rt, check, false);  // the shared title's references cross worlds
}

TEST(HostConcurrency, ThreadsGetTheirOwnAnswersAndLeaveNothingBehind) {
  fake::Runtime common;
  common.shared = true;
  hosttest::ModuleStateCheck check(common);
  hostkit::StringLedger::Clear();
  common.AddThread("shared");
  common.AddObject("shared").rect = {500, 0, 0, 0};
  IUnknown* scope = static_cast<IHostScope*>(&common.AddScope());

  std::vector<Worker> workers(static_cast<std::size_t>(kThreads));
  auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    workers[i].n = i;
    workers[i].common = &common;
    workers[i].scope = scope;
    threads.emplace_back([&, i] { workers[i].Run(); });
  }
  for (auto& thread : threads) thread.join();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  for (int i = 0; i < kThreads; ++i) {
    EXPECT_EQ(workers[i].wrong, 0) << "thread " << i << ": " << ::testing::PrintToString(workers[i].notes);
    // Strings are judged once for all threads, below.
    Calls own;
    for (const std::string& f : workers[i].faults)
      if (f.find("BSTR") == std::string::npos) own.push_back(f);
    EXPECT_EQ(own, Calls{}) << "thread " << i;
  }
  EXPECT_EQ(hosttest::BalanceFaults(common, check, false), Calls{});  // releases interleave across threads
  std::printf(
      "[ stress   ] seed=0x%08X threads=%d x calls=%d (ORVEX_STRESS_SEED, ORVEX_STRESS_THREADS, "
      "ORVEX_STRESS_CALLS); %zu BSTR events; %.2f s\n",
      kSeed, kThreads, kCalls, hostkit::StringLedger::Events(), seconds);
}

}  // namespace
