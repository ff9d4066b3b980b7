#include "frame/CharText.h"

#include <cstdint>
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

namespace {

bool IsBinaryByte(unsigned char byte) noexcept {
  return (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\v' && byte != '\f' && byte != '\r') ||
         byte == 0x7F;
}

}  // namespace

bool IsUtf16(const char* bytes, std::size_t size) noexcept {
  if (size >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
    return true;
  const std::size_t pairs = (size < 65536 ? size : 65536) / 2;
  std::size_t zeroHigh[2] = {0, 0}, bothZero = 0;  // [0]: little-endian pairs (x, 0); [1]: big-endian (0, x)
  for (std::size_t k = 0; k < pairs; ++k) {
    const bool first = bytes[2 * k] == '\0', second = bytes[2 * k + 1] == '\0';
    if (first && second)
      ++bothZero;
    else if (second)
      ++zeroHigh[0];
    else if (first)
      ++zeroHigh[1];
  }
  for (int order = 0; order < 2; ++order) {
    const std::size_t hits = zeroHigh[order], others = zeroHigh[1 - order] + bothZero;
    if (hits >= 2 && 3 * hits >= pairs && 8 * others <= hits) return true;
  }
  return false;
}

std::size_t BinaryAt(const char* bytes, std::size_t size) noexcept {
  std::size_t count = 0, first = SIZE_MAX;
  for (std::size_t k = 0; k < size; ++k)
    if (IsBinaryByte(static_cast<unsigned char>(bytes[k])) && count++ == 0) first = k;
  return count >= 4 && 32 * count >= size ? first : SIZE_MAX;
}

}  // namespace orvex
