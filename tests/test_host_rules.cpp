// The rules of the host exports that a row of the export table cannot
// express, as case tables: the copy rule and the text transforms, the title
// split, the state and flag mappings, the branch to a title frame, the
// cursor flag, the scope key, the window operations and menu loading.
#include <cstdio>
#include <functional>

#include "HostTest.h"

namespace {

using hosttest::Calls;
using hosttest::GuardedBuffer;
using Setup = std::function<void(fake::Runtime&)>;

class Rules : public hosttest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    rt.AddThread("a");
    rt.AddObject("obj");
    rt.AddStorage("res");
    scope = static_cast<IHostScope*>(&rt.AddScope());
  }
  // The journal entry of the call's runtime action: the last entry that is no release.
  std::string Action() const {
    for (auto it = Journal().rbegin(); it != Journal().rend(); ++it)
      if (it->find(".Release()") == std::string::npos) return *it;
    return "";
  }
  fake::FakeHostObject& Obj() { return *rt.context.objects.at("obj"); }
  IUnknown* scope = nullptr;
};

// ---- texts: (setup, export, buffer length, the bytes written) --------------------
// Short texts are zero-filled to the length, long ones cut without a terminator;
// the title directory is always terminated; node texts come through fixed
// capacities whatever the caller's length; a storage location ends in one backslash.
struct TextCase {
  const char* label;
  Setup setup;
  void (*call)(IHostContext*, char*, int);
  int length;
  std::string bytes;
};

void Path(fake::Runtime& rt, const wchar_t* path) { rt.app.path = path; }
void Storage(IHostContext* c, char* buffer, int length) { GetResourceStorage(c, "res", buffer, length); }
void StorageAt(fake::Runtime& rt, const wchar_t* location) { rt.resources.storages.at("res")->location = location; }

TEST_F(Rules, Texts) {
  const TextCase cases[] = {
      {"short", [](auto& r) { r.app.location = L"abc"; }, GetTitleLocation, 6, std::string("abc\0\0\0", 6)},
      {"exact", [](auto& r) { r.app.location = L"abcdef"; }, GetTitleLocation, 6, "abcdef"},
      {"long", [](auto& r) { r.app.location = L"abcdefgh"; }, GetTitleLocation, 6, "abcdef"},
      {"one", [](auto& r) { r.app.location = L"x"; }, GetTitleLocation, 1, "x"},
      {"dir", [](auto& r) { Path(r, L"C:\\Courses\\Intro\\lesson.dat"); }, GetTitleDirectory, 20, "C:\\Courses\\Intro\\"},
      {"dir cut", [](auto& r) { Path(r, L"C:\\Courses\\Intro\\lesson.dat"); }, GetTitleDirectory, 8, std::string("C:\\Cour\0", 8)},
      {"dir none", [](auto& r) { Path(r, L"lesson.dat"); }, GetTitleDirectory, 4, ""},
      {"dir dots", [](auto& r) { Path(r, L"C:\\a\\b.c\\x.y.z"); }, GetTitleDirectory, 12, "C:\\a\\b.c\\"},
      {"dir slash", [](auto& r) { Path(r, L"C:/web/site/page"); }, GetTitleDirectory, 16, "C:/web/site/"},
      {"dir drive", [](auto& r) { Path(r, L"D:name.ext"); }, GetTitleDirectory, 4, "D:"},
      {"name", [](auto& r) { Path(r, L"C:\\a\\b.c\\x.y.z"); }, GetTitleName, 4, std::string("x.y\0", 4)},
      {"name cut", [](auto& r) { Path(r, L"C:\\Courses\\lesson.dat"); }, GetTitleName, 4, "less"},
      {"name none", [](auto& r) { Path(r, L"C:\\a\\b\\"); }, GetTitleName, 2, ""},
      {"name long", [](auto& r) { Path(r, (L"C:\\" + std::wstring(600, L'n') + L".e").c_str()); }, GetTitleName, 300,
       std::string(255, 'n')},
      {"module cut", [](auto& r) { r.moduleNode.nodeName = "quiz"; }, GetModuleName, 3, "qui"},
      {"module 32", [](auto& r) { r.moduleNode.nodeName = std::string(40, 'N'); }, GetModuleName, 40, std::string(32, 'N')},
      {"address", [](auto& r) { r.moduleNode.address = "Course/Intro/quiz"; }, GetModuleAddress, 20, "Course/Intro/quiz"},
      {"failed", [](auto& r) { r.module.status["GetNode"] = -1; }, GetModuleName, 4, std::string("\0\x5A\x5A\x5A", 4)},
      {"storage", [](auto& r) { StorageAt(r, L"C:\\res\\"); }, Storage, 8, "C:\\res\\"},
      {"storage cut", [](auto& r) { StorageAt(r, L"C:\\res\\"); }, Storage, 5, "C:\\re"},
      {"storage url", [](auto& r) { StorageAt(r, L"http://h/x/"); }, Storage, 16, "http://h/x/\\"},
      {"storage empty", [](auto& r) { StorageAt(r, L""); }, Storage, 4, "\\"},
      {"storage none", [](auto& r) { r.resources.storages.at("res")->hasLocation = false; }, Storage, 4, "\\"},
  };
  releaseOrder = false;  // the storage exports release the runtime before the resources
  for (const auto& c : cases) {
    c.setup(rt);
    GuardedBuffer buffer(c.length);
    c.call(rt.ctx(), buffer.Data(), c.length);
    std::string want = c.bytes + std::string(c.length - std::min<int>(c.length, c.bytes.size()), '\0');
    EXPECT_EQ(buffer.Bytes(), want) << c.label;
    EXPECT_TRUE(buffer.GuardsIntact()) << c.label;
    rt.module.status.clear();
  }
}

// ---- values: (setup, call, result, the runtime action) ---------------------------
struct ValueCase {
  const char* label;
  Setup setup;
  std::function<int(IHostContext*, IUnknown*)> call;
  int result;
  const char* action;
};

TEST_F(Rules, Values) {
  const ValueCase cases[] = {
      {"state 7", [](auto& r) { r.context.objects["obj"]->state = 7; }, [](auto c, auto s) { return GetObjectActiveState(c, s, "obj"); }, 3, "object:obj.GetState()"},
      {"state 3", [](auto& r) { r.context.objects["obj"]->state = 3; }, [](auto c, auto s) { return GetObjectActiveState(c, s, "obj"); }, 2, "object:obj.GetState()"},
      {"state 8", [](auto& r) { r.context.objects["obj"]->state = 8; }, [](auto c, auto s) { return GetObjectActiveState(c, s, "obj"); }, 0, "object:obj.GetState()"},
      {"set state 1", nullptr, [](auto c, auto s) { return SetObjectActiveState(c, s, "obj", 1), 0; }, 0, "object:obj.SetState(2)"},
      {"set state 2", nullptr, [](auto c, auto s) { return SetObjectActiveState(c, s, "obj", 2), 0; }, 0, "object:obj.SetState(1)"},
      {"set state 0", nullptr, [](auto c, auto s) { return SetObjectActiveState(c, s, "obj", 0), 0; }, 0, "object:obj.SetState(0)"},
      {"set state 4", nullptr, [](auto c, auto s) { return SetObjectActiveState(c, s, "obj", 4), 0; }, 0, "object:obj.SetState(0)"},
      {"palette 4", [](auto& r) { r.context.objects["obj"]->flags = 4; }, [](auto c, auto s) { return GetObjectPaletteSetting(c, s, "obj"); }, 1, "object:obj.GetFlags()"},
      {"palette 8", [](auto& r) { r.context.objects["obj"]->flags = 8; }, [](auto c, auto s) { return GetObjectPaletteSetting(c, s, "obj"); }, 0, "object:obj.GetFlags()"},
      {"optimized 4", [](auto& r) { r.context.objects["obj"]->flags = 4; }, [](auto c, auto s) { return GetObjectOptimizedPainting(c, s, "obj"); }, 0, "object:obj.GetFlags()"},
      {"optimized 12", [](auto& r) { r.context.objects["obj"]->flags = 12; }, [](auto c, auto s) { return GetObjectOptimizedPainting(c, s, "obj"); }, 1, "object:obj.GetFlags()"},
      {"set palette -1", nullptr, [](auto c, auto s) { return SetObjectPaletteSetting(c, s, "obj", -1), 0; }, 0, "object:obj.ChangeFlags(0,4)"},
      {"set palette 0", nullptr, [](auto c, auto s) { return SetObjectPaletteSetting(c, s, "obj", 0), 0; }, 0, "object:obj.ChangeFlags(4,0)"},
      {"set optimized 0", nullptr, [](auto c, auto s) { return SetObjectOptimizedPainting(c, s, "obj", 0), 0; }, 0, "object:obj.ChangeFlags(8,0)"},
      {"visible -1", [](auto& r) { r.context.objects["obj"]->visible = -1; }, [](auto c, auto s) { return IsObjectVisible(c, s, "obj"); }, -1, "object:obj.GetVisible()"},
      {"pair", [](auto& r) { r.context.objects["obj"]->keyColorFirst = 0xFF00; }, [](auto c, auto s) { int second = 0; return GetObjectKeyColor(c, s, "obj", &second); }, 0xFF00, "object:obj.GetKeyColor()"},
      {"no scope", nullptr, [](auto c, auto) { return GetObjectX(c, nullptr, "obj"); }, 0, "object:obj.GetRect()"},
      {"not a scope", nullptr, [](auto c, auto) { return GetObjectX(c, reinterpret_cast<IUnknown*>(c), "obj"); }, 0, "object:obj.GetRect()"},
      {"freeze", [](auto& r) { r.surface.status["IsPaintingFrozen"] = S_FALSE; }, [](auto c, auto) { return FreezePainting(c, 1); }, 0, "surface.FreezePainting(1)"},
      {"title frame", [](auto& r) { r.titleNode.nodeName = "Course"; }, [](auto c, auto) { return BranchToTitleFrame(c, "Intro"), 0; }, 0, "thread:self.BranchToFrame(\"Course.Intro\")"},
      {"title empty", nullptr, [](auto c, auto) { return BranchToTitleFrame(c, "Intro"), 0; }, 0, "thread:self.BranchToFrame(\".Intro\")"},
      {"title long", [](auto& r) { r.titleNode.nodeName = std::string(40, 'T'); }, [](auto c, auto) { return BranchToTitleFrame(c, "F"), 0; }, 0, "thread:self.BranchToFrame(\"TTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTT.F\")"},
      {"title unread", [](auto& r) { r.titleNode.nodeName = "Course"; r.titleNode.status["GetName"] = E_FAIL; }, [](auto c, auto) { return BranchToTitleFrame(c, "Intro"), 0; }, 0, "thread:self.BranchToFrame(\".Intro\")"},
      {"no title", [](auto& r) { r.runtime.status["GetTitleNode"] = E_FAIL; }, [](auto c, auto) { return BranchToTitleFrame(c, "Intro"), 0; }, 0, "thread:self.BranchToFrame(\"Intro\")"},
      {"move unread", [](auto& r) { r.surface.status["GetGeometry"] = E_FAIL; r.surface.width = 9; }, [](auto c, auto) { return MoveDrawingSurface(c, 3, 5), 0; }, 0, "surface.SetGeometry(3,5,0,0)"},
      {"z-order nulls", nullptr, [](auto c, auto) { return SetThreadZOrder(c, nullptr, nullptr), 0; }, 0, "app.FindThread(\"\")"},
  };
  for (const auto& c : cases) {
    rt.context.thread = &rt.AddThread("self");
    if (c.setup) c.setup(rt);
    ResetJournal();
    EXPECT_EQ(c.call(rt.ctx(), scope), c.result) << c.label;
    EXPECT_EQ(Action(), c.action) << c.label << "\n" << rt.journal.Text();
    for (fake::Base* object : rt.Objects()) object->status.clear();
    rt.titleNode.nodeName.clear();
  }
  ResetJournal();
  GetObjectX(rt.ctx(), nullptr, "obj");
  EXPECT_EQ(Journal().front(), "context.FindObject(null,\"obj\")") << "no scope object: a null scope key";
}

TEST_F(Rules, CursorFlagRecordsTheLastSetting) {
  BOOL before = IsMouseCursorVisible(rt.ctx());
  EXPECT_EQ(ShowMouseCursor(rt.ctx(), FALSE), before);
  EXPECT_EQ(IsMouseCursorVisible(rt.ctx()), FALSE);
  EXPECT_EQ(ShowMouseCursor(rt.ctx(), 5), FALSE);
  EXPECT_EQ(IsMouseCursorVisible(rt.ctx()), 5);
  EXPECT_EQ(ShowMouseCursor(rt.ctx(), TRUE), 5);
  EXPECT_EQ(Journal(), Calls{});
}

// ---- windows: (operation, whose window, in a hidden parent, shown before, the surface's visible value,
// shown after, still a window, WM_CLOSE posted, Is*Visible afterwards) ---------------
// IsFrameVisible is IsWindowVisible's answer (0 inside a hidden parent);
// IsThreadVisible is exactly 1 or 0, and needs the surface visible too.
struct WindowCase {
  const char* label;
  std::function<void(IHostContext*)> call;  // null: only the query
  bool thread, inHiddenParent, shownBefore;
  int surfaceVisible;
  bool shownAfter, exists, closePosted;
  int visible;
};

HWND MakeWindow(DWORD style, HWND parent, HMENU menu = nullptr) {
  return CreateWindowExA(0, "STATIC", "w", style, 0, 0, 50, 50, parent, menu, nullptr, nullptr);
}

TEST_F(Rules, WindowOperations) {
  const WindowCase cases[] = {
      {"show frame", [](auto c) { ShowFrameWindow(c); }, false, false, false, 1, true, true, false, 1},
      {"hide frame", [](auto c) { HideFrameWindow(c); }, false, false, true, 1, false, true, false, 0},
      {"close frame", [](auto c) { CloseFrameWindow(c); }, false, false, true, 1, false, false, false, 0},
      {"frame in hidden parent", nullptr, false, true, true, 1, false, true, false, 0},
      {"show thread", [](auto c) { ShowThreadWindow(c, "a"); }, true, false, false, 1, true, true, false, 1},
      {"hide thread", [](auto c) { HideThreadWindow(c, "a"); }, true, false, true, 1, false, true, false, 0},
      {"close thread", [](auto c) { CloseThreadWindow(c, "a"); }, true, false, true, 1, true, true, true, 1},
      {"unknown thread", [](auto c) { HideThreadWindow(c, "b"); }, true, false, true, 1, true, true, false, 1},
      {"thread surface 7", nullptr, true, false, true, 7, true, true, false, 1},
      {"thread window hidden", nullptr, true, false, false, 1, false, true, false, 0},
      {"thread surface hidden", nullptr, true, false, true, 0, true, true, false, 0},
  };
  for (const auto& c : cases) {
    HWND parent = c.inHiddenParent ? MakeWindow(WS_OVERLAPPEDWINDOW, nullptr) : nullptr;
    HWND w = MakeWindow((parent ? WS_CHILD : WS_OVERLAPPEDWINDOW) | (c.shownBefore ? WS_VISIBLE : 0), parent);
    fake::FakeSurface& surface = c.thread ? *rt.ThreadContext("a").surface : rt.surface;
    surface.window->handle = w;
    surface.visible = c.surfaceVisible;
    if (c.call) c.call(rt.ctx());
    EXPECT_EQ(IsWindow(w) != 0, c.exists) << c.label;
    EXPECT_TRUE(!c.exists || (IsWindowVisible(w) != 0) == c.shownAfter) << c.label;
    EXPECT_EQ(c.thread ? IsThreadVisible(rt.ctx(), "a") : IsFrameVisible(rt.ctx()), c.visible) << c.label;
    MSG msg;
    EXPECT_EQ(PeekMessageA(&msg, w, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0, c.closePosted) << c.label;
    DestroyWindow(parent ? parent : w);
  }
  HMENU menu = CreateMenu();
  rt.window.handle = MakeWindow(WS_OVERLAPPEDWINDOW, nullptr, menu);
  EXPECT_EQ(GetFrameMenu(rt.ctx()), menu);
  DestroyWindow(rt.window.handle);
}

// ---- menus: (file bytes, a menu built) -------------------------------------------
// A file that yields no menu makes none (CreateMenu is the library's only
// menu maker); a menu made is handed to the caller.
int g_menusMade = 0;
HMENU(WINAPI* g_createMenu)() = nullptr;
HMENU WINAPI CountedCreateMenu() { return ++g_menusMade, g_createMenu(); }

struct MenuCase {
  const char* label;
  std::string bytes;
  int items;  // of the menu bar; -1: no menu
};

TEST_F(Rules, MenuFiles) {
  hosttest::RouteImport("user32.dll", "CreateMenu", CountedCreateMenu, &g_createMenu);
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  std::string path = std::string(dir) + "orvexc-rules.mnu";
  rt.AddResource("menu").fileName = path;
  const MenuCase cases[] = {
      {"menu", "M MENU BEGIN POPUP \"&File\" BEGIN MENUITEM \"&Open\", 1 END END", 1},
      {"nul byte", std::string("M MENU BEGIN POPUP \"a\" BEGIN END END\0 POPUP", 44), 1},
      {"bad after popup", "M MENU BEGIN POPUP \"a\" BEGIN MENUITEM \"b\", 1 END POPUP \"c\" BEGIN MENUITEM", -1},
      {"no end", "M MENU BEGIN POPUP \"a\" BEGIN MENUITEM \"b\", 1", -1},
      {"empty", "", -1},
  };
  for (const auto& c : cases) {
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(c.bytes.data(), 1, c.bytes.size(), f);
    std::fclose(f);
    g_menusMade = 0;
    HMENU menu = LoadMenuFromFile(rt.ctx(), "menu");
    EXPECT_EQ(menu ? GetMenuItemCount(menu) : -1, c.items) << c.label;
    EXPECT_TRUE(menu || g_menusMade == 0) << c.label << ": a menu left behind";
    if (menu) DestroyMenu(menu);
  }
  DeleteFileA(path.c_str());
}

}  // namespace
