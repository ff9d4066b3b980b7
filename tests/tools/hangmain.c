/* A module whose DllMain never returns. */
#include <windows.h>
volatile DWORD spin;
BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  (void)module;
  (void)reserved;
  while (reason == DLL_PROCESS_ATTACH) ++spin;
  return TRUE;
}
