// Every host export from one table: the DLL's export table checked against
// the rows' ordinals and the C runtime's table, each export's success path (its
// exact runtime calls with their arguments, its result, every reference and
// BSTR given back) and each export under every failure the runtime can
// answer with and every null pointer and odd length a module can pass.
//
// A row gives the export's arguments, its result kind, its chain of runtime
// calls, its texts, its result on the success path and its failure value. A
// failed step (status 1, a negative status, status 0 with a null
// out-pointer) must end the call with the kind's failure result, no call
// past it, every reference released exactly once and the last obtained
// first, every BSTR freed exactly once, no byte written outside the caller's
// buffer and the calling thread's module state unchanged. `--only NAME` runs
// the rows of the export NAME alone.
#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "HostCall.h"
#include "HostTest.h"

namespace {

using hosttest::Calls;
using hosttest::GuardedBuffer;
using hosttest::StringLedger;

// What an export returns, and what it returns on failure.
enum class Kind {
  None,   // nothing; only the runtime calls made tell
  Value,  // a 32-bit value; `failure` on failure
  Flag,   // BOOL; 0 on failure
  Text,   // text into the caller's buffer; first byte 0 on failure
  Out,    // values into the caller's variables; 0 in each on failure
  Own,    // the library's own state, no runtime call at all
};

// Arguments after the context, one letter each:
//   s  an input string, the next of `strings` ('|' between them)
//   S  the scope object
//   b  the caller's buffer (64 bytes), always followed by
//   l  its length
//   i  an int (3, 5, 7, ... in order)
//   o  a pointer to an int the export writes
//
// The chain lists the runtime calls of the success path in order, releases
// left out, as the journal writes them with ' for ". A prefix tells how the
// export judges the step:
//   (none) status 0 and, where the step hands something out, a pointer
//   +      only the pointer it received (a nonzero status with a pointer goes on)
//   -      only a negative status (status 1 goes on)
//   ~      not at all: the export goes on, or ends without a failure result
// and "@name" stands for a common beginning of chains (Aliases()).
//
// `success` is the result of the success path: the value, the flag, the
// text, or the variables joined by ','; "*" for any nonzero value.
struct Row {
  const char* label;  // the export's name, with the case in brackets when it has several
  int ordinal;
  const char* args;
  Kind kind;
  const char* chain;
  const char* strings;
  const char* success;
  int failure = 0;
  bool ownReleaseOrder = false;  // releases the runtime before what it obtained from it
};

std::vector<Row> Rows() {
  return {
      {"GetAppInstance", 101, "", Kind::Value, "@app app.GetInstance", "", "*"},
      {"GetNumberOfAppParameters", 102, "", Kind::Value, "@app app.GetParameterCount", "", "2"},
      {"GetAppParameter", 103, "ibl", Kind::Text, "@app app.GetParameter(3)", "", "fourth"},
      {"GetTitleLocation", 104, "bl", Kind::Text, "@app app.GetTitleLocation", "", "C:\\Titles\\Intro\\intro.ttl"},
      {"GetTitleDirectory", 105, "bl", Kind::Text, "@app app.GetTitlePath", "", "C:\\Titles\\Intro\\"},
      {"GetTitleName", 106, "bl", Kind::Text, "@app app.GetTitlePath", "", "intro"},
      {"ShowMouseCursor", 107, "i", Kind::Own, "", "", ""},
      {"IsMouseCursorVisible", 108, "", Kind::Own, "", "", ""},
      {"FreezePainting", 109, "i", Kind::Flag,
       "context.GetSurface ~surface.IsPaintingFrozen ~surface.FreezePainting(3)", "", "1"},
      {"IsMediaAvailable", 110, "s", Kind::Flag, "@app app.IsMediaAvailable('cd')", "cd", "1"},
      {"SetReturnBranch", 111, "i", Kind::None, "@self thread:self.SetReturnBranch(3)", "", ""},
      {"GetModuleName", 201, "bl", Kind::Text, "@module node:module.GetName(32)", "", "module"},
      {"GetModuleAddress", 202, "bl", Kind::Text, "@module node:module.GetAddress(260)", "",
       "C:\\Titles\\Intro\\module.dll"},
      {"StartThread", 301, "s", Kind::None, "@app app.StartThread('a')", "a", ""},
      {"StopThread", 302, "s", Kind::None, "@thread:a thread:a.Stop", "a", ""},
      {"IsThreadRunning", 303, "s", Kind::Flag, "@thread:a thread:a.IsRunning", "a", "1"},
      {"GetThreadWindow", 304, "s", Kind::Value, "@window:a", "a", "*"},
      {"GetThreadMenu", 305, "s", Kind::Value, "@window:a", "a", "*"},
      {"GetThreadFrameName", 306, "sbl", Kind::Text, "@node:a node:frame:a.GetName(32)", "a", "Other"},
      {"GetThreadFrameAddress", 307, "sbl", Kind::Text, "@node:a node:frame:a.GetAddress(260)", "a",
       "C:\\Titles\\Intro\\intro.ttl#Other"},
      {"HideThreadDrawingSurface", 308, "s", Kind::None, "@surface:a surface:a.Hide", "a", ""},
      {"ShowThreadDrawingSurface", 309, "s", Kind::None, "@surface:a surface:a.Show", "a", ""},
      {"GetThreadDrawingSurfacePosition", 310, "soo", Kind::Out, "@surface:a surface:a.GetGeometry", "a", "11,12"},
      {"GetThreadDrawingSurfaceSize", 311, "soo", Kind::Out, "@surface:a surface:a.GetGeometry", "a", "13,14"},
      {"MoveThreadDrawingSurface", 312, "sii", Kind::None,
       "@surface:a ~surface:a.GetGeometry surface:a.SetGeometry(3,5,13,14)", "a", ""},
      {"SizeThreadDrawingSurface", 313, "sii", Kind::None,
       "@surface:a ~surface:a.GetGeometry surface:a.SetGeometry(11,12,3,5)", "a", ""},
      {"BranchThreadByPath", 314, "si", Kind::None, "@thread:a thread:a.BranchByPath(3)", "a", ""},
      {"BranchThreadByPathName", 315, "ss", Kind::None, "@thread:a thread:a.BranchByPathName('loop')", "a|loop", ""},
      {"BranchThreadByColor", 316, "si", Kind::None, "@thread:a thread:a.BranchByColor(3)", "a", ""},
      {"BranchThreadToFrame", 317, "ss", Kind::None, "@thread:a thread:a.BranchToFrame('Intro')", "a|Intro", ""},
      {"IsThreadVisible", 318, "s", Kind::Flag,
       "@surface:a ~surface:a.GetVisible surface:a.GetWindow window:a.GetHandle", "a", "1"},
      {"ShowThreadWindow", 319, "s", Kind::None, "@window:a", "a", ""},
      {"HideThreadWindow", 320, "s", Kind::None, "@window:a", "a", ""},
      {"CloseThreadWindow", 321, "s", Kind::None, "@window:a", "a", ""},
      {"SetThreadZOrder", 322, "ss", Kind::None,
       "@app +app.FindThread('a') app.FindThread('b') thread:b.SetZOrder(thread:a)", "a|b", ""},
      {"SendThreadMessage", 323, "siii", Kind::None, "@thread:a thread:a.SendValues(3,5,7)", "a", ""},
      {"FreezeThreadPainting", 324, "si", Kind::Flag,
       "@surface:a ~surface:a.IsPaintingFrozen ~surface:a.FreezePainting(3)", "a", "1"},
      {"GetFrameWindow", 401, "", Kind::Value, "@window", "", "*"},
      {"GetFrameMenu", 402, "", Kind::Value, "@window", "", "*"},
      {"GetFrameName", 403, "bl", Kind::Text, "@node node:frame.GetName(32)", "", "Start"},
      {"GetFrameAddress", 404, "bl", Kind::Text, "@node node:frame.GetAddress(260)", "",
       "C:\\Titles\\Intro\\intro.ttl#Start"},
      {"ScrollWindowTo", 405, "ii", Kind::None, "@surface.window window.ScrollTo(3,5)", "", ""},
      {"SetScrollIncrement", 406, "ii", Kind::None, "@surface.window window.SetScrollIncrement(3,5)", "", ""},
      {"BranchByPath", 407, "i", Kind::None, "@self thread:self.BranchByPath(3)", "", ""},
      {"BranchByPathName", 408, "s", Kind::None, "@self thread:self.BranchByPathName('loop')", "loop", ""},
      {"BranchByColor", 409, "i", Kind::None, "@self thread:self.BranchByColor(3)", "", ""},
      {"BranchToFrame", 410, "s", Kind::None, "@self thread:self.BranchToFrame('Intro')", "Intro", ""},
      {"BranchToTitleFrame", 411, "s", Kind::None,
       "~context.GetRuntime ~runtime.GetTitleNode ~node:title.GetName(32) @self "
       "thread:self.BranchToFrame('Intro.Intro')",
       "Intro", ""},
      {"IsFrameVisible", 412, "", Kind::Flag, "@window", "", "1"},
      {"ShowFrameWindow", 413, "", Kind::None, "@window", "", ""},
      {"HideFrameWindow", 414, "", Kind::None, "@window", "", ""},
      {"CloseFrameWindow", 415, "", Kind::None, "@window", "", ""},
      {"SendFrameMessage", 416, "iii", Kind::None, "@self thread:self.SendValues(3,5,7)", "", ""},
      {"HideDrawingSurface", 501, "", Kind::None, "context.GetSurface surface.Hide", "", ""},
      {"ShowDrawingSurface", 502, "", Kind::None, "context.GetSurface surface.Show", "", ""},
      {"GetDrawingSurfacePosition", 503, "oo", Kind::Out, "context.GetSurface surface.GetGeometry", "", "11,12"},
      {"GetDrawingSurfaceSize", 504, "oo", Kind::Out, "context.GetSurface surface.GetGeometry", "", "13,14"},
      {"MoveDrawingSurface", 505, "ii", Kind::None,
       "context.GetSurface ~surface.GetGeometry surface.SetGeometry(3,5,13,14)", "", ""},
      {"SizeDrawingSurface", 506, "ii", Kind::None,
       "context.GetSurface ~surface.GetGeometry surface.SetGeometry(11,12,3,5)", "", ""},
      {"SetStatusBarText", 601, "s", Kind::None, "@surface.window window.SetStatusText('ready')", "ready", ""},
      {"ShowProgress", 602, "iii", Kind::None, "@surface.window window.ShowProgress(3,5,7)", "", ""},
      {"PrintDrawingSurface", 603, "ii", Kind::None, "context.GetSurface surface.Print(3,5)", "", ""},
      {"PrintWindow", 604, "ii", Kind::None, "@surface.window window.Print(3,5)", "", ""},
      {"LoadMenuFromFile", 701, "s", Kind::Value,
       "@resources -resources.FindResourceByName('menu') ~resource:menu.Advise(*) "
       "~resource:menu.Start(0,0) ~resource:menu.Unadvise(*)",
       "menu", "*"},
      {"GetObjectX", 801, "Ss", Kind::Value, "@object object:obj.GetRect", "obj", "10"},
      {"GetObjectY", 802, "Ss", Kind::Value, "@object object:obj.GetRect", "obj", "20"},
      {"GetObjectWidth", 803, "Ss", Kind::Value, "@object object:obj.GetRect", "obj", "100"},
      {"GetObjectHeight", 804, "Ss", Kind::Value, "@object object:obj.GetRect", "obj", "50"},
      {"GetObjectRect", 805, "Ssoooo", Kind::Out, "@object object:obj.GetRect", "obj", "10,20,110,70"},
      {"GetObjectFocus", 806, "Ss", Kind::Value, "@object object:obj.GetFocus", "obj", "1"},
      {"SetObjectXY", 807, "Ssii", Kind::None, "@object ~object:obj.GetRect object:obj.SetRect({3,5,103,55},1)", "obj",
       ""},
      {"SetObjectSize", 808, "Ssii", Kind::None, "@object ~object:obj.GetRect object:obj.SetRect({10,20,13,25},1)",
       "obj", ""},
      {"SetObjectRect", 809, "Ssiiii", Kind::None, "@object object:obj.SetRect({3,5,7,9},1)", "obj", ""},
      {"SetObjectFocus", 810, "Ss", Kind::None, "@object object:obj.SetFocus(1)", "obj", ""},
      {"HideObject", 811, "Ss", Kind::None, "@object object:obj.SetVisible(0,1)", "obj", ""},
      {"ShowObject", 812, "Ss", Kind::None, "@object object:obj.SetVisible(1,1)", "obj", ""},
      {"IsObjectVisible", 813, "Ss", Kind::Value, "@object object:obj.GetVisible", "obj", "1"},
      {"EnableObject", 814, "Ss", Kind::None, "@object object:obj.SetEnabled(1,1)", "obj", ""},
      {"DisableObject", 815, "Ss", Kind::None, "@object object:obj.SetEnabled(0,1)", "obj", ""},
      {"IsObjectEnabled", 816, "Ss", Kind::Value, "@object object:obj.GetEnabled", "obj", "1"},
      {"GetObjectZOrder", 817, "Ss", Kind::Value, "@object object:obj.GetZOrder", "obj", "3", -1},
      {"SetObjectZOrder", 818, "Ssi", Kind::None, "@object object:obj.SetZOrder(3,1)", "obj", ""},
      {"BringObjectToTop", 819, "Ss", Kind::None, "@object object:obj.SetZOrder(-1,1)", "obj", ""},
      {"SendObjectToBack", 820, "Ss", Kind::None, "@object object:obj.SetZOrder(0,1)", "obj", ""},
      {"GetObjectTransparent", 821, "Sso", Kind::Value, "@object object:obj.GetTransparent", "obj", "4"},
      {"GetObjectKeyColor", 822, "Sso", Kind::Value, "@object object:obj.GetKeyColor", "obj", "5"},
      {"GetObjectAntiAlias", 823, "Sso", Kind::Value, "@object object:obj.GetAntiAlias", "obj", "6"},
      {"SetObjectTransparent", 824, "Ssii", Kind::None, "@object object:obj.SetTransparent(5,3,1)", "obj", ""},
      {"SetObjectKeyColor", 825, "Ssii", Kind::None, "@object object:obj.SetKeyColor(5,3,1)", "obj", ""},
      {"SetObjectAntiAlias", 826, "Ssii", Kind::None, "@object object:obj.SetAntiAlias(5,3,1)", "obj", ""},
      {"GetObjectPaletteSetting", 827, "Ss", Kind::Value, "@object object:obj.GetFlags", "obj", "1"},
      {"SetObjectPaletteSetting", 828, "Ssi", Kind::None, "@object object:obj.ChangeFlags(0,4)", "obj", ""},
      {"GetObjectOptimizedPainting", 829, "Ss", Kind::Value, "@object object:obj.GetFlags", "obj", "1"},
      {"SetObjectOptimizedPainting", 830, "Ssi", Kind::None, "@object object:obj.ChangeFlags(0,8)", "obj", ""},
      {"GetObjectActiveState", 831, "Ss", Kind::Value, "@object object:obj.GetState", "obj", "1"},
      {"SetObjectActiveState", 832, "Ssi", Kind::None, "@object object:obj.SetState(4)", "obj", ""},
      {"GetResourceStorage", 833, "sbl", Kind::Text,
       "@resources +resources.FindStorage('store') ~storage:store.GetLocation", "store", "D:\\res\\", 0, true},
      {"SetResourceStorage[existing]", 834, "ss", Kind::None,
       "@resources ~resources.FindStorage('store') storage:store.SetLocation('..\\res')", "store|..\\res", "", 0, true},
      {"SetResourceStorage[new]", 834, "ss", Kind::None,
       "@resources ~resources.FindStorage('fresh') ~@app ~app.GetInstance ~@app ~app.GetTitleLocation "
       "~resources.AddStorage(*)",
       "fresh|res", "", 0, true},
  };
}

std::string ExportName(const Row& row) {
  std::string label = row.label;
  return label.substr(0, label.find('['));
}

// ---- the export table ---------------------------------------------------------

// The C runtime's exports (runtime-exports.txt, beside this program): the
// ordinal, the name and the system C runtime's function it forwards to ("-":
// the library's own).
struct RuntimeExport {
  int ordinal = 0;
  std::string name, function;
};

std::vector<RuntimeExport> RuntimeExports() {
  std::vector<RuntimeExport> rows;
  std::ifstream table("runtime-exports.txt");
  for (std::string line; std::getline(table, line);)
    if (RuntimeExport e; line[0] != '#' && std::istringstream(line) >> e.ordinal >> e.name >> e.function)
      rows.push_back(e);
  return rows;
}

TEST(ExportTable, EveryExportUnderItsOrdinalAsTheTablesSayAndNothingMore) {
  std::vector<RuntimeExport> exports = RuntimeExports();
  ASSERT_EQ(exports.size(), 153u) << "runtime-exports.txt not read";
  for (const Row& row : Rows())
    if (exports.back().name != ExportName(row)) exports.push_back({row.ordinal, ExportName(row), ""});
  HMODULE dll = GetModuleHandleA("OrvexC.dll"), msvcrt = GetModuleHandleA("msvcrt.dll");
  auto base = reinterpret_cast<const char*>(dll);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  for (const RuntimeExport& e : exports) {
    FARPROC byName = GetProcAddress(dll, e.name.c_str());
    EXPECT_TRUE(byName && byName == GetProcAddress(dll, MAKEINTRESOURCEA(e.ordinal))) << e.name << " @" << e.ordinal;
    auto at = reinterpret_cast<const char*>(byName);
    bool own = at >= base && at < base + nt->OptionalHeader.SizeOfImage;
    if (e.function.empty() || e.function == "-")
      EXPECT_TRUE(own) << e.name << ": not the library's own";
    else
      EXPECT_EQ(byName, GetProcAddress(msvcrt, e.function.c_str())) << e.name << " forwards to " << e.function;
  }
  // As many names and functions as rows, each of which resolves by both: nothing more is exported.
  auto& dir = *reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
      base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
  auto functions = reinterpret_cast<const DWORD*>(base + dir.AddressOfFunctions);
  EXPECT_EQ(dir.NumberOfNames, exports.size());
  EXPECT_EQ(std::count_if(functions, functions + dir.NumberOfFunctions, [](DWORD f) { return f != 0; }),
            static_cast<std::ptrdiff_t>(exports.size()));
}

// ---- one run ----------------------------------------------------------------

// One step of a chain: "object.method(arguments)" and how the export judges it.
struct Step {
  std::string object;
  std::string method;
  std::string entry;   // as journaled
  int occurrence = 0;  // earlier calls of the same method in the chain
  char judged = ' ';   // ' ', '+', '-' or '~'
  std::string Key() const { return object + "." + method; }
};

// The chains' common beginnings: "@name" stands for its steps, and a judging
// prefix before it applies to each of them ("~@app").
const std::map<std::string, std::string>& Aliases() {
  static const std::map<std::string, std::string> aliases = {
      {"@app", "context.GetRuntime runtime.GetApplication"},
      {"@resources", "context.GetRuntime runtime.GetResources"},
      {"@thread:a", "@app app.FindThread('a')"},
      {"@context:a", "@thread:a thread:a.GetContext"},
      {"@surface:a", "@context:a context:a.GetSurface"},
      {"@node:a", "@context:a context:a.GetFrame frame:a.GetNode"},
      {"@window:a", "@surface:a surface:a.GetWindow window:a.GetHandle"},
      {"@surface.window", "context.GetSurface surface.GetWindow"},
      {"@window", "@surface.window window.GetHandle"},
      {"@self", "context.GetThread"},
      {"@node", "context.GetFrame frame.GetNode"},
      {"@module", "context.GetModule module.GetNode"},
      {"@object", "~scope.QueryInterface(iid) ~scope.GetScopeKey context.FindObject(00001234,'obj')"},
  };
  return aliases;
}

// The chain's steps with every alias expanded, each keeping its judging prefix.
void ParseChain(const std::string& chain, std::vector<Step>& steps, char prefix = ' ') {
  std::istringstream words(chain);
  for (std::string word; words >> word;) {
    Step step;
    step.judged = prefix;
    if (word[0] == '+' || word[0] == '-' || word[0] == '~') step.judged = word[0], word.erase(0, 1);
    auto alias = Aliases().find(word);
    if (alias != Aliases().end()) {
      ParseChain(alias->second, steps, step.judged);
      continue;
    }
    std::replace(word.begin(), word.end(), '\'', '"');
    std::size_t open = word.find('(');
    if (open == std::string::npos) word += "()", open = word.size() - 2;
    std::size_t dot = word.rfind('.', open);
    step.object = word.substr(0, dot);
    step.method = word.substr(dot + 1, open - dot - 1);
    step.entry = word;
    for (const Step& earlier : steps) step.occurrence += earlier.Key() == step.Key();
    steps.push_back(step);
  }
}

std::vector<Step> ParseChain(const std::string& chain) {
  std::vector<Step> steps;
  ParseChain(chain, steps);
  return steps;
}

// Real windows with menus for the frame and for thread "a", made once (a
// window takes long to make under Wine) and anew after a close export.
struct Windows {
  HWND frame = nullptr, thread = nullptr;
  static HWND Live(HWND& window) {
    if (!IsWindow(window))
      window = CreateWindowExA(0, "STATIC", "title", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                               CreateMenu(), nullptr, nullptr);
    return window;
  }
};

// A fresh title for each run: threads, an object with its scope, a storage,
// a menu resource with its file, and the windows.
struct Title {
  Title(const std::string& menuFile, Windows& windows) {
    rt.app.instance = GetModuleHandleA(nullptr);  // the tests' resource manager lies beside it
    rt.app.parameterCount = 2;
    rt.app.parameters = {L"first", L"second", L"third", L"fourth"};
    rt.SetTitle("Intro", L"C:\\Titles\\Intro\\intro.ttl");
    rt.app.media = {"cd"};
    rt.moduleNode.nodeName = "module", rt.moduleNode.address = "C:\\Titles\\Intro\\module.dll";
    rt.frameNode.nodeName = "Start", rt.frameNode.address = "C:\\Titles\\Intro\\intro.ttl#Start";
    SetSurface(rt.surface, Windows::Live(windows.frame));
    rt.context.thread = &rt.AddThread("self");
    rt.AddThread("a").SetFrame("Other", "C:\\Titles\\Intro\\intro.ttl#Other");
    rt.AddThread("b");
    SetSurface(*rt.ThreadContext("a").surface, Windows::Live(windows.thread));
    auto& o = rt.AddObject("obj");
    o.rect = {10, 20, 110, 70};
    o.flags = 0x7FFF;
    o.transparentFirst = o.transparentSecond = 4, o.keyColorFirst = o.keyColorSecond = 5;
    o.antiAliasFirst = 6, o.antiAliasSecond = 7;
    o.enabled = o.visible = o.focus = 1, o.zOrder = 3, o.state = 2;
    rt.AddScope().key = reinterpret_cast<HostScopeKey>(0x1234);
    rt.AddStorage("store").location = L"D:\\res";
    rt.AddResource("menu").fileName = menuFile;
  }
  IUnknown* Scope() { return static_cast<IHostScope*>(static_cast<fake::FakeScope*>(rt.Find("scope"))); }
  static void SetSurface(fake::FakeSurface& surface, HWND handle) {
    surface.x = 11, surface.y = 12, surface.width = 13, surface.height = 14;
    surface.window->handle = handle;
  }

  fake::Runtime rt;
  hosttest::ModuleStateCheck check{rt};
};

// How one run varies the call: a null at argument `nullArg` (or -1), the
// buffer's length, or the fault at one step; `label` names it in failures.
struct Variation {
  std::string label;
  int nullArg = -1;
  int length = 64;
  const Step* faulty = nullptr;
  std::size_t stepIndex = 0;
  HRESULT status = S_OK;  // the faulty step's status
  bool nullOut = false;   // the faulty step hands out a null pointer
};

// What a run left behind.
struct Outcome {
  int result = 0;  // the low 32 bits: handles too are judged only by being 0
  std::vector<int> outs;
  std::string text;
  bool bufferUntouched = false;
  std::string call;  // the export and its arguments, as CallExport reads them
  Calls calls;       // runtime calls as journaled, releases left out
  Calls faults;
  std::string Methods() const {  // the calls without arguments
    std::string keys;
    for (const std::string& call : calls) keys += call.substr(0, call.find('(')) + " ";
    return keys;
  }
};

constexpr int kUntouched = 0x5A5A5A5A;

class Matrix {
 public:
  Matrix() {
    menuFile_ = hosttest::TempFile("orvexc-matrix", "mnu");
    std::ofstream(menuFile_, std::ios::binary) << "Main MENU BEGIN POPUP \"&File\" BEGIN MENUITEM \"&Open\", 1 END END";
  }
  ~Matrix() {
    DeleteFileA(menuFile_.c_str());
    DestroyWindow(windows_.frame), DestroyWindow(windows_.thread);
  }

  Outcome Run(const Row& row, const Variation& v) {
    Outcome outcome;
    Title title(menuFile_, windows_);
    if (v.faulty) {
      fake::Base* object = title.rt.Find(v.faulty->object);
      if (!object) return outcome.faults.push_back("no fake object " + v.faulty->object), outcome;
      object->onlyCall[v.faulty->method] = v.faulty->occurrence;
      // A step judged by its pointer alone gets one with its failing status;
      // a step judged by its status answers status 1 with an interface or a
      // text that is not the library's.
      if (v.faulty->judged == '+') object->writeOnFailure[v.faulty->method] = true;
      if (v.faulty->judged == ' ' && v.status == 1) object->lendOnFailure[v.faulty->method] = true;
      if (v.nullOut)
        object->nullOut[v.faulty->method] = true;
      else
        object->status[v.faulty->method] = v.status;
    }
    // The row's arguments as the words of a call: input strings quoted, ints 3, 5, 7, ...
    std::string call = ExportName(row);
    std::istringstream texts(row.strings);
    for (int i = 0, nextInt = 3; row.args[i]; ++i) {
      std::string word(1, row.args[i]);
      if (word == "s") std::getline(texts, word, '|'), word = "'" + word + "'";
      if (word == "i") word = std::to_string(nextInt), nextInt += 2;
      call += " " + (i == v.nullArg ? "null" : word);
    }
    outcome.call = call;
    GuardedBuffer buffer(v.length);
    std::vector<int> outs(std::count(row.args, row.args + std::strlen(row.args), 'o'), kUntouched);
    StringLedger::Clear();
    outcome.result = static_cast<int>(
        hosttest::CallExport(call, title.rt.ctx(), {title.Scope(), buffer.Data(), v.length, outs.data()}));
    outcome.faults = hosttest::BalanceFaults(title.rt, title.check, !row.ownReleaseOrder);
    if (!buffer.GuardsIntact()) outcome.faults.push_back("wrote outside the caller's buffer");
    outcome.bufferUntouched = buffer.Bytes() == std::string(buffer.Size(), '\x5A');
    outcome.text = buffer.Text();
    outcome.outs = outs;
    for (const std::string& entry : title.rt.journal.Entries())
      if (entry.find(".Release()") == std::string::npos) outcome.calls.push_back(entry);
    handing_.insert(title.rt.handingMethods.begin(), title.rt.handingMethods.end());
    return outcome;
  }

  // Whether a success run saw `step` hand out a reference or a BSTR.
  bool Hands(const Step& step) const { return handing_.count(step.Key()) != 0; }

 private:
  std::string menuFile_;
  Windows windows_;
  std::set<std::string> handing_;
};

// ---- judging outcomes -------------------------------------------------------

bool IsFailure(const Row& row, const Outcome& o, int length) {
  // Variables are zeroed after a failed step, or left untouched when the
  // export ended before its first call.
  auto all = [&](int value) { return std::all_of(o.outs.begin(), o.outs.end(), [&](int x) { return x == value; }); };
  bool outsZero = all(0) || all(kUntouched);
  switch (row.kind) {
    case Kind::Value: return o.result == row.failure && outsZero;
    case Kind::Flag: return o.result == 0;
    case Kind::Text: return length <= 0 || o.text.empty() || o.bufferUntouched;
    case Kind::Out: return outsZero;
    default: return true;
  }
}

std::string Result(const Row& row, const Outcome& o) {
  std::string joined;
  for (int out : o.outs) joined += (joined.empty() ? "" : ",") + std::to_string(out);
  if (row.kind == Kind::Value || row.kind == Kind::Flag) return std::to_string(o.result);
  return row.kind == Kind::Text ? o.text : joined;
}

// Whether a journal entry is the one expected, where '*' stands for one
// argument of any value (a pointer the library made).
bool Matches(const char* want, const char* got) {
  if (*want == '*') {
    for (;; ++got) {
      if (Matches(want + 1, got)) return true;
      if (!*got || *got == ',' || *got == ')') return false;
    }
  }
  return *want == *got && (!*want || Matches(want + 1, got + 1));
}

// The success path: exactly the chain with its arguments, and the row's result.
Outcome Succeed(Matrix& matrix, const Row& row, const std::vector<Step>& steps) {
  Outcome o = matrix.Run(row, Variation{row.label});
  EXPECT_EQ(o.faults, Calls{}) << row.label;
  Calls expected, got = o.calls;
  for (const Step& step : steps) expected.push_back(step.entry);
  for (std::size_t i = 0; i < got.size() && i < expected.size(); ++i)
    if (Matches(expected[i].c_str(), got[i].c_str())) got[i] = expected[i];
  EXPECT_EQ(got, expected) << row.label;
  if (std::string(row.success) == "*") {
    EXPECT_NE(o.result, 0) << row.label;
  } else {
    EXPECT_EQ(Result(row, o), row.success) << row.label;
  }
  o.calls = got;  // a pointer the library made shown as *, as the row has it
  return o;
}

// The runs beside the success path: each step failing in turn in each way it
// can (status 1, a negative status, a null out-pointer where it hands one
// out), each pointer argument null, and buffer lengths of 0, 1 and -1.
std::vector<Variation> Variations(const Matrix& matrix, const Row& row, const std::vector<Step>& steps) {
  std::vector<Variation> runs;
  for (std::size_t k = 0; k < steps.size(); ++k) {
    std::string at = std::string(row.label) + " step " + steps[k].Key() +
                     (steps[k].occurrence ? " (call " + std::to_string(steps[k].occurrence + 1) + ")" : "");
    runs.push_back({at + " status 1", -1, 64, &steps[k], k, 1});
    runs.push_back({at + " status E_FAIL", -1, 64, &steps[k], k, E_FAIL});
    if (matrix.Hands(steps[k])) runs.push_back({at + " null out", -1, 64, &steps[k], k, S_OK, true});
  }
  for (int i = 0; row.args[i]; ++i)
    if (std::strchr("sSbo", row.args[i])) runs.push_back({row.label + std::string(" null argument ") + row.args[i], i});
  if (std::strchr(row.args, 'l'))
    for (int length : {0, 1, -1})
      runs.push_back({row.label + std::string(" length ") + std::to_string(length), -1, length});
  return runs;
}

// What a variation must show beyond leaving nothing behind. A failed step
// ends the call with the failure result and no call past it, unless the
// export judges the step otherwise; a null pointer the export writes through
// is refused before any runtime call; a null input string fails the call.
void Judge(const Row& row, const std::vector<Step>& steps, const Outcome& success, const Variation& v,
           const Outcome& o) {
  EXPECT_EQ(o.faults, Calls{}) << v.label;
  if (v.faulty) {
    char judged = v.faulty->judged;
    if (judged == '~') return;
    if ((judged == '+' && !v.nullOut) || (judged == '-' && v.status == 1)) {
      EXPECT_EQ(o.Methods(), success.Methods()) << v.label;
      EXPECT_EQ(IsFailure(row, o, v.length), IsFailure(row, success, 64)) << v.label;
      return;
    }
    std::string keys;
    for (std::size_t i = 0; i <= v.stepIndex; ++i) keys += steps[i].Key() + " ";
    EXPECT_EQ(o.Methods(), keys) << v.label << ": calls past the failed step";
    EXPECT_TRUE(IsFailure(row, o, v.length)) << v.label << ": result " << o.result << " \"" << o.text << "\"";
  } else if (v.nullArg >= 0) {
    char a = row.args[v.nullArg];
    if (a == 'b' || a == 'o') {
      EXPECT_EQ(o.calls, Calls{}) << v.label << ": called the runtime";
      EXPECT_EQ(std::count(o.outs.begin(), o.outs.end(), kUntouched), static_cast<long>(o.outs.size())) << v.label;
      EXPECT_TRUE(row.kind != Kind::Value || o.result == row.failure) << v.label;
    }
    bool reports = row.kind != Kind::None && row.kind != Kind::Own;
    EXPECT_TRUE(a != 's' || !reports || IsFailure(row, o, v.length)) << v.label;
  }
}

// The call as a module writes it: GetObjectX(context, scope, "obj").
std::string AsWritten(const std::string& call) {
  std::istringstream words(call);
  std::string name, written, word;
  words >> name;
  written = name + "(context";
  while (words >> word) {
    static const std::map<std::string, std::string> meaning = {
        {"S", "scope"}, {"b", "buffer"}, {"l", "64"}, {"o", "&value"}, {"null", "NULL"}};
    auto it = meaning.find(word);
    written += ", " + (it != meaning.end() ? it->second : word[0] == '\'' ? '"' + word.substr(1, word.size() - 2) + '"' : word);
  }
  return written + ")";
}

// The journal of each export's success path on the test title, as the host
// kit's guide lists it: `journal-table.md` beside this program, which
// scripts/gen-journal.sh puts into docs/hostkit.md (and a test compares).
void WriteJournalTable(const std::vector<std::pair<Row, Outcome>>& runs) {
  std::ofstream table("journal-table.md", std::ios::binary);
  table << "| Export | Called as | Runtime calls, in order (releases left out) | Result |\n| --- | --- | --- | --- |\n";
  for (const auto& [row, o] : runs) {
    std::string label = row.label, name = "`" + ExportName(row) + "`";
    if (label != ExportName(row)) name += " (" + label.substr(name.size() - 1, label.size() - name.size()) + ")";
    std::string calls;
    for (const std::string& entry : o.calls) calls += (calls.empty() ? "`" : " → `") + entry + "`";
    std::string result = row.kind == Kind::None || row.kind == Kind::Own ? "—" : Result(row, o);
    if (std::string(row.success) == "*") result = "nonzero";
    table << "| " << name << " | `" << AsWritten(o.call) << "` | "
          << (calls.empty() ? "none: the library's own" : calls) << " | " << result << " |\n";
  }
}

TEST(HostExports, EveryExportOnItsSuccessPathAndUnderEveryFault) {
  CoInitialize(nullptr);                  // SetResourceStorage loads the resource manager component
  int rows = 0, runs = 0, kinds[3] = {};  // step faults, null arguments, lengths
  std::vector<std::pair<Row, Outcome>> successes;
  {
    Matrix matrix;
    for (const Row& row : Rows()) {
      if (!hosttest::Selected(ExportName(row))) continue;
      std::vector<Step> steps = ParseChain(row.chain);
      Outcome success = Succeed(matrix, row, steps);
      successes.emplace_back(row, success);
      for (const Variation& v : Variations(matrix, row, steps)) {
        Judge(row, steps, success, v, matrix.Run(row, v));
        ++kinds[v.faulty ? 0 : v.nullArg >= 0 ? 1 : 2];
      }
      ++rows, ++runs;
    }
  }
  CoUninitialize();
  if (successes.size() == Rows().size()) WriteJournalTable(successes);
  std::printf("host exports: %d rows, %d runs: %d step faults, %d null arguments, %d lengths\n", rows,
              runs + kinds[0] + kinds[1] + kinds[2], kinds[0], kinds[1], kinds[2]);
}

}  // namespace
