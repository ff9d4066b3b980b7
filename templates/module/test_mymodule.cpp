// mymodule's unit test on the OrvexC host kit: a scripted title, one call of
// RunModule, and checks of the runtime calls the module made and of the
// references it gave back. Exit status 0 passes.
#include <OrvexC/hostkit/FakeRuntime.h>

#include <windows.h>

#include <cstdio>

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
  if (!ok) ++failures;
}

}  // namespace

int main() {
  HMODULE module = LoadLibraryA("mymodule.dll");
  auto run = module ? reinterpret_cast<int(__cdecl*)(IHostContext*)>(
                          reinterpret_cast<void*>(GetProcAddress(module, "RunModule")))
                    : nullptr;
  Check(run != nullptr, "mymodule.dll loads and exports RunModule");
  if (!run) return 1;

  fake::Runtime title;
  title.app.path = L"C:\\Courses\\Intro\\lesson.ovx";
  Check(run(title.ctx()) == 1, "RunModule reports success");
  Check(title.journal.Has("window.SetStatusText(\"Hello from lesson\")"),
        "the greeting reached the status bar");
  Check(title.UnbalancedObjects().empty(), "every reference handed out came back");
  return failures == 0 ? 0 : 1;
}
