// The library's own small application framework: module state, per-thread
// state, the module-state guard and the application object. It gives the
// library a framework context of its own, separate from the host's, for the
// length of every call into it.
#pragma once

#include <windows.h>
#include <winternl.h>

#include <cstddef>
#include <cstdint>

namespace orvex::fw {

// Tag at the start of a thread's framework data, so that a debugger (or a
// test) can recognise it in the thread's TLS slot.
constexpr std::uint32_t kThreadStateTag = 0x5354584F;  // "OXTS"

// One entry of the resource chain: a module whose resources the framework
// searches (strings, menus).
struct DynLinkLibrary {
  HINSTANCE module = nullptr;
  DynLinkLibrary* next = nullptr;
};

// A module's framework context: its instance and resource handles and the
// resource chain searched after them.
struct ModuleState {
  HINSTANCE instance = nullptr;
  HINSTANCE resources = nullptr;
  DynLinkLibrary* resourceChain = nullptr;

  ModuleState() = default;
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
// The thread's last error is left as it was.
[[gnu::noinline, gnu::cold]] ThreadState* GetThreadState();

namespace detail {
// The TLS slot that holds each thread's state (TLS_OUT_OF_INDEXES outside
// ProcessStartup .. ProcessShutdown).
extern DWORD g_threadSlot;

// The TLS slots that every thread's environment block holds inline; the
// system keeps the values of later slots in a table it makes per thread.
constexpr DWORD kInlineTlsSlots = 64;

// The calling thread's value of an inline TLS slot, read straight from its
// environment block, where TlsGetValue finds it too; unlike TlsGetValue it
// leaves the thread's last error as it was.
inline void* InlineTlsValue(DWORD slot) noexcept {
  constexpr DWORD kSlots = offsetof(TEB, TlsSlots);
  static_assert(kSlots == (sizeof(void*) == 4 ? 0xE10 : 0x1480), "the system's thread environment block");
#ifdef _WIN64
  return reinterpret_cast<void*>(__readgsqword(kSlots + slot * sizeof(void*)));
#else
  return reinterpret_cast<void*>(__readfsdword(kSlots + slot * sizeof(void*)));
#endif
}
}  // namespace detail

// GetThreadState with its common case inline: every export enters the
// module-state guard, and a thread that has called the library before needs
// nothing but one read of its environment block. A later slot, or a thread
// without a state yet, takes the call.
inline ThreadState* CallingThreadState() noexcept {
  DWORD slot = detail::g_threadSlot;
  if (slot < detail::kInlineTlsSlots) {
    if (auto* state = static_cast<ThreadState*>(detail::InlineTlsValue(slot))) return state;
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

// Base of an application object: made and destroyed by the module's entry
// point, which calls InitInstance once after loading and ExitInstance once
// before unloading (or after a failed InitInstance).
class CWinApp {
 public:
  CWinApp() = default;
  virtual ~CWinApp() = default;
  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance() { return 0; }

  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
};

// Framework initialisation of a module: records its instance, which also
// holds its resources, in the current module state.
bool AfxWinInit(HINSTANCE instance);

// Resource chain of the current module state.
void JoinResourceChain(DynLinkLibrary* entry, HINSTANCE module);
void LeaveResourceChain(DynLinkLibrary* entry);
// The handle whose string table holds `id`, searched along the chain.
HINSTANCE FindStringResource(UINT id);

}  // namespace orvex::fw
