// libFuzzer target: the menu script parser and builder on arbitrary bytes,
// under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer. The
// bytes are handed over as the loader hands a file over (a NUL-terminated copy
// in a block of exactly that size, so any read past the end shows). Beyond
// what the sanitizers see: a failed parse says what it expected and makes no
// menu, every menu the builder makes is reached from the result and freed with
// it, and a second parse of the same text decides alike and makes the same
// nodes. What the menus hold is the golden corpus's business (tests/menu).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "menu/MenuScript.h"

namespace {

void Check(bool holds, const char* fault) {
  if (holds) return;
  std::fprintf(stderr, "menu script fault: %s\n", fault);
  std::abort();
}

std::string Nodes(const orvex::CMenuScript& script) {
  std::string out;
  for (const orvex::MenuNode* node = script.Head(); node; node = node->next)
    out += std::to_string(node->flags) + ' ' + std::to_string(node->id) + ' ' + node->text + '\n';
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  char* text = static_cast<char*>(std::malloc(size + 1));
  if (!text) return 0;
  if (size) std::memcpy(text, data, size);
  text[size] = '\0';

  int before = LiveMenus();
  orvex::CMenuScript script;
  HMENU menu = static_cast<HMENU>(script.Parse(text));
  bool parsed = menu != nullptr;
  Check(parsed != static_cast<bool>(script.Error()), "a parse failed without saying what it expected, or the reverse");
  Check(parsed || LiveMenus() == before, "a failed parse made a menu");
  if (menu) DestroyMenu(menu);
  Check(LiveMenus() == before, "the builder made menus that the result does not reach");

  std::string nodes = Nodes(script);
  Check(script.ParseNodes(text) == parsed, "a second parse decided otherwise");
  Check(Nodes(script) == nodes, "a second parse made other nodes");
  std::free(text);
  return 0;
}
