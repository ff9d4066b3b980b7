/* hold-file FILE READY RELEASE: opens FILE with no sharing, as a program that
 * has it in use does, creates the file READY once it holds FILE, and holds it
 * until the file RELEASE exists (60 s at most). The menu checker's case table
 * (tests/sdk/menu-check-cases.txt, rows "@held") runs the checker meanwhile.
 * Exit 0, or 1 when FILE cannot be opened or READY not made. */
#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv) {
  HANDLE held = argc == 4 ? CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL)
                          : INVALID_HANDLE_VALUE;
  HANDLE ready =
      held == INVALID_HANDLE_VALUE ? held : CreateFileA(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  int waited;
  if (ready == INVALID_HANDLE_VALUE) {
    fprintf(stderr, "hold-file FILE READY RELEASE: cannot hold the file or make READY (error %lu)\n", GetLastError());
    return 1;
  }
  CloseHandle(ready);
  for (waited = 0; waited < 60000 && GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES; waited += 20) Sleep(20);
  CloseHandle(held);
  return 0;
}
