#include "OrvexC/hostkit/ImportHook.h"

#include <oleauto.h>

#include <cstring>
#include <mutex>
#include <set>

namespace hostkit {

void* HookImport(HMODULE module, const char* dll, const char* function, void* replacement) {
  if (!module) return nullptr;
  auto* base = reinterpret_cast<unsigned char*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const auto& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!directory.VirtualAddress) return nullptr;
  auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
  for (; descriptor->Name; ++descriptor) {
    if (_stricmp(reinterpret_cast<const char*>(base + descriptor->Name), dll) != 0) continue;
    if (!descriptor->OriginalFirstThunk) continue;  // names not kept: cannot tell entries apart
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      auto* slot = reinterpret_cast<void**>(&slots->u1.Function);
      void* previous = *slot;
      DWORD protection;
      VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
      *slot = replacement;
      VirtualProtect(slot, sizeof *slot, protection, &protection);
      return previous;
    }
  }
  return nullptr;
}

namespace {

volatile LONG g_count = 0;
volatile LONG g_runtimeCalls = 0;
volatile LONG g_failAt = -1;
std::mutex g_blocksLock;
bool g_follow = false;
std::set<void*> g_blocks;

void Count() { InterlockedIncrement(&g_count); }

// Counts a malloc-family call; false when this one is to fail.
bool RuntimeCall() {
  Count();
  return InterlockedIncrement(&g_runtimeCalls) - 1 != g_failAt;
}

void* Follow(void* block, void* replaced = nullptr) {
  std::lock_guard<std::mutex> hold(g_blocksLock);
  if (!g_follow) return block;
  if (replaced && block) g_blocks.erase(replaced);
  if (block) g_blocks.insert(block);
  return block;
}

// The real functions, taken from the import entries as they are replaced.
void*(__cdecl* g_malloc)(size_t);
void*(__cdecl* g_calloc)(size_t, size_t);
void*(__cdecl* g_realloc)(void*, size_t);
void(__cdecl* g_free)(void*);
char*(__cdecl* g_strdup)(const char*);
LPVOID(WINAPI* g_heapAlloc)(HANDLE, DWORD, SIZE_T);
LPVOID(WINAPI* g_heapReAlloc)(HANDLE, DWORD, LPVOID, SIZE_T);
HLOCAL(WINAPI* g_localAlloc)(UINT, SIZE_T);
HGLOBAL(WINAPI* g_globalAlloc)(UINT, SIZE_T);
BSTR(WINAPI* g_sysAllocString)(const OLECHAR*);
BSTR(WINAPI* g_sysAllocStringLen)(const OLECHAR*, UINT);
BSTR(WINAPI* g_sysAllocStringByteLen)(LPCSTR, UINT);

void* __cdecl WatchedMalloc(size_t size) { return RuntimeCall() ? Follow(g_malloc(size)) : nullptr; }
void* __cdecl WatchedCalloc(size_t count, size_t size) {
  return RuntimeCall() ? Follow(g_calloc(count, size)) : nullptr;
}
void* __cdecl WatchedRealloc(void* p, size_t size) {
  return RuntimeCall() ? Follow(g_realloc(p, size), p) : nullptr;
}
void __cdecl WatchedFree(void* p) {
  {
    std::lock_guard<std::mutex> hold(g_blocksLock);
    g_blocks.erase(p);
  }
  g_free(p);
}
char* __cdecl WatchedStrdup(const char* text) { return Count(), g_strdup(text); }
LPVOID WINAPI WatchedHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size) {
  return Count(), g_heapAlloc(heap, flags, size);
}
LPVOID WINAPI WatchedHeapReAlloc(HANDLE heap, DWORD flags, LPVOID p, SIZE_T size) {
  return Count(), g_heapReAlloc(heap, flags, p, size);
}
HLOCAL WINAPI WatchedLocalAlloc(UINT flags, SIZE_T size) { return Count(), g_localAlloc(flags, size); }
HGLOBAL WINAPI WatchedGlobalAlloc(UINT flags, SIZE_T size) { return Count(), g_globalAlloc(flags, size); }
BSTR WINAPI WatchedSysAllocString(const OLECHAR* text) { return Count(), g_sysAllocString(text); }
BSTR WINAPI WatchedSysAllocStringLen(const OLECHAR* text, UINT length) {
  return Count(), g_sysAllocStringLen(text, length);
}
BSTR WINAPI WatchedSysAllocStringByteLen(LPCSTR text, UINT length) {
  return Count(), g_sysAllocStringByteLen(text, length);
}

}  // namespace

int AllocationWatch::Watch(HMODULE module) {
  int routed = 0;
  auto route = [&](const char* dll, const char* name, auto hook, auto* original) {
    routed += RouteImport(module, dll, name, hook, original);
  };
  route("msvcrt.dll", "malloc", WatchedMalloc, &g_malloc);
  route("msvcrt.dll", "calloc", WatchedCalloc, &g_calloc);
  route("msvcrt.dll", "realloc", WatchedRealloc, &g_realloc);
  route("msvcrt.dll", "free", WatchedFree, &g_free);
  route("msvcrt.dll", "_strdup", WatchedStrdup, &g_strdup);
  route("kernel32.dll", "HeapAlloc", WatchedHeapAlloc, &g_heapAlloc);
  route("kernel32.dll", "HeapReAlloc", WatchedHeapReAlloc, &g_heapReAlloc);
  route("kernel32.dll", "LocalAlloc", WatchedLocalAlloc, &g_localAlloc);
  route("kernel32.dll", "GlobalAlloc", WatchedGlobalAlloc, &g_globalAlloc);
  route("oleaut32.dll", "SysAllocString", WatchedSysAllocString, &g_sysAllocString);
  route("oleaut32.dll", "SysAllocStringLen", WatchedSysAllocStringLen, &g_sysAllocStringLen);
  route("oleaut32.dll", "SysAllocStringByteLen", WatchedSysAllocStringByteLen, &g_sysAllocStringByteLen);
  return routed;
}

long AllocationWatch::Count() { return g_count; }
long AllocationWatch::RuntimeCalls() { return g_runtimeCalls; }
void AllocationWatch::FailAt(long n) { InterlockedExchange(&g_failAt, n); }

void AllocationWatch::FollowBlocks(bool follow) {
  std::lock_guard<std::mutex> hold(g_blocksLock);
  g_follow = follow;
  g_blocks.clear();
}

std::size_t AllocationWatch::LiveBlocks() {
  std::lock_guard<std::mutex> hold(g_blocksLock);
  return g_blocks.size();
}

void AllocationWatch::Reset() {
  InterlockedExchange(&g_count, 0);
  InterlockedExchange(&g_runtimeCalls, 0);
}

}  // namespace hostkit
