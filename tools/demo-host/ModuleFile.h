// What the demo host finds out about a module before and after loading it:
// its PE headers read from the file (machine, imports, exports) and, when the
// loader refuses it or the entry is missing, a message that says what to do.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace demo {

// A PE image as the file holds it. `problem` is empty when the headers read.
struct PeImage {
  std::string problem;
  WORD machine = 0;
  bool isDll = false;
  // Imported DLL -> the functions imported from it by name.
  std::map<std::string, std::vector<std::string>> imports;
  std::vector<std::string> exports;
};

PeImage ReadPeImage(const std::string& path);

// A loaded module with its entry, or the message that explains why not.
struct LoadedModule {
  HMODULE handle = nullptr;
  FARPROC entry = nullptr;
  std::string error;    // why the module or its entry cannot be used
  std::vector<std::string> warnings;  // worries that do not stop the run
};

// Loads `path` with its own folder searched first for the DLLs it imports,
// as the runtime does, and finds `entryName`. Refusals are diagnosed from the
// file: missing file, wrong machine, missing DLL or function, missing entry.
LoadedModule LoadModule(const std::string& path, const std::string& entryName);

}  // namespace demo
