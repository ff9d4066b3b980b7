#include "HostTest.h"

#include <fstream>
#include <sstream>

namespace hosttest {
namespace {

constexpr DWORD kSlotCount = 64 + 1024;  // TLS_MINIMUM_AVAILABLE plus the expansion slots
std::atomic<DWORD> g_slot{kSlotCount};
thread_local const orvex::fw::ModuleState* t_sentinel = nullptr;

std::atomic<int> g_menusMade{0};
HMENU(WINAPI* g_createMenu)() = nullptr;
HMENU WINAPI CountedCreateMenu() { return ++g_menusMade, g_createMenu(); }

bool IsThreadState(const void* p) {
  MEMORY_BASIC_INFORMATION info;
  if (!p || !VirtualQuery(p, &info, sizeof info) || info.State != MEM_COMMIT) return false;
  if (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) return false;
  return static_cast<const orvex::fw::ThreadState*>(p)->tag == orvex::fw::kThreadStateTag;
}

}  // namespace

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::string TempFile(const std::string& name, const std::string& extension) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return dir + name + "-" + std::to_string(GetCurrentProcessId()) + "." + extension;
}

std::vector<std::string> MenuScripts(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*.mnu").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string file = found.cFileName;
    names.push_back(file.substr(0, file.rfind('.')));
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

int MenusMade() {
  hostkit::RouteImport(Library(), "user32.dll", "CreateMenu", CountedCreateMenu, &g_createMenu);
  return g_menusMade;
}

orvex::fw::ThreadState* ThreadState() {
  DWORD error = GetLastError();
  void* found = g_slot < kSlotCount ? TlsGetValue(g_slot) : nullptr;
  for (DWORD slot = 0; slot < kSlotCount && !IsThreadState(found); ++slot)
    if (IsThreadState(found = TlsGetValue(slot))) g_slot = slot;
  SetLastError(error);
  return IsThreadState(found) ? static_cast<orvex::fw::ThreadState*>(found) : nullptr;
}

// The first export call gives the thread its state (by address: a program
// that loads the library itself must not import it).
orvex::fw::ThreadState* MadeThreadState() {
  auto first = reinterpret_cast<BOOL(__cdecl*)(void*)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("OrvexC.dll"), "IsMouseCursorVisible")));
  if (first) first(nullptr);
  return ThreadState();
}

ModuleStateCheck::ModuleStateCheck(fake::Runtime& runtime) : state_(MadeThreadState()) {
  StringLedger::Watch();
  if (state_) state_->moduleState = &sentinel_;
  t_sentinel = &sentinel_;
  runtime.onCall = [this] {
    orvex::fw::ThreadState* state = ThreadState();
    if (!state || !state->moduleState || state->moduleState == t_sentinel) ++outside_;
  };
}

ModuleStateCheck::~ModuleStateCheck() {
  if (state_) state_->moduleState = nullptr;
  t_sentinel = nullptr;
}

std::vector<std::string> ModuleStateCheck::Faults() const {
  std::vector<std::string> faults;
  if (!state_ || state_->moduleState != &sentinel_) faults.push_back("module state not restored");
  if (outside_) faults.push_back("a runtime call ran outside the library's module state");
  return faults;
}

std::vector<std::string> BalanceFaults(const fake::Runtime& rt, const ModuleStateCheck& check, bool releaseOrder) {
  std::vector<std::string> faults = check.Faults();
  for (const std::string& object : rt.UnbalancedObjects()) faults.push_back("unbalanced " + object);
  if (releaseOrder) faults.insert(faults.end(), rt.releaseFaults.begin(), rt.releaseFaults.end());
  for (const std::string& fault : StringLedger::Faults()) faults.push_back(fault);
  if (StringLedger::Outstanding()) faults.push_back("a BSTR handed to the library was not freed");
  for (const auto& failed : rt.failedStrings)
    if (StringLedger::TimesFreed(failed.text, failed.handedAt)) faults.push_back("a failed call's BSTR was freed");
  return faults;
}

void HostTest::TearDown() { EXPECT_EQ(BalanceFaults(rt, check, releaseOrder), Calls{}) << rt.journal.Text(); }

}  // namespace hosttest
