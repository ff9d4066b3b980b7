// The canonical description (MenuDescription.h) of a menu as USER32 keeps it,
// read back through GetMenuItemCount and GetMenuItemInfoA. Windows only.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

#include "MenuDescription.h"

namespace menudesc {

inline std::string ItemText(HMENU menu, int index) {
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  if (!GetMenuItemInfoA(menu, index, TRUE, &info)) return "<unreadable>";
  std::string text(info.cch + 1, '\0');
  info.dwTypeData = &text[0];
  info.cch = static_cast<UINT>(text.size());
  if (!GetMenuItemInfoA(menu, index, TRUE, &info)) return "<unreadable>";
  text.resize(std::strlen(text.c_str()));
  return text;
}

// What USER32 keeps of each item; the option bits are the menu flags the
// script's options stand for, whether USER32 files them as type or state.
inline void DescribeLevel(HMENU menu, int depth, std::string* out) {
  int count = GetMenuItemCount(menu);
  for (int index = 0; index < count; ++index) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoA(menu, index, TRUE, &info)) {
      *out += Indent(depth) + "<unreadable item>\n";
      continue;
    }
    unsigned options = (info.fType & ~(MFT_SEPARATOR | MF_POPUP)) | info.fState;
    if (info.fType & MFT_SEPARATOR) {
      // USER32 grays every separator of its own accord; anything else shows.
      std::string line = SeparatorLine(depth);
      if ((options & ~MFS_GRAYED) || info.wID || info.hSubMenu) line.insert(line.size() - 1, " (with data)");
      *out += line;
    } else if (info.hSubMenu) {
      *out += PopupLine(depth, ItemText(menu, index), options);
      DescribeLevel(info.hSubMenu, depth + 1, out);
    } else {
      *out += ItemLine(depth, ItemText(menu, index), info.wID, options);
    }
  }
}

inline std::string DescribeMenu(HMENU menu) {
  if (!menu) return kNoMenu;
  std::string out = kMenu;
  DescribeLevel(menu, 0, &out);
  return out;
}

}  // namespace menudesc
