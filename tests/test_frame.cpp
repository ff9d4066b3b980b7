// Current frame services against the fake title runtime: the chains from the
// caller's context, the calling thread's branches and BranchToTitleFrame's
// composed text.
#include <functional>

#include "HostTest.h"

using hosttest::Calls;
using hosttest::GuardedBuffer;

namespace {

class Frame : public hosttest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    // The calling thread, reached through context 8.
    caller = &rt.AddThread("caller");
    rt.context.thread = caller;
  }
  fake::FakeThread* caller = nullptr;
};

struct FrameCase {
  const char* name;
  std::function<void(IHostContext*)> call;
  Calls calls;
};

std::vector<FrameCase> FrameExports() {
  static char buffer[300];
  return {
      {"GetFrameWindow", [](IHostContext* c) { GetFrameWindow(c); },
       {"context.6()", "surface.6()", "window.3()", "window.2()", "surface.2()"}},
      {"GetFrameName", [](IHostContext* c) { GetFrameName(c, buffer, 4); },
       {"context.5()", "frame.3()", "node:frame.9(32)", "node:frame.2()", "frame.2()"}},
      {"GetFrameAddress", [](IHostContext* c) { GetFrameAddress(c, buffer, 300); },
       {"context.5()", "frame.3()", "node:frame.10(260)", "node:frame.2()", "frame.2()"}},
      {"ScrollWindowTo", [](IHostContext* c) { ScrollWindowTo(c, 12, -34); },
       {"context.6()", "surface.6()", "window.6(12,-34)", "window.2()", "surface.2()"}},
      {"SetScrollIncrement", [](IHostContext* c) { SetScrollIncrement(c, 5, 9); },
       {"context.6()", "surface.6()", "window.5(5,9)", "window.2()", "surface.2()"}},
      {"BranchByPath", [](IHostContext* c) { BranchByPath(c, 42); },
       {"context.8()", "thread:caller.11(42)", "thread:caller.2()"}},
      {"BranchByPathName", [](IHostContext* c) { BranchByPathName(c, "loop"); },
       {"context.8()", "thread:caller.12(\"loop\")", "thread:caller.2()"}},
      {"BranchByColor", [](IHostContext* c) { BranchByColor(c, 0x00FF00); },
       {"context.8()", "thread:caller.13(65280)", "thread:caller.2()"}},
      {"BranchToFrame", [](IHostContext* c) { BranchToFrame(c, "Intro"); },
       {"context.8()", "thread:caller.14(\"Intro\")", "thread:caller.2()"}},
      {"SetReturnBranch", [](IHostContext* c) { SetReturnBranch(c, -1); },
       {"context.8()", "thread:caller.17(-1)", "thread:caller.2()"}},
      {"SendFrameMessage", [](IHostContext* c) { SendFrameMessage(c, 3, 2, 1); },
       {"context.8()", "thread:caller.16(3,2,1)", "thread:caller.2()"}},
  };
}

TEST_F(Frame, EveryExportRunsItsChainAndPassesItsValuesInOrder) {
  for (const auto& e : FrameExports()) {
    ResetJournal();
    e.call(rt.ctx());
    EXPECT_EQ(Journal(), e.calls) << e.name;
  }
}

TEST_F(Frame, AFailedFirstStepEndsTheCallWithNothingToRelease) {
  for (int method : {5, 6, 8}) rt.context.status[method] = E_FAIL;
  for (const auto& e : FrameExports()) {
    ResetJournal();
    e.call(rt.ctx());
    EXPECT_EQ(Journal(), Calls{e.calls.front()}) << e.name;
  }
}

TEST_F(Frame, AFailedSecondStepReleasesTheFirst) {
  rt.surface.status[6] = 1;
  rt.frame.status[3] = 1;
  for (const auto& e : FrameExports()) {
    if (e.calls.size() < 5) continue;
    ResetJournal();
    e.call(rt.ctx());
    EXPECT_EQ(Journal(), (Calls{e.calls[0], e.calls[1], e.calls.back()})) << e.name;
  }
}

TEST_F(Frame, FailingActionsAreDropped) {
  for (int method : {11, 12, 13, 14, 16, 17}) caller->status[method] = E_FAIL;
  for (int method : {5, 6}) rt.window.status[method] = E_FAIL;
  for (const auto& e : FrameExports()) {
    ResetJournal();
    e.call(rt.ctx());
    EXPECT_EQ(Journal(), e.calls) << e.name;
  }
}

TEST_F(Frame, GetFrameWindowReturnsTheHandleOrZero) {
  rt.window.handle = reinterpret_cast<HWND>(0x4321);
  EXPECT_EQ(GetFrameWindow(rt.ctx()), reinterpret_cast<HWND>(0x4321));
  rt.surface.nullOut.insert(6);  // status 0 without a window: a failed step
  EXPECT_EQ(GetFrameWindow(rt.ctx()), nullptr);
  rt.surface.nullOut.clear();
  rt.context.status[6] = E_FAIL;
  EXPECT_EQ(GetFrameWindow(rt.ctx()), nullptr);
}

TEST_F(Frame, NullTextsAreRefusedBeforeAnyRuntimeCall) {
  BranchByPathName(rt.ctx(), nullptr);
  BranchToFrame(rt.ctx(), nullptr);
  BranchToTitleFrame(rt.ctx(), nullptr);
  GetFrameName(rt.ctx(), nullptr, 10);
  GetFrameAddress(rt.ctx(), nullptr, 10);
  EXPECT_EQ(Journal(), Calls{});
}

// ---- BranchToTitleFrame -----------------------------------------------------------

TEST_F(Frame, BranchToTitleFrameComposesTitleDotFrame) {
  rt.titleNode.nodeName = "Course";
  BranchToTitleFrame(rt.ctx(), "Intro");
  EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.6()", "node:title.9(32)", "node:title.2()", "runtime.2()",
                              "context.8()", "thread:caller.14(\"Course.Intro\")", "thread:caller.2()"}));
}

TEST_F(Frame, BranchToTitleFrameWithAnEmptyTitleNameKeepsTheSeparator) {
  rt.titleNode.nodeName = "";
  BranchToTitleFrame(rt.ctx(), "Intro");
  EXPECT_EQ(Journal().back(), "thread:caller.2()");
  EXPECT_EQ(Journal()[6], "thread:caller.14(\".Intro\")");
}

TEST_F(Frame, BranchToTitleFrameWithoutTheTitleBranchesToTheFrameAlone) {
  rt.titleNode.nodeName = "Course";
  rt.context.status[3] = E_FAIL;
  BranchToTitleFrame(rt.ctx(), "Intro");
  EXPECT_EQ(Journal(), (Calls{"context.3()", "context.8()", "thread:caller.14(\"Intro\")", "thread:caller.2()"}));
  rt.context.status.clear();
  rt.runtime.status[6] = E_FAIL;
  ResetJournal();
  BranchToTitleFrame(rt.ctx(), "Intro");
  EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.6()", "runtime.2()", "context.8()",
                              "thread:caller.14(\"Intro\")", "thread:caller.2()"}));
}

TEST_F(Frame, BranchToTitleFrameReadsAtMost32TitleCharacters) {
  rt.titleNode.nodeName = std::string(40, 'T');
  BranchToTitleFrame(rt.ctx(), "F");
  EXPECT_EQ(Journal()[6], "thread:caller.14(\"" + std::string(32, 'T') + ".F\")");
}

TEST_F(Frame, BranchToTitleFrameIgnoresTheNameMethodsStatus) {
  rt.titleNode.nodeName = "Course";
  rt.titleNode.status[9] = E_FAIL;  // the fake then writes nothing
  BranchToTitleFrame(rt.ctx(), "Intro");
  EXPECT_EQ(Journal()[6], "thread:caller.14(\".Intro\")");
}

// ---- frame name and address ------------------------------------------------------

TEST_F(Frame, FrameTextsUseFixedCapacitiesAndTheCopyRule) {
  rt.frameNode.nodeName = "Introduction";
  rt.frameNode.address = std::string(300, 'A');
  GuardedBuffer name8(8), name64(64), address(400);
  GetFrameName(rt.ctx(), name8.Data(), 8);
  GetFrameName(rt.ctx(), name64.Data(), 64);
  GetFrameAddress(rt.ctx(), address.Data(), 400);
  EXPECT_EQ(name8.Bytes(), "Introduc");  // 8 bytes, no terminator
  EXPECT_EQ(name64.Bytes(), "Introduction" + std::string(52, '\0'));
  EXPECT_EQ(address.Text(), std::string(260, 'A'));
  EXPECT_TRUE(name8.GuardsIntact() && name64.GuardsIntact() && address.GuardsIntact());
  Calls methods = Methods();
  EXPECT_EQ(std::count(methods.begin(), methods.end(), "node:frame.9"), 2);
}

TEST_F(Frame, FrameTextFailureLeavesOnlyTheClearedFirstByte) {
  rt.frameNode.nodeName = "Intro";
  rt.frame.status[3] = E_FAIL;
  GuardedBuffer name(6);
  GetFrameName(rt.ctx(), name.Data(), 6);
  EXPECT_EQ(name.Bytes(), std::string(1, '\0') + std::string(5, '\x5A'));
}

// ---- window exports without a window -------------------------------------------------

TEST_F(Frame, WindowExportsGoThroughGetFrameWindowAndSkipANullHandle) {
  using Call = std::function<void()>;
  const Call calls[] = {
      [&] { EXPECT_EQ(GetFrameMenu(rt.ctx()), nullptr); },
      [&] { EXPECT_EQ(IsFrameVisible(rt.ctx()), FALSE); },
      [&] { ShowFrameWindow(rt.ctx()); },
      [&] { HideFrameWindow(rt.ctx()); },
      [&] { CloseFrameWindow(rt.ctx()); },
  };
  for (const auto& call : calls) {
    ResetJournal();
    call();
    EXPECT_EQ(Journal(), (Calls{"context.6()", "surface.6()", "window.3()", "window.2()", "surface.2()"}));
  }
}

}  // namespace
