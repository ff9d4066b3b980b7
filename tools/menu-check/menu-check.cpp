// orvexc-menu-check [--rc] SCRIPT...: reads each menu script with the
// library's own parser and prints the menu tree it yields, or why it yields
// no menu, with line, column and what the parser expected there; exit 1 when
// any script yields no menu (or cannot be read), else 0. With
// --rc it also warns wherever the script means something else than the same
// text compiled as a resource script's MENU statement. Usable in a title's build.
#include <cstdio>
#include <cstring>
#include <string>

#include "../ToolOptions.h"
#include "RcDifferences.h"
#include "menu/MenuScript.h"

namespace {

bool ReadFile(const char* path, std::string* text) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text->append(chunk, n);
  std::fclose(file);
  return true;
}

std::string Describe(const orvex::MenuNode* node) {
  std::string out;
  if (node->flags & orvex::kMenuSeparator) return "----";
  out = "\"" + std::string(node->text) + "\"";
  if (!(node->flags & orvex::kMenuPopup)) out += "  id " + std::to_string(node->id);
  for (const auto& option : orvex::kMenuOptions)
    if (node->flags & option.flag) out += std::string(" ") + option.word;
  return out;
}

void PrintTree(const orvex::MenuNode* head) {
  int depth = 0;
  for (const orvex::MenuNode* node = head ? head->next : nullptr; node; node = node->next) {
    if (node->flags == orvex::kMenuEndMarker) {
      if (--depth < 0) break;  // the END that closes the menu
      continue;
    }
    std::printf("%*s%s%s\n", 2 * depth, "", node->flags & orvex::kMenuPopup ? "POPUP " : "",
                Describe(node).c_str());
    if (node->flags & orvex::kMenuPopup) ++depth;
  }
}

// Reports on one script; true when it yields a menu.
bool Check(const char* path, bool rc) {
  std::string text;
  if (!ReadFile(path, &text)) {
    std::printf("%s: cannot be read\n", path);
    return false;
  }
  if (rc) {  // on every byte: a resource compiler reads past a NUL
    for (const orvex::RcDifference& difference : orvex::FindRcDifferences(text)) {
      orvex::TextPosition where = orvex::PositionOf(text, difference.offset);
      std::printf("%s:%d:%d: rc: %s\n", path, where.line, where.column, difference.what.c_str());
    }
  }
  text.resize(std::strlen(text.c_str()));  // the library reads up to a NUL byte
  orvex::CMenuScript script;
  if (script.ParseNodes(text.c_str())) {
    std::printf("%s: a menu\n", path);
    PrintTree(script.Head());
    return true;
  }
  orvex::MenuParseError error = script.Error();
  size_t at = error.offset < text.size() ? error.offset : text.size();
  orvex::TextPosition where = orvex::PositionOf(text, at);
  std::string found = at >= text.size() ? "the end of the text"
                                        : "\"" + text.substr(at, text.find_first_of(" \t\r\n", at) - at) + "\"";
  std::printf("%s:%d:%d: no menu: found %s, expected %s\n", path, where.line, where.column, found.c_str(),
              error.expected);
  return false;
}

}  // namespace

constexpr char kUsage[] =
    "usage: orvexc-menu-check [--rc] SCRIPT...\n"
    "Parses each menu script as LoadMenuFromFile does and prints its menu or where it fails;\n"
    "--rc also names what a resource compiler reads differently. --help, --version: this text,\n"
    "the version.\n";

int main(int argc, char** argv) {
  if (int status = orvexc_tools::AnswerStandardOption(argc, argv, "orvexc-menu-check", kUsage); status >= 0)
    return status;
  bool rc = argc > 1 && std::strcmp(argv[1], "--rc") == 0;
  int first = rc ? 2 : 1;
  if (first >= argc) {
    std::fprintf(stderr, "%s", kUsage);
    return 2;
  }
  bool all = true;
  for (int i = first; i < argc; ++i) all = Check(argv[i], rc) && all;
  return all ? 0 : 1;
}
