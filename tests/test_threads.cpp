// Thread services against the fake title runtime: the lookup by name, every
// thread method's arguments, and the chains to the thread's own context.
#include <functional>

#include "HostTest.h"

using hosttest::Calls;
using hosttest::GuardedBuffer;

namespace {

class Threads : public hosttest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    thread = &rt.AddThread("a");
    threadContext = &rt.ThreadContext("a");
    surface = threadContext->surface;
  }
  fake::FakeThread* thread = nullptr;
  fake::FakeContext* threadContext = nullptr;
  fake::FakeSurface* surface = nullptr;
};

const Calls kLookup = {"context.3()", "runtime.9()", "app.21(\"a\")"};
const Calls kRelease = {"thread:a.2()", "app.2()", "runtime.2()"};

Calls Around(const Calls& inner) {
  Calls calls = kLookup;
  calls.insert(calls.end(), inner.begin(), inner.end());
  calls.insert(calls.end(), kRelease.begin(), kRelease.end());
  return calls;
}

// ---- lifecycle, branching and messages -------------------------------------------

struct ThreadCase {
  const char* name;
  std::function<void(IHostContext*, const char*)> call;
  const char* action;
};

std::vector<ThreadCase> ThreadMethodExports() {
  return {
      {"StopThread", [](IHostContext* c, const char* n) { StopThread(c, n); }, "thread:a.4()"},
      {"IsThreadRunning", [](IHostContext* c, const char* n) { IsThreadRunning(c, n); }, "thread:a.7()"},
      {"BranchThreadByPath", [](IHostContext* c, const char* n) { BranchThreadByPath(c, n, -7); },
       "thread:a.11(-7)"},
      {"BranchThreadByPathName",
       [](IHostContext* c, const char* n) { BranchThreadByPathName(c, n, "loop"); }, "thread:a.12(\"loop\")"},
      {"BranchThreadByColor", [](IHostContext* c, const char* n) { BranchThreadByColor(c, n, 0xFF00); },
       "thread:a.13(65280)"},
      {"BranchThreadToFrame", [](IHostContext* c, const char* n) { BranchThreadToFrame(c, n, "Intro"); },
       "thread:a.14(\"Intro\")"},
      {"SendThreadMessage", [](IHostContext* c, const char* n) { SendThreadMessage(c, n, 1, -2, 3); },
       "thread:a.16(1,-2,3)"},
  };
}

TEST_F(Threads, EveryThreadMethodRunsInsideTheLookupWithItsArgumentsInOrder) {
  for (const auto& e : ThreadMethodExports()) {
    ResetJournal();
    e.call(rt.ctx(), "a");
    EXPECT_EQ(Journal(), Around({e.action})) << e.name;
  }
}

TEST_F(Threads, FailedLookupStepsReleaseOnlyWhatWasObtained) {
  for (const auto& e : ThreadMethodExports()) {
    rt.context.status[3] = E_FAIL;
    ResetJournal();
    e.call(rt.ctx(), "a");
    EXPECT_EQ(Journal(), Calls{"context.3()"}) << e.name;
    rt.context.status.clear();

    rt.runtime.status[9] = 1;
    ResetJournal();
    e.call(rt.ctx(), "a");
    EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.9()", "runtime.2()"})) << e.name;
    rt.runtime.status.clear();

    ResetJournal();
    e.call(rt.ctx(), "unknown");
    EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.9()", "app.21(\"unknown\")", "app.2()", "runtime.2()"}))
        << e.name;
  }
}

TEST_F(Threads, AFailingThreadMethodStillReleasesEverything) {
  for (int method : {4, 7, 11, 12, 13, 14, 16}) thread->status[method] = E_FAIL;
  for (const auto& e : ThreadMethodExports()) {
    ResetJournal();
    e.call(rt.ctx(), "a");
    EXPECT_EQ(Journal(), Around({e.action})) << e.name;
  }
}

TEST_F(Threads, IsThreadRunningOnlyForStatusExactlyZero) {
  EXPECT_EQ(IsThreadRunning(rt.ctx(), "a"), 1);
  for (HRESULT status : {HRESULT(1), HRESULT(-1), E_FAIL}) {
    thread->status[7] = status;
    EXPECT_EQ(IsThreadRunning(rt.ctx(), "a"), 0) << status;
  }
  EXPECT_EQ(IsThreadRunning(rt.ctx(), "unknown"), 0);
}

TEST_F(Threads, NullPathOrFrameNameIsRefusedBeforeAnyRuntimeCall) {
  BranchThreadByPathName(rt.ctx(), "a", nullptr);
  BranchThreadToFrame(rt.ctx(), "a", nullptr);
  EXPECT_EQ(Journal(), Calls{});
}

TEST_F(Threads, TheThreadNameIsPassedUncheckedEvenWhenNull) {
  StopThread(rt.ctx(), nullptr);
  EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.9()", "app.21(null)", "app.2()", "runtime.2()"}));
}

TEST_F(Threads, StartThreadAsksTheApplicationAndFetchesNoThread) {
  StartThread(rt.ctx(), "b");
  EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.9()", "app.17(\"b\")", "app.2()", "runtime.2()"}));
  rt.app.status[17] = E_FAIL;
  ResetJournal();
  StartThread(rt.ctx(), "b");
  EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.9()", "app.17(\"b\")", "app.2()", "runtime.2()"}));
}

// ---- stacking order --------------------------------------------------------------

TEST_F(Threads, SetThreadZOrderCallsTheSecondThreadWithTheFirst) {
  rt.AddThread("b");
  SetThreadZOrder(rt.ctx(), "a", "b");
  EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.9()", "app.21(\"a\")", "app.21(\"b\")",
                              "thread:b.15(thread:a)", "thread:b.2()", "thread:a.2()", "app.2()",
                              "runtime.2()"}));
}

TEST_F(Threads, SetThreadZOrderWithBothNamesNullAsksForTheEmptyName) {
  rt.AddThread("");
  SetThreadZOrder(rt.ctx(), nullptr, nullptr);
  EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.9()", "app.21(\"\")", "thread:.15(null)", "thread:.2()",
                              "app.2()", "runtime.2()"}));
}

TEST_F(Threads, SetThreadZOrderStopsWhenTheFirstThreadIsUnknown) {
  SetThreadZOrder(rt.ctx(), "unknown", "a");
  EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.9()", "app.21(\"unknown\")", "app.2()", "runtime.2()"}));
}

TEST_F(Threads, SetThreadZOrderJudgesTheFirstThreadByThePointerAlone) {
  rt.app.status[21] = 1;  // every lookup answers 1; "a" still comes back
  rt.app.writeOnFailure.insert(21);
  SetThreadZOrder(rt.ctx(), "a", "unknown");
  // The first thread is kept (and released); the second lookup fails: no method 15.
  EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.9()", "app.21(\"a\")", "app.21(\"unknown\")",
                              "thread:a.2()", "app.2()", "runtime.2()"}));
}

TEST_F(Threads, SetThreadZOrderWithAnUnknownSecondThreadReleasesTheFirst) {
  SetThreadZOrder(rt.ctx(), "a", "unknown");
  EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.9()", "app.21(\"a\")", "app.21(\"unknown\")",
                              "thread:a.2()", "app.2()", "runtime.2()"}));
}

// ---- the thread's frame and drawing surface ---------------------------------------

const Calls kContext = {"context.3()", "runtime.9()", "app.21(\"a\")", "thread:a.8()"};
const Calls kContextRelease = {"context:a.2()", "thread:a.2()", "app.2()", "runtime.2()"};

Calls InContext(const Calls& inner) {
  Calls calls = kContext;
  calls.insert(calls.end(), inner.begin(), inner.end());
  calls.insert(calls.end(), kContextRelease.begin(), kContextRelease.end());
  return calls;
}

struct ContextCase {
  const char* name;
  std::function<void(IHostContext*, const char*)> call;
  Calls inner;
};

std::vector<ContextCase> ContextExports() {
  static char buffer[300];
  static int v1, v2;
  return {
      {"GetThreadWindow", [](IHostContext* c, const char* n) { GetThreadWindow(c, n); },
       {"context:a.6()", "surface:a.6()", "window:a.3()", "window:a.2()", "surface:a.2()"}},
      {"GetThreadFrameName", [](IHostContext* c, const char* n) { GetThreadFrameName(c, n, buffer, 5); },
       {"context:a.5()", "frame:a.3()", "node:frame:a.9(32)", "node:frame:a.2()", "frame:a.2()"}},
      {"GetThreadFrameAddress",
       [](IHostContext* c, const char* n) { GetThreadFrameAddress(c, n, buffer, 300); },
       {"context:a.5()", "frame:a.3()", "node:frame:a.10(260)", "node:frame:a.2()", "frame:a.2()"}},
      {"HideThreadDrawingSurface", [](IHostContext* c, const char* n) { HideThreadDrawingSurface(c, n); },
       {"context:a.6()", "surface:a.7()", "surface:a.2()"}},
      {"ShowThreadDrawingSurface", [](IHostContext* c, const char* n) { ShowThreadDrawingSurface(c, n); },
       {"context:a.6()", "surface:a.8()", "surface:a.2()"}},
      {"GetThreadDrawingSurfacePosition",
       [](IHostContext* c, const char* n) { GetThreadDrawingSurfacePosition(c, n, &v1, &v2); },
       {"context:a.6()", "surface:a.10()", "surface:a.2()"}},
      {"GetThreadDrawingSurfaceSize",
       [](IHostContext* c, const char* n) { GetThreadDrawingSurfaceSize(c, n, &v1, &v2); },
       {"context:a.6()", "surface:a.10()", "surface:a.2()"}},
      {"MoveThreadDrawingSurface", [](IHostContext* c, const char* n) { MoveThreadDrawingSurface(c, n, 5, 6); },
       {"context:a.6()", "surface:a.10()", "surface:a.11(5,6,0,0)", "surface:a.2()"}},
      {"SizeThreadDrawingSurface", [](IHostContext* c, const char* n) { SizeThreadDrawingSurface(c, n, 7, 8); },
       {"context:a.6()", "surface:a.10()", "surface:a.11(5,6,7,8)", "surface:a.2()"}},  // x, y as the move left them
      {"FreezeThreadPainting", [](IHostContext* c, const char* n) { FreezeThreadPainting(c, n, 3); },
       {"context:a.6()", "surface:a.13()", "surface:a.14(3)", "surface:a.2()"}},
      {"IsThreadVisible", [](IHostContext* c, const char* n) { IsThreadVisible(c, n); },
       {"context:a.6()", "surface:a.9()", "surface:a.6()", "window:a.3()", "window:a.2()", "surface:a.2()"}},
  };
}

TEST_F(Threads, ContextExportsRunTheirChainFromTheThreadsContext) {
  for (const auto& e : ContextExports()) {
    ResetJournal();
    e.call(rt.ctx(), "a");
    EXPECT_EQ(Journal(), InContext(e.inner)) << e.name;
  }
}

TEST_F(Threads, ContextExportsStopAtAFailedStep) {
  for (const auto& e : ContextExports()) {
    ResetJournal();
    e.call(rt.ctx(), "unknown");
    EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.9()", "app.21(\"unknown\")", "app.2()", "runtime.2()"}))
        << e.name;

    thread->status[8] = E_FAIL;
    ResetJournal();
    e.call(rt.ctx(), "a");
    EXPECT_EQ(Journal(), Around({"thread:a.8()"})) << e.name;
    thread->status.clear();

    thread->nullOut.insert(8);
    ResetJournal();
    e.call(rt.ctx(), "a");
    EXPECT_EQ(Journal(), Around({"thread:a.8()"})) << e.name;
    thread->nullOut.clear();
  }
}

TEST_F(Threads, SurfaceAndFrameFailuresReleaseTheThreadContextToo) {
  threadContext->status[5] = E_FAIL;
  threadContext->status[6] = E_FAIL;
  for (const auto& e : ContextExports()) {
    ResetJournal();
    e.call(rt.ctx(), "a");
    Calls expected = InContext({e.inner.front()});
    EXPECT_EQ(Journal(), expected) << e.name;
  }
}

TEST_F(Threads, WindowHandleAndFailures) {
  HWND handle = reinterpret_cast<HWND>(0x1234);
  threadContext->surface->window->handle = handle;
  EXPECT_EQ(GetThreadWindow(rt.ctx(), "a"), handle);
  threadContext->surface->window->status[3] = E_FAIL;  // status not examined, nothing written
  EXPECT_EQ(GetThreadWindow(rt.ctx(), "a"), nullptr);
  threadContext->surface->window->writeOnFailure.insert(3);
  EXPECT_EQ(GetThreadWindow(rt.ctx(), "a"), handle);
  surface->status[6] = E_FAIL;
  EXPECT_EQ(GetThreadWindow(rt.ctx(), "a"), nullptr);
  EXPECT_EQ(GetThreadWindow(rt.ctx(), "unknown"), nullptr);
}

TEST_F(Threads, FrameTextsUseFixedCapacitiesWhateverTheCallersLength) {
  threadContext->frame->node->nodeName = std::string(40, 'N');
  threadContext->frame->node->address = "Course/Intro";
  GuardedBuffer name(10), longName(64), address(400);
  GetThreadFrameName(rt.ctx(), "a", name.Data(), 10);
  GetThreadFrameName(rt.ctx(), "a", longName.Data(), 64);
  GetThreadFrameAddress(rt.ctx(), "a", address.Data(), 400);
  EXPECT_EQ(name.Bytes(), std::string(10, 'N'));  // cut, no terminator
  EXPECT_EQ(longName.Text(), std::string(32, 'N'));
  EXPECT_EQ(address.Text(), "Course/Intro");
  EXPECT_TRUE(name.GuardsIntact() && longName.GuardsIntact() && address.GuardsIntact());
  auto methods = Methods();
  EXPECT_EQ(std::count(methods.begin(), methods.end(), "node:frame:a.9"), 2);
}

TEST_F(Threads, FrameTextsRefuseANullBufferAndClearTheFirstByteOnFailure) {
  GetThreadFrameName(rt.ctx(), "a", nullptr, 10);
  GetThreadFrameAddress(rt.ctx(), "a", nullptr, 10);
  EXPECT_EQ(Journal(), Calls{});
  GuardedBuffer name(6);
  GetThreadFrameName(rt.ctx(), "unknown", name.Data(), 6);
  EXPECT_EQ(name.Bytes(), std::string(1, '\0') + std::string(5, '\x5A'));
}

TEST_F(Threads, SurfacePositionAndSizeHandOutTheirHalves) {
  surface->x = 10;
  surface->y = 20;
  surface->width = 300;
  surface->height = 200;
  int a = -1, b = -1;
  GetThreadDrawingSurfacePosition(rt.ctx(), "a", &a, &b);
  EXPECT_EQ(a, 10);
  EXPECT_EQ(b, 20);
  GetThreadDrawingSurfaceSize(rt.ctx(), "a", &a, &b);
  EXPECT_EQ(a, 300);
  EXPECT_EQ(b, 200);
}

TEST_F(Threads, SurfaceReadersWriteZeroAfterFailuresAndNothingForANullPointer) {
  surface->x = 10;
  surface->width = 300;
  int a = -1, b = -1;
  GetThreadDrawingSurfacePosition(rt.ctx(), "unknown", &a, &b);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 0);
  a = b = -1;
  surface->status[10] = E_FAIL;  // the read's status is not examined; nothing written
  GetThreadDrawingSurfaceSize(rt.ctx(), "a", &a, &b);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 0);
  ResetJournal();
  a = b = -1;
  GetThreadDrawingSurfacePosition(rt.ctx(), "a", nullptr, &b);
  GetThreadDrawingSurfacePosition(rt.ctx(), "a", &a, nullptr);
  GetThreadDrawingSurfaceSize(rt.ctx(), "a", nullptr, &b);
  GetThreadDrawingSurfaceSize(rt.ctx(), "a", &a, nullptr);
  EXPECT_EQ(a, -1);
  EXPECT_EQ(b, -1);
  EXPECT_EQ(Journal(), Calls{});
}

TEST_F(Threads, MoveAndSizeKeepTheOtherHalfExactlyAsRead) {
  surface->x = 10;
  surface->y = 20;
  surface->width = 300;
  surface->height = 200;
  MoveThreadDrawingSurface(rt.ctx(), "a", 5, 6);
  EXPECT_EQ(Journal()[6], "surface:a.11(5,6,300,200)");
  surface->x = 10;
  surface->y = 20;
  surface->width = 300;
  surface->height = 200;
  ResetJournal();
  SizeThreadDrawingSurface(rt.ctx(), "a", 640, 480);
  EXPECT_EQ(Journal()[6], "surface:a.11(10,20,640,480)");
  surface->x = -2147483647 - 1;
  surface->height = 2147483647;
  ResetJournal();
  MoveThreadDrawingSurface(rt.ctx(), "a", 1, 2);
  EXPECT_EQ(Journal()[6], "surface:a.11(1,2,640,2147483647)");
}

TEST_F(Threads, FreezeThreadPaintingReportsMethod13AndAlwaysCallsMethod14) {
  EXPECT_EQ(FreezeThreadPainting(rt.ctx(), "a", 1), 1);
  surface->status[13] = E_FAIL;
  ResetJournal();
  EXPECT_EQ(FreezeThreadPainting(rt.ctx(), "a", 0), 0);
  EXPECT_EQ(Journal(), InContext({"context:a.6()", "surface:a.13()", "surface:a.14(0)", "surface:a.2()"}));
  surface->status[13] = 1;
  EXPECT_EQ(FreezeThreadPainting(rt.ctx(), "a", 1), 0);
  EXPECT_EQ(FreezeThreadPainting(rt.ctx(), "unknown", 1), 0);
}

TEST_F(Threads, IsThreadVisibleIsZeroWithoutAWindowHandle) {
  // The fake's window has no handle: no Windows call, not visible.
  EXPECT_EQ(IsThreadVisible(rt.ctx(), "a"), 0);
  surface->status[6] = E_FAIL;  // no window: the surface is still asked
  ResetJournal();
  EXPECT_EQ(IsThreadVisible(rt.ctx(), "a"), 0);
  EXPECT_EQ(Journal(), InContext({"context:a.6()", "surface:a.9()", "surface:a.6()", "surface:a.2()"}));
  threadContext->status[6] = E_FAIL;
  EXPECT_EQ(IsThreadVisible(rt.ctx(), "a"), 0);
}

TEST_F(Threads, WindowExportsGoThroughGetThreadWindowAndSkipANullHandle) {
  using Call = std::function<void()>;
  const Call calls[] = {
      [&] { EXPECT_EQ(GetThreadMenu(rt.ctx(), "a"), nullptr); },
      [&] { ShowThreadWindow(rt.ctx(), "a"); },
      [&] { HideThreadWindow(rt.ctx(), "a"); },
      [&] { CloseThreadWindow(rt.ctx(), "a"); },
  };
  for (const auto& call : calls) {
    ResetJournal();
    call();
    EXPECT_EQ(Journal(), InContext({"context:a.6()", "surface:a.6()", "window:a.3()", "window:a.2()",
                                    "surface:a.2()"}));
  }
}

}  // namespace
