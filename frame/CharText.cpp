#include "frame/CharText.h"

#include <mbctype.h>

#include <cstring>

namespace orvex {

// The C runtime's table of the current multibyte code page: msvcrt starts
// with the ANSI code page (also under Wine, whose GetACP follows LC_ALL) and
// a module may change it with _setmbcp; the library follows it like the
// runtime's own multibyte functions do.
// No code page has a lead byte below 0x80: ASCII text, the bulk of what is
// read, needs no look at the runtime's table (a call per character).
bool IsLeadByte(unsigned char byte) noexcept { return byte >= 0x80 && _ismbblead(byte) != 0; }

const char* NextChar(const char* p) noexcept {
  if (!*p) return p;
  if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1]) return p + 2;
  return p + 1;
}

const char* PreviousChar(const char* text, const char* end) noexcept {
  const char* previous = nullptr;
  for (const char* p = text; p < end; p = NextChar(p)) previous = p;
  return previous;
}

const char* LastChar(const char* text) noexcept {
  const char* last = nullptr;
  for (const char* p = text; *p; p = NextChar(p)) last = p;
  return last;
}

const char* FirstSeparator(const char* text) noexcept {
  for (const char* p = text; *p; p = NextChar(p))
    if (IsSeparator(p)) return p;
  return nullptr;
}

const char* LastSeparator(const char* text) noexcept {
  const char* last = nullptr;
  for (const char* p = text; *p; p = NextChar(p))
    if (IsSeparator(p)) last = p;
  return last;
}

bool EndsWithSeparator(const char* text) noexcept {
  const char* last = LastChar(text);
  return last && IsSeparator(last);
}

const char* FindChar(const char* text, char c) noexcept {
  for (const char* p = text; *p; p = NextChar(p))
    if (*p == c) return p;
  return nullptr;
}

const char* FindLastChar(const char* text, char c) noexcept {
  const char* last = nullptr;
  for (const char* p = text; *p; p = NextChar(p))
    if (*p == c) last = p;
  return last;
}

const char* FindText(const char* text, const char* sought) noexcept {
  const std::size_t length = std::strlen(sought);
  if (!length) return text;
  for (const char* p = text;; p = NextChar(p)) {
    if (*p == *sought && std::strncmp(p, sought, length) == 0) return p;  // the first byte before a call
    if (!*p) return nullptr;
  }
}

}  // namespace orvex
