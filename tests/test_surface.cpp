// Drawing surface and output against the fake title runtime.
//
// OrvexC.h comes first, as in a module that calls PrintWindow: it then
// declares the library's PrintWindow instead of USER32's.
#include "include/OrvexC.h"

#include <functional>

#include "HostTest.h"

using hosttest::Calls;

namespace {

class Surface : public hosttest::HostTest {
 protected:
  void Place(int x, int y, int width, int height) {
    rt.surface.x = x;
    rt.surface.y = y;
    rt.surface.width = width;
    rt.surface.height = height;
  }
};

// PrintWindow shares its name with USER32's: the library's, found by name.
FARPROC LibraryPrintWindow() { return GetProcAddress(GetModuleHandleA("OrvexC.dll"), "PrintWindow"); }

struct SurfaceCase {
  const char* name;
  std::function<void(IHostContext*)> call;
  Calls calls;
};

std::vector<SurfaceCase> SurfaceExports() {
  static int a, b;
  return {
      {"HideDrawingSurface", [](IHostContext* c) { HideDrawingSurface(c); },
       {"context.6()", "surface.7()", "surface.2()"}},
      {"ShowDrawingSurface", [](IHostContext* c) { ShowDrawingSurface(c); },
       {"context.6()", "surface.8()", "surface.2()"}},
      {"GetDrawingSurfacePosition", [](IHostContext* c) { GetDrawingSurfacePosition(c, &a, &b); },
       {"context.6()", "surface.10()", "surface.2()"}},
      {"GetDrawingSurfaceSize", [](IHostContext* c) { GetDrawingSurfaceSize(c, &a, &b); },
       {"context.6()", "surface.10()", "surface.2()"}},
      {"MoveDrawingSurface", [](IHostContext* c) { MoveDrawingSurface(c, 10, 20); },
       {"context.6()", "surface.10()", "surface.11(10,20,640,480)", "surface.2()"}},
      {"SizeDrawingSurface", [](IHostContext* c) { SizeDrawingSurface(c, 320, 240); },
       {"context.6()", "surface.10()", "surface.11(0,0,320,240)", "surface.2()"}},
      {"SetStatusBarText", [](IHostContext* c) { SetStatusBarText(c, "Ready"); },
       {"context.6()", "surface.6()", "window.7(\"Ready\")", "window.2()", "surface.2()"}},
      {"ShowProgress", [](IHostContext* c) { ShowProgress(c, 1, 50, 100); },
       {"context.6()", "surface.6()", "window.8(1,50,100)", "window.2()", "surface.2()"}},
      {"PrintDrawingSurface", [](IHostContext* c) { PrintDrawingSurface(c, 7, -8); },
       {"context.6()", "surface.12(7,-8)", "surface.2()"}},
      {"PrintWindow", [](IHostContext* c) { PrintWindow(c, -9, 10); },
       {"context.6()", "surface.6()", "window.4(-9,10)", "window.2()", "surface.2()"}},
  };
}

TEST_F(Surface, PrintWindowIsExportedUnderItsNameAndOrdinal) {
  HMODULE library = GetModuleHandleA("OrvexC.dll");
  ASSERT_NE(LibraryPrintWindow(), nullptr);
  EXPECT_EQ(LibraryPrintWindow(), GetProcAddress(library, MAKEINTRESOURCEA(604)));
  EXPECT_EQ(reinterpret_cast<FARPROC>(&PrintWindow), LibraryPrintWindow());
  EXPECT_EQ(GetProcAddress(library, "OrvexPrintWindow"), nullptr);
}

TEST_F(Surface, EveryExportRunsItsChainAndPassesItsValuesInOrder) {
  for (const auto& e : SurfaceExports()) {
    Place(0, 0, 640, 480);
    ResetJournal();
    e.call(rt.ctx());
    EXPECT_EQ(Journal(), e.calls) << e.name;
  }
}

TEST_F(Surface, NoSurfaceMeansNothingMoreThanTheAsking) {
  for (HRESULT failure : {HRESULT(1), E_FAIL}) {
    rt.context.status[6] = failure;
    for (const auto& e : SurfaceExports()) {
      ResetJournal();
      e.call(rt.ctx());
      EXPECT_EQ(Journal(), Calls{"context.6()"}) << e.name;
    }
  }
}

TEST_F(Surface, NoWindowReleasesTheSurface) {
  ASSERT_NE(LibraryPrintWindow(), nullptr);
  rt.surface.status[6] = E_FAIL;
  for (const auto& e : SurfaceExports()) {
    if (e.calls.size() != 5 || e.calls[1] != "surface.6()") continue;
    ResetJournal();
    e.call(rt.ctx());
    EXPECT_EQ(Journal(), (Calls{"context.6()", "surface.6()", "surface.2()"})) << e.name;
  }
}

TEST_F(Surface, FailingActionsAreDropped) {
  for (int method : {7, 8, 11, 12}) rt.surface.status[method] = E_FAIL;
  for (int method : {4, 7, 8}) rt.window.status[method] = E_FAIL;
  for (const auto& e : SurfaceExports()) {
    Place(0, 0, 640, 480);
    ResetJournal();
    e.call(rt.ctx());
    EXPECT_EQ(Journal(), e.calls) << e.name;
  }
}

TEST_F(Surface, StatusBarTextPassesNullThrough) {
  SetStatusBarText(rt.ctx(), nullptr);
  EXPECT_EQ(Journal(), (Calls{"context.6()", "surface.6()", "window.7(null)", "window.2()", "surface.2()"}));
}

TEST_F(Surface, PositionAndSizeHandOutTheirHalves) {
  Place(11, -22, 333, 444);
  int a = -1, b = -1;
  GetDrawingSurfacePosition(rt.ctx(), &a, &b);
  EXPECT_EQ(a, 11);
  EXPECT_EQ(b, -22);
  GetDrawingSurfaceSize(rt.ctx(), &a, &b);
  EXPECT_EQ(a, 333);
  EXPECT_EQ(b, 444);
}

TEST_F(Surface, BothValuesAreWrittenOnEveryPathOnceThePointersAreValid) {
  Place(11, 22, 333, 444);
  int a = -1, b = -1;
  rt.context.status[6] = E_FAIL;
  GetDrawingSurfacePosition(rt.ctx(), &a, &b);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 0);
  rt.context.status.clear();
  rt.surface.status[10] = E_FAIL;  // a read that writes nothing leaves the preset zeros
  a = b = -1;
  GetDrawingSurfaceSize(rt.ctx(), &a, &b);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 0);
  rt.surface.writeOnFailure.insert(10);  // its status is not examined
  GetDrawingSurfaceSize(rt.ctx(), &a, &b);
  EXPECT_EQ(a, 333);
  EXPECT_EQ(b, 444);
}

TEST_F(Surface, ANullPointerMeansNoCallAndNothingWritten) {
  int a = -1, b = -1;
  GetDrawingSurfacePosition(rt.ctx(), nullptr, &b);
  GetDrawingSurfacePosition(rt.ctx(), &a, nullptr);
  GetDrawingSurfaceSize(rt.ctx(), nullptr, &b);
  GetDrawingSurfaceSize(rt.ctx(), &a, nullptr);
  EXPECT_EQ(a, -1);
  EXPECT_EQ(b, -1);
  EXPECT_EQ(Journal(), Calls{});
}

TEST_F(Surface, MoveAndSizeKeepTheOtherHalfAsRead) {
  Place(3, 4, 640, 480);
  MoveDrawingSurface(rt.ctx(), 10, 20);
  EXPECT_EQ(Journal()[2], "surface.11(10,20,640,480)");
  Place(3, 4, 640, 480);
  ResetJournal();
  SizeDrawingSurface(rt.ctx(), 320, 240);
  EXPECT_EQ(Journal()[2], "surface.11(3,4,320,240)");
}

TEST_F(Surface, AFailedReadStillWritesWithPresetZerosForTheKeptHalf) {
  Place(3, 4, 640, 480);
  rt.surface.status[10] = E_FAIL;
  MoveDrawingSurface(rt.ctx(), 10, 20);
  SizeDrawingSurface(rt.ctx(), 320, 240);
  EXPECT_EQ(Journal(), (Calls{"context.6()", "surface.10()", "surface.11(10,20,0,0)", "surface.2()",
                              "context.6()", "surface.10()", "surface.11(0,0,320,240)", "surface.2()"}));
}

}  // namespace
