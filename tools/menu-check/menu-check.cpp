// orvexc-menu-check SCRIPT: reads a menu script with the library's own parser
// and prints the menu tree it yields (exit 0), or why it yields no menu, with
// line, column and what was expected there (exit 1). Usable in a title's build.
#include <cstdio>
#include <cstring>
#include <string>

#include "menu/MenuScript.h"

namespace {

bool ReadFile(const char* path, std::string* text) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  char chunk[4096];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text->append(chunk, n);
  std::fclose(file);
  text->resize(std::strlen(text->c_str()));  // the library reads up to a NUL byte
  return true;
}

// The word before `at`, skipping white space and commas: what the parser had read.
std::string WordBefore(const std::string& text, size_t at) {
  size_t end = at;
  while (end > 0 && std::strchr(" \t\r\n", text[end - 1])) --end;
  if (end > 0 && (text[end - 1] == ',' || text[end - 1] == '"')) return text.substr(end - 1, 1);
  size_t start = end;
  while (start > 0 && !std::strchr(" \t\r\n,\"", text[start - 1])) --start;
  return text.substr(start, end - start);
}

// What the grammar wants after `previous`.
std::string Expected(const std::string& text, size_t at) {
  if (text.find_first_not_of(" \t\r\n") == std::string::npos) return "a menu name";
  std::string previous = WordBefore(text, at);
  if (previous.empty()) return "a menu name";
  if (previous == "MENU") return "BEGIN";
  if (previous == "POPUP" || previous == "MENUITEM")
    return previous == "POPUP" ? "a quoted text after one blank" : "a quoted text or SEPARATOR after one blank";
  if (previous == ",") return "an option (GRAYED, INACTIVE, CHECKED, MENUBARBREAK, MENUBREAK, HELP) or an identifier";
  if (previous == "\"") return "BEGIN, a comma and an option, or the next statement";
  if (previous == "BEGIN" || previous == "END" || previous == "SEPARATOR")
    return "POPUP, MENUITEM or END (upper case)";
  if (at >= text.size()) return "END";
  return "MENU after the menu name, or POPUP, MENUITEM or END";
}

void Where(const std::string& text, size_t at, int* line, int* column) {
  *line = 1;
  *column = 1;
  for (size_t i = 0; i < at && i < text.size(); ++i) {
    if (text[i] == '\n') { ++*line; *column = 1; } else ++*column;
  }
}

std::string Describe(const orvex::MenuNode* node) {
  std::string out;
  if (node->flags & orvex::kMenuSeparator) return "----";
  out = "\"" + std::string(node->text) + "\"";
  if (!(node->flags & orvex::kMenuPopup)) out += "  id " + std::to_string(node->id);
  static const struct { unsigned flag; const char* name; } kOptions[] = {
      {orvex::kMenuGrayed, "GRAYED"}, {orvex::kMenuDisabled, "INACTIVE"},
      {orvex::kMenuChecked, "CHECKED"}, {orvex::kMenuBarBreak, "MENUBARBREAK"},
      {orvex::kMenuBreak, "MENUBREAK"}, {orvex::kMenuHelp, "HELP"}};
  for (const auto& option : kOptions)
    if (node->flags & option.flag) out += std::string(" ") + option.name;
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: orvexc-menu-check SCRIPT\n");
    return 2;
  }
  std::string text;
  if (!ReadFile(argv[1], &text)) {
    std::printf("%s: cannot be read\n", argv[1]);
    return 1;
  }
  orvex::CMenuScript script;
  if (script.ParseNodes(text.c_str())) {
    std::printf("%s: a menu\n", argv[1]);
    PrintTree(script.Head());
    return 0;
  }
  size_t at = script.failedAt ? static_cast<size_t>(script.failedAt - text.c_str()) : text.size();
  int line, column;
  Where(text, at, &line, &column);
  std::string found = at >= text.size() ? "the end of the text"
                                        : "\"" + text.substr(at, text.find_first_of(" \t\r\n", at) - at) + "\"";
  std::printf("%s:%d:%d: no menu: found %s, expected %s\n", argv[1], line, column, found.c_str(),
              Expected(text, at).c_str());
  return 1;
}
