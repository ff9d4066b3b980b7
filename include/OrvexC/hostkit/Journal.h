// The call journal of the fake title runtime: one entry per runtime method
// called, written "object.method(arguments)", e.g. app.21("main").
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fake {

class Journal {
 public:
  void Add(std::string entry) {
    if (echo) echo(entry);
    entries_.push_back(std::move(entry));
  }
  void Clear() { entries_.clear(); }
  const std::vector<std::string>& Entries() const { return entries_; }
  // The entries without their argument lists: "app.21".
  std::vector<std::string> Methods() const;
  // Only the entries of method `method` (2 gives the releases, in order).
  std::vector<std::string> OfMethod(int method) const;
  // Whether any entry starts with `prefix` (an object, or "object.method").
  bool Has(const std::string& prefix) const;
  std::string Text() const;  // all entries, one per line, for failure messages

 // Called with each entry as it is made: a host that shows the calls as they
  // happen (a run cut short still shows them).
  std::function<void(const std::string&)> echo;

 private:
  std::vector<std::string> entries_;
};

// Names the fake objects go by in journal arguments.
class Names {
 public:
  void Register(const void* p, std::string name) { names_[p] = std::move(name); }
  void Forget(const void* p) { names_.erase(p); }
  std::string Of(const void* p) const;

 private:
  std::map<const void*, std::string> names_;
};

// Formats one argument of a journal entry.
std::string FormatArg(const Names& names, int value);
std::string FormatArg(const Names& names, unsigned long value);
std::string FormatArg(const Names& names, const char* text);
std::string FormatArg(const Names& names, const void* pointer);
std::string FormatArg(const Names& names, const RECT* rect);

}  // namespace fake
