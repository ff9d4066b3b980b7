// menu_describe OUTPUT SCRIPT...: what the native parser and builder decide
// for each menu script, in the canonical form of MenuDescription.h, one block
// per file ("FILE name", then MENU or NO MENU, then the items). The Windows
// differential test compares LoadMenuFromFile's menus with this output.
// Each file is read as the loader reads it: whole, up to its first NUL byte.
// Exits 1 when a parse or build breaks a rule of NativeMenu.h.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "MenuDescription.h"
#include "NativeMenu.h"

namespace {

bool ReadFile(const char* path, std::string* text) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text->append(chunk, n);
  std::fclose(file);
  return true;
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: menu_describe OUTPUT SCRIPT...\n");
    return 2;
  }
  std::vector<std::string> paths(argv + 2, argv + argc);
  std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
    return BaseName(a) < BaseName(b);
  });
  std::string out;
  int faults = 0, menus = 0;
  for (const auto& path : paths) {
    std::string text;
    if (!ReadFile(path.c_str(), &text)) {
      std::fprintf(stderr, "%s: cannot be read\n", path.c_str());
      return 2;
    }
    std::string fault;
    std::string description = nativemenu::ParseBuildAndCheck(text.c_str(), &fault);
    if (!fault.empty()) {
      std::fprintf(stderr, "%s: %s\n", path.c_str(), fault.c_str());
      ++faults;
    }
    if (description.rfind(menudesc::kMenu, 0) == 0) ++menus;
    out += "FILE " + BaseName(path) + "\n" + description;
  }
  std::string temporary = std::string(argv[1]) + ".tmp";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file || std::fwrite(out.data(), 1, out.size(), file) != out.size() || std::fclose(file) != 0 ||
      std::rename(temporary.c_str(), argv[1]) != 0) {
    std::fprintf(stderr, "%s: cannot be written\n", argv[1]);
    return 2;
  }
  std::printf("described %zu scripts (%d menus, %d without) into %s\n", paths.size(), menus,
              static_cast<int>(paths.size()) - menus, argv[1]);
  return faults ? 1 : 0;
}
