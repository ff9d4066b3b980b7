// The stand-in USER32 (shim/windows.h) that the builder's calls land in when
// it is built natively for fuzzing: it keeps the menus made and not yet
// destroyed, so that a menu the result does not reach is counted, not leaked.
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

struct NativeMenu {
  std::vector<UINT_PTR> submenus;
};

namespace {

std::set<NativeMenu*>& Live() {
  static std::set<NativeMenu*> live;
  return live;
}

bool IsLive(UINT_PTR menu) { return Live().count(reinterpret_cast<HMENU>(menu)) != 0; }

// USER32 holds menu trees up to 25 levels deep, the menu bar included.
constexpr int kUser32MenuLevels = 25;

int Levels(HMENU menu) {
  int below = 0;
  for (UINT_PTR submenu : menu->submenus) below = std::max(below, Levels(reinterpret_cast<HMENU>(submenu)));
  return below + 1;
}

}  // namespace

int LiveMenus() { return static_cast<int>(Live().size()); }

HMENU CreateMenu() {
  auto* menu = new NativeMenu;
  Live().insert(menu);
  return menu;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
  if (!IsLive(reinterpret_cast<UINT_PTR>(menu))) return 0;
  if (text) (void)std::strlen(text);  // USER32 copies the text: a read past its end shows here
  if (!(flags & MF_POPUP)) return 1;
  // As USER32 does past its depth: the item stays without its submenu, which nothing owns now.
  if (!IsLive(id) || Levels(reinterpret_cast<HMENU>(id)) >= kUser32MenuLevels) return 0;
  menu->submenus.push_back(id);
  return 1;
}

BOOL DestroyMenu(HMENU menu) {
  if (!IsLive(reinterpret_cast<UINT_PTR>(menu))) return 0;
  for (UINT_PTR submenu : menu->submenus) DestroyMenu(reinterpret_cast<HMENU>(submenu));
  Live().erase(menu);
  delete menu;
  return 1;
}

int wsprintfA(LPSTR out, LPCSTR format, ...) {
  va_list args;
  va_start(args, format);
  int written = std::vsprintf(out, format, args);
  va_end(args);
  return written;
}
