// Out of memory: the C runtime's malloc (and so operator new, which the
// library's C++ runtime builds on) fails at the library's Nth allocation, for
// every N until the call succeeds. After each call no reference, BSTR, menu
// handle or block of the library is left, and the call gave its failure result.
#include <objbase.h>

#include <cstdio>

#include "HostTest.h"

namespace {

using hostkit::AllocationWatch;

class OutOfMemory : public hosttest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    CoInitialize(nullptr);
    rt.app.instance = GetModuleHandleA(nullptr);  // ResourceManager.dll lies beside this program
    ASSERT_GT(AllocationWatch::Watch(hosttest::Library()), 0);
    hosttest::MenusMade();
  }
  void TearDown() override {
    HostTest::TearDown();
    CoUninitialize();
  }

  int menusBefore = 0;  // menus made before the sweep's current call

  // Runs `call` (true when it gave its success result) with the Nth
  // allocation failing, for every N until none fails; `failed` checks the
  // failure result. Returns the number of allocations of the successful call.
  template <class Call, class Failed>
  int Sweep(const char* what, Call call, Failed failed) {
    // Once before, failing and not: the thread's framework state and the C++
    // runtime's exception state are made the first time and kept.
    AllocationWatch::Reset();
    AllocationWatch::FailAt(0);
    call();
    AllocationWatch::FailAt(-1);
    call();
    int n = 0;
    for (;; ++n) {
      hostkit::StringLedger::Clear();  // BSTR addresses come back from call to call
      AllocationWatch::Reset();
      AllocationWatch::FollowBlocks(true);
      AllocationWatch::FailAt(n);
      menusBefore = hosttest::MenusMade();
      bool succeeded = call();
      AllocationWatch::FailAt(-1);
      std::size_t kept = AllocationWatch::LiveBlocks();
      AllocationWatch::FollowBlocks(false);
      int calls = AllocationWatch::RuntimeCalls();
      EXPECT_EQ(kept, 0u) << what << ": blocks kept when allocation " << n << " failed";
      EXPECT_EQ(hosttest::BalanceFaults(rt, check, releaseOrder), hosttest::Calls{}) << what << ", allocation " << n;
      if (n >= calls) {
        EXPECT_TRUE(succeeded) << what << " with no allocation failing";
        break;
      }
      EXPECT_TRUE(failed()) << what << ": not the failure result when allocation " << n << " failed";
      if (testing::Test::HasFailure()) break;
    }
    std::printf("%s: %d allocations, each failed in turn\n", what, n);
    return n;
  }
};

TEST_F(OutOfMemory, LoadMenuFromFile) {
  char path[MAX_PATH];
  GetTempFileNameA(".", "mnu", 0, path);
  FILE* file = std::fopen(path, "wb");
  std::fputs("M MENU\nBEGIN\n POPUP \"&File\"\n BEGIN\n  MENUITEM \"&Open\\tCtrl+O\", 101\n END\nEND\n", file);
  std::fclose(file);
  rt.AddResource("menu").fileName = path;
  HMENU menu = nullptr;
  int n = Sweep(
      "LoadMenuFromFile",
      [&] {
        menu = LoadMenuFromFile(rt.ctx(), "menu");
        if (menu) DestroyMenu(menu);
        return menu != nullptr;
      },
      [&] { return !menu && hosttest::MenusMade() == menusBefore; });
  EXPECT_GT(n, 3);
  DeleteFileA(path);
}

TEST_F(OutOfMemory, SetResourceStorage) {
  releaseOrder = false;  // the storage exports release the runtime before the resources
  const char* kLocation = "relative\\resources\\of\\the\\title\\";
  rt.app.location = rt.app.path = L"C:\\titles\\a title with a long name\\main.dat";
  size_t added = 0;
  Sweep(
      "SetResourceStorage (new storage)",
      [&] {
        added = rt.resources.added.size();
        rt.resources.storages.erase("new");  // made anew by each call
        SetResourceStorage(rt.ctx(), "new", kLocation);
        return rt.resources.added.size() > added;
      },
      [&] { return rt.resources.added.size() == added; });
}

TEST_F(OutOfMemory, GetResourceStorage) {
  releaseOrder = false;
  rt.AddStorage("res").location = L"C:\\resources of a title with a long name";
  char buffer[MAX_PATH];
  Sweep(
      "GetResourceStorage",
      [&] {
        GetResourceStorage(rt.ctx(), "res", buffer, sizeof buffer);
        return std::string(buffer) == "C:\\resources of a title with a long name\\";
      },
      [&] { return buffer[0] == '\0'; });
}

TEST_F(OutOfMemory, TitleLocation) {
  // Longer than the library converts without the heap.
  rt.app.location = rt.app.path = L"C:\\titles\\" + std::wstring(600, L'x') + L"\\main.dat";
  char buffer[MAX_PATH];
  for (auto export_ : {&GetTitleLocation, &GetTitleDirectory, &GetTitleName})
    Sweep(
        "title location",
        [&] {
          export_(rt.ctx(), buffer, sizeof buffer);
          return buffer[0] != '\0';
        },
        [&] { return buffer[0] == '\0'; });
}

}  // namespace
