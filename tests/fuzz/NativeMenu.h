// Native checks of the menu script parser and builder: the stand-in USER32
// that the builder's calls land in (declared in shim/windows.h), and the
// canonical descriptions (MenuDescription.h) of a node list and of a menu
// built from it.
#pragma once

#include <windows.h>

#include <string>

#include "menu/MenuScript.h"

namespace nativemenu {

// Menus made by CreateMenu and not yet destroyed (a popup goes with its parent).
int LiveMenus();

// The menu the node list stands for: a popup's items are the nodes between it
// and its matching END; the END at depth 0 closes the menu.
std::string DescribeNodes(const orvex::MenuNode* head);

// The menu as the builder made it through the stand-in USER32.
std::string DescribeMenu(HMENU menu);

// The shape rules every node list keeps, whether or not the parse succeeded;
// an empty result when they hold, else what broke.
std::string CheckNodeList(const orvex::CMenuScript& script, bool parsed);

// Parses `text` with the library's parser and builds with its builder (into
// the stand-in USER32), then checks the node list and that the built menu is
// the one the node list describes. Returns the canonical description of the
// file (MENU or NO MENU, then the items); sets *fault when a rule broke.
std::string ParseBuildAndCheck(const char* text, std::string* fault);

}  // namespace nativemenu
