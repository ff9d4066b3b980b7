// libFuzzer target: locations (CLocation, the path parts and the character
// helper) on arbitrary bytes, under AddressSanitizer and
// UndefinedBehaviorSanitizer, in a double-byte code page of the stand-in C
// runtime (shim/mbctype.h). An input is a digit choosing the code page (0
// 1252, 1 932, 2 936, 3 949, 4 950), a location and, after the first newline,
// a relative location; each is handed over as an exact-size block, so a read
// past a terminator shows. Beyond the sanitizers: every search finds a
// character start, never a trail byte, and the first or last such one;
// splitting loses no text; the rules the stress driver checks on Windows.
#include <mbctype.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "frame/CharText.h"
#include "frame/PathParts.h"
#include "resource/Location.h"

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
  CheckSearch(text, starts, orvex::LastChar(text), true, [](const char*) { return true; }, "LastChar");
  CheckSearch(text, starts, orvex::FindLastChar(text, '@'), true, [](const char* p) { return *p == '@'; },
              "FindLastChar");
  const std::size_t soughtLength = std::strlen(sought);
  if (soughtLength && length < 2048)
    CheckSearch(text, starts, orvex::FindText(text, sought), false,
                [&](const char* p) { return std::strncmp(p, sought, soughtLength) == 0; }, "FindText");
  const char* last = orvex::LastChar(text);
  Check(orvex::EndsWithSeparator(text) == (last && separator(last)), "EndsWithSeparator");
}

// The path parts put together again give the path, cut nowhere inside a character.
void CheckPathParts(const char* text) {
  orvex::PathParts parts;
  orvex::SplitPath(text, parts);
  const std::string joined = std::string(parts.drive) + parts.dir + parts.name + parts.ext;
  Check(!orvex::FirstSeparator(parts.name) && !orvex::FirstSeparator(parts.ext), "a separator after the directory");
  if (std::strlen(text) < 250) {  // no part cut
    Check(joined == text, "SplitPath lost or changed text");
    Check(!*parts.dir || orvex::EndsWithSeparator(parts.dir), "a directory that ends in no separator");
  }
  const std::size_t capacity = 1 + std::strlen(text) % 300;
  std::vector<char> made(capacity);
  orvex::MakePath(made.data(), capacity, parts.drive, parts.dir, parts.name, parts.ext);
  Check(std::memchr(made.data(), 0, capacity) != nullptr, "MakePath left its text unterminated");
}

void CheckLocation(const char* text, const char* relative) {
  const orvex::CLocation location(text);
  std::uint32_t service = 0;
  std::uint16_t port = 0;
  std::string server, object, p[8];
  const bool cracked = location.Crack(&service, &server, &object, &port);
  Check(!(location.IsRelative() && location.IsNetworkPath()), "both relative and a network path");
  const bool split = location.Split(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5], &p[6], &p[7]);
  Check(split == cracked, "Split and Crack disagree");
  if (split) {
    Check(p[2].size() <= 2 && p[3].size() < 256 && p[4].size() < 256 && p[5].size() < 256, "a part is too long");
    orvex::CLocation made;
    made.Make(p[0].c_str(), p[1].c_str(), p[2].c_str(), p[3].c_str(), p[4].c_str(), p[5].c_str(), p[6].c_str(),
              p[7].c_str());
  }
  orvex::CLocation resolved(location);
  const bool ok = resolved.MakeAbsolute(relative);
  if (!orvex::CLocation(relative).IsRelative()) Check(ok && resolved == relative, "a location kept its base");
  else if (!ok) Check(resolved == location, "a refused MakeAbsolute changed the base");
  std::string rest = text, component, joined;
  while (orvex::NextComponent(rest, component)) joined += component;
  Check(joined + rest == text && !orvex::FirstSeparator(rest.c_str()), "NextComponent lost or kept text");
  std::string dir = p[3];
  if (orvex::UpOneLevel(dir)) Check(p[3].compare(0, dir.size(), dir) == 0, "UpOneLevel is no prefix");
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
  CheckPathParts(text.get());
  CheckLocation(text.get(), relative.get());
  return 0;
}
