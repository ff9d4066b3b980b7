#include "menu/MenuBuilder.h"

#include <cstring>

#include "frame/CharText.h"

namespace orvex {
namespace {

// A command item's final text: the first backslash-t pair (a backslash that
// is a character, not a trail byte) becomes a TAB, which puts what follows it
// in the accelerator column.
void CommandText(const char* text, char (&final)[kMaxCommandText + 1]) {
  // At most kMaxCommandText bytes, terminated; no zero fill of the rest
  // (the C runtime's strncpy fills it byte by byte, for every item).
  char copy[kMaxCommandText + 1];
  std::size_t length = 0;
  while (length < kMaxCommandText && text[length]) ++length;
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  char* pair = FindText(copy, "\\t");
  if (!pair) {
    std::strcpy(final, copy);
    return;
  }
  *pair = '\0';
  wsprintfA(final, "%s\t%s", copy, pair + 2);
}

// Places the items from `node` up to the END node that closes the level into
// `menu`, and returns the node after that END. A popup's submenu is built from
// the node after it; the list itself is only read.
const MenuNode* BuildLevel(HMENU menu, const MenuNode* node) {
  while (node) {
    const MenuNode* next = node->next;
    switch (KindOf(*node)) {
      case MenuNodeKind::kEnd:
        return next;
      case MenuNodeKind::kHead:
        break;
      case MenuNodeKind::kPopup: {
        HMENU submenu = CreateMenu();
        next = BuildLevel(submenu, next);
        AppendMenuA(menu, node->flags, reinterpret_cast<UINT_PTR>(submenu), node->text);
        break;
      }
      case MenuNodeKind::kSeparator:
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuNodeKind::kCommand: {
        char final[kMaxCommandText + 1];
        CommandText(node->text, final);
        AppendMenuA(menu, node->flags, node->id, final);
        break;
      }
    }
    node = next;
  }
  return nullptr;
}

}  // namespace

HMENU BuildMenu(const MenuNode* head) {
  HMENU menu = CreateMenu();
  BuildLevel(menu, head);
  return menu;
}

}  // namespace orvex
