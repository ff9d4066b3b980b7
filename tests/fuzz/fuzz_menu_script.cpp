// libFuzzer target: the menu script parser and builder on arbitrary bytes,
// under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer. The
// bytes are handed over as the loader hands a file over (a NUL-terminated copy
// in a block of exactly that size, so any read past the end shows). Beyond
// what the sanitizers see: a failed parse says what it expected and makes no
// menu, every menu the builder makes is reached from the result and freed with
// it, a second parse of the same text decides alike and makes the same nodes,
// and the places it tells the checker lie in the text. What the menus hold is
// the golden corpus's business (tests/menu).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "menu/MenuBuilder.h"

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

// What the parser tells the checker must point into the text: a text at its
// opening quote, an identifier of one to seven characters.
class PlacesInText : public orvex::MenuParseObserver {
 public:
  explicit PlacesInText(const char* text) : text_(text), length_(std::strlen(text)) {}
  void OnText(const orvex::MenuNode&, std::size_t quote) override {
    Check(quote < length_ && text_[quote] == '"', "a text told at a place that is not its quote");
  }
  void OnIdentifier(const orvex::MenuNode&, std::size_t at, std::size_t length) override {
    Check(length >= 1 && length <= orvex::kMaxIdentifier && at + length <= length_,
          "an identifier told outside the text");
  }

 private:
  const char* text_;
  std::size_t length_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  char* text = static_cast<char*>(std::malloc(size + 1));
  if (!text) return 0;
  if (size) std::memcpy(text, data, size);
  text[size] = '\0';

  int before = LiveMenus();
  orvex::CMenuScript script;
  orvex::Expected<const orvex::MenuNode*> nodes = script.Parse(text);
  bool parsed = static_cast<bool>(nodes);
  Check(parsed ? *nodes == script.Head() : nodes.Error().expected != nullptr && nodes.Error().offset <= size,
        "a parse failed without saying what it expected and where");
  HMENU menu = parsed ? orvex::BuildMenu(*nodes) : nullptr;
  Check(!parsed || menu, "a parsed script built no menu");
  Check(parsed || LiveMenus() == before, "a failed parse made a menu");
  if (menu) DestroyMenu(menu);
  Check(LiveMenus() == before, "the builder made menus that the result does not reach");

  std::string first = Nodes(script);
  PlacesInText places(text);
  orvex::Expected<const orvex::MenuNode*> again = script.Parse(text, &places);
  Check(static_cast<bool>(again) == parsed && again.Error().offset == nodes.Error().offset,
        "a second parse decided otherwise");
  Check(Nodes(script) == first, "a second parse made other nodes");
  std::free(text);
  return 0;
}
