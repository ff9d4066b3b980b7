// The window exports with real windows: the fake surface's window hands out
// an HWND made here. Windows that must be visible are children of one
// container shown once for the whole program (showing top-level windows is
// slow under a virtual display); windows with menus are hidden top-levels.
#include <functional>

#include "HostTest.h"

using hosttest::Calls;

namespace {

std::vector<UINT>& Received() {
  static std::vector<UINT> messages;
  return messages;
}

// Records WM_CLOSE instead of closing, so a posted close stays observable.
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_CLOSE) {
    Received().push_back(message);
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

const char* WindowClass() {
  static ATOM atom = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrvexTestWindow";
    return RegisterClassA(&wc);
  }();
  return atom ? "OrvexTestWindow" : nullptr;
}

class Windows : public hosttest::HostTest {
 protected:
  static void SetUpTestSuite() {
    container_ = CreateWindowExA(0, WindowClass(), "container", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                                 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  static void TearDownTestSuite() { DestroyWindow(container_); }

  void SetUp() override {
    HostTest::SetUp();
    ASSERT_NE(container_, nullptr);
    ASSERT_TRUE(IsWindowVisible(container_));
    Received().clear();
    rt.AddThread("a");
    threadSurface = rt.ThreadContext("a").surface;
  }
  void TearDown() override {
    for (HWND w : made_)
      if (IsWindow(w)) DestroyWindow(w);
    HostTest::TearDown();
  }

  // A child of the visible container, shown or hidden.
  HWND Child(bool visible) {
    HWND w = CreateWindowExA(0, WindowClass(), "child", WS_CHILD | (visible ? WS_VISIBLE : 0), 0, 0, 50, 50,
                             container_, nullptr, GetModuleHandleA(nullptr), nullptr);
    made_.push_back(w);
    return w;
  }
  // A hidden top-level window with `menu` (which it then owns).
  HWND WithMenu(HMENU menu) {
    HWND w = CreateWindowExA(0, WindowClass(), "menu", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, menu,
                             GetModuleHandleA(nullptr), nullptr);
    made_.push_back(w);
    return w;
  }
  static bool ClosePosted(HWND w) {
    MSG msg;
    return PeekMessageA(&msg, w, WM_CLOSE, WM_CLOSE, PM_NOREMOVE) != 0;
  }

  fake::FakeSurface* threadSurface = nullptr;

 private:
  static HWND container_;
  std::vector<HWND> made_;
};

HWND Windows::container_ = nullptr;

// ---- the calling module's frame window -------------------------------------------

TEST_F(Windows, GetFrameMenuReturnsTheWindowsMenuOrZero) {
  HMENU menu = CreateMenu();
  AppendMenuA(menu, MF_STRING, 1, "File");
  rt.window.handle = WithMenu(menu);
  EXPECT_EQ(GetFrameMenu(rt.ctx()), menu);
  rt.window.handle = WithMenu(nullptr);
  EXPECT_EQ(GetFrameMenu(rt.ctx()), nullptr);
}

TEST_F(Windows, ShowAndHideFrameWindowChangeWhatIsFrameVisibleReports) {
  rt.window.handle = Child(false);
  EXPECT_EQ(IsFrameVisible(rt.ctx()), FALSE);
  ShowFrameWindow(rt.ctx());
  EXPECT_TRUE(IsWindowVisible(rt.window.handle));
  EXPECT_EQ(IsFrameVisible(rt.ctx()), IsWindowVisible(rt.window.handle));
  HideFrameWindow(rt.ctx());
  EXPECT_FALSE(IsWindowVisible(rt.window.handle));
  EXPECT_EQ(IsFrameVisible(rt.ctx()), FALSE);
}

TEST_F(Windows, IsFrameVisibleFollowsTheAncestors) {
  HWND hiddenParent = Child(false);
  HWND w = CreateWindowExA(0, WindowClass(), "grandchild", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hiddenParent,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
  rt.window.handle = w;
  EXPECT_EQ(IsFrameVisible(rt.ctx()), FALSE);  // what IsWindowVisible says
  DestroyWindow(w);
}

TEST_F(Windows, CloseFrameWindowDestroysTheWindowAtOnce) {
  HWND w = Child(true);
  rt.window.handle = w;
  CloseFrameWindow(rt.ctx());
  EXPECT_FALSE(IsWindow(w));
  EXPECT_FALSE(ClosePosted(w));
}

TEST_F(Windows, NoSurfaceMeansNoWindowsCall) {
  HWND w = Child(true);
  rt.window.handle = w;
  rt.context.status[6] = E_FAIL;
  EXPECT_EQ(GetFrameWindow(rt.ctx()), nullptr);
  EXPECT_EQ(IsFrameVisible(rt.ctx()), FALSE);
  HideFrameWindow(rt.ctx());
  EXPECT_TRUE(IsWindowVisible(w));
  CloseFrameWindow(rt.ctx());
  EXPECT_TRUE(IsWindow(w));
  rt.context.status.clear();
  rt.window.handle = WithMenu(CreateMenu());
  rt.context.status[6] = E_FAIL;
  EXPECT_EQ(GetFrameMenu(rt.ctx()), nullptr);
  EXPECT_EQ(Journal(), (Calls(5, "context.6()")));
}

// ---- a named thread's window -----------------------------------------------------------

TEST_F(Windows, GetThreadMenuReturnsTheMenuSetOnTheWindow) {
  HWND w = WithMenu(nullptr);
  HMENU menu = CreateMenu();
  AppendMenuA(menu, MF_STRING, 1, "Edit");
  ASSERT_TRUE(SetMenu(w, menu));
  threadSurface->window->handle = w;
  EXPECT_EQ(GetThreadMenu(rt.ctx(), "a"), menu);
  EXPECT_EQ(GetThreadMenu(rt.ctx(), "unknown"), nullptr);
}

TEST_F(Windows, ShowAndHideThreadWindowChangeTheWindowsVisibility) {
  HWND w = Child(false);
  threadSurface->window->handle = w;
  ShowThreadWindow(rt.ctx(), "a");
  EXPECT_TRUE(IsWindowVisible(w));
  HideThreadWindow(rt.ctx(), "a");
  EXPECT_FALSE(IsWindowVisible(w));
}

TEST_F(Windows, CloseThreadWindowPostsWmCloseAndLeavesTheWindowToItsOwner) {
  HWND w = Child(true);
  threadSurface->window->handle = w;
  CloseThreadWindow(rt.ctx(), "a");
  EXPECT_TRUE(IsWindow(w));
  EXPECT_TRUE(Received().empty());  // posted, not sent
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, w, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0u);
  EXPECT_EQ(msg.lParam, 0);
  DispatchMessageA(&msg);
  EXPECT_EQ(Received(), std::vector<UINT>{WM_CLOSE});
  EXPECT_TRUE(IsWindow(w));
}

TEST_F(Windows, AnUnknownThreadMeansNoWindowsCall) {
  HWND w = Child(true);
  threadSurface->window->handle = w;
  HideThreadWindow(rt.ctx(), "unknown");
  EXPECT_TRUE(IsWindowVisible(w));
  CloseThreadWindow(rt.ctx(), "unknown");
  EXPECT_FALSE(ClosePosted(w));
  ShowWindow(w, SW_HIDE);
  ShowThreadWindow(rt.ctx(), "unknown");
  EXPECT_FALSE(IsWindowVisible(w));
  EXPECT_EQ(IsThreadVisible(rt.ctx(), "unknown"), 0);
}

struct VisibleCase {
  HRESULT surfaceStatus;
  int surfaceValue;
  bool windowShown;
  BOOL expected;
};

TEST_F(Windows, IsThreadVisibleNeedsTheSurfaceAndTheWindowAndAnswersOneOrZero) {
  const VisibleCase cases[] = {
      {S_OK, 1, true, 1},     {S_OK, 7, true, 1},   // exactly 1 whatever the value
      {S_OK, 0, true, 0},     {E_FAIL, 1, true, 0},  // the surface says no
      {S_OK, 1, false, 0},                           // the window is hidden
      {S_OK, 0, false, 0},
  };
  HWND w = Child(false);
  threadSurface->window->handle = w;
  for (const auto& c : cases) {
    threadSurface->status[9] = c.surfaceStatus;
    if (c.surfaceStatus != S_OK) threadSurface->writeOnFailure.insert(9);
    else threadSurface->writeOnFailure.clear();
    threadSurface->visible = c.surfaceValue;
    ShowWindow(w, c.windowShown ? SW_SHOWNA : SW_HIDE);
    ResetJournal();
    EXPECT_EQ(IsThreadVisible(rt.ctx(), "a"), c.expected)
        << c.surfaceStatus << "/" << c.surfaceValue << "/" << c.windowShown;
    // The window is asked whatever the surface answered.
    Calls methods = Methods();
    EXPECT_EQ(std::count(methods.begin(), methods.end(), "window:a.3"), 1);
  }
}

}  // namespace
