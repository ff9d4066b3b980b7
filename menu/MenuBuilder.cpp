#include "menu/MenuBuilder.h"

#include <cstring>

#include "frame/CharText.h"

namespace orvex {
namespace {

// A command item's final text: its first kMaxCommandText bytes, in which
// the first backslash-t pair (a backslash that is a character, not a trail
// byte) becomes a TAB, which puts what follows it in the accelerator column.
void CommandText(const char* text, char (&final)[kMaxCommandText + 1]) {
  std::size_t length = 0;
  while (length < kMaxCommandText && text[length]) ++length;
  const char* end = text + length;
  const char* pair = FindTextBefore(text, end, "\\t", 2);
  if (!pair) {
    std::memcpy(final, text, length);
    final[length] = '\0';
    return;
  }
  const std::size_t before = static_cast<std::size_t>(pair - text);
  std::memcpy(final, text, before);
  final[before] = '\t';
  std::memcpy(final + before + 1, pair + 2, static_cast<std::size_t>(end - (pair + 2)));
  final[length - 1] = '\0';
}

// Places the items from `node` up to the END node that closes the level into
// `menu`, and returns the node after that END. A popup's submenu is built from
// the node after it; the list itself is only read.
const MenuNode* BuildLevel(HMENU menu, const MenuNode* node) {
  while (node) {
    const MenuNode* next = node->next;
    switch (KindOf(*node)) {
      case MenuNodeKind::kEnd: return next;
      case MenuNodeKind::kHead: break;
      case MenuNodeKind::kPopup: {
        HMENU submenu = CreateMenu();
        next = BuildLevel(submenu, next);
        AppendMenuA(menu, node->flags, reinterpret_cast<UINT_PTR>(submenu), node->text);
        break;
      }
      case MenuNodeKind::kSeparator: AppendMenuA(menu, MF_SEPARATOR, 0, nullptr); break;
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
