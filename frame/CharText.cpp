#include "frame/CharText.h"

#include <cstring>

namespace orvex {

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

namespace {

// Whether `sought` (of `length` bytes, no NUL among them) starts at `p`, whose
// first byte has been compared. Written out: the sought texts are a few bytes
// long, shorter than the C runtime's call costs.
bool RestMatches(const char* p, const char* sought, std::size_t length) noexcept {
  std::size_t i = 1;
  while (i < length && p[i] == sought[i]) ++i;
  return i == length;
}

}  // namespace

const char* FindText(const char* text, const char* sought) noexcept {
  const std::size_t length = std::strlen(sought);
  if (!length) return text;
  for (const char* p = text;; p = NextChar(p)) {
    if (*p == *sought && RestMatches(p, sought, length)) return p;
    if (!*p) return nullptr;
  }
}

const char* FindTextBefore(const char* text, const char* end, const char* sought,
                           std::size_t length) noexcept {
  if (!length) return text;
  for (const char* p = text; p < end && static_cast<std::size_t>(end - p) >= length; p = NextChar(p))
    if (*p == *sought && RestMatches(p, sought, length)) return p;
  return nullptr;
}

}  // namespace orvex
