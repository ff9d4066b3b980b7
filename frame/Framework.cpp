#include "frame/Framework.h"

#include "frame/Owners.h"

#include <memory>
#include <new>

namespace orvex::fw {

DWORD detail::g_threadSlot = TLS_OUT_OF_INDEXES;
using detail::g_threadSlot;

namespace {

// Every thread state made, so that process shutdown can free those of threads
// that are still running (they get no thread detach).
CRITICAL_SECTION g_registryLock;
ThreadState* g_registry = nullptr;

void Unregister(ThreadState* state) {
  EnterCriticalSection(&g_registryLock);
  for (ThreadState** link = &g_registry; *link; link = &(*link)->nextInRegistry) {
    if (*link == state) {
      *link = state->nextInRegistry;
      break;
    }
  }
  LeaveCriticalSection(&g_registryLock);
}

}  // namespace

bool ProcessStartup() {
  g_threadSlot = TlsAlloc();
  if (g_threadSlot == TLS_OUT_OF_INDEXES) return false;
  InitializeCriticalSection(&g_registryLock);
  return true;
}

void ProcessShutdown() {
  if (g_threadSlot == TLS_OUT_OF_INDEXES) return;
  EnterCriticalSection(&g_registryLock);
  while (ThreadState* state = g_registry) {
    g_registry = state->nextInRegistry;
    delete state;
  }
  LeaveCriticalSection(&g_registryLock);
  DeleteCriticalSection(&g_registryLock);
  TlsFree(g_threadSlot);
  g_threadSlot = TLS_OUT_OF_INDEXES;
}

ThreadState* GetThreadState() {
  if (g_threadSlot == TLS_OUT_OF_INDEXES) return nullptr;
  DWORD lastError = GetLastError();  // TlsGetValue clears it
  ScopeGuard restore([lastError] { SetLastError(lastError); });
  auto* state = static_cast<ThreadState*>(TlsGetValue(g_threadSlot));
  if (state) return state;
  std::unique_ptr<ThreadState> made(new (std::nothrow) ThreadState);
  if (!made || !TlsSetValue(g_threadSlot, made.get())) return nullptr;
  state = made.release();  // the registry owns it from here
  EnterCriticalSection(&g_registryLock);
  state->nextInRegistry = g_registry;
  g_registry = state;
  LeaveCriticalSection(&g_registryLock);
  return state;
}

void ReleaseThreadState() {
  if (g_threadSlot == TLS_OUT_OF_INDEXES) return;
  auto* state = static_cast<ThreadState*>(TlsGetValue(g_threadSlot));
  if (!state) return;
  TlsSetValue(g_threadSlot, nullptr);
  Unregister(state);
  delete state;
}

ModuleState* CurrentModuleState() {
  ThreadState* thread = GetThreadState();
  return thread ? thread->moduleState : nullptr;
}

ModuleState* SetCurrentModuleState(ModuleState* state) {
  ThreadState* thread = GetThreadState();
  if (!thread) return nullptr;
  ModuleState* previous = thread->moduleState;
  thread->moduleState = state;
  return previous;
}

bool AfxWinInit(HINSTANCE instance) {
  ModuleState* state = CurrentModuleState();
  if (!state || !instance) return false;
  state->instance = instance;
  state->resources = instance;
  return true;
}

void JoinResourceChain(DynLinkLibrary* entry, HINSTANCE module) {
  ModuleState* state = CurrentModuleState();
  if (!state || !entry) return;
  entry->module = module;
  entry->next = state->resourceChain;
  state->resourceChain = entry;
}

void LeaveResourceChain(DynLinkLibrary* entry) {
  ModuleState* state = CurrentModuleState();
  if (!state || !entry) return;
  for (DynLinkLibrary** link = &state->resourceChain; *link; link = &(*link)->next) {
    if (*link == entry) {
      *link = entry->next;
      break;
    }
  }
}

HINSTANCE FindStringResource(UINT id) {
  ModuleState* state = CurrentModuleState();
  if (!state) return nullptr;
  // String tables are stored in blocks of sixteen, named by (id / 16) + 1.
  LPCSTR block = MAKEINTRESOURCEA((id >> 4) + 1);
  if (state->resources && FindResourceA(state->resources, block, MAKEINTRESOURCEA(6)))
    return state->resources;
  for (DynLinkLibrary* entry = state->resourceChain; entry; entry = entry->next) {
    if (FindResourceA(entry->module, block, MAKEINTRESOURCEA(6))) return entry->module;
  }
  return nullptr;
}

}  // namespace orvex::fw
