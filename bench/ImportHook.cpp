#include "ImportHook.h"

#include <oleauto.h>

#include <cstdlib>

namespace bench {

namespace {

volatile LONG g_allocations = 0;
void Count() { InterlockedIncrement(&g_allocations); }

// The real functions, taken from the import entries as they are replaced.
void*(__cdecl* g_malloc)(size_t);
void*(__cdecl* g_calloc)(size_t, size_t);
void*(__cdecl* g_realloc)(void*, size_t);
char*(__cdecl* g_strdup)(const char*);
LPVOID(WINAPI* g_heapAlloc)(HANDLE, DWORD, SIZE_T);
LPVOID(WINAPI* g_heapReAlloc)(HANDLE, DWORD, LPVOID, SIZE_T);
HLOCAL(WINAPI* g_localAlloc)(UINT, SIZE_T);
HGLOBAL(WINAPI* g_globalAlloc)(UINT, SIZE_T);
BSTR(WINAPI* g_sysAllocString)(const OLECHAR*);
BSTR(WINAPI* g_sysAllocStringLen)(const OLECHAR*, UINT);
BSTR(WINAPI* g_sysAllocStringByteLen)(LPCSTR, UINT);

void* __cdecl CountingMalloc(size_t size) { return Count(), g_malloc(size); }
void* __cdecl CountingCalloc(size_t count, size_t size) { return Count(), g_calloc(count, size); }
void* __cdecl CountingRealloc(void* p, size_t size) { return Count(), g_realloc(p, size); }
char* __cdecl CountingStrdup(const char* text) { return Count(), g_strdup(text); }
LPVOID WINAPI CountingHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size) {
  return Count(), g_heapAlloc(heap, flags, size);
}
LPVOID WINAPI CountingHeapReAlloc(HANDLE heap, DWORD flags, LPVOID p, SIZE_T size) {
  return Count(), g_heapReAlloc(heap, flags, p, size);
}
HLOCAL WINAPI CountingLocalAlloc(UINT flags, SIZE_T size) { return Count(), g_localAlloc(flags, size); }
HGLOBAL WINAPI CountingGlobalAlloc(UINT flags, SIZE_T size) { return Count(), g_globalAlloc(flags, size); }
BSTR WINAPI CountingSysAllocString(const OLECHAR* text) { return Count(), g_sysAllocString(text); }
BSTR WINAPI CountingSysAllocStringLen(const OLECHAR* text, UINT length) {
  return Count(), g_sysAllocStringLen(text, length);
}
BSTR WINAPI CountingSysAllocStringByteLen(LPCSTR text, UINT length) {
  return Count(), g_sysAllocStringByteLen(text, length);
}

template <class F>
int Route(HMODULE module, const char* dll, const char* name, F& real, F counting) {
  void* previous = hostkit::HookImport(module, dll, name, reinterpret_cast<void*>(counting));
  if (!previous) return 0;
  real = reinterpret_cast<F>(previous);
  return 1;
}

}  // namespace

int CountAllocationsOf(HMODULE module) {
  int routed = 0;
  routed += Route(module, "msvcrt.dll", "malloc", g_malloc, CountingMalloc);
  routed += Route(module, "msvcrt.dll", "calloc", g_calloc, CountingCalloc);
  routed += Route(module, "msvcrt.dll", "realloc", g_realloc, CountingRealloc);
  routed += Route(module, "msvcrt.dll", "_strdup", g_strdup, CountingStrdup);
  routed += Route(module, "kernel32.dll", "HeapAlloc", g_heapAlloc, CountingHeapAlloc);
  routed += Route(module, "kernel32.dll", "HeapReAlloc", g_heapReAlloc, CountingHeapReAlloc);
  routed += Route(module, "kernel32.dll", "LocalAlloc", g_localAlloc, CountingLocalAlloc);
  routed += Route(module, "kernel32.dll", "GlobalAlloc", g_globalAlloc, CountingGlobalAlloc);
  routed += Route(module, "oleaut32.dll", "SysAllocString", g_sysAllocString, CountingSysAllocString);
  routed += Route(module, "oleaut32.dll", "SysAllocStringLen", g_sysAllocStringLen, CountingSysAllocStringLen);
  routed += Route(module, "oleaut32.dll", "SysAllocStringByteLen", g_sysAllocStringByteLen,
                  CountingSysAllocStringByteLen);
  return routed;
}

long AllocationCount() { return g_allocations; }

}  // namespace bench
