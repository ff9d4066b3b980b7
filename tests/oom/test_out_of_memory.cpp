// Out of memory: the C runtime's malloc (and so operator new, which the
// library's C++ runtime builds on) fails at the library's Nth allocation, for
// every N until the call succeeds. After each call no reference, BSTR, menu
// handle or block of the library is left, and the call gave its failure result.
#include <objbase.h>

#include <cstdio>
#include <set>

#include "HostTest.h"

namespace {

int g_failAt = -1;  // the allocation that fails, counted from 0; -1: none
int g_calls = 0;
int g_menus = 0;
std::set<void*>* g_live = nullptr;  // blocks the library holds
void*(__cdecl* g_malloc)(size_t);  // the originals
void*(__cdecl* g_calloc)(size_t, size_t);
void*(__cdecl* g_realloc)(void*, size_t);
void(__cdecl* g_free)(void*);
HMENU(WINAPI* g_createMenu)();

bool FailNow() { return g_calls++ == g_failAt; }
void* Note(void* block) {
  if (block && g_live) g_live->insert(block);
  return block;
}
void* __cdecl HookMalloc(size_t n) { return FailNow() ? nullptr : Note(g_malloc(n)); }
void* __cdecl HookCalloc(size_t n, size_t size) { return FailNow() ? nullptr : Note(g_calloc(n, size)); }
void* __cdecl HookRealloc(void* old, size_t n) {
  if (FailNow()) return nullptr;
  void* block = g_realloc(old, n);
  if (block && g_live) g_live->erase(old);
  return Note(block);
}
void __cdecl HookFree(void* block) {
  if (g_live) g_live->erase(block);
  g_free(block);
}
HMENU WINAPI HookCreateMenu() {
  ++g_menus;
  return g_createMenu();
}

class OutOfMemory : public hosttest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    CoInitialize(nullptr);
    rt.app.instance = GetModuleHandleA(nullptr);  // ResourceManager.dll lies beside this program
    hosttest::RouteImport("msvcrt.dll", "malloc", &HookMalloc, &g_malloc);
    hosttest::RouteImport("msvcrt.dll", "calloc", &HookCalloc, &g_calloc);
    hosttest::RouteImport("msvcrt.dll", "realloc", &HookRealloc, &g_realloc);
    hosttest::RouteImport("msvcrt.dll", "free", &HookFree, &g_free);
    hosttest::RouteImport("user32.dll", "CreateMenu", &HookCreateMenu, &g_createMenu);
  }
  void TearDown() override {
    HostTest::TearDown();
    CoUninitialize();
  }

  // Runs `call` (true when it gave its success result) with the Nth
  // allocation failing, for every N until none fails; `failed` checks the
  // failure result. Returns the number of allocations of the successful call.
  template <class Call, class Failed>
  int Sweep(const char* what, Call call, Failed failed) {
    // Once before, failing and not: the thread's framework state and the C++
    // runtime's exception state are made the first time and kept.
    g_calls = 0, g_failAt = 0;
    call();
    g_failAt = -1;
    call();
    int n = 0;
    for (;; ++n) {
      std::set<void*> live;
      hostkit::StringLedger::Clear();  // BSTR addresses come back from call to call
      g_calls = 0, g_menus = 0, g_failAt = n, g_live = &live;
      bool succeeded = call();
      g_failAt = -1, g_live = nullptr;
      int calls = g_calls;
      EXPECT_TRUE(live.empty()) << what << ": " << live.size() << " blocks kept when allocation " << n << " failed";
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
      [&] { return !menu && g_menus == 0; });
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
