// Native stand-in for the few Windows declarations the menu builder and the
// locations use, so that they compile on Linux for fuzzing. The USER32 calls
// are implemented by NativeMenu.cpp, which counts the menus they make.
#pragma once

#include <strings.h>

#include <cstdint>

typedef unsigned long DWORD;
#define MAX_PATH 260

inline int _stricmp(const char* a, const char* b) { return strcasecmp(a, b); }

typedef struct NativeMenu* HMENU;
typedef std::uintptr_t UINT_PTR;
typedef unsigned int UINT;
typedef int BOOL;
typedef const char* LPCSTR;
typedef char* LPSTR;

#define MF_STRING 0x0000u
#define MF_POPUP 0x0010u
#define MF_SEPARATOR 0x0800u

HMENU CreateMenu();
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text);
BOOL DestroyMenu(HMENU menu);
// Like USER32's: no bound on the output, so an overflow of the caller's
// buffer shows under AddressSanitizer.
int wsprintfA(LPSTR out, LPCSTR format, ...);

// Stand-in only: menus made by CreateMenu and not yet destroyed (a popup goes
// with its parent).
int LiveMenus();
