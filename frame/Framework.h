// The library's own small application framework: module state, per-thread
// state, the module-state guard and the application object. It gives the
// library a framework context of its own, separate from the host's, for the
// length of every call into it.
#pragma once

#include <windows.h>

#include <cstdint>

namespace orvex::fw {

class CWinApp;

// Tags at the start of the framework records, so that a debugger (or a test)
// can recognise them.
constexpr std::uint32_t kModuleStateTag = 0x534D584F;  // "OXMS"
constexpr std::uint32_t kThreadStateTag = 0x5354584F;  // "OXTS"
constexpr DWORD kFrameworkVersion = 0x0600;

// One entry of the resource chain: a module whose resources the framework
// searches (strings, menus).
struct DynLinkLibrary {
  HINSTANCE module = nullptr;
  DynLinkLibrary* next = nullptr;
};

// A module's framework context: its instance and resource handles and its
// application object.
struct ModuleState {
  std::uint32_t tag = kModuleStateTag;
  HINSTANCE instance = nullptr;
  HINSTANCE resources = nullptr;
  CWinApp* currentApp = nullptr;
  WNDPROC windowProc = nullptr;
  DWORD version = kFrameworkVersion;
  DynLinkLibrary* resourceChain = nullptr;
  bool initialized = false;

  explicit ModuleState(WNDPROC proc) : windowProc(proc) {}
  ModuleState(const ModuleState&) = delete;
  ModuleState& operator=(const ModuleState&) = delete;
};

// The framework's per-thread data: which module state is current on the thread.
struct ThreadState {
  std::uint32_t tag = kThreadStateTag;
  ModuleState* moduleState = nullptr;
  ThreadState* nextInRegistry = nullptr;
};

// Thread-state storage lives from ProcessStartup to ProcessShutdown.
bool ProcessStartup();
void ProcessShutdown();
// The calling thread's state, made on first use; null only if memory ran out.
ThreadState* GetThreadState();

namespace detail {
// The TLS slot that holds each thread's state (TLS_OUT_OF_INDEXES outside
// ProcessStartup .. ProcessShutdown).
extern DWORD g_threadSlot;
}  // namespace detail

// GetThreadState with its common case inline: every export enters the
// module-state guard, and a thread that has called the library before needs
// nothing but the one TLS read.
inline ThreadState* CallingThreadState() noexcept {
  DWORD slot = detail::g_threadSlot;
  if (slot != TLS_OUT_OF_INDEXES) {
    if (auto* state = static_cast<ThreadState*>(TlsGetValue(slot))) return state;
  }
  return GetThreadState();
}

// Releases the calling thread's framework data (thread detach).
void ReleaseThreadState();

// The calling thread's current module state (null when none was ever made current).
ModuleState* CurrentModuleState();
// Makes `state` current on the calling thread and returns the one it replaces.
ModuleState* SetCurrentModuleState(ModuleState* state);

// Scoped switch to a module state: records the thread state and the current
// module state, makes `state` current, and writes the recorded one back on
// destruction. Guards nest. Inline, as it brackets every export.
class MaintainModuleState {
 public:
  explicit MaintainModuleState(ModuleState* state) noexcept : threadState_(CallingThreadState()) {
    if (threadState_) {
      previous_ = threadState_->moduleState;
      threadState_->moduleState = state;
    }
  }
  ~MaintainModuleState() {
    if (threadState_) threadState_->moduleState = previous_;
  }
  MaintainModuleState(const MaintainModuleState&) = delete;
  MaintainModuleState& operator=(const MaintainModuleState&) = delete;

 private:
  ModuleState* previous_ = nullptr;
  ThreadState* threadState_;
};

// Base of an application object. Constructed while its module state is
// current, it registers itself there.
class CWinApp {
 public:
  explicit CWinApp(const char* appName = nullptr);
  virtual ~CWinApp();
  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance() { return 0; }
  virtual const char* AppName() const { return appName_; }
  ModuleState* OwnerState() const { return owner_; }

  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

 private:
  const char* appName_;
  ModuleState* owner_;
};

// Framework initialisation of a module: records the instance, command line
// and show command in the current module state.
bool AfxWinInit(HINSTANCE instance, HINSTANCE previous, const char* commandLine, int showCommand);
void AfxWinTerm();

// Resource chain of the current module state.
void JoinResourceChain(DynLinkLibrary* entry, HINSTANCE module);
void LeaveResourceChain(DynLinkLibrary* entry);
// The handle whose string table holds `id`, searched along the chain.
HINSTANCE FindStringResource(UINT id);

}  // namespace orvex::fw
