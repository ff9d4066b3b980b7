#include "OrvexC/hostkit/Ledger.h"

#include "OrvexC/hostkit/ImportHook.h"

#include <oleauto.h>

#include <algorithm>
#include <iterator>
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

bool StringLedger::Watch() {
  return RouteImport(GetModuleHandleA("OrvexC.dll"), "oleaut32.dll", "SysFreeString", RecordingSysFreeString,
                     &g_realFree);
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
  for (std::size_t i = from; i < g_events.size(); ++i)
    count += !g_events[i].handed && g_events[i].text == text;
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

ReferenceAudit::~ReferenceAudit() {
  for (const FailedString& failed : failedStrings) SysFreeString(failed.text);
}

void ReferenceAudit::NoteObtained(const std::string& handedBy, const std::string& object) {
  handingMethods.insert(handedBy);
  held.push_back(object);
}

void ReferenceAudit::NoteReleased(const std::string& object) {
  if (!held.empty() && held.back() == object) {
    held.pop_back();
    return;
  }
  auto it = std::find(held.rbegin(), held.rend(), object);
  if (it == held.rend()) {
    releaseFaults.push_back(object + " released without a reference held");
    return;
  }
  releaseFaults.push_back(object + " released before " + held.back());
  held.erase(std::next(it).base());
}

}  // namespace hostkit
