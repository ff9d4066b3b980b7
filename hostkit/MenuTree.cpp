#include "OrvexC/hostkit/MenuTree.h"

#include <cstdio>

namespace hostkit {
namespace {

constexpr std::size_t kShownText = 255;  // what a 256-byte buffer holds

// The whole text of an item, however long.
std::string ItemText(HMENU menu, int index) {
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

void Describe(HMENU menu, int depth, std::string& out, bool exact) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
    GetMenuItemInfoA(menu, i, TRUE, &info);
    const std::string text = ItemText(menu, i);
    std::string shown;
    for (std::size_t c = 0; c < text.size() && c < kShownText && !exact; ++c)
      shown += text[c] == '\t' ? std::string("\\t") : std::string(1, text[c]);
    char line[400];
    std::snprintf(line, sizeof line, "%*s%s %u type=%X state=%X \"%s\"\n", depth * 2, "",
                  info.hSubMenu ? "popup" : "item", info.hSubMenu ? 0 : info.wID, info.fType, info.fState,
                  shown.c_str());
    out += line;
    if (exact) out += text + "\n";
    if (info.hSubMenu) Describe(info.hSubMenu, depth + 1, out, exact);
  }
}

}  // namespace

std::string DescribeMenu(HMENU menu, bool exact) {
  std::string tree;
  if (menu) Describe(menu, 0, tree, exact);
  return !tree.empty() ? tree : menu ? "empty menu\n" : "no menu\n";
}

std::string DescribeAndDestroyMenu(HMENU menu, bool exact) {
  std::string tree = DescribeMenu(menu, exact);
  if (menu) DestroyMenu(menu);
  return tree;
}

}  // namespace hostkit
