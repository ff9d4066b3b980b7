/* hold-file FILE READY RELEASE: opens FILE with no sharing, as a program that
 * has it in use does, creates the file READY once it holds FILE, and holds it
 * until the file RELEASE exists (60 s at most). The menu checker's case table
 * (tests/sdk/menu-check-cases.txt, rows "@held") runs the checker meanwhile.
 * Exit 0, or 1 when FILE cannot be opened or READY not made. */
#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv) {
  HANDLE held, ready;
  int waited;
  if (argc != 4) {
    fprintf(stderr, "usage: hold-file FILE READY RELEASE\n");
    return 2;
  }
  held = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (held == INVALID_HANDLE_VALUE) {
    fprintf(stderr, "hold-file: cannot open %s (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  ready = CreateFileA(argv[2], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (ready == INVALID_HANDLE_VALUE) {
    fprintf(stderr, "hold-file: cannot create %s (error %lu)\n", argv[2], GetLastError());
    return 1;
  }
  CloseHandle(ready);
  for (waited = 0; waited < 60000 && GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES; waited += 20) Sleep(20);
  CloseHandle(held);
  return 0;
}
