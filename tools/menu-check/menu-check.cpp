// orvexc-menu-check [--rc] [--strict] SCRIPT...: reads each menu script with
// the library's own parser and builder and prints the menu it yields, or why
// it yields none: line, column, the likely mistake where one is known, and
// what the parser expected. Warnings name identifiers that do not give the
// number they show and numbers given twice. --rc also reports wherever a
// resource compiler reads the text otherwise (without it, one line says
// whether it would). Exit 1 when a script yields no menu or cannot be read,
// or, with --strict, when there is any warning; 2 for a wrong command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../ToolOptions.h"
#include "Diagnosis.h"
#include "RcDifferences.h"
#include "menu/MenuBuilder.h"

namespace {

bool ReadFile(const char* path, std::string* text) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text->append(chunk, n);
  std::fclose(file);
  return true;
}

// An item's whole text, however long.
std::string ItemText(HMENU menu, int index) {
  std::string text(GetMenuStringA(menu, index, nullptr, 0, MF_BYPOSITION) + 1, '\0');
  GetMenuStringA(menu, index, &text[0], static_cast<int>(text.size()), MF_BYPOSITION);
  return text.c_str();
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
    "  --strict  fail (exit 1) on any warning, for a title's build\n"
    "  --help    this text\n"
    "  --version the version\n"
    "Exit status: 0 every script yields a menu; 1 one does not, or a warning with --strict; 2 usage.\n";

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

void Say(const char* path, const std::string& text, std::size_t offset, const char* kind,
         const std::string& what) {
  orvex::TextPosition where = orvex::PositionOf(text, offset);
  std::printf("%s:%d:%d: %s%s\n", path, where.line, where.column, kind, what.c_str());
}

// The differences from a resource compiler: each with --rc, else one hint.
void ReportRc(const char* path, const std::string& text, bool rc) {
  std::vector<orvex::RcDifference> differences = orvex::FindRcDifferences(text);
  if (rc) {
    for (const orvex::RcDifference& difference : differences)
      Say(path, text, difference.offset, "rc: ", difference.what);
  } else if (!differences.empty()) {
    Say(path, text, differences.front().offset, "",
        "run with --rc: a resource compiler reads this script otherwise in " +
            std::to_string(differences.size()) + (differences.size() == 1 ? " place" : " places") +
            ", the first here");
  }
}

// Reports on one script; counts its warnings. True when it yields a menu.
bool Check(const char* path, const Options& options, int* warnings) {
  std::string text;
  if (!ReadFile(path, &text)) {
    std::printf("%s: cannot be read\n", path);
    return false;
  }
  ReportRc(path, text, options.rc);        // on every byte: a resource compiler reads past a NUL
  text.resize(std::strlen(text.c_str()));  // the library reads up to a NUL byte
  orvex::CMenuScript script;
  orvex::ScriptRecord record;
  orvex::Expected<const orvex::MenuNode*> nodes = script.Parse(text.c_str(), &record);
  for (const orvex::Finding& warning : orvex::Warnings(text, record)) {
    Say(path, text, warning.offset, "warning: ", warning.what);
    ++*warnings;
  }
  if (nodes) {
    std::printf("%s: a menu\n", path);
    HMENU menu = orvex::BuildMenu(*nodes);
    PrintMenu(menu, 0);
    DestroyMenu(menu);
    return true;
  }
  orvex::Finding parser = orvex::ParserFinding(text, nodes.Error());
  orvex::Finding mistake = orvex::LikelyMistake(text, nodes.Error(), record);
  if (mistake.what.empty()) {
    Say(path, text, parser.offset, "no menu: ", parser.what);
  } else {
    Say(path, text, mistake.offset, "no menu: ", mistake.what);
    Say(path, text, parser.offset, "note: ", parser.what);
  }
  return false;
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
