// The call journal of the fake title runtime: one entry per runtime method
// called, written "object.Method(arguments)", e.g. app.FindThread("main");
// releases are "object.Release()". The method names and their notes come
// from the runtime's list of methods; an entry gives its slot on request
// (Numbered(): "app.FindThread#21(\"main\")").
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "OrvexC/RuntimeInterfaces.h"

namespace fake {

// One runtime call as the journal keeps it.
struct JournalCall {
  std::string object;                    // "window", "thread:narration"
  const orvex::runtime::Method* method;  // its row in the runtime's list
  std::string arguments;                 // formatted, without the parentheses
  // "window.SetStatusText(\"ready\")", or with the slot: "window.SetStatusText#7(\"ready\")".
  std::string Text(bool numbered = false) const;
  const char* Note() const { return method->note; }
};

// A journal is the one a fault report lists (FaultReport.h) from its making
// until its end.
class Journal {
 public:
  Journal();
  ~Journal();
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  void Add(JournalCall call);
  void Clear();
  // Entries as text, in call order.
  const std::vector<std::string>& Entries() const { return entries_; }
  // The same entries with each method's slot.
  std::vector<std::string> Numbered() const;
  const std::vector<JournalCall>& Calls() const { return calls_; }
  // Whether any entry starts with `prefix` (an object, or "object.Method").
  bool Has(const std::string& prefix) const;
  std::string Text() const;  // all entries, one per line, for failure messages
  // Called with each call as it is added (a host can stream the journal).
  std::function<void(const JournalCall&)> onAdd;

 private:
  std::vector<JournalCall> calls_;
  std::vector<std::string> entries_;
};

// Whether `library` is the tracing edition of OrvexC.dll, as its version
// resource says ("... (tracing edition)" in its description).
bool IsTracingEdition(HMODULE library);

// The journal of exports: the lines the tracing edition of OrvexC.dll (built
// with ORVEXC_TRACE; bin/trace/OrvexC.dll of the debug archive) reports for
// each export call, its runtime calls and its result, without the "OrvexC: "
// prefix and the line end: "GetObjectX(0x0061F8A0, null, \"Buton\")",
// "  IHostContext::FindObject -> 0x80004005", "GetObjectX -> 0". While one
// exists, the library's OutputDebugStringA calls are routed through it on
// every thread (and still reach the debugger); the shipped OrvexC.dll reports
// nothing, and Tracing() says so. Of journals made one inside another's
// life, the latest gets the lines until it ends.
class ExportJournal {
 public:
  // `library`: the OrvexC.dll in this process (by default the one loaded).
  explicit ExportJournal(HMODULE library = GetModuleHandleA("OrvexC.dll"));
  ~ExportJournal();
  ExportJournal(const ExportJournal&) = delete;
  ExportJournal& operator=(const ExportJournal&) = delete;

  // Whether the library is the tracing edition.
  bool Tracing() const { return tracing_; }
  // The lines so far, in the order they were reported.
  std::vector<std::string> Entries() const;
  void Clear();
  std::string Text() const;  // one per line, for failure messages
  // Called with each line as it arrives, on the reporting thread.
  std::function<void(const std::string&)> onAdd;

  void Add(const char* line);  // what the routed OutputDebugStringA calls

 private:
  HMODULE library_;
  ExportJournal* previous_;
  bool tracing_ = false;
  mutable CRITICAL_SECTION lock_;
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

// The arguments of one call, joined by commas.
inline std::string FormatAll(const Names&) { return ""; }
template <class A, class... R>
std::string FormatAll(const Names& names, A first, R... rest) {
  std::string tail = FormatAll(names, rest...);
  return FormatArg(names, first) + (tail.empty() ? "" : "," + tail);
}

}  // namespace fake
