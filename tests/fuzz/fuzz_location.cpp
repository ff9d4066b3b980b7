// libFuzzer target: locations (CLocation, the path parts and the character
// helper) on arbitrary bytes, under AddressSanitizer and
// UndefinedBehaviorSanitizer, in a double-byte code page of the stand-in C
// runtime (shim/mbctype.h). An input is a digit choosing the code page (0
// 1252, 1 932, 2 936, 3 949, 4 950), a location and, after the first newline,
// a relative location; each is handed over as an exact-size block, so a read
// past a terminator shows. Beyond the sanitizers: every search finds a
// character start, never a trail byte, and the first or last such one;
// the rules every location keeps (resource/LocationRules.h).
#include <mbctype.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frame/CharText.h"
#include "resource/LocationRules.h"

namespace {

void Check(bool holds, const char* fault) {
  if (holds) return;
  std::fprintf(stderr, "location fault: %s\n", fault);
  std::abort();
}

// A NUL-terminated copy in a block of exactly its size.
class Block {
 public:
  Block(const char* from, std::size_t size) : text_(static_cast<char*>(std::malloc(size + 1))) {
    std::memcpy(text_, from, size);
    text_[size] = '\0';
  }
  ~Block() { std::free(text_); }
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;
  const char* get() const { return text_; }

 private:
  char* text_;
};

// Where the characters of `text` start, found by this target's own walk.
std::vector<bool> CharacterStarts(const char* text) {
  std::vector<bool> starts(std::strlen(text) + 1, false);
  for (std::size_t i = 0;; i += _ismbblead(static_cast<unsigned char>(text[i])) && text[i + 1] ? 2 : 1) {
    starts[i] = true;
    if (!text[i]) return starts;
  }
}

// `found` is the first (or last) character start where `matches` holds, or
// null when none does.
template <class Matches>
void CheckSearch(const char* text, const std::vector<bool>& starts, const char* found, bool last, Matches matches,
                 const char* fault) {
  const char* expected = nullptr;
  for (std::size_t i = 0; text[i]; ++i)
    if (starts[i] && matches(text + i) && (last || !expected)) expected = text + i;
  Check(found == expected, fault);
}

void CheckCharacterHelpers(const char* text, const char* sought) {
  const auto starts = CharacterStarts(text);
  const std::size_t length = std::strlen(text);
  for (const char* p = text; *p; p = orvex::NextChar(p)) Check(starts[p - text], "NextChar left the characters");
  auto separator = [](const char* p) { return *p == '\\' || *p == '/'; };
  CheckSearch(text, starts, orvex::FirstSeparator(text), false, separator, "FirstSeparator");
  CheckSearch(text, starts, orvex::LastSeparator(text), true, separator, "LastSeparator");
  CheckSearch(
      text, starts, orvex::LastChar(text), true, [](const char*) { return true; }, "LastChar");
  CheckSearch(
      text, starts, orvex::FindLastChar(text, '@'), true, [](const char* p) { return *p == '@'; }, "FindLastChar");
  const std::size_t soughtLength = std::strlen(sought);
  if (soughtLength && length < 2048)
    CheckSearch(
        text, starts, orvex::FindText(text, sought), false,
        [&](const char* p) { return std::strncmp(p, sought, soughtLength) == 0; }, "FindText");
  const char* last = orvex::LastChar(text);
  Check(orvex::EndsWithSeparator(text) == (last && separator(last)), "EndsWithSeparator");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const int kCodePages[] = {1252, 932, 936, 949, 950};
  if (size == 0) return 0;
  _setmbcp(kCodePages[static_cast<unsigned char>(data[0] - '0') % 5]);
  const char* bytes = reinterpret_cast<const char*>(data + 1);
  const std::size_t rest = size - 1;
  const char* newline = static_cast<const char*>(std::memchr(bytes, '\n', rest));
  const std::size_t first = newline ? static_cast<std::size_t>(newline - bytes) : rest;
  const Block text(bytes, first), relative(newline ? newline + 1 : bytes + rest, newline ? rest - first - 1 : 0);
  CheckCharacterHelpers(text.get(), relative.get());
  const rules::Fail fail = [](const char* rule) { Check(false, rule); };
  rules::CheckPathParts(text.get(), static_cast<int>(1 + std::strlen(text.get()) % 300), fail);
  rules::CheckLocation(text.get(), relative.get(), false, static_cast<unsigned char>(size), fail);
  return 0;
}
