// Narrow text read by characters, not bytes. In the double-byte code pages
// (932, 936, 949, 950) the trail byte of a character can be any ASCII byte,
// '\' among them: every search of narrow text for a separator, a bracket, a
// colon or a pair such as "\t" goes through these functions, so that it
// matches only at the start of a character.
//
// The code page is the C runtime's current multibyte code page, which starts
// as the system's ANSI code page. A lead byte right before the terminator (a
// character cut short, as texts from the network can hold) is a character of
// one byte: no function here steps over the terminator or reads past it.
#pragma once

#include <mbctype.h>

#include <cstddef>

namespace orvex {

// True when `byte` opens a double-byte character. No code page has a lead
// byte below 0x80: ASCII, the bulk of what is read, is told inline, and only
// a byte above it asks the C runtime's table of the current multibyte code
// page (msvcrt starts with the ANSI code page, also under Wine, and a module
// may change it with _setmbcp; the library follows it like the runtime's own
// multibyte functions do).
inline bool IsLeadByte(unsigned char byte) noexcept { return byte >= 0x80 && _ismbblead(byte) != 0; }

// The character after the one at `p`: one byte on, or two for a lead byte
// followed by a nonzero byte. At the terminator, `p` itself. Inline: the
// parsers call it for every character.
inline const char* NextChar(const char* p) noexcept {
  const unsigned char byte = static_cast<unsigned char>(*p);
  if (byte < 0x80) return byte ? p + 1 : p;
  return IsLeadByte(byte) && p[1] ? p + 2 : p + 1;
}

// The character `count` characters on from `at`; the terminator when the text
// ends before.
inline const char* CharsOn(const char* at, std::size_t count) noexcept {
  while (count-- && *at) at = NextChar(at);
  return at;
}

// The start of the character that ends at `end`, reading `text` from its
// start; null when `end` is `text`.
const char* PreviousChar(const char* text, const char* end) noexcept;

// The start of the last character of `text`; null for an empty text.
const char* LastChar(const char* text) noexcept;

// '\' or '/' at `p`, the start of a character. The one separator test.
inline bool IsSeparator(const char* p) noexcept { return *p == '\\' || *p == '/'; }

// The first and the last separator of `text`; null when it holds none.
const char* FirstSeparator(const char* text) noexcept;
const char* LastSeparator(const char* text) noexcept;

// True when the last character of `text` is a separator.
bool EndsWithSeparator(const char* text) noexcept;

// The first and the last character `c` (a single-byte character) of `text`;
// null when it holds none.
const char* FindChar(const char* text, char c) noexcept;
const char* FindLastChar(const char* text, char c) noexcept;

// The first place in `text` where `sought` starts at a character start; null
// when there is none. An empty `sought` is found at `text`. Replaces the C
// runtime's _mbsstr, which compares bytes in some runtimes.
const char* FindText(const char* text, const char* sought) noexcept;

// The first character start `p` of [`text`, `end`) where the `length` bytes
// of `sought` stand wholly before `end`; null when there is none. The range
// holds no terminator; `end` points into the same text, at its terminator
// at the latest (a lead byte just before `end` reads the byte there).
const char* FindTextBefore(const char* text, const char* end, const char* sought,
                           std::size_t length) noexcept;

// Files that are no narrow text, told from their first bytes (`size` of
// them, NULs among them). UTF-16 of either byte order: by its byte order
// mark, or without one by the zero high bytes of the ASCII characters a
// script or a description is mostly made of (keywords, numbers, white
// space), in one byte of each pair.
bool IsUtf16(const char* bytes, std::size_t size) noexcept;
// Binary data: the offset of the first byte no text holds (a control
// character other than TAB, LF, vertical tab, form feed and CR, or DEL) when
// such bytes are at least four and one in 32 of them; SIZE_MAX for a text.
std::size_t BinaryAt(const char* bytes, std::size_t size) noexcept;

inline char* FindChar(char* text, char c) noexcept {
  return const_cast<char*>(FindChar(static_cast<const char*>(text), c));
}
inline char* FindText(char* text, const char* sought) noexcept {
  return const_cast<char*>(FindText(static_cast<const char*>(text), sought));
}

}  // namespace orvex
