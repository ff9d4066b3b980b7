// Builds a Windows menu from a parsed menu script's node list.
#include <windows.h>

#include <mbstring.h>

#include <cstring>

#include "menu/MenuScript.h"

namespace orvex {
namespace {

// A command item's final text: the first backslash-t pair becomes a TAB,
// which puts what follows it in the accelerator column.
void CommandText(const char* text, char (&final)[kMaxCommandText + 1]) {
  // At most kMaxCommandText bytes, terminated; no zero fill of the rest
  // (the C runtime's strncpy fills it byte by byte, for every item).
  char copy[kMaxCommandText + 1];
  std::size_t length = 0;
  while (length < kMaxCommandText && text[length]) ++length;
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  auto* pair = reinterpret_cast<char*>(_mbsstr(reinterpret_cast<unsigned char*>(copy),
                                               reinterpret_cast<const unsigned char*>("\\t")));
  if (!pair) {
    std::strcpy(final, copy);
    return;
  }
  *pair = '\0';
  wsprintfA(final, "%s\t%s", copy, pair + 2);
}

// Makes one menu level from `node` up to the END node that closes it. Popups
// build their submenu from the node after them; every node placed is marked
// consumed, so that the enclosing level steps over a popup's body.
HMENU BuildLevel(MenuNode* node) {
  HMENU menu = CreateMenu();
  while (node && node->flags != kMenuEndMarker) {
    if (node->flags & kMenuHeadMarker) {
      // the head node places nothing
    } else if (node->flags & kMenuPopup) {
      HMENU submenu = BuildLevel(node->next);
      AppendMenuA(menu, node->flags, reinterpret_cast<UINT_PTR>(submenu), node->text);
    } else if (node->flags & kMenuSeparator) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else {
      char final[kMaxCommandText + 1];
      CommandText(node->text, final);
      AppendMenuA(menu, node->flags, node->id, final);
    }
    node->consumed = 1;
    do node = node->next;
    while (node && node->consumed);
  }
  if (node) node->consumed = 1;  // the END that closes this level
  return menu;
}

}  // namespace

void* CMenuScript::Parse(const char* text) {
  if (!ParseNodes(text)) return nullptr;
  menu = BuildLevel(nodes->first);
  return menu;
}

}  // namespace orvex
