/* A module whose DllMain never returns: as it loads, or built with
 * HANG_AT_EXIT as the process ends. */
#include <windows.h>
volatile DWORD spin;
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  (void)module;
  (void)reserved;
#ifdef HANG_AT_EXIT
  while (reason == DLL_PROCESS_DETACH) ++spin;
#else
  while (reason == DLL_PROCESS_ATTACH) ++spin;
#endif
  return TRUE;
}
