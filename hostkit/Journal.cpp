#include "OrvexC/hostkit/Journal.h"

#include "OrvexC/hostkit/FaultReport.h"
#include "OrvexC/hostkit/ImportHook.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace fake {

std::string JournalCall::Text(bool numbered) const {
  std::string slot = numbered ? "#" + std::to_string(method->slot) : "";
  return object + "." + method->name + slot + "(" + arguments + ")";
}

Journal::Journal() { hostkit::ReportJournal(this); }
Journal::~Journal() { hostkit::ForgetJournal(this); }

void Journal::Add(JournalCall call) {
  entries_.push_back(call.Text());
  calls_.push_back(std::move(call));
  if (onAdd) onAdd(calls_.back());
}

void Journal::Clear() {
  calls_.clear();
  entries_.clear();
}

std::vector<std::string> Journal::Numbered() const {
  std::vector<std::string> numbered;
  for (const JournalCall& call : calls_) numbered.push_back(call.Text(true));
  return numbered;
}

bool Journal::Has(const std::string& prefix) const {
  for (const auto& entry : entries_)
    if (entry.compare(0, prefix.size(), prefix) == 0) return true;
  return false;
}

std::string Journal::Text() const {
  std::string text;
  for (const auto& entry : entries_) text += entry + "\n";
  return text;
}

namespace {

ExportJournal* g_exports = nullptr;  // the journal of exports that exists
void(WINAPI* g_outputDebugString)(LPCSTR) = OutputDebugStringA;

void WINAPI RoutedOutputDebugString(LPCSTR text) {
  if (ExportJournal* journal = g_exports) journal->Add(text);
  g_outputDebugString(text);
}

}  // namespace

bool IsTracingEdition(HMODULE library) {
  if (!library) return false;
  HRSRC found = FindResourceW(library, MAKEINTRESOURCEW(1) /* VS_VERSION_INFO */,
                              MAKEINTRESOURCEW(16) /* RT_VERSION */);
  HGLOBAL loaded = found ? LoadResource(library, found) : nullptr;
  const auto* text = static_cast<const wchar_t*>(loaded ? LockResource(loaded) : nullptr);
  if (!text) return false;
  static const wchar_t kMark[] = L"(tracing edition)";
  std::wstring_view resource(text, SizeofResource(library, found) / sizeof(wchar_t));
  return resource.find(kMark) != std::wstring_view::npos;
}

ExportJournal::ExportJournal(HMODULE library) : library_(library), previous_(g_exports) {
  InitializeCriticalSection(&lock_);
  g_exports = this;
  if (previous_)
    tracing_ = previous_->tracing_ && previous_->library_ == library_;
  else
    tracing_ =
        IsTracingEdition(library_) && hostkit::RouteImport(library_, "kernel32.dll", "OutputDebugStringA",
                                                           &RoutedOutputDebugString, &g_outputDebugString);
}

ExportJournal::~ExportJournal() {
  g_exports = previous_;
  if (tracing_ && !previous_)
    hostkit::HookImport(library_, "kernel32.dll", "OutputDebugStringA",
                        reinterpret_cast<void*>(g_outputDebugString));
  DeleteCriticalSection(&lock_);
}

void ExportJournal::Add(const char* line) {
  static const char kPrefix[] = "OrvexC: ";
  std::string text = line ? line : "";
  if (text.compare(0, sizeof kPrefix - 1, kPrefix) == 0) text.erase(0, sizeof kPrefix - 1);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  EnterCriticalSection(&lock_);
  entries_.push_back(text);
  LeaveCriticalSection(&lock_);
  if (onAdd) onAdd(text);
}

std::vector<std::string> ExportJournal::Entries() const {
  EnterCriticalSection(&lock_);
  std::vector<std::string> copy = entries_;
  LeaveCriticalSection(&lock_);
  return copy;
}

void ExportJournal::Clear() {
  EnterCriticalSection(&lock_);
  entries_.clear();
  LeaveCriticalSection(&lock_);
}

std::string ExportJournal::Text() const {
  std::string text;
  for (const auto& entry : Entries()) text += entry + "\n";
  return text;
}

std::string Names::Of(const void* p) const {
  if (!p) return "null";
  auto it = names_.find(p);
  if (it != names_.end()) return it->second;
  // Eight hex digits at least, as a 32-bit pointer prints, in any build.
  char text[32];
  std::snprintf(text, sizeof text, "%08llX",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(p)));
  return text;
}

std::string FormatArg(const Names&, int value) { return std::to_string(value); }
std::string FormatArg(const Names&, unsigned long value) { return std::to_string(value); }

std::string FormatArg(const Names&, const char* text) {
  return text ? "\"" + std::string(text) + "\"" : "null";
}

std::string FormatArg(const Names& names, const void* pointer) { return names.Of(pointer); }

std::string FormatArg(const Names&, const RECT* rect) {
  if (!rect) return "null";
  return "{" + std::to_string(rect->left) + "," + std::to_string(rect->top) + "," +
         std::to_string(rect->right) + "," + std::to_string(rect->bottom) + "}";
}

}  // namespace fake
