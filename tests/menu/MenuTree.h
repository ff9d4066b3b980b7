// The menu USER32 holds, as the golden corpus's .tree files write it: one line
// per item, nested items indented: kind, identifier (0 for a popup, whose
// identifier is its handle), type and state flags, and the text with tabs
// shown as \t; "empty menu" or "no menu" when there is no item or no menu.
#pragma once

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace menutree {

inline std::string Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// The whole text of an item, tabs as they are.
inline std::string ItemText(HMENU menu, int index) {
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  GetMenuItemInfoA(menu, index, TRUE, &info);
  std::string text(info.cch + 1, '\0');
  info.dwTypeData = &text[0];
  info.cch = static_cast<UINT>(text.size());
  GetMenuItemInfoA(menu, index, TRUE, &info);
  return text.c_str();
}

// `exact`: each whole text with its tabs, to compare two menus; else the
// .tree form, where a text is what a 256-byte buffer receives, tabs as \t.
inline void Describe(HMENU menu, int depth, std::string& out, bool exact) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[256] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfoA(menu, i, TRUE, &info);
    std::string shown = exact ? ItemText(menu, i) : "";
    for (const char* c = text; *c && !exact; ++c) shown += *c == '\t' ? std::string("\\t") : std::string(1, *c);
    char line[400];
    std::snprintf(line, sizeof line, "%*s%s %u type=%X state=%X \"%s\"\n", depth * 2, "",
                  info.hSubMenu ? "popup" : "item", info.hSubMenu ? 0 : info.wID, info.fType, info.fState,
                  exact ? "" : shown.c_str());
    out += exact ? line + shown + "\n" : line;
    if (info.hSubMenu) Describe(info.hSubMenu, depth + 1, out, exact);
  }
}

// The tree of `menu`, which it then destroys.
inline std::string TreeAndDestroy(HMENU menu, bool exact = false) {
  std::string tree;
  if (menu) Describe(menu, 0, tree, exact);
  if (menu) DestroyMenu(menu);
  return !tree.empty() ? tree : menu ? "empty menu\n" : "no menu\n";
}

}  // namespace menutree
