#include "OrvexC/hostkit/Journal.h"

#include <cstdint>
#include <cstdio>

namespace fake {

std::vector<std::string> Journal::Methods() const {
  std::vector<std::string> methods;
  for (const auto& entry : entries_) methods.push_back(entry.substr(0, entry.find('(')));
  return methods;
}

std::vector<std::string> Journal::OfMethod(int method) const {
  std::vector<std::string> found;
  std::string needle = "." + std::to_string(method) + "(";
  for (const auto& entry : entries_)
    if (entry.find(needle) != std::string::npos) found.push_back(entry);
  return found;
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
  std::snprintf(text, sizeof text, "%08llX", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(p)));
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
