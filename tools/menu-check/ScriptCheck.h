// The checker's report on one script, from the file's bytes: every line it
// prints before the menu, and whether the library yields a menu. No Windows
// calls here: the tool reads the file and prints the menu USER32 holds
// (menu-check.cpp); the fuzz target (tests/fuzz/fuzz_menu_check.cpp) runs
// this on any bytes natively.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "menu/MenuScript.h"
#include "tools/menu-check/RcDifferences.h"

namespace orvex {

// The library refuses larger script files unread (menu/LoadMenu.cpp), and
// so does the checker.
constexpr unsigned long long kMaxScriptFileBytes = 64ull * 1024 * 1024;

// Findings of one kind beyond this many are not shown: one line counts them.
constexpr std::size_t kShownOfAKind = 10;

// A menu of more items is not built and printed: one line counts them (USER32
// under Wine takes time that grows with the square of a menu's items).
constexpr std::size_t kShownItems = 1000;

struct ReportLine {
  bool placed;  // at a line and column of the script, or of the whole file
  TextPosition where;
  std::string text;  // "no menu: ...", "warning: ...", "rc: ...", "note: ...", "a menu"
};

struct ScriptReport {
  std::vector<ReportLine> lines;  // in the order printed
  bool menu = false;              // the library yields a menu
  bool show = false;              // and the tool prints it after the lines
  int warnings = 0;               // shown or not; with --rc, the resource compiler's places too
};

// The report on a script file of these bytes (at most kMaxScriptFileBytes).
// `rc`: every place where a resource compiler reads the script otherwise,
// else one line that says whether there is one. When the report says `menu`,
// `script` holds the node list the library builds the menu from.
ScriptReport CheckScript(const std::string& bytes, bool rc, CMenuScript& script);

// The line as the tool prints it for the script at `path`.
std::string Printed(const char* path, const ReportLine& line);

}  // namespace orvex
