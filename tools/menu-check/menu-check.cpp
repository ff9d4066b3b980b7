// orvexc-menu-check [--rc] SCRIPT...: reads each menu script with the
// library's own parser and prints the menu tree it yields, or why it yields
// no menu, with line, column and what the parser expected there; exit 1 when
// any script yields no menu (or cannot be read), else 0. With
// --rc it also warns wherever the script means something else than the same
// text compiled as a resource script's MENU statement. Usable in a title's build.
#include <cstdio>
#include <cstring>
#include <string>

#include "RcDifferences.h"
#include "menu/MenuBuilder.h"

namespace {

bool ReadFile(const char* path, std::string* text) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text->append(chunk, n);
  std::fclose(file);
  return true;
}

// An item's whole text, however long.
std::string ItemText(HMENU menu, int index) {
  std::string text(GetMenuStringA(menu, index, nullptr, 0, MF_BYPOSITION) + 1, '\0');
  GetMenuStringA(menu, index, &text[0], static_cast<int>(text.size()), MF_BYPOSITION);
  return text.c_str();
}

// The menu as the script reads: one line per item, a popup's items indented
// below it, the TAB before an accelerator written \t.
void PrintMenu(HMENU menu, int depth) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    GetMenuItemInfoA(menu, i, TRUE, &info);
    std::string line;
    if (info.fType & MFT_SEPARATOR) {
      line = "----";
    } else {
      line = info.hSubMenu ? "POPUP \"" : "\"";
      for (char c : ItemText(menu, i)) line += c == '\t' ? std::string("\\t") : std::string(1, c);
      line += '"';
      if (!info.hSubMenu) line += "  id " + std::to_string(info.wID);
      for (const orvex::MenuOption& option : orvex::kMenuOptions)
        if ((info.fType | info.fState) & option.flag) line += std::string(" ") + option.word;
    }
    std::printf("%*s%s\n", 2 * depth, "", line.c_str());
    if (info.hSubMenu) PrintMenu(info.hSubMenu, depth + 1);
  }
}

// Reports on one script; true when it yields a menu.
bool Check(const char* path, bool rc) {
  std::string text;
  if (!ReadFile(path, &text)) {
    std::printf("%s: cannot be read\n", path);
    return false;
  }
  if (rc) {  // on every byte: a resource compiler reads past a NUL
    for (const orvex::RcDifference& difference : orvex::FindRcDifferences(text)) {
      orvex::TextPosition where = orvex::PositionOf(text, difference.offset);
      std::printf("%s:%d:%d: rc: %s\n", path, where.line, where.column, difference.what.c_str());
    }
  }
  text.resize(std::strlen(text.c_str()));  // the library reads up to a NUL byte
  orvex::CMenuScript script;
  orvex::Expected<const orvex::MenuNode*> nodes = script.Parse(text.c_str());
  if (nodes) {
    std::printf("%s: a menu\n", path);
    HMENU menu = orvex::BuildMenu(*nodes);
    PrintMenu(menu, 0);
    DestroyMenu(menu);
    return true;
  }
  const orvex::MenuParseError& error = nodes.Error();
  size_t at = error.offset < text.size() ? error.offset : text.size();
  orvex::TextPosition where = orvex::PositionOf(text, at);
  std::string found = at >= text.size() ? "the end of the text"
                                        : "\"" + text.substr(at, text.find_first_of(" \t\r\n", at) - at) + "\"";
  std::printf("%s:%d:%d: no menu: found %s, expected %s\n", path, where.line, where.column, found.c_str(),
              error.expected);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  bool rc = argc > 1 && std::strcmp(argv[1], "--rc") == 0;
  int first = rc ? 2 : 1;
  if (first >= argc) {
    std::fprintf(stderr, "usage: orvexc-menu-check [--rc] SCRIPT...\n");
    return 2;
  }
  bool all = true;
  for (int i = first; i < argc; ++i) all = Check(argv[i], rc) && all;
  return all ? 0 : 1;
}
