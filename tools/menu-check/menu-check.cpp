// orvexc-menu-check [--rc] [--strict] SCRIPT...: reads each menu script with
// the library's own parser and builder and prints the menu it yields, or why
// it yields none: line, column, the likely mistake where one is known, and
// what the parser expected. Warnings name identifiers that do not give the
// number they show and numbers given twice. --rc also reports wherever a
// resource compiler reads the text otherwise (without it, one line says
// whether it would). A file that is no script in the ANSI code page (UTF-16,
// binary data) gets one line that says so, a NUL byte a line at its place (the
// library reads up to it); a file that cannot be read, one line with the
// reason. Ten findings of a kind are shown, one line counts the rest; quoted
// texts are cut. Exit 1 when a script yields no menu or cannot be read, or,
// with --strict, when there is any warning; 2 for a wrong command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../ToolOptions.h"
#include "RcDifferences.h"
#include "ScriptCheck.h"
#include "ScriptFile.h"
#include "menu/MenuBuilder.h"

namespace {

// An item's text as the menu is printed: cut beyond the longest command text.
std::string ItemText(HMENU menu, int index) {
  std::string text(GetMenuStringA(menu, index, nullptr, 0, MF_BYPOSITION) + 1, '\0');
  GetMenuStringA(menu, index, &text[0], static_cast<int>(text.size()), MF_BYPOSITION);
  text.resize(std::strlen(text.c_str()));
  return orvex::Echo(text.c_str(), text.c_str() + text.size(), orvex::kMaxCommandText);
}

// The menu as the script reads: one line per item, a popup's items indented
// below it, the TAB before an accelerator written \t.
void PrintMenu(HMENU menu, int depth) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    GetMenuItemInfoA(menu, i, TRUE, &info);
    std::string line;
    if (info.fType & MFT_SEPARATOR) {
      line = "----";
    } else {
      line = info.hSubMenu ? "POPUP \"" : "\"";
      for (char c : ItemText(menu, i)) line += c == '\t' ? std::string("\\t") : std::string(1, c);
      line += '"';
      if (!info.hSubMenu) line += "  id " + std::to_string(info.wID);
      for (const orvex::MenuOption& option : orvex::kMenuOptions)
        if ((info.fType | info.fState) & option.flag) line += std::string(" ") + option.word;
    }
    std::printf("%*s%s\n", 2 * depth, "", line.c_str());
    if (info.hSubMenu) PrintMenu(info.hSubMenu, depth + 1);
  }
}

struct Options {
  bool rc = false, strict = false;
  std::vector<const char*> scripts;
};

const char kUsage[] =
    "usage: orvexc-menu-check [--rc] [--strict] SCRIPT...\n"
    "  --rc      also report where a resource compiler reads a script otherwise\n"
    "  --strict  fail (exit 1) on any warning (with --rc, on each of its places too), for a title's build\n"
    "  --help    this text\n"
    "  --version the version\n"
    "Exit status: 0 every script yields a menu; 1 one does not, or a warning with --strict; 2 usage.\n"
    "A script that cannot be read yields no menu.\n";

// The command line; false, with the reason, when it is not one.
bool ReadArguments(int argc, char** argv, Options* options, std::string* wrong) {
  bool names = false;  // after "--" every argument is a script
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (names || arg.empty() || arg[0] != '-')
      options->scripts.push_back(argv[i]);
    else if (arg == "--")
      names = true;
    else if (arg == "--rc")
      options->rc = true;
    else if (arg == "--strict")
      options->strict = true;
    else
      return *wrong = "unknown option " + arg, false;
  }
  if (options->scripts.empty()) return *wrong = "no script named", false;
  return true;
}

// Reports on one script; counts its warnings. True when it yields a menu.
bool Check(const char* path, const Options& options, int* warnings) {
  std::string bytes, why;
  if (!orvex::ReadScriptFile(path, &bytes, &why)) {
    std::printf("%s: cannot be read: %s\n", path, why.c_str());
    return false;
  }
  orvex::CMenuScript script;
  orvex::ScriptReport report = orvex::CheckScript(bytes, options.rc, script);
  for (const orvex::ReportLine& line : report.lines) std::printf("%s\n", orvex::Printed(path, line).c_str());
  *warnings += report.warnings;
  if (report.show) {
    HMENU menu = orvex::BuildMenu(script.Head());
    PrintMenu(menu, 0);
    DestroyMenu(menu);
  }
  return report.menu;
}

}  // namespace

int main(int argc, char** argv) {
  if (int status = orvexc_tools::AnswerStandardOption(argc, argv, "orvexc-menu-check", kUsage); status >= 0)
    return status;
  Options options;
  std::string wrong;
  if (!ReadArguments(argc, argv, &options, &wrong)) {
    std::fprintf(stderr, "orvexc-menu-check: %s\n%s", wrong.c_str(), kUsage);
    return 2;
  }
  bool all = true;
  int warnings = 0;
  for (const char* script : options.scripts) all = Check(script, options, &warnings) && all;
  return all && !(options.strict && warnings) ? 0 : 1;
}
