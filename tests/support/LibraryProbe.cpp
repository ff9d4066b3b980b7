#include "LibraryProbe.h"

#include <oleauto.h>

#include <cstring>
#include <map>

namespace probe {
namespace {

constexpr DWORD kNoSlot = 0xFFFFFFFF;
DWORD g_slot = kNoSlot;
constexpr DWORD kSlotCount = 64 + 1024;  // TLS_MINIMUM_AVAILABLE plus the expansion slots

bool Readable(const void* p, std::size_t size) {
  MEMORY_BASIC_INFORMATION info;
  if (!VirtualQuery(p, &info, sizeof info) || info.State != MEM_COMMIT) return false;
  if (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) return false;
  auto end = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
  return static_cast<const char*>(p) + size <= end;
}

bool IsThreadState(const void* p) {
  if (!p || !Readable(p, sizeof(orvex::fw::ThreadState))) return false;
  return static_cast<const orvex::fw::ThreadState*>(p)->tag == orvex::fw::kThreadStateTag;
}

std::vector<StringEvent> g_events;
void(WINAPI* g_realFree)(BSTR) = nullptr;

void WINAPI RecordingSysFreeString(BSTR text) {
  if (text) g_events.push_back({false, text});
  g_realFree(text);
}

}  // namespace

orvex::fw::ThreadState* FindThreadState() {
  DWORD error = GetLastError();
  orvex::fw::ThreadState* found = nullptr;
  if (g_slot != kNoSlot && IsThreadState(TlsGetValue(g_slot))) {
    found = static_cast<orvex::fw::ThreadState*>(TlsGetValue(g_slot));
  } else {
    for (DWORD slot = 0; slot < kSlotCount && !found; ++slot) {
      void* value = TlsGetValue(slot);
      if (IsThreadState(value)) {
        g_slot = slot;
        found = static_cast<orvex::fw::ThreadState*>(value);
      }
    }
  }
  SetLastError(error);
  return found;
}

orvex::fw::ModuleState* CurrentModuleState() {
  orvex::fw::ThreadState* state = FindThreadState();
  return state ? state->moduleState : nullptr;
}

void ResetThreadStateSlot() { g_slot = kNoSlot; }

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

bool HookSysFreeString(HMODULE library) {
  HMODULE oleaut = GetModuleHandleA("oleaut32.dll");
  if (!oleaut) return false;
  auto real = reinterpret_cast<void(WINAPI*)(BSTR)>(reinterpret_cast<void*>(GetProcAddress(oleaut, "SysFreeString")));
  if (!g_realFree) g_realFree = real;
  return HookImport(library, "oleaut32.dll", "SysFreeString", reinterpret_cast<void*>(RecordingSysFreeString)) !=
         nullptr;
}

std::vector<StringEvent>& StringEvents() { return g_events; }

void NoteHanded(const void* text) { g_events.push_back({true, text}); }

namespace {
void Walk(std::vector<std::string>* faults, int* outstanding) {
  std::map<const void*, bool> live;
  for (const StringEvent& event : g_events) {
    // Strings the fake never handed out (the library's own) are not tracked.
    if (!event.handed && !live.count(event.text)) continue;
    bool& isLive = live[event.text];
    if (event.handed && isLive && faults) faults->push_back("handed again before being freed");
    if (!event.handed && !isLive && faults) faults->push_back("freed twice, or never handed out");
    isLive = event.handed;
  }
  if (outstanding) {
    *outstanding = 0;
    for (const auto& entry : live) *outstanding += entry.second ? 1 : 0;
  }
}
}  // namespace

std::vector<std::string> StringFaults() {
  std::vector<std::string> faults;
  Walk(&faults, nullptr);
  return faults;
}

int OutstandingStrings() {
  int outstanding = 0;
  Walk(nullptr, &outstanding);
  return outstanding;
}

}  // namespace probe
