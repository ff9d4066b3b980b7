// The DLL entry point: builds the library's module state and application
// object at process attach, tears them down in reverse at process detach, and
// releases a thread's framework data at thread detach.
#include "frame/Library.h"

#include <memory>
#include <new>

namespace orvex {

fw::ModuleState* detail::g_libraryModuleState = nullptr;
CApiLibraryApp* detail::g_libraryApp = nullptr;
using detail::g_libraryApp;
using detail::g_libraryModuleState;

namespace {

// Both objects are built and destroyed by the entry point itself, in a fixed
// order, rather than by the C runtime's static constructors.
alignas(fw::ModuleState) unsigned char g_moduleStateStorage[sizeof(fw::ModuleState)];
alignas(CApiLibraryApp) unsigned char g_appStorage[sizeof(CApiLibraryApp)];
// Reset by the entry point at process detach, before static destruction.
std::unique_ptr<fw::DynLinkLibrary> g_resourceEntry;

void DestroyStatics() {
  if (g_libraryApp) {
    g_libraryApp->~CApiLibraryApp();
    g_libraryApp = nullptr;
  }
  if (g_libraryModuleState) {
    g_libraryModuleState->~ModuleState();
    g_libraryModuleState = nullptr;
  }
}

BOOL ProcessAttach(HINSTANCE instance) {
  if (!fw::ProcessStartup()) return FALSE;
  g_libraryModuleState = new (g_moduleStateStorage) fw::ModuleState;
  fw::ModuleState* previous = fw::SetCurrentModuleState(g_libraryModuleState);
  g_libraryApp = new (g_appStorage) CApiLibraryApp;

  bool ok = fw::AfxWinInit(instance);
  if (ok && !g_libraryApp->InitInstance()) {
    g_libraryApp->ExitInstance();
    ok = false;
  }
  if (ok) {
    // A failed allocation only leaves the library out of the resource chain.
    g_resourceEntry.reset(new (std::nothrow) fw::DynLinkLibrary);
    fw::JoinResourceChain(g_resourceEntry.get(), instance);
  }
  fw::SetCurrentModuleState(previous);
  if (!ok) {
    DestroyStatics();
    fw::ProcessShutdown();
    return FALSE;
  }
  return TRUE;
}

void ProcessDetach() {
  fw::ModuleState* previous = fw::SetCurrentModuleState(g_libraryModuleState);
  g_libraryApp->ExitInstance();
  fw::LeaveResourceChain(g_resourceEntry.get());
  g_resourceEntry.reset();
  DestroyStatics();
  fw::SetCurrentModuleState(previous);
  fw::ProcessShutdown();
}

}  // namespace

}  // namespace orvex

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  switch (reason) {
    case DLL_PROCESS_ATTACH: return orvex::ProcessAttach(instance);
    case DLL_THREAD_DETACH:
      // The thread's framework data (its current module state) goes with it.
      orvex::fw::ReleaseThreadState();
      return TRUE;
    case DLL_PROCESS_DETACH: orvex::ProcessDetach(); return TRUE;
    default: return TRUE;
  }
}
