// Every host export under every failure the runtime can answer with, and
// under every null pointer and odd length a module can pass. One row per
// export describes its arguments, its result kind and its chain of runtime
// calls; the matrix makes each call of the chain fail in turn (status 1, a
// negative status, status 0 with a null out-pointer) and checks, after every
// run: the kind's failure result, no call past the failed step, every
// reference released exactly once and the last obtained first, every BSTR
// freed exactly once, no byte written outside the caller's buffer, and the
// calling thread's module state unchanged.
#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "FakeRuntime.h"
#include "LibraryProbe.h"
#include "include/OrvexC.h"

namespace {

// ---- the table --------------------------------------------------------------

// What an export returns, and what it returns on failure.
enum class Kind {
  None,      // nothing; only the runtime calls made tell
  Value,     // a 32-bit value; `failure` on failure
  Flag,      // BOOL; 0 on failure
  Text,      // text into the caller's buffer; first byte 0 on failure
  Out,       // values into the caller's variables; 0 in each on failure
  Own,       // the library's own state, no runtime call at all
};

// Arguments after the context, one letter each:
//   s  an input string, the next of `strings` ('|' between them)
//   S  the scope object
//   b  the caller's buffer, always followed by
//   l  its length
//   i  an int (3, 5, 7, ... in order)
//   o  a pointer to an int the export writes
//
// The chain lists the runtime calls of the success path in order, releases
// left out, as "object.method". A prefix tells how the export judges the step:
//   (none) status 0 and, where the step hands something out, a pointer
//   +      only the pointer it received (a nonzero status with a pointer goes on)
//   -      only a negative status (status 1 goes on)
//   ~      not at all: the export goes on, or ends without a failure result
struct Row {
  const char* label;  // the export's name, with the case in brackets when it has several
  const char* args;
  Kind kind;
  const char* chain;
  const char* strings = "";
  int failure = 0;
  bool ownReleaseOrder = false;  // releases the runtime before what it obtained from it
};

std::vector<Row> Rows() {
  return {
      {"GetAppInstance", "", Kind::Value, "context.3 runtime.9 app.7"},
      {"GetNumberOfAppParameters", "", Kind::Value, "context.3 runtime.9 app.9"},
      {"GetAppParameter", "ibl", Kind::Text, "context.3 runtime.9 app.10"},
      {"GetTitleLocation", "bl", Kind::Text, "context.3 runtime.9 app.11"},
      {"GetTitleDirectory", "bl", Kind::Text, "context.3 runtime.9 app.12"},
      {"GetTitleName", "bl", Kind::Text, "context.3 runtime.9 app.12"},
      {"ShowMouseCursor", "i", Kind::Own, ""},
      {"IsMouseCursorVisible", "", Kind::Own, ""},
      {"FreezePainting", "i", Kind::Flag, "context.6 ~surface.13 ~surface.14"},
      {"IsMediaAvailable", "s", Kind::Flag, "context.3 runtime.9 app.6", "cd"},
      {"SetReturnBranch", "i", Kind::None, "context.8 thread:self.17"},
      {"GetModuleName", "bl", Kind::Text, "context.4 module.3 node:module.9"},
      {"GetModuleAddress", "bl", Kind::Text, "context.4 module.3 node:module.10"},
      {"StartThread", "s", Kind::None, "context.3 runtime.9 app.17", "a"},
      {"StopThread", "s", Kind::None, "context.3 runtime.9 app.21 thread:a.4", "a"},
      {"IsThreadRunning", "s", Kind::Flag, "context.3 runtime.9 app.21 thread:a.7", "a"},
      {"GetThreadWindow", "s", Kind::Value, "context.3 runtime.9 app.21 thread:a.8 context:a.6 surface:a.6 window:a.3", "a"},
      {"GetThreadMenu", "s", Kind::Value, "context.3 runtime.9 app.21 thread:a.8 context:a.6 surface:a.6 window:a.3", "a"},
      {"GetThreadFrameName", "sbl", Kind::Text, "context.3 runtime.9 app.21 thread:a.8 context:a.5 frame:a.3 node:frame:a.9", "a"},
      {"GetThreadFrameAddress", "sbl", Kind::Text, "context.3 runtime.9 app.21 thread:a.8 context:a.5 frame:a.3 node:frame:a.10", "a"},
      {"HideThreadDrawingSurface", "s", Kind::None, "context.3 runtime.9 app.21 thread:a.8 context:a.6 surface:a.7", "a"},
      {"ShowThreadDrawingSurface", "s", Kind::None, "context.3 runtime.9 app.21 thread:a.8 context:a.6 surface:a.8", "a"},
      {"GetThreadDrawingSurfacePosition", "soo", Kind::Out, "context.3 runtime.9 app.21 thread:a.8 context:a.6 surface:a.10", "a"},
      {"GetThreadDrawingSurfaceSize", "soo", Kind::Out, "context.3 runtime.9 app.21 thread:a.8 context:a.6 surface:a.10", "a"},
      {"MoveThreadDrawingSurface", "sii", Kind::None, "context.3 runtime.9 app.21 thread:a.8 context:a.6 ~surface:a.10 surface:a.11", "a"},
      {"SizeThreadDrawingSurface", "sii", Kind::None, "context.3 runtime.9 app.21 thread:a.8 context:a.6 ~surface:a.10 surface:a.11", "a"},
      {"BranchThreadByPath", "si", Kind::None, "context.3 runtime.9 app.21 thread:a.11", "a"},
      {"BranchThreadByPathName", "ss", Kind::None, "context.3 runtime.9 app.21 thread:a.12", "a|loop"},
      {"BranchThreadByColor", "si", Kind::None, "context.3 runtime.9 app.21 thread:a.13", "a"},
      {"BranchThreadToFrame", "ss", Kind::None, "context.3 runtime.9 app.21 thread:a.14", "a|Intro"},
      {"IsThreadVisible", "s", Kind::Flag, "context.3 runtime.9 app.21 thread:a.8 context:a.6 ~surface:a.9 surface:a.6 window:a.3", "a"},
      {"ShowThreadWindow", "s", Kind::None, "context.3 runtime.9 app.21 thread:a.8 context:a.6 surface:a.6 window:a.3", "a"},
      {"HideThreadWindow", "s", Kind::None, "context.3 runtime.9 app.21 thread:a.8 context:a.6 surface:a.6 window:a.3", "a"},
      {"CloseThreadWindow", "s", Kind::None, "context.3 runtime.9 app.21 thread:a.8 context:a.6 surface:a.6 window:a.3", "a"},
      {"SetThreadZOrder", "ss", Kind::None, "context.3 runtime.9 +app.21 app.21 thread:b.15", "a|b"},
      {"SendThreadMessage", "siii", Kind::None, "context.3 runtime.9 app.21 thread:a.16", "a"},
      {"FreezeThreadPainting", "si", Kind::Flag, "context.3 runtime.9 app.21 thread:a.8 context:a.6 ~surface:a.13 ~surface:a.14", "a"},
      {"GetFrameWindow", "", Kind::Value, "context.6 surface.6 window.3"},
      {"GetFrameMenu", "", Kind::Value, "context.6 surface.6 window.3"},
      {"GetFrameName", "bl", Kind::Text, "context.5 frame.3 node:frame.9"},
      {"GetFrameAddress", "bl", Kind::Text, "context.5 frame.3 node:frame.10"},
      {"ScrollWindowTo", "ii", Kind::None, "context.6 surface.6 window.6"},
      {"SetScrollIncrement", "ii", Kind::None, "context.6 surface.6 window.5"},
      {"BranchByPath", "i", Kind::None, "context.8 thread:self.11"},
      {"BranchByPathName", "s", Kind::None, "context.8 thread:self.12", "loop"},
      {"BranchByColor", "i", Kind::None, "context.8 thread:self.13"},
      {"BranchToFrame", "s", Kind::None, "context.8 thread:self.14", "Intro"},
      {"BranchToTitleFrame", "s", Kind::None, "~context.3 ~runtime.6 ~node:title.9 context.8 thread:self.14", "Intro"},
      {"IsFrameVisible", "", Kind::Flag, "context.6 surface.6 window.3"},
      {"ShowFrameWindow", "", Kind::None, "context.6 surface.6 window.3"},
      {"HideFrameWindow", "", Kind::None, "context.6 surface.6 window.3"},
      {"CloseFrameWindow", "", Kind::None, "context.6 surface.6 window.3"},
      {"SendFrameMessage", "iii", Kind::None, "context.8 thread:self.16"},
      {"HideDrawingSurface", "", Kind::None, "context.6 surface.7"},
      {"ShowDrawingSurface", "", Kind::None, "context.6 surface.8"},
      {"GetDrawingSurfacePosition", "oo", Kind::Out, "context.6 surface.10"},
      {"GetDrawingSurfaceSize", "oo", Kind::Out, "context.6 surface.10"},
      {"MoveDrawingSurface", "ii", Kind::None, "context.6 ~surface.10 surface.11"},
      {"SizeDrawingSurface", "ii", Kind::None, "context.6 ~surface.10 surface.11"},
      {"SetStatusBarText", "s", Kind::None, "context.6 surface.6 window.7", "ready"},
      {"ShowProgress", "iii", Kind::None, "context.6 surface.6 window.8"},
      {"PrintDrawingSurface", "ii", Kind::None, "context.6 surface.12"},
      {"PrintWindow", "ii", Kind::None, "context.6 surface.6 window.4"},
      {"LoadMenuFromFile", "s", Kind::Value, "context.3 runtime.4 -resources.20 ~resource:menu.3 ~resource:menu.8 ~resource:menu.4", "menu"},
      {"GetObjectX", "Ss", Kind::Value, "~scope.0 ~scope.4 context.21 object:obj.11", "obj"},
      {"GetObjectY", "Ss", Kind::Value, "~scope.0 ~scope.4 context.21 object:obj.11", "obj"},
      {"GetObjectWidth", "Ss", Kind::Value, "~scope.0 ~scope.4 context.21 object:obj.11", "obj"},
      {"GetObjectHeight", "Ss", Kind::Value, "~scope.0 ~scope.4 context.21 object:obj.11", "obj"},
      {"GetObjectRect", "Ssoooo", Kind::Out, "~scope.0 ~scope.4 context.21 object:obj.11", "obj"},
      {"GetObjectFocus", "Ss", Kind::Value, "~scope.0 ~scope.4 context.21 object:obj.36", "obj"},
      {"SetObjectXY", "Ssii", Kind::None, "~scope.0 ~scope.4 context.21 ~object:obj.11 object:obj.12", "obj"},
      {"SetObjectSize", "Ssii", Kind::None, "~scope.0 ~scope.4 context.21 ~object:obj.11 object:obj.12", "obj"},
      {"SetObjectRect", "Ssiiii", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.12", "obj"},
      {"SetObjectFocus", "Ss", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.37", "obj"},
      {"HideObject", "Ss", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.32", "obj"},
      {"ShowObject", "Ss", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.32", "obj"},
      {"IsObjectVisible", "Ss", Kind::Value, "~scope.0 ~scope.4 context.21 object:obj.33", "obj"},
      {"EnableObject", "Ss", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.28", "obj"},
      {"DisableObject", "Ss", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.28", "obj"},
      {"IsObjectEnabled", "Ss", Kind::Value, "~scope.0 ~scope.4 context.21 object:obj.29", "obj"},
      {"GetObjectZOrder", "Ss", Kind::Value, "~scope.0 ~scope.4 context.21 object:obj.34", "obj", -1},
      {"SetObjectZOrder", "Ssi", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.35", "obj"},
      {"BringObjectToTop", "Ss", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.35", "obj"},
      {"SendObjectToBack", "Ss", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.35", "obj"},
      {"GetObjectTransparent", "Sso", Kind::Value, "~scope.0 ~scope.4 context.21 object:obj.20", "obj"},
      {"GetObjectKeyColor", "Sso", Kind::Value, "~scope.0 ~scope.4 context.21 object:obj.22", "obj"},
      {"GetObjectAntiAlias", "Sso", Kind::Value, "~scope.0 ~scope.4 context.21 object:obj.24", "obj"},
      {"SetObjectTransparent", "Ssii", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.21", "obj"},
      {"SetObjectKeyColor", "Ssii", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.23", "obj"},
      {"SetObjectAntiAlias", "Ssii", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.25", "obj"},
      {"GetObjectPaletteSetting", "Ss", Kind::Value, "~scope.0 ~scope.4 context.21 object:obj.15", "obj"},
      {"SetObjectPaletteSetting", "Ssi", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.16", "obj"},
      {"GetObjectOptimizedPainting", "Ss", Kind::Value, "~scope.0 ~scope.4 context.21 object:obj.15", "obj"},
      {"SetObjectOptimizedPainting", "Ssi", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.16", "obj"},
      {"GetObjectActiveState", "Ss", Kind::Value, "~scope.0 ~scope.4 context.21 object:obj.39", "obj"},
      {"SetObjectActiveState", "Ssi", Kind::None, "~scope.0 ~scope.4 context.21 object:obj.40", "obj"},
      {"GetResourceStorage", "sbl", Kind::Text, "context.3 runtime.4 +resources.14 ~storage:store.13", "store", 0, true},
      {"SetResourceStorage[existing]", "ss", Kind::None, "context.3 runtime.4 ~resources.14 storage:store.14", "store|D:\\res", 0, true},
      {"SetResourceStorage[new]", "ss", Kind::None, "context.3 runtime.4 ~resources.14 ~context.3 ~runtime.9 ~app.7 ~context.3 ~runtime.9 ~app.11 ~resources.8", "fresh|res", 0, true},
  };
}

std::string ExportName(const Row& row) {
  std::string label = row.label;
  return label.substr(0, label.find('['));
}

// One step of a chain: "object.method" and how the export judges it.
struct Step {
  std::string object;
  int method = 0;
  int occurrence = 0;  // earlier calls of the same method in the chain
  char judged = ' ';  // ' ', '+', '-' or '~'
  std::string Key() const { return object + "." + std::to_string(method); }
};

std::vector<Step> ParseChain(const std::string& chain) {
  std::vector<Step> steps;
  std::istringstream words(chain);
  std::string word;
  while (words >> word) {
    Step step;
    if (word[0] == '+' || word[0] == '-' || word[0] == '~') {
      step.judged = word[0];
      word.erase(0, 1);
    }
    std::size_t dot = word.rfind('.');
    step.object = word.substr(0, dot);
    step.method = std::stoi(word.substr(dot + 1));
    for (const Step& earlier : steps) step.occurrence += earlier.Key() == step.Key();
    steps.push_back(step);
  }
  return steps;
}

// ---- one run ----------------------------------------------------------------

// Real windows with menus for the frame and for thread "a". Made once: a
// window takes long to make under Wine, and only the close exports destroy
// one, after which it is made anew.
class Windows {
 public:
  ~Windows() {
    for (HWND window : {frame_, thread_})
      if (IsWindow(window)) DestroyWindow(window);
  }
  HWND Frame() { return Ensure(frame_); }
  HWND Thread() { return Ensure(thread_); }

 private:
  static HWND Ensure(HWND& window) {
    if (!IsWindow(window))
      window = CreateWindowExA(0, "STATIC", "title", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                               CreateMenu(), nullptr, nullptr);
    return window;
  }
  HWND frame_ = nullptr;
  HWND thread_ = nullptr;
};

// A fresh title for each run: threads, an object with its scope, a storage,
// a menu resource with its file, and the windows.
class Title {
 public:
  Title(const std::string& menuFile, Windows& windows) {
    rt.app.instance = GetModuleHandleA(nullptr);  // the tests' resource manager lies beside it
    rt.app.parameterCount = 2;
    rt.app.parameters = {L"first", L"second", L"third", L"fourth"};
    rt.app.location = L"C:\\Titles\\Intro\\intro.ttl";
    rt.app.path = L"C:\\Titles\\Intro\\intro.ttl";
    rt.app.media = {"cd"};
    SetNode(rt.moduleNode, "module", "C:\\Titles\\Intro\\module.dll");
    SetNode(rt.frameNode, "Start", "C:\\Titles\\Intro\\intro.ttl#Start");
    SetNode(rt.titleNode, "Intro", "C:\\Titles\\Intro\\intro.ttl");
    SetSurface(rt.surface, rt.window, windows.Frame());
    rt.context.thread = &rt.AddThread("self");
    rt.AddThread("a");
    rt.AddThread("b");
    fake::FakeContext& a = rt.ThreadContext("a");
    SetNode(*a.frame->node, "Other", "C:\\Titles\\Intro\\intro.ttl#Other");
    SetSurface(*a.surface, *a.surface->window, windows.Thread());
    auto& object = rt.AddObject("obj");
    object.rect = {10, 20, 110, 70};
    object.flags = 0x7FFF;
    object.transparentFirst = object.transparentSecond = 4;
    object.keyColorFirst = object.keyColorSecond = 5;
    object.antiAliasFirst = 6;
    object.antiAliasSecond = 7;
    object.enabled = object.visible = object.focus = 1;
    object.zOrder = 3;
    object.state = 2;
    rt.AddScope().key = reinterpret_cast<HostScopeKey>(0x1234);
    rt.AddStorage("store").location = L"D:\\res";
    rt.AddResource("menu").fileName = menuFile;
  }

  // The scope object as a module passes it.
  IUnknown* Scope() {
    fake::Base* scope = Find("scope");
    return scope ? static_cast<IHostScope*>(static_cast<fake::FakeScope*>(scope)) : nullptr;
  }
  fake::Base* Find(const std::string& name) {
    for (fake::Base* object : rt.Objects())
      if (object->name() == name) return object;
    return nullptr;
  }

  fake::Runtime rt;

 private:
  static void SetNode(fake::FakeNode& node, const char* name, const char* address) {
    node.nodeName = name;
    node.address = address;
  }
  static void SetSurface(fake::FakeSurface& surface, fake::FakeWindow& window, HWND handle) {
    surface.x = 11;
    surface.y = 12;
    surface.width = 13;
    surface.height = 14;
    window.handle = handle;
  }
};

// How one run varies the call: a null at argument `nullArg` (or -1), the
// buffer's length, and the fault at one step.
struct Variation {
  int nullArg = -1;
  int length = 64;
  const Step* faulty = nullptr;
  HRESULT status = S_OK;  // the faulty step's status
  bool nullOut = false;   // the faulty step hands out a null pointer
};

// What a run left behind.
struct Outcome {
  int result = 0;  // the low 32 bits: handles too are judged only by being 0
  std::vector<int> outs;
  std::string text;
  bool bufferUntouched = false;
  std::vector<std::string> calls;  // runtime calls, releases left out
  std::vector<std::string> faults;
};

constexpr char kFill = '\x5A';
constexpr char kGuardByte = '\xA5';
constexpr int kGuard = 16;
constexpr int kUntouched = 0x5A5A5A5A;

// Every argument and result is one machine word, and the caller removes the
// arguments: any export can be called with seven, whatever it takes.
using AnyExport = INT_PTR(__cdecl*)(void*, INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR);

class Matrix {
 public:
  Matrix() {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    menuFile_ = std::string(dir) + "orvexc-matrix.mnu";
    FILE* f = std::fopen(menuFile_.c_str(), "wb");
    if (f) {
      std::fputs("Main MENU BEGIN POPUP \"&File\" BEGIN MENUITEM \"&Open\", 1 END END", f);
      std::fclose(f);
    }
    library_ = GetModuleHandleA("OrvexC.dll");
    IsMouseCursorVisible(nullptr);  // gives this thread its framework state
    probe::HookSysFreeString(library_);
  }
  ~Matrix() { DeleteFileA(menuFile_.c_str()); }

  Outcome Run(const Row& row, const Variation& v) {
    Title title(menuFile_, windows_);
    if (v.faulty) {
      fake::Base* object = title.Find(v.faulty->object);
      if (!object) return Failed("no fake object " + v.faulty->object);
      object->onlyCall[v.faulty->method] = v.faulty->occurrence;
      // A step judged by its pointer alone gets one with its failing status.
      if (v.faulty->judged == '+') object->writeOnFailure.insert(v.faulty->method);
      if (v.nullOut) object->nullOut.insert(v.faulty->method);
      else object->status[v.faulty->method] = v.status;
    }
    auto call = reinterpret_cast<AnyExport>(reinterpret_cast<void*>(GetProcAddress(library_, ExportName(row).c_str())));
    if (!call) return Failed("not exported");

    // The arguments, each 32 bits; a buffer sits between guard bytes.
    std::vector<char> bytes(std::max(v.length, 0) + 2 * kGuard, kGuardByte);
    std::fill(bytes.begin() + kGuard, bytes.end() - kGuard, kFill);
    std::vector<int> outs(6, kUntouched);
    INT_PTR args[7] = {};
    std::vector<std::string> strings = Split(row.strings);
    int nextInt = 3, nextOut = 0;
    std::size_t nextString = 0;
    for (int i = 0; row.args[i]; ++i) {
      INT_PTR& a = args[i];
      switch (row.args[i]) {
        case 's': a = Pointer(nextString < strings.size() ? strings[nextString++].c_str() : ""); break;
        case 'S': a = Pointer(title.Scope()); break;
        case 'b': a = Pointer(bytes.data() + kGuard); break;
        case 'l': a = v.length; break;
        case 'i': a = nextInt, nextInt += 2; break;
        case 'o': a = Pointer(&outs[nextOut++]); break;
      }
      if (i == v.nullArg) a = 0;
    }
    outs.resize(nextOut);

    orvex::fw::ThreadState* state = probe::FindThreadState();
    orvex::fw::ModuleState sentinel{nullptr};
    if (state) state->moduleState = &sentinel;
    probe::StringEvents().clear();

    Outcome outcome;
    outcome.result = static_cast<int>(call(title.rt.ctx(), args[0], args[1], args[2], args[3], args[4], args[5], args[6]));

    if (state && state->moduleState != &sentinel) outcome.faults.push_back("module state not restored");
    if (state) state->moduleState = nullptr;
    for (const auto* inside : title.rt.moduleStatesInside)
      if (inside == &sentinel || !inside) outcome.faults.push_back("a runtime call ran outside the library's module state");
    for (const std::string& object : title.rt.UnbalancedObjects()) outcome.faults.push_back("unbalanced " + object);
    if (!row.ownReleaseOrder)
      for (const std::string& fault : title.rt.releaseFaults) outcome.faults.push_back(fault);
    for (const std::string& fault : probe::StringFaults()) outcome.faults.push_back("BSTR " + fault);
    if (probe::OutstandingStrings() != 0) outcome.faults.push_back("a BSTR handed to the library was not freed");
    for (int i = 0; i < kGuard; ++i)
      if (bytes[i] != kGuardByte || bytes[bytes.size() - 1 - i] != kGuardByte) {
        outcome.faults.push_back("wrote outside the caller's buffer");
        break;
      }
    outcome.bufferUntouched = std::all_of(bytes.begin() + kGuard, bytes.end() - kGuard, [](char c) { return c == kFill; });
    if (v.length > 0) outcome.text.assign(bytes.data() + kGuard, strnlen(bytes.data() + kGuard, v.length));
    outcome.outs = outs;
    for (const std::string& entry : title.rt.journal.Methods())
      if (entry.size() < 2 || entry.compare(entry.size() - 2, 2, ".2") != 0) outcome.calls.push_back(entry);
    handing_.insert(title.rt.handingMethods.begin(), title.rt.handingMethods.end());
    return outcome;
  }

  // Whether a success run saw `step` hand out a reference or a BSTR.
  bool Hands(const Step& step) const { return handing_.count(step.Key()) != 0; }

 private:
  static Outcome Failed(const std::string& why) {
    Outcome outcome;
    outcome.faults.push_back(why);
    return outcome;
  }
  template <class T>
  static INT_PTR Pointer(T* p) {
    return reinterpret_cast<INT_PTR>(p);
  }
  static std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    while (!text.empty()) {
      std::size_t bar = text.find('|', from);
      parts.push_back(text.substr(from, bar - from));
      if (bar == std::string::npos) break;
      from = bar + 1;
    }
    return parts;
  }

  std::string menuFile_;
  Windows windows_;
  HMODULE library_ = nullptr;
  std::set<std::string> handing_;
};

// ---- judging outcomes -------------------------------------------------------

bool IsFailure(const Row& row, const Outcome& o, const Variation& v) {
  // Variables are zeroed after a failed step, or left untouched when the
  // export ended before its first call.
  auto all = [&](int value) { return std::all_of(o.outs.begin(), o.outs.end(), [&](int x) { return x == value; }); };
  bool outsZero = all(0) || all(kUntouched);
  switch (row.kind) {
    case Kind::Value: return o.result == row.failure && outsZero;
    case Kind::Flag: return o.result == 0;
    case Kind::Text: return v.length <= 0 || o.text.empty() || o.bufferUntouched;
    case Kind::Out: return outsZero;
    default: return true;
  }
}

std::string Describe(const Row& row, const Variation& v) {
  std::string text = row.label;
  if (v.faulty) {
    text += " step " + v.faulty->Key() + (v.faulty->occurrence ? " (call " + std::to_string(v.faulty->occurrence + 1) + ")" : "") + (v.nullOut ? " null out" : " status " + std::to_string(v.status));
  }
  if (v.nullArg >= 0) text += " null argument " + std::to_string(v.nullArg + 1);
  if (v.length != 64) text += " length " + std::to_string(v.length);
  return text;
}

std::vector<std::string> Keys(const std::vector<Step>& steps, std::size_t count) {
  std::vector<std::string> keys;
  for (std::size_t i = 0; i < count && i < steps.size(); ++i) keys.push_back(steps[i].Key());
  return keys;
}

// The counts of runs, printed at the end: none is skipped silently.
struct Tally {
  int rows = 0, stepRuns = 0, nullRuns = 0, lengthRuns = 0;
  ~Tally() {
    std::printf("failure matrix: %d runs over %d rows: %d step faults, %d null arguments, %d lengths\n",
                stepRuns + nullRuns + lengthRuns, rows, stepRuns, nullRuns, lengthRuns);
  }
};

// Each step of the row's chain fails in turn, in each way it can.
void FailEachStep(Matrix& matrix, const Row& row, const Outcome& success, Tally& tally) {
  std::vector<Step> steps = ParseChain(row.chain);
  for (std::size_t k = 0; k < steps.size(); ++k) {
    const Step& step = steps[k];
    struct Fault {
      HRESULT status;
      bool nullOut;
    };
    std::vector<Fault> faults = {{1, false}, {E_FAIL, false}};
    if (matrix.Hands(step)) faults.push_back({S_OK, true});
    for (const Fault& fault : faults) {
      Variation v;
      v.faulty = &step;
      v.status = fault.status;
      v.nullOut = fault.nullOut;
      Outcome o = matrix.Run(row, v);
      ++tally.stepRuns;
      EXPECT_EQ(o.faults, std::vector<std::string>{}) << Describe(row, v);
      if (step.judged == '~') continue;
      bool ignored = (step.judged == '+' && !fault.nullOut) || (step.judged == '-' && fault.status == 1);
      if (ignored) {
        EXPECT_EQ(o.calls, success.calls) << Describe(row, v);
        EXPECT_EQ(IsFailure(row, o, v), IsFailure(row, success, Variation{})) << Describe(row, v);
        continue;
      }
      EXPECT_EQ(o.calls, Keys(steps, k + 1)) << Describe(row, v) << ": calls past the failed step";
      EXPECT_TRUE(IsFailure(row, o, v)) << Describe(row, v) << ": result " << o.result << " \"" << o.text << "\"";
    }
  }
}

// Every pointer argument null in turn. One the export writes through is
// tested before any runtime call, and nothing is written.
void NullEachPointer(Matrix& matrix, const Row& row, Tally& tally) {
  for (int i = 0; row.args[i]; ++i) {
    char a = row.args[i];
    if (a != 's' && a != 'S' && a != 'b' && a != 'o') continue;
    Variation v;
    v.nullArg = i;
    Outcome o = matrix.Run(row, v);
    ++tally.nullRuns;
    EXPECT_EQ(o.faults, std::vector<std::string>{}) << Describe(row, v);
    if (a == 'b' || a == 'o') {
      EXPECT_EQ(o.calls, std::vector<std::string>{}) << Describe(row, v) << ": called the runtime";
      for (int out : o.outs) EXPECT_EQ(out, kUntouched) << Describe(row, v) << ": wrote a variable";
      if (row.kind == Kind::Value) {
        EXPECT_EQ(o.result, row.failure) << Describe(row, v);
      }
    }
    if (a == 's' && row.kind != Kind::None && row.kind != Kind::Own) {
      EXPECT_TRUE(IsFailure(row, o, v)) << Describe(row, v);
    }
  }
}

// Buffer lengths of 0, 1 and -1: nothing written outside the first `length` bytes.
void OddLengths(Matrix& matrix, const Row& row, Tally& tally) {
  if (std::string(row.args).find('l') == std::string::npos) return;
  for (int length : {0, 1, -1}) {
    Variation v;
    v.length = length;
    Outcome o = matrix.Run(row, v);
    ++tally.lengthRuns;
    EXPECT_EQ(o.faults, std::vector<std::string>{}) << Describe(row, v);
  }
}

TEST(FailureMatrix, EveryHostExportHasARow) {
  const struct {
    const char* name;
    int ordinal;
  } exports[] = {
#include "../host_exports.inc"
  };
  std::set<std::string> described;
  for (const Row& row : Rows()) described.insert(ExportName(row));
  for (const auto& e : exports) EXPECT_EQ(described.count(e.name), 1u) << e.name << " has no row";
  EXPECT_EQ(described.size(), std::size(exports));
}

TEST(FailureMatrix, EveryExportUnderEveryFault) {
  CoInitialize(nullptr);  // SetResourceStorage loads the resource manager component
  {
    Matrix matrix;
    Tally tally;
    for (const Row& row : Rows()) {
      ++tally.rows;
      SCOPED_TRACE(row.label);
      // The success path: exactly the chain, and a result unlike the failure's.
      Variation plain;
      Outcome success = matrix.Run(row, plain);
      EXPECT_EQ(success.faults, std::vector<std::string>{}) << Describe(row, plain);
      std::vector<Step> steps = ParseChain(row.chain);
      EXPECT_EQ(success.calls, Keys(steps, steps.size())) << Describe(row, plain);
      if (row.kind != Kind::None && row.kind != Kind::Own) {
        EXPECT_FALSE(IsFailure(row, success, plain)) << "the success run looks like a failure";
      }
      FailEachStep(matrix, row, success, tally);
      NullEachPointer(matrix, row, tally);
      OddLengths(matrix, row, tally);
    }
  }
  CoUninitialize();
}

}  // namespace
