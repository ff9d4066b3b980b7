// The DLL entry point: builds the library's module state and application
// object at process attach, tears them down in reverse at process detach, and
// releases a thread's framework data at thread detach.
#include "frame/Library.h"

#include <new>

namespace orvex {

fw::ModuleState* detail::g_libraryModuleState = nullptr;
CApiLibraryApp* detail::g_libraryApp = nullptr;

namespace {

fw::ModuleState*& g_moduleState = detail::g_libraryModuleState;
CApiLibraryApp*& g_app = detail::g_libraryApp;

LRESULT CALLBACK LibraryWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Both objects are built and destroyed by the entry point itself, in a fixed
// order, rather than by the C runtime's static constructors.
alignas(fw::ModuleState) unsigned char g_moduleStateStorage[sizeof(fw::ModuleState)];
alignas(CApiLibraryApp) unsigned char g_appStorage[sizeof(CApiLibraryApp)];
fw::DynLinkLibrary* g_resourceEntry = nullptr;

LRESULT CALLBACK LibraryWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  fw::MaintainModuleState guard(g_moduleState);
  return DefWindowProcA(window, message, wParam, lParam);
}

void DestroyStatics() {
  if (g_app) {
    g_app->~CApiLibraryApp();
    g_app = nullptr;
  }
  if (g_moduleState) {
    g_moduleState->~ModuleState();
    g_moduleState = nullptr;
  }
}

BOOL ProcessAttach(HINSTANCE instance) {
  if (!fw::ProcessStartup()) return FALSE;
  g_moduleState = new (g_moduleStateStorage) fw::ModuleState(LibraryWindowProc);
  fw::ModuleState* previous = fw::SetCurrentModuleState(g_moduleState);
  g_app = new (g_appStorage) CApiLibraryApp;

  bool ok = fw::AfxWinInit(instance, nullptr, "", 0);
  if (ok && !g_app->InitInstance()) {
    g_app->ExitInstance();
    ok = false;
  }
  if (ok) {
    // A failed allocation only leaves the library out of the resource chain.
    g_resourceEntry = new (std::nothrow) fw::DynLinkLibrary;
    fw::JoinResourceChain(g_resourceEntry, instance);
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
  fw::ModuleState* previous = fw::SetCurrentModuleState(g_moduleState);
  g_app->ExitInstance();
  fw::AfxWinTerm();
  fw::LeaveResourceChain(g_resourceEntry);
  delete g_resourceEntry;
  g_resourceEntry = nullptr;
  DestroyStatics();
  fw::SetCurrentModuleState(previous);
  fw::ProcessShutdown();
}

}  // namespace

}  // namespace orvex

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      return orvex::ProcessAttach(instance);
    case DLL_THREAD_DETACH:
      // The thread's framework data (its current module state) goes with it.
      orvex::fw::ReleaseThreadState();
      return TRUE;
    case DLL_PROCESS_DETACH:
      orvex::ProcessDetach();
      return TRUE;
    default:
      return TRUE;
  }
}
