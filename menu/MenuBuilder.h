// Builds a Windows menu from a parsed menu script's node list.
#pragma once

#include <windows.h>

#include "menu/MenuScript.h"

namespace orvex {

// The menu bar the nodes from `head` describe (CreateMenu, AppendMenuA); the
// caller owns it. The list is only read.
HMENU BuildMenu(const MenuNode* head);

}  // namespace orvex
