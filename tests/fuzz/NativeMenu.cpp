#include "NativeMenu.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "MenuDescription.h"

struct NativeMenu {
  struct Item {
    UINT flags;
    UINT_PTR id;
    bool hasText;
    std::string text;
  };
  std::vector<Item> items;
};

namespace {

std::set<NativeMenu*>& Live() {
  static std::set<NativeMenu*> live;
  return live;
}

bool IsLive(HMENU menu) { return Live().count(menu) != 0; }

// USER32 holds menu trees up to 25 levels deep, the menu bar included.
constexpr int kUser32MenuLevels = 25;

// Levels of the menu tree below and including `menu`.
int Levels(HMENU menu) {
  int below = 0;
  for (const auto& item : menu->items)
    if (item.flags & MF_POPUP) below = std::max(below, Levels(reinterpret_cast<HMENU>(item.id)));
  return below + 1;
}

}  // namespace

HMENU CreateMenu() {
  auto* menu = new NativeMenu;
  Live().insert(menu);
  return menu;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
  if (!IsLive(menu)) return 0;
  if ((flags & MF_POPUP) && !IsLive(reinterpret_cast<HMENU>(id))) return 0;
  if ((flags & MF_POPUP) && Levels(reinterpret_cast<HMENU>(id)) >= kUser32MenuLevels) {
    // As USER32 does: the item stays, without its submenu, which nothing owns now.
    menu->items.push_back({flags & ~MF_POPUP, id, text != nullptr, text ? text : ""});
    return 0;
  }
  menu->items.push_back({flags, id, text != nullptr, text ? text : ""});
  return 1;
}

BOOL DestroyMenu(HMENU menu) {
  if (!IsLive(menu)) return 0;
  for (const auto& item : menu->items)
    if (item.flags & MF_POPUP) DestroyMenu(reinterpret_cast<HMENU>(item.id));
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

namespace nativemenu {

using orvex::MenuNode;

int LiveMenus() { return static_cast<int>(Live().size()); }

std::string DescribeNodes(const MenuNode* head) {
  std::string out;
  int depth = 0;
  for (const MenuNode* node = head ? head->next : nullptr; node; node = node->next) {
    if (node->flags == orvex::kMenuEndMarker) {
      if (--depth < 0) break;
    } else if (node->flags & orvex::kMenuPopup) {
      out += menudesc::PopupLine(depth++, node->text, node->flags & ~orvex::kMenuPopup);
    } else if (node->flags & orvex::kMenuSeparator) {
      out += menudesc::SeparatorLine(depth);  // its identifier and options are not placed
    } else {
      out += menudesc::ItemLine(depth, menudesc::CommandText(node->text), node->id, node->flags);
    }
  }
  return out;
}

namespace {

void DescribeLevel(HMENU menu, int depth, std::string* out) {
  for (const auto& item : menu->items) {
    if (item.flags & MF_POPUP) {
      *out += menudesc::PopupLine(depth, item.text, item.flags & ~MF_POPUP);
      DescribeLevel(reinterpret_cast<HMENU>(item.id), depth + 1, out);
    } else if (item.flags & MF_SEPARATOR) {
      // What USER32 keeps of a separator: anything beyond the bare flag shows.
      std::string line = menudesc::SeparatorLine(depth);
      if (item.flags != MF_SEPARATOR || item.id || item.hasText) line.insert(line.size() - 1, " (with data)");
      *out += line;
    } else {
      *out += menudesc::ItemLine(depth, item.text, static_cast<unsigned>(item.id), item.flags);
    }
  }
}

void FreeMenusMadeSince(const std::set<NativeMenu*>& before) {
  std::vector<NativeMenu*> made;
  for (NativeMenu* menu : Live())
    if (!before.count(menu)) made.push_back(menu);
  for (NativeMenu* menu : made) {
    Live().erase(menu);
    delete menu;
  }
}

}  // namespace

std::string DescribeMenu(HMENU menu) {
  std::string out;
  if (menu) DescribeLevel(menu, 0, &out);
  return out;
}

std::string CheckNodeList(const orvex::CMenuScript& script, bool parsed) {
  const MenuNode* head = script.Head();
  if (!head) return "no node list";
  if (head->flags != orvex::kMenuHeadMarker || head->id || head->text[0]) return "the head node is not bare";
  int depth = 0;
  bool closed = false;
  for (const MenuNode* node = head->next; node; node = node->next) {
    size_t length = std::strlen(node->text);
    if (closed) return "nodes after the END that closes the menu";
    if (node->flags & orvex::kMenuHeadMarker) return "a second head node";
    if (node->flags == orvex::kMenuEndMarker) {
      if (length || node->id) return "an END node with a text or identifier";
      closed = --depth < 0;
    } else if (node->flags & orvex::kMenuEndMarker) {
      return "the end marker mixed with other flags";
    } else if (node->flags & orvex::kMenuPopup) {
      if (!length) return "a popup without a text";
      if (node->id) return "a popup with an identifier";
      ++depth;
    } else if (node->flags & orvex::kMenuSeparator) {
      if (length) return "a separator with a text";
    } else if (!length || length > orvex::kMaxCommandText) {
      return "a command text of " + std::to_string(length) + " characters";
    }
    if (depth > orvex::kMaxPopupDepth) return "popups nested deeper than the limit";
  }
  if (parsed == static_cast<bool>(script.Error())) return "a parse that failed without saying what it expected, or the reverse";
  if (parsed != closed) return parsed ? "a parse succeeded without closing the menu" : "a closed menu did not parse";
  return "";
}

std::string ParseBuildAndCheck(const char* text, std::string* fault) {
  fault->clear();
  int liveBefore = LiveMenus();
  const std::set<NativeMenu*> before = Live();
  orvex::CMenuScript script;
  HMENU menu = static_cast<HMENU>(script.Parse(text));
  bool parsed = menu != nullptr;
  *fault = CheckNodeList(script, parsed);
  std::string fromNodes = DescribeNodes(script.Head());
  if (fault->empty() && !parsed && LiveMenus() != liveBefore) *fault = "a failed parse made a menu";
  if (fault->empty() && parsed) {
    std::string built = DescribeMenu(menu);
    if (built != fromNodes) *fault = "the built menu differs from the node list:\n" + built + "--- nodes:\n" + fromNodes;
  }
  if (menu) DestroyMenu(menu);
  if (LiveMenus() != liveBefore) {
    if (fault->empty()) *fault = "the builder made menus that the result does not hold";
    FreeMenusMadeSince(before);  // so that one fault does not become leaks for the next input
  }
  return parsed ? menudesc::kMenu + fromNodes : menudesc::kNoMenu;
}

}  // namespace nativemenu
