#include "OrvexC/hostkit/Ledger.h"

#include <oleauto.h>

#include <map>
#include <mutex>

namespace hostkit {
namespace {

struct Event {
  bool handed;  // true: handed to the library; false: freed by it
  const void* text;
};

std::mutex g_lock;
std::vector<Event> g_events;
void(WINAPI* g_realFree)(BSTR) = nullptr;

void WINAPI RecordingSysFreeString(BSTR text) {
  // Noted before the real free: a later string at the same address is a new one.
  if (text) {
    std::lock_guard<std::mutex> hold(g_lock);
    g_events.push_back({false, text});
  }
  g_realFree(text);
}

// Walks the sequence: what is wrong in it, and how many strings are still live.
void Walk(std::vector<std::string>* faults, int* outstanding) {
  std::lock_guard<std::mutex> hold(g_lock);
  std::map<const void*, bool> live;
  for (const Event& event : g_events) {
    // Strings the fake never handed out (the library's own) are not tracked.
    if (!event.handed && !live.count(event.text)) continue;
    bool& isLive = live[event.text];
    if (event.handed && isLive && faults) faults->push_back("BSTR handed again before being freed");
    if (!event.handed && !isLive && faults) faults->push_back("BSTR freed twice");
    isLive = event.handed;
  }
  if (outstanding) {
    *outstanding = 0;
    for (const auto& entry : live) *outstanding += entry.second ? 1 : 0;
  }
}

}  // namespace

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

bool StringLedger::Watch() {
  HMODULE oleaut = GetModuleHandleA("oleaut32.dll");
  if (!oleaut) return false;
  if (!g_realFree)
    g_realFree = reinterpret_cast<void(WINAPI*)(BSTR)>(reinterpret_cast<void*>(GetProcAddress(oleaut, "SysFreeString")));
  return HookImport(GetModuleHandleA("OrvexC.dll"), "oleaut32.dll", "SysFreeString",
                    reinterpret_cast<void*>(RecordingSysFreeString)) != nullptr;
}

void StringLedger::Clear() {
  std::lock_guard<std::mutex> hold(g_lock);
  g_events.clear();
}

void StringLedger::NoteHanded(const void* text) {
  std::lock_guard<std::mutex> hold(g_lock);
  g_events.push_back({true, text});
}

std::size_t StringLedger::Events() {
  std::lock_guard<std::mutex> hold(g_lock);
  return g_events.size();
}

int StringLedger::TimesFreed(const void* text, std::size_t from) {
  std::lock_guard<std::mutex> hold(g_lock);
  int count = 0;
  for (std::size_t i = from; i < g_events.size(); ++i) count += !g_events[i].handed && g_events[i].text == text;
  return count;
}

std::vector<std::string> StringLedger::Faults() {
  std::vector<std::string> faults;
  Walk(&faults, nullptr);
  return faults;
}

int StringLedger::Outstanding() {
  int outstanding = 0;
  Walk(nullptr, &outstanding);
  return outstanding;
}

}  // namespace hostkit
