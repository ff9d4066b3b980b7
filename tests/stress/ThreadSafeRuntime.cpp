#include "ThreadSafeRuntime.h"

#include "LibraryProbe.h"

#include <cstring>

namespace tsfake {
namespace {

thread_local orvex::fw::ThreadState* t_threadState = nullptr;
thread_local const orvex::fw::ModuleState* t_lastInside = nullptr;

void(WINAPI* g_realFree)(BSTR) = nullptr;

void WINAPI LedgerSysFreeString(BSTR text) {
  if (text) TheLedger().NoteFreed(text);
  g_realFree(text);
}

}  // namespace

// ---- ledger ------------------------------------------------------------------

Ledger& TheLedger() {
  static Ledger ledger;
  return ledger;
}

void Ledger::NoteHanded(BSTR text) {
  std::lock_guard<std::mutex> hold(lock_);
  live_.insert(text);
  ++stringsHanded;
}

void Ledger::NoteFreed(BSTR text) {
  std::lock_guard<std::mutex> hold(lock_);
  if (live_.erase(text)) ++stringsFreed;
  else ++unknownFrees;
}

std::size_t Ledger::LiveStrings() {
  std::lock_guard<std::mutex> hold(lock_);
  return live_.size();
}

void SetThreadState(orvex::fw::ThreadState* state) { t_threadState = state; }
const orvex::fw::ModuleState* LastStateInside() { return t_lastInside; }

void EnterRuntimeCall() {
  Ledger& ledger = TheLedger();
  ++ledger.callsInside;
  const orvex::fw::ModuleState* current = t_threadState ? t_threadState->moduleState : nullptr;
  t_lastInside = current;
  const orvex::fw::ModuleState* library = ledger.libraryState.load();
  if (library && current != library) ++ledger.wrongStateInside;
}

HRESULT HandString(const std::wstring& text, BSTR* out) {
  EnterRuntimeCall();
  if (!out) return E_POINTER;
  *out = SysAllocString(text.c_str());
  if (!*out) return E_OUTOFMEMORY;
  TheLedger().NoteHanded(*out);
  return S_OK;
}

// The import table entry of SysFreeString in `library` now leads to the ledger.
bool HookSysFreeString(HMODULE library) {
  HMODULE oleaut = GetModuleHandleA("oleaut32.dll");
  if (!library || !oleaut) return false;
  auto real = reinterpret_cast<void(WINAPI*)(BSTR)>(
      reinterpret_cast<void*>(GetProcAddress(oleaut, "SysFreeString")));
  if (!g_realFree) g_realFree = real;
  return probe::HookImport(library, "oleaut32.dll", "SysFreeString",
                           reinterpret_cast<void*>(LedgerSysFreeString)) != nullptr;
}

// ---- reference counts --------------------------------------------------------

ULONG Counted::Down() {
  long now = --refs_;
  if (now < 1) ++TheLedger().releasedBelowStart;
  return static_cast<ULONG>(now);
}

std::vector<std::string> Unbalanced(const std::vector<const Counted*>& objects) {
  std::vector<std::string> found;
  for (const Counted* object : objects)
    if (object->Refs() != 1) found.push_back(object->Name() + "=" + std::to_string(object->Refs()));
  return found;
}

// ---- objects -----------------------------------------------------------------

HRESULT Node::GetName(int capacity, char* buffer) {
  Enter();
  if (!buffer || capacity <= 0) return E_POINTER;
  std::strncpy(buffer, nodeName_.c_str(), static_cast<std::size_t>(capacity));
  return S_OK;
}

HRESULT Node::GetAddress(int capacity, char* buffer) {
  Enter();
  if (!buffer || capacity <= 0) return E_POINTER;
  std::strncpy(buffer, ("\\" + nodeName_ + "\\address").c_str(), static_cast<std::size_t>(capacity));
  return S_OK;
}

HRESULT Surface::GetWindow(IHostWindow** out) { return Hand<IHostWindow>(nullptr, out); }

HRESULT Surface::GetVisible(int* out) {
  Enter();
  if (!out) return E_POINTER;
  *out = 1;
  return S_OK;
}

HRESULT Surface::GetGeometry(int* px, int* py, int* pw, int* ph) {
  Enter();
  if (!px || !py || !pw || !ph) return E_POINTER;
  *px = x, *py = y, *pw = width, *ph = height;
  return S_OK;
}

HRESULT Surface::SetGeometry(int nx, int ny, int nw, int nh) {
  Enter();
  x = nx, y = ny, width = nw, height = nh;
  return S_OK;
}

HRESULT Application::IsMediaAvailable(const char* name) {
  Enter();
  return name && media == name ? S_OK : S_FALSE;
}

HRESULT Application::GetInstance(HINSTANCE* out) {
  Enter();
  if (!out) return E_POINTER;
  *out = GetModuleHandleA(nullptr);
  return S_OK;
}

HRESULT Application::GetParameterCount(int* out) {
  Enter();
  if (!out) return E_POINTER;
  *out = static_cast<int>(parameters.size());
  return S_OK;
}

HRESULT Application::GetParameter(int index, BSTR* out) {
  if (index < 0 || index >= static_cast<int>(parameters.size())) {
    Enter();
    return E_INVALIDARG;
  }
  return HandText(parameters[static_cast<std::size_t>(index)], out);
}

HRESULT Application::FindThread(const char* name, IHostThread** out) {
  Thread* found = nullptr;
  if (name && ownThread && ownThread->Name() == std::string("thread:") + name) found = ownThread;
  if (name && std::strcmp(name, "shared") == 0) found = sharedThread;
  return Hand<IHostThread>(found, out);
}

HRESULT HostObject::GetRect(RECT* out) {
  Enter();
  if (!out) return E_POINTER;
  *out = rect_;
  return S_OK;
}

Scope::Scope(std::string name, HostScopeKey key) : Object(std::move(name)), key_(key) {
  answers_.push_back(IID_IHostScope);
}

HRESULT Scope::GetScopeKey(HostScopeKey* out) {
  Enter();
  if (!out) return E_POINTER;
  *out = key_;
  return S_OK;
}

HRESULT Context::FindObject(HostScopeKey scope, const char* name, IHostObject** out) {
  HostObject* found = nullptr;
  if (scope == scopeKey && name && std::strcmp(name, "own") == 0) found = ownObject;
  if (scope == scopeKey && name && std::strcmp(name, "shared") == 0) found = sharedObject;
  return Hand<IHostObject>(found, out);
}

// ---- worlds ------------------------------------------------------------------

namespace {
std::string Numbered(const char* what, int number) { return std::string(what) + std::to_string(number); }
std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }
}  // namespace

World::World(int n, Shared& shared)
    : number(n),
      context(Numbered("context:", n)),
      runtime(Numbered("runtime:", n)),
      app(Numbered("app:", n)),
      module(Numbered("module:", n)),
      frame(Numbered("frame:", n)),
      moduleNode(Numbered("node:module", n), Numbered("module-", n)),
      frameNode(Numbered("node:frame", n), Numbered("frame-", n)),
      surface(Numbered("surface:", n)),
      ownThread(Numbered("thread:worker-", n), n % 2 == 0 ? S_OK : S_FALSE),
      ownObject(Numbered("object:own", n), RECT{n * 10 + 7, n, n * 10 + 57, n + 30}) {
  context.runtime = &runtime;
  context.module = &module;
  context.frame = &frame;
  context.surface = &surface;
  context.scopeKey = reinterpret_cast<HostScopeKey>(0x5C0BE);
  context.ownObject = &ownObject;
  context.sharedObject = &shared.object;
  runtime.app = &app;
  module.node = &moduleNode;
  frame.node = &frameNode;
  app.location = Wide(Numbered("http://titles.test/thread-", n) + "/course.ttl");
  app.path = Wide(Numbered("C:\\Titles\\thread-", n) + Numbered("\\title-", n) + ".ttl");
  for (int k = 0; k < 3 + n % 4; ++k) app.parameters.push_back(Wide("param-" + std::to_string(n) + "-" + std::to_string(k)));
  app.media = Numbered("cd-", n);
  app.ownThread = &ownThread;
  app.sharedThread = &shared.thread;
}

std::vector<const Counted*> World::Objects() const {
  return {&context, &runtime, &app, &module, &frame, &moduleNode, &frameNode, &surface, &ownThread, &ownObject};
}

}  // namespace tsfake
