#include "OrvexC/hostkit/Journal.h"

#include "OrvexC/hostkit/FaultReport.h"

#include <cstdint>
#include <cstdio>

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
