// A menu as text, to assert what a module built or to show it: one line per
// item, nested items indented by two spaces, with the kind, the identifier
// (0 for a popup, whose identifier is its handle), the type and state flags
// and the text, cut at 255 bytes, tabs written \t:
//   popup 0 type=0 state=0 "&File"
//     item 101 type=0 state=0 "&Open\tCtrl+O"
// "empty menu" or "no menu" when there is no item or no menu.
#pragma once

#include <windows.h>

#include <string>

namespace hostkit {

// `exact`: each item's whole text, tabs as they are, on a line of its own
// after the item's line (whose text is then ""): to compare two menus.
std::string DescribeMenu(HMENU menu, bool exact = false);

// DescribeMenu, then DestroyMenu.
std::string DescribeAndDestroyMenu(HMENU menu, bool exact = false);

}  // namespace hostkit
