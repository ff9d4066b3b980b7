// Native stand-in for the few Windows declarations the menu builder, the
// locations and the host kit's title reader use, so that they compile on
// Linux for fuzzing. The USER32 calls are implemented by NativeMenu.cpp,
// which counts the menus they make; the two file calls of the title reader
// are inline below.
#pragma once

#include <strings.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstring>

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

// The title reader's (hostkit/TitleFolder.cpp): a path is taken as it stands
// (no current directory is put before it), and a file's attributes tell only
// whether it is a directory.
typedef int LONG;
typedef struct tagRECT {
  LONG left, top, right, bottom;
} RECT;
#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(-1))
#define FILE_ATTRIBUTE_DIRECTORY 0x10u
#define FILE_ATTRIBUTE_NORMAL 0x80u

inline DWORD GetFullPathNameA(LPCSTR path, DWORD size, LPSTR out, LPSTR* part) {
  const std::size_t length = std::strlen(path);
  if (part) *part = nullptr;
  if (!length) return 0;
  if (length >= size) return static_cast<DWORD>(length + 1);
  std::memcpy(out, path, length + 1);
  return static_cast<DWORD>(length);
}

inline DWORD GetFileAttributesA(LPCSTR path) {
  struct stat about;
  if (stat(path, &about) != 0) return INVALID_FILE_ATTRIBUTES;
  return S_ISDIR(about.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}
