// orvexc-demo-host: a small title host of our own, to try a module without
// the runtime. It plays a title on the host kit's runtime objects (a real
// frame window, named threads, objects on the frame, menu script resources,
// storages), loads a module with OrvexC.dll beside it, calls its entry with
// the title's context and shows what the module did: a transcript of every
// runtime call as it is made, the entry's result, any reference the module
// kept, and the frame window with the menu the module gave it.
//   orvexc-demo-host [--title DIR] [--entry NAME] [--timeout SECONDS]
//                    [--screenshot FILE.png] [--wait] [--hold] [--no-sandbox] [MODULE.dll]
// The module is hello-module.dll by default, the entry RunModule. The title
// is a built-in one, or the one DIR\title.ini describes (hostkit/TitleFolder).
// The module runs in a sandbox (Sandbox.h). Exit status: 0 when the entry
// returned nonzero, every reference came back and no thread of the module
// called the runtime after the entry returned, 1 otherwise, 2 when the
// title, the module, its entry or a display is missing, 3 when the module
// faulted, did not return in time or the title's process ended without a verdict.
#include <OrvexC/hostkit/FakeRuntime.h>
#include <OrvexC/hostkit/Ledger.h>
#include <OrvexC/hostkit/MenuTree.h>
#include <OrvexC/hostkit/TitleFolder.h>

#include "DebugOutput.h"
#include "FrameWindow.h"
#include "ModuleFile.h"
#include "Sandbox.h"
#include "menu/MenuScript.h"
#include "tools/menu-check/Diagnosis.h"
#include "tools/menu-check/RcDifferences.h"
#include "tools/menu-check/ScriptFile.h"

#include "../ToolOptions.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

namespace {

const char kMenuScript[] =
    "MainMenu MENU\r\nBEGIN\r\n"
    "  POPUP \"&File\"\r\n  BEGIN\r\n"
    "    MENUITEM \"&Open\\tCtrl+O\", 101\r\n    MENUITEM \"&Save\", 102, GRAYED\r\n"
    "    MENUITEM SEPARATOR\r\n    MENUITEM \"E&xit\", 103\r\n  END\r\n"
    "  POPUP \"&Lesson\"\r\n  BEGIN\r\n    MENUITEM \"&Next frame\", 201\r\n"
    "    MENUITEM \"&Narration\", 202, CHECKED\r\n  END\r\n"
    "  POPUP \"&Help\", HELP\r\n  BEGIN\r\n    MENUITEM \"&About\", 301\r\n  END\r\nEND\r\n";

// The built-in title: its folder, with the menu script its "MainMenu"
// resource holds, two threads and two objects.
void MakeBuiltInTitle(fake::Runtime& title) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string dir = std::string(temp) + "OrvexDemo\\Intro\\";
  CreateDirectoryA((std::string(temp) + "OrvexDemo").c_str(), nullptr);
  CreateDirectoryA(dir.c_str(), nullptr);
  std::ofstream(dir + "mainmenu.mnu", std::ios::binary) << kMenuScript;
  std::string path = dir + "lesson.ovx";
  title.app.path = title.app.location = hostkit::Widened(path.c_str());
  title.titleNode.nodeName = "Intro lesson";
  title.frameNode.nodeName = "1";
  title.AddResource("MainMenu").fileName = dir + "mainmenu.mnu";
  title.AddThread("narration");
  title.AddThread("quiz").running = false;
  title.AddObject("StartButton").rect = {20, 60, 140, 90};
  auto& picture = title.AddObject("Picture");
  picture.rect = {180, 60, 440, 240};
  picture.visible = 1;
}

// Menu scripts of the title that LoadMenuFromFile would refuse, with the
// place and the reason, as orvexc-menu-check gives them. Returns what cannot
// be read at all (no such file, a directory, in use), or an empty text.
std::string WarnOfBadMenuScripts(const fake::Runtime& title) {
  for (const auto& [name, resource] : title.resources.resources) {
    const std::string& file = resource->fileName;
    if (file.size() < 4 || lstrcmpiA(file.c_str() + file.size() - 4, ".mnu") != 0) continue;
    std::string text, why;
    if (!orvex::ReadScriptFile(file.c_str(), &text, &why))
      return file + ": cannot be read: " + why + " (the menu script of the resource " + name + ")";
    text.resize(std::strlen(text.c_str()));
    orvex::CMenuScript script;
    orvex::ScriptRecord record;
    orvex::Expected<const orvex::MenuNode*> nodes = script.Parse(text.c_str(), &record);
    if (nodes) continue;
    orvex::Finding parser = orvex::ParserFinding(text, nodes.Error());
    orvex::Finding mistake = orvex::LikelyMistake(text, nodes.Error(), record);
    std::printf("LoadMenuFromFile(\"%s\") gives no menu:\n", name.c_str());
    for (const orvex::Finding* finding : {&mistake, &parser}) {
      if (finding->what.empty()) continue;
      orvex::TextPosition where = orvex::PositionOf(text, finding->offset);
      std::printf("%s:%d:%d: %s\n", file.c_str(), where.line, where.column, finding->what.c_str());
    }
  }
  return "";
}

// "--timeout SECONDS": a whole number above 0.
bool ReadSeconds(const char* text, unsigned& seconds) {
  char* end = nullptr;
  unsigned long value = std::strtoul(text, &end, 10);
  if (*end || value == 0 || value > 86400) return false;
  seconds = static_cast<unsigned>(value);
  return true;
}

struct Options {
  const char* screenshot = nullptr;
  const char* titleFolder = nullptr;
  std::string module = "hello-module.dll", entry = "RunModule";
  unsigned timeout = 30;
  bool wait = false, hold = false, unwatched = false;
};

constexpr char kUsage[] =
    "usage: orvexc-demo-host [--title DIR] [--entry NAME] [--timeout SECONDS] [--screenshot FILE.png]\n"
    "                        [--wait] [--hold] [--no-sandbox] [MODULE.dll]\n"
    "Runs the module's entry (default RunModule) in a sandbox on a built-in title or the title\n"
    "DIR\\title.ini describes, and prints the module's runtime calls as they are made. Exit status\n"
    "0 passed, 1 the entry returned 0, kept a reference or left a thread calling the runtime, 2\n"
    "something is missing or the screenshot cannot be written, 3 the module faulted, ran past --timeout\n"
    "(default 30) or ended the process.\n"
    "--wait: keep the frame window open until it is closed. --hold: wait for a debugger to\n"
    "attach before loading the module. --help, --version: this text, the version.\n";

// Refuses the command line: one line naming what is wrong, then the usage.
bool Refuse(const std::string& why) {
  std::fprintf(stderr, "orvexc-demo-host: %s\n%s", why.c_str(), kUsage);
  return false;
}

// An option's value, checked: false (with the reason) when it does not read.
bool TakeValue(const std::string& option, const char* value, Options& options, std::string& why) {
  if (option == "--screenshot") options.screenshot = value;
  if (option == "--title") options.titleFolder = value;
  if (option == "--entry") options.entry = value;
  if (option == "--timeout" && !ReadSeconds(value, options.timeout)) why = "--timeout " + std::string(value);
  return why.empty();
}

// The command line; false (after the reason and the usage) when it cannot be read.
bool ParseArguments(int argc, char** argv, Options& options) {
  static const struct {
    const char* option;
    const char* takes;
  } kValued[] = {{"--screenshot", "a .png file to write"},
                 {"--title", "a title folder"},
                 {"--entry", "the name of the module's entry"},
                 {"--timeout", "a whole number of seconds, 1 to 86400"}};
  bool moduleGiven = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i], why;
    const char* takes = nullptr;
    for (const auto& valued : kValued)
      if (arg == valued.option) takes = valued.takes;
    if (takes && i + 1 >= argc) return Refuse(arg + " needs a value: " + takes);
    if (takes && !TakeValue(arg, argv[++i], options, why)) return Refuse(why + ": give " + takes);
    if (takes) continue;
    if (arg == "--wait")
      options.wait = true;
    else if (arg == "--hold")
      options.hold = true;
    else if (arg == demo::kNoSandboxFlag)
      options.unwatched = true;
    else if (arg.compare(0, 2, "--") == 0)
      return Refuse("no option " + arg);
    else if (moduleGiven)
      return Refuse("one module at a time: " + arg + " after " + options.module);
    else
      options.module = arg, moduleGiven = true;
  }
  return true;
}

// Exit status 2 with what is missing.
int Missing(const std::string& what) {
  std::fprintf(stderr, "orvexc-demo-host: %s\n", what.c_str());
  return 2;
}

// The title plays on while the module runs: a thread it starts runs, one
// it stops stops.
void FollowThreads(fake::Runtime& title, const fake::JournalCall& call) {
  std::string method = call.method->name ? call.method->name : "";
  std::string name = method == "StartThread" && !title.app.started.empty() ? title.app.started.back()
                     : method == "Stop" && call.object.compare(0, 7, "thread:") == 0 ? call.object.substr(7)
                                                                                     : "";
  auto thread = title.app.threads.find(name);
  if (thread != title.app.threads.end()) thread->second->running = method != "Stop";
}

std::atomic<bool> g_returned{false};
std::atomic<unsigned> g_lateCalls{0};

// Ends the transcript; false (with what to do) when the module's threads
// called the runtime after its entry returned.
bool EndTranscript(fake::Runtime& title, const Options& options) {
  std::lock_guard<std::recursive_mutex> hold(title.mutex);  // a late call's line finished first
  title.journal.onAdd = nullptr;
  if (!g_lateCalls) return true;
  std::printf("\nthe module kept working after %s returned: %u runtime calls came from its threads (above)."
              " Wait for the threads the entry starts, or end them, before it returns: the runtime may"
              " unload the module then\n",
              options.entry.c_str(), g_lateCalls.load());
  return false;
}

// Calls the module's entry with the transcript streaming, and reports what
// it returned and kept. True when it returned nonzero and kept nothing.
bool RunEntry(fake::Runtime& title, const demo::LoadedModule& module, const Options& options) {
  std::printf("Orvex demo host: title %s, frame window %p\n", hostkit::Narrowed(title.app.path).c_str(),
              static_cast<void*>(title.window.handle));
  std::printf("calling %s %s(context)\n\ntranscript of the module's runtime calls:\n", options.module.c_str(),
              options.entry.c_str());
  // The tracing edition's lines, each before the runtime call that follows it.
  demo::DebugOutput trace;
  if (demo::TracingEditionLoaded())
    if (std::string why = trace.Start(); !why.empty())
      std::printf("  (the tracing edition's lines: %s)\n", why.c_str());
  // Calls after the entry returned come from threads the module left
  // running: they stream on, marked, until the run ends (EndTranscript).
  g_lateCalls = 0;
  g_returned = false;
  title.journal.onAdd = [&title, &trace, entry = options.entry](const fake::JournalCall& call) {
    if (g_returned) {
      ++g_lateCalls;
      std::printf("after %s returned: %-30s %s\n", entry.c_str(), call.Text().c_str(), call.Note());
    } else {
      trace.Drain();
      std::printf("  %-52s %s\n", call.Text().c_str(), call.Note());
    }
    FollowThreads(title, call);
  };
  auto run = reinterpret_cast<int(__cdecl*)(IHostContext*)>(reinterpret_cast<void*>(module.entry));
  demo::NoteModuleRunning(options.entry);
  int result = run(title.ctx());
  demo::NoteModuleDone();
  // The module's threads may call on: each call then waits until the title
  // has been read, and their lines no longer take the trace's.
  std::lock_guard<std::recursive_mutex> hold(title.mutex);
  g_returned = true;
  trace.Stop();
  std::printf("\n%s returned %d\n", options.entry.c_str(), result);
  std::vector<std::string> unreleased = title.UnbalancedObjects();
  std::printf("references handed out and not given back: %u\n", static_cast<unsigned>(unreleased.size()));
  for (const std::string& name : unreleased) std::printf("  %s\n", name.c_str());
  // The context is the one reference the module never obtained itself.
  bool contextReleased = false;
  for (const std::string& fault : title.releaseFaults)
    if (fault.compare(0, 8, "context ") == 0 && !contextReleased) {
      contextReleased = true;
      std::printf("release fault: %s (the context is lent to the entry: never release it)\n", fault.c_str());
    }
  return result != 0 && unreleased.empty() && !contextReleased;
}

// The frame window after the run: its menu, a screenshot, and with --wait
// the window until it is closed. False when the screenshot was not saved.
bool ShowFrame(HWND window, const Options& options) {
  std::printf("the frame window's menu:\n%s", hostkit::DescribeMenu(GetMenu(window)).c_str());
  InvalidateRect(window, nullptr, TRUE);
  demo::Pump(options.wait ? 0 : 700);
  std::string failure = options.screenshot ? demo::SavePng(window, options.screenshot) : "";
  if (options.screenshot && failure.empty()) std::printf("screenshot %s: saved\n", options.screenshot);
  if (!failure.empty())
    std::fprintf(stderr, "orvexc-demo-host: screenshot %s not saved: %s\n", options.screenshot, failure.c_str());
  MSG message;
  while (options.wait && IsWindow(window) && GetMessageA(&message, nullptr, 0, 0) > 0)
    DispatchMessageA(&message);
  if (IsWindow(window)) DestroyWindow(window);
  return failure.empty();
}

// In the sandbox's child (or with --no-sandbox): plays the title, runs the
// module, reports.
int PlayTitle(const Options& options) {
  demo::EnterSandbox(options.timeout);
  fake::Runtime title;
  title.shared = true;  // the module's threads may call the runtime beside its entry
  if (!options.titleFolder) {
    MakeBuiltInTitle(title);
  } else {
    std::vector<std::string> warnings;
    std::string error = hostkit::LoadTitleFolder(title, options.titleFolder, &warnings);
    for (const std::string& warning : warnings) std::printf("%s\n", warning.c_str());
    if (!error.empty()) return Missing(error);
  }
  if (std::string unreadable = WarnOfBadMenuScripts(title); !unreadable.empty()) return Missing(unreadable);
  if (options.hold) demo::HoldForDebugger(options.module);
  demo::NoteModuleRunning("loading " + options.module);
  demo::LoadedModule module = demo::LoadModule(options.module, options.entry);
  demo::NoteModuleDone();
  if (!module.error.empty()) return Missing(module.error);
  for (const std::string& warning : module.warnings) std::printf("warning: %s\n", warning.c_str());
  HWND window = demo::MakeFrameWindow(title.titleNode.nodeName, title);
  if (!window)
    return Missing(
        "no display for the title's frame window: set DISPLAY, or run the demo host under Xvfb:"
        " xvfb-run -a wine orvexc-demo-host.exe ...");
  title.window.handle = window;
  bool passed = RunEntry(title, module, options);
  bool shown = ShowFrame(window, options);
  passed = EndTranscript(title, options) && passed;
  if (!shown) return 2;
  return passed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (int status = orvexc_tools::AnswerStandardOption(argc, argv, "orvexc-demo-host", kUsage); status >= 0)
    return status;
  Options options;
  if (!ParseArguments(argc, argv, options)) return 2;
  if (!options.unwatched) return demo::RunSandboxed(options.timeout);
  int status = PlayTitle(options);
  demo::ReportStatus(status);
  return status;
}
