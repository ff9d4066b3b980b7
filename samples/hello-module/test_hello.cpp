// hello-module's unit test on the OrvexC host kit: a scripted title, one call
// of RunModule, and assertions on the runtime calls the module made.
// Built and run by orvexc_add_module_test (ctest); exit 0 = pass.
#include <OrvexC/hostkit/FakeRuntime.h>
#include <OrvexC/hostkit/MenuTree.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  if (!ok) ++failures;
}

// A menu script on disk, as the title's "MainMenu" resource delivers it.
std::string WriteMenuScript() {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  std::string path = std::string(dir) + "hello-test.mnu";
  std::ofstream(path, std::ios::binary) << "MainMenu MENU\nBEGIN\n  POPUP \"&File\"\n  BEGIN\n"
                                           "    MENUITEM \"&Open\\tCtrl+O\", 101\n    MENUITEM SEPARATOR\n"
                                           "    MENUITEM \"E&xit\", 102\n  END\nEND\n";
  return path;
}

}  // namespace

int main() {
  HMODULE module = LoadLibraryA("hello-module.dll");
  auto run = module ? reinterpret_cast<int(__cdecl*)(IHostContext*)>(
                          reinterpret_cast<void*>(GetProcAddress(module, "RunModule")))
                    : nullptr;
  Check(run != nullptr, "hello-module.dll loads and exports RunModule");
  if (!run) return 1;

  HWND window = CreateWindowA("STATIC", "frame", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  int result = 0;
  {
    fake::Runtime rt;
    rt.app.path = L"C:\\Courses\\Intro\\lesson.ovx";
    rt.window.handle = window;
    rt.AddThread("narration");
    rt.AddObject("StartButton").rect = {0, 0, 80, 24};
    rt.AddResource("MainMenu").fileName = WriteMenuScript();

    result = run(rt.ctx());

    Check(result == 1, "RunModule reports the menu loaded and attached");
    Check(rt.journal.Has("window.SetStatusText(\"title: lesson\")"), "the title name reached the status bar");
    Check(rt.journal.Has("window.SetStatusText(\"directory: C:\\Courses\\Intro\\\")"),
          "the title directory too");
    Check(rt.journal.Has("thread:narration.BranchByPathName(\"intro\")"),
          "narration branched to its intro path");
    Check(rt.journal.Has("object:StartButton.SetRect({40,300,120,324},1)"),
          "the start button moved to 40,300");
    Check(rt.journal.Has("object:StartButton.SetVisible(1,1)"), "the start button shown");
    Check(rt.journal.Has("resource:MainMenu.Start(0,0)"), "the menu resource was started");
    Check(rt.UnbalancedObjects().empty(), "every reference the module was given came back");
    Check(hostkit::DescribeMenu(GetMenu(window)) ==
              "popup 0 type=0 state=0 \"&File\"\n"
              "  item 101 type=0 state=0 \"&Open\\tCtrl+O\"\n"
              "  item 0 type=800 state=3 \"\"\n"
              "  item 102 type=0 state=0 \"E&xit\"\n",
          "the frame window got the script's menu");
    if (failures) std::printf("journal:\n%s\n", rt.journal.Text().c_str());
  }
  DestroyWindow(window);  // destroys the menu with it
  std::printf("%s: %d failure(s)\n", failures ? "FAILED" : "passed", failures);
  return failures ? 1 : 0;
}
