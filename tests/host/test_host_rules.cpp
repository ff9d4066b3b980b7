// The rules of the host exports that a row of the export table cannot
// express, as case tables of plain data: the copy rule and the text
// transforms, the title split, the state and flag mappings, the branch to a
// title frame, the cursor flag, the scope key, the window operations and
// menu loading. A row's call is written as words (HostCall.h); `--only NAME`
// runs the rows that call the export NAME.
#include <climits>
#include <cstdio>
#include <set>

#include "HostCall.h"
#include "HostTest.h"

namespace {

using hosttest::CallExport;
using hosttest::Calls;
using hosttest::ExportOf;
using hosttest::GuardedBuffer;
using hosttest::Selected;

// What a row changes in the title before its call.
enum class Field {
  None,
  TitleLocation,
  TitlePath,
  TitleName,  // the application's location and path, the title's name
  ModuleName,
  ModuleAddress,  // the module node's
  StorageLocation,
  NoStorageLocation,  // storage "res": a location, or a null one
  ObjectState,
  ObjectFlags,
  ObjectVisible,
  ObjectKeyColor,
  ObjectAntiAlias,  // properties of object "obj" (the anti-alias's 16-bit second value)
  SurfaceWidth,
};

struct Given {
  Field field = Field::None;
  const char* value = "";         // a text, or a number for the numeric fields
  const char* failing = nullptr;  // "object.Method" that answers `status`
  HRESULT status = E_FAIL;
};

void Apply(fake::Runtime& rt, const Given& given) {
  const std::string v = given.value;
  std::wstring wide(v.begin(), v.end());
  int number = v.empty() || given.field < Field::ObjectState ? 0 : std::stoi(v, nullptr, 0);
  fake::FakeHostObject& obj = *rt.context.objects.at("obj");
  switch (given.field) {
    case Field::None: break;
    case Field::TitleLocation: rt.app.location = wide; break;
    case Field::TitlePath: rt.app.path = wide; break;
    case Field::TitleName: rt.titleNode.nodeName = v; break;
    case Field::ModuleName: rt.moduleNode.nodeName = v; break;
    case Field::ModuleAddress: rt.moduleNode.address = v; break;
    case Field::StorageLocation: rt.resources.storages.at("res")->location = wide; break;
    case Field::NoStorageLocation: rt.resources.storages.at("res")->hasLocation = false; break;
    case Field::ObjectState: obj.state = number; break;
    case Field::ObjectFlags: obj.flags = number; break;
    case Field::ObjectVisible: obj.visible = number; break;
    case Field::ObjectKeyColor: obj.keyColorFirst = number; break;
    case Field::ObjectAntiAlias: obj.antiAliasSecond = static_cast<short>(number); break;
    case Field::SurfaceWidth: rt.surface.width = number; break;
  }
  if (!given.failing) return;
  std::string failing = given.failing;
  std::size_t dot = failing.rfind('.');
  rt.Find(failing.substr(0, dot))->status[failing.substr(dot + 1)] = given.status;
}

class Rules : public hosttest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    rt.context.thread = &rt.AddThread("self");
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
  // Back to the title of SetUp for the next row.
  void Restore() {
    for (fake::Base* object : rt.Objects()) object->status.clear();
    rt.titleNode.nodeName.clear();
  }
  IUnknown* scope = nullptr;
};

// ---- texts: (what is given, the call, buffer length, the bytes written) ------------
// Short texts are zero-filled to the length, long ones cut without a terminator;
// the title directory is always terminated; node texts come through fixed
// capacities whatever the caller's length; a storage location ends in one backslash.
// (How a title path splits is in the code-page tables.)
struct TextCase {
  const char* label;
  Given given;
  const char* call;  // with b and l
  int length;
  std::string bytes;
};

const std::string kLongName = "C:\\" + std::string(600, 'n') + ".e";
const std::string kLongModule(40, 'N');

TEST_F(Rules, Texts) {
  const char* kStorage = "GetResourceStorage 'res' b l";
  const TextCase cases[] = {
      {"short", {Field::TitleLocation, "abc"}, "GetTitleLocation b l", 6, std::string("abc\0\0\0", 6)},
      {"exact", {Field::TitleLocation, "abcdef"}, "GetTitleLocation b l", 6, "abcdef"},
      {"long", {Field::TitleLocation, "abcdefgh"}, "GetTitleLocation b l", 6, "abcdef"},
      {"one", {Field::TitleLocation, "x"}, "GetTitleLocation b l", 1, "x"},
      {"dir cut",
       {Field::TitlePath, "C:\\Courses\\Intro\\lesson.dat"},
       "GetTitleDirectory b l",
       8,
       std::string("C:\\Cour\0", 8)},
      {"dir none", {Field::TitlePath, "lesson.dat"}, "GetTitleDirectory b l", 4, ""},
      {"name cut", {Field::TitlePath, "C:\\Courses\\lesson.dat"}, "GetTitleName b l", 4, "less"},
      {"name none", {Field::TitlePath, "C:\\a\\b\\"}, "GetTitleName b l", 2, ""},
      {"name long", {Field::TitlePath, kLongName.c_str()}, "GetTitleName b l", 300, std::string(255, 'n')},
      {"module cut", {Field::ModuleName, "quiz"}, "GetModuleName b l", 3, "qui"},
      {"module 32", {Field::ModuleName, kLongModule.c_str()}, "GetModuleName b l", 40, std::string(32, 'N')},
      {"address", {Field::ModuleAddress, "Course/Intro/quiz"}, "GetModuleAddress b l", 20, "Course/Intro/quiz"},
      {"failed", {Field::None, "", "module.GetNode", -1}, "GetModuleName b l", 4, std::string("\0\x5A\x5A\x5A", 4)},
      {"dir failed",
       {Field::None, "", "app.GetTitlePath", -1},
       "GetTitleDirectory b l",
       4,
       std::string("\0\x5A\x5A\x5A", 4)},
      {"storage", {Field::StorageLocation, "C:\\res\\"}, kStorage, 8, "C:\\res\\"},
      {"storage cut", {Field::StorageLocation, "C:\\res\\"}, kStorage, 5, "C:\\re"},
      {"storage url", {Field::StorageLocation, "http://h/x/"}, kStorage, 16, "http://h/x/\\"},
      {"storage empty", {Field::StorageLocation, ""}, kStorage, 4, "\\"},
      {"storage none", {Field::NoStorageLocation, ""}, kStorage, 4, "\\"},
  };
  releaseOrder = false;  // the storage exports release the runtime before the resources
  for (const auto& c : cases) {
    if (!Selected(ExportOf(c.call))) continue;
    Apply(rt, c.given);
    GuardedBuffer buffer(c.length);
    CallExport(c.call, rt.ctx(), {nullptr, buffer.Data(), c.length});
    std::string want = c.bytes + std::string(c.length - std::min<int>(c.length, c.bytes.size()), '\0');
    EXPECT_EQ(buffer.Bytes(), want) << c.label;
    EXPECT_TRUE(buffer.GuardsIntact()) << c.label;
    Restore();
  }
}

// ---- values: (what is given, the call, its result, the runtime action, the value
// written through its out-pointer) --------------------------------------------------
constexpr int kVoid = INT_MIN;  // the export returns nothing, or writes nothing

struct ValueCase {
  const char* label;
  Given given;
  const char* call;
  int result;
  std::string action;
  int out = kVoid;
};

TEST_F(Rules, Values) {
  const std::string kLongTitle = std::string(40, 'T'), kAntiAlias = "object:obj.GetAntiAlias()";
  const ValueCase cases[] = {
      {"state 7", {Field::ObjectState, "7"}, "GetObjectActiveState S 'obj'", 3, "object:obj.GetState()"},
      {"state 3", {Field::ObjectState, "3"}, "GetObjectActiveState S 'obj'", 2, "object:obj.GetState()"},
      {"state 8", {Field::ObjectState, "8"}, "GetObjectActiveState S 'obj'", 0, "object:obj.GetState()"},
      {"set state 1", {}, "SetObjectActiveState S 'obj' 1", kVoid, "object:obj.SetState(2)"},
      {"set state 2", {}, "SetObjectActiveState S 'obj' 2", kVoid, "object:obj.SetState(1)"},
      {"set state 0", {}, "SetObjectActiveState S 'obj' 0", kVoid, "object:obj.SetState(0)"},
      {"set state 4", {}, "SetObjectActiveState S 'obj' 4", kVoid, "object:obj.SetState(0)"},
      {"palette 4", {Field::ObjectFlags, "4"}, "GetObjectPaletteSetting S 'obj'", 1, "object:obj.GetFlags()"},
      {"palette 8", {Field::ObjectFlags, "8"}, "GetObjectPaletteSetting S 'obj'", 0, "object:obj.GetFlags()"},
      {"optimized 4", {Field::ObjectFlags, "4"}, "GetObjectOptimizedPainting S 'obj'", 0, "object:obj.GetFlags()"},
      {"optimized 12", {Field::ObjectFlags, "12"}, "GetObjectOptimizedPainting S 'obj'", 1, "object:obj.GetFlags()"},
      {"set palette -1", {}, "SetObjectPaletteSetting S 'obj' -1", kVoid, "object:obj.ChangeFlags(0,4)"},
      {"set palette 0", {}, "SetObjectPaletteSetting S 'obj' 0", kVoid, "object:obj.ChangeFlags(4,0)"},
      {"set optimized 0", {}, "SetObjectOptimizedPainting S 'obj' 0", kVoid, "object:obj.ChangeFlags(8,0)"},
      {"visible -1", {Field::ObjectVisible, "-1"}, "IsObjectVisible S 'obj'", -1, "object:obj.GetVisible()"},
      {"pair", {Field::ObjectKeyColor, "0xFF00"}, "GetObjectKeyColor S 'obj' o", 0xFF00, "object:obj.GetKeyColor()", 0},
      {"anti-alias min", {Field::ObjectAntiAlias, "-32768"}, "GetObjectAntiAlias S 'obj' o", 0, kAntiAlias, -32768},
      {"anti-alias max", {Field::ObjectAntiAlias, "32767"}, "GetObjectAntiAlias S 'obj' o", 0, kAntiAlias, 32767},
      {"no scope", {}, "GetObjectX null 'obj'", 0, "object:obj.GetRect()"},
      {"not a scope", {}, "GetObjectX C 'obj'", 0, "object:obj.GetRect()"},
      {"freeze",
       {Field::None, "", "surface.IsPaintingFrozen", S_FALSE},
       "FreezePainting 1",
       0,
       "surface.FreezePainting(1)"},
      {"title frame",
       {Field::TitleName, "Course"},
       "BranchToTitleFrame 'Intro'",
       kVoid,
       "thread:self.BranchToFrame(\"Course.Intro\")"},
      {"title empty", {}, "BranchToTitleFrame 'Intro'", kVoid, "thread:self.BranchToFrame(\".Intro\")"},
      {"title long",
       {Field::TitleName, kLongTitle.c_str()},
       "BranchToTitleFrame 'F'",
       kVoid,
       "thread:self.BranchToFrame(\"" + kLongTitle.substr(0, 32) + ".F\")"},
      {"title unread",
       {Field::TitleName, "Course", "node:title.GetName"},
       "BranchToTitleFrame 'Intro'",
       kVoid,
       "thread:self.BranchToFrame(\".Intro\")"},
      {"no title",
       {Field::None, "", "runtime.GetTitleNode"},
       "BranchToTitleFrame 'Intro'",
       kVoid,
       "thread:self.BranchToFrame(\"Intro\")"},
      {"move unread",
       {Field::SurfaceWidth, "9", "surface.GetGeometry"},
       "MoveDrawingSurface 3 5",
       kVoid,
       "surface.SetGeometry(3,5,0,0)"},
      {"z-order nulls", {}, "SetThreadZOrder null null", kVoid, "app.FindThread(\"\")"},
  };
  for (const auto& c : cases) {
    if (!Selected(ExportOf(c.call))) continue;
    Apply(rt, c.given);
    ResetJournal();
    int outs[1] = {kVoid};
    int result = static_cast<int>(CallExport(c.call, rt.ctx(), {scope, nullptr, 0, outs}));
    if (c.result != kVoid) {
      EXPECT_EQ(result, c.result) << c.label;
    }
    EXPECT_EQ(outs[0], c.out) << c.label;
    EXPECT_EQ(Action(), c.action) << c.label << "\n" << rt.journal.Text();
    Restore();
  }
  ResetJournal();
  CallExport("GetObjectX null 'obj'", rt.ctx());
  EXPECT_EQ(Journal().front(), "context.FindObject(null,\"obj\")") << "no scope object: a null scope key";
}

// The flag is the last setting; the system's cursor count moves only when it
// turns from shown to hidden or back.
TEST_F(Rules, CursorFlagRecordsTheLastSetting) {
  if (!Selected("ShowMouseCursor")) return;
  auto count = [] { return ShowCursor(TRUE), ShowCursor(FALSE); };
  BOOL before = IsMouseCursorVisible(rt.ctx());
  int shown = count() + !before;
  EXPECT_EQ(ShowMouseCursor(rt.ctx(), FALSE), before);
  EXPECT_EQ(ShowMouseCursor(rt.ctx(), FALSE), FALSE);
  EXPECT_EQ(count(), shown - 1);
  EXPECT_EQ(ShowMouseCursor(rt.ctx(), 5), FALSE);
  EXPECT_EQ(IsMouseCursorVisible(rt.ctx()), 5);
  EXPECT_EQ(ShowMouseCursor(rt.ctx(), TRUE), 5);
  EXPECT_EQ(count(), shown);
  EXPECT_EQ(Journal(), Calls{});
}

// ---- windows: (operation, whose window, in a hidden parent, shown before, the
// surface's visible value, shown after, still a window, WM_CLOSE posted,
// Is*Visible afterwards) -------------------------------------------------------------
// IsFrameVisible is IsWindowVisible's answer (0 inside a hidden parent);
// IsThreadVisible is exactly 1 or 0, and needs the surface visible too.
struct WindowCase {
  const char* label;
  const char* call;  // null: only the query
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
      {"show frame", "ShowFrameWindow", false, false, false, 1, true, true, false, 1},
      {"hide frame", "HideFrameWindow", false, false, true, 1, false, true, false, 0},
      {"close frame", "CloseFrameWindow", false, false, true, 1, false, false, false, 0},
      {"frame in hidden parent", nullptr, false, true, true, 1, false, true, false, 0},
      {"show thread", "ShowThreadWindow 'a'", true, false, false, 1, true, true, false, 1},
      {"hide thread", "HideThreadWindow 'a'", true, false, true, 1, false, true, false, 0},
      {"close thread", "CloseThreadWindow 'a'", true, false, true, 1, true, true, true, 1},
      {"unknown thread", "HideThreadWindow 'b'", true, false, true, 1, true, true, false, 1},
      {"thread surface 7", nullptr, true, false, true, 7, true, true, false, 1},
      {"thread window hidden", nullptr, true, false, false, 1, false, true, false, 0},
      {"thread surface hidden", nullptr, true, false, true, 0, true, true, false, 0},
  };
  for (const auto& c : cases) {
    if (!Selected(c.call ? ExportOf(c.call) : c.thread ? "IsThreadVisible" : "IsFrameVisible")) continue;
    HWND parent = c.inHiddenParent ? MakeWindow(WS_OVERLAPPEDWINDOW, nullptr) : nullptr;
    HWND w = MakeWindow((parent ? WS_CHILD : WS_OVERLAPPEDWINDOW) | (c.shownBefore ? WS_VISIBLE : 0), parent);
    fake::FakeSurface& surface = c.thread ? *rt.ThreadContext("a").surface : rt.surface;
    surface.window->handle = w;
    surface.visible = c.surfaceVisible;
    if (c.call) CallExport(c.call, rt.ctx());
    EXPECT_EQ(IsWindow(w) != 0, c.exists) << c.label;
    EXPECT_TRUE(!c.exists || (IsWindowVisible(w) != 0) == c.shownAfter) << c.label;
    EXPECT_EQ(c.thread ? IsThreadVisible(rt.ctx(), "a") : IsFrameVisible(rt.ctx()), c.visible) << c.label;
    MSG msg;
    EXPECT_EQ(PeekMessageA(&msg, w, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0, c.closePosted) << c.label;
    DestroyWindow(parent ? parent : w);
  }
  if (!Selected("GetFrameMenu")) return;
  HMENU menu = CreateMenu();
  rt.window.handle = MakeWindow(WS_OVERLAPPEDWINDOW, nullptr, menu);
  EXPECT_EQ(GetFrameMenu(rt.ctx()), menu);
  DestroyWindow(rt.window.handle);
}

// ---- menus: (file bytes, a menu built) -------------------------------------------
// A file that yields no menu makes none (CreateMenu is the library's only
// menu maker); a menu made is handed to the caller. The library's calloc
// blocks end where an inaccessible page starts: a read past one faults.
std::set<void*> g_guarded;
void(__cdecl* g_free)(void*) = nullptr;
void* __cdecl GuardedCalloc(size_t count, size_t size) {
  const size_t bytes = count * size, page = 4096, pages = bytes / page + 2;
  auto* base = static_cast<char*>(VirtualAlloc(nullptr, pages * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  DWORD was;
  if (!base || !VirtualProtect(base + (pages - 1) * page, page, PAGE_NOACCESS, &was)) return nullptr;
  g_guarded.insert(base);
  return base + (pages - 1) * page - bytes;  // zeros, as VirtualAlloc gives them
}
void __cdecl GuardedFree(void* block) {
  MEMORY_BASIC_INFORMATION info;
  if (block && VirtualQuery(block, &info, sizeof info) && g_guarded.erase(info.AllocationBase))
    VirtualFree(info.AllocationBase, 0, MEM_RELEASE);
  else if (block)
    g_free(block);
}
struct MenuCase {
  const char* label;
  std::string bytes;
  int items;  // of the menu bar; -1: no menu
};

TEST_F(Rules, MenuFiles) {
  if (!Selected("LoadMenuFromFile")) return;
  std::string path = hosttest::TempFile("orvexc-rules", "mnu");
  fake::FakeResource& resource = rt.AddResource("menu");
  resource.fileName = path;
  void* callocBefore =
      hostkit::HookImport(hosttest::Library(), "msvcrt.dll", "calloc", reinterpret_cast<void*>(&GuardedCalloc));
  ASSERT_TRUE(callocBefore && hostkit::RouteImport(hosttest::Library(), "msvcrt.dll", "free", &GuardedFree, &g_free));
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
    int menusBefore = hosttest::MenusMade();
    HMENU menu = LoadMenuFromFile(rt.ctx(), "menu");
    EXPECT_EQ(menu ? GetMenuItemCount(menu) : -1, c.items) << c.label;
    EXPECT_TRUE(menu || hosttest::MenusMade() == menusBefore) << c.label << ": a menu left behind";
    if (menu) DestroyMenu(menu);
  }
  // A resource that never stops: the loader unadvises it itself.
  resource.onStart = [&](IResourceNotify* notify) { notify->OnProgress(0, 0, 0, 14, path.c_str()); };
  EXPECT_EQ(LoadMenuFromFile(rt.ctx(), "menu"), nullptr);
  EXPECT_EQ(resource.advised, nullptr) << "left advised";
  hostkit::HookImport(hosttest::Library(), "msvcrt.dll", "calloc", callocBefore);
  hostkit::HookImport(hosttest::Library(), "msvcrt.dll", "free", reinterpret_cast<void*>(g_free));
  EXPECT_TRUE(g_guarded.empty()) << "a block not freed";
  DeleteFileA(path.c_str());
}

}  // namespace
