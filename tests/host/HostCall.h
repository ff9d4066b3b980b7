// What the host-export tables share: an export called by its name, with its
// arguments written as words, and the export a run is limited to.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

struct IHostContext;

namespace hosttest {

template <class T>
INT_PTR Word(T* p) {
  return reinterpret_cast<INT_PTR>(p);
}

// Whether the rows of `exportName` run: all of them, unless the program was
// started with `--only NAME`.
inline bool Selected(const std::string& exportName) {
  for (int i = 1; i + 1 < __argc; ++i)
    if (std::strcmp(__argv[i], "--only") == 0) return exportName == __argv[i + 1];
  return true;
}

// What the words of a call stand for: S the scope, C the context itself, b
// the buffer, l its length, o the next variable of `outs`, 'text' a string
// (no blanks), null, or an integer.
struct CallArgs {
  IUnknown* scope = nullptr;
  char* buffer = nullptr;
  int length = 0;
  int* outs = nullptr;
};

// The export named by the first word of `call` ("GetObjectX S 'obj'") with
// the arguments the other words give.
inline INT_PTR CallExport(const std::string& call, IHostContext* context, const CallArgs& with = {}) {
  std::istringstream words(call);
  std::string name;
  words >> name;
  std::vector<std::string> texts;
  texts.reserve(7);  // the strings passed stay where they are
  INT_PTR args[7] = {};
  int count = 0, outs = 0;
  for (std::string word; count < 7 && words >> word; ++count) {
    INT_PTR& a = args[count];
    if (word == "S")
      a = Word(with.scope);
    else if (word == "C")
      a = Word(context);
    else if (word == "b")
      a = Word(with.buffer);
    else if (word == "l")
      a = with.length;
    else if (word == "o")
      a = Word(with.outs + outs++);
    else if (word == "null")
      a = 0;
    else if (word[0] == '\'')
      a = Word(texts.emplace_back(word.substr(1, word.size() - 2)).c_str());
    else
      a = std::stol(word, nullptr, 0);
  }
  // Every argument and result is one machine word, and the caller removes the
  // arguments: any export can be called with seven, whatever it takes.
  using AnyExport = INT_PTR(__cdecl*)(void*, INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR);
  const auto exported = reinterpret_cast<AnyExport>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("OrvexC.dll"), name.c_str())));
  return exported(context, args[0], args[1], args[2], args[3], args[4], args[5], args[6]);
}

// The export a call names: its first word.
inline std::string ExportOf(const std::string& call) { return call.substr(0, call.find(' ')); }

}  // namespace hosttest
