#include "CodePages.h"

#include <OrvexC/hostkit/Ledger.h>

#include <cstring>
#include <stdexcept>

namespace codepage {
namespace {

// {5C}, {5D}, {5B}, {40}, {74}, {45}, a character with no ASCII byte, a lead byte.
const CodePage kCodePages[] = {
    // Shift-JIS: 95 5C, 83 5D, 83 5B, 83 40, 83 74, 83 45, 8E A6, 95
    {932, {"\x95\x5C", "\x83\x5D", "\x83\x5B", "\x83\x40", "\x83\x74", "\x83\x45", "\x8E\xA6", "\x95"}},
    // GBK
    {936, {"\xB5\x5C", "\xB0\x5D", "\xB5\x5B", "\xB5\x40", "\xB2\x74", "\xB0\x45", "\xB1\xED", "\xB1"}},
    // Unified Hangul: no trail byte below 0x41, Hangul in the rows instead
    {949, {"\xB0\xA2", "\xB0\xA3", "\xB0\xA4", "\xB0\xA5", "\x81\x74", "\x81\x45", "\xB0\xA1", "\xB0"}},
    // Big5
    {950, {"\xA5\x5C", "\xA5\x5D", "\xA5\x5B", "\xA5\x40", "\xA5\x74", "\xA4\x45", "\xAA\xED", "\xAA"}},
    // the single-byte control
    {1252, {"\xE9", "\xE8", "\xEA", "\xEB", "\xEE", "\xC9", "\xE4", "\x95"}},
};

const char* const kNames[kChars] = {"{5C}", "{5D}", "{5B}", "{40}", "{74}", "{45}", "{plain}", "{lead}"};

}  // namespace

const CodePage& Current() {
  for (const CodePage& page : kCodePages)
    if (page.acp == GetACP()) return page;
  return kCodePages[sizeof kCodePages / sizeof kCodePages[0] - 1];
}

std::string Expand(const char* row) {
  std::string text;
  for (const char* p = row; *p;) {
    int found = kChars;
    for (int c = 0; c < kChars && found == kChars; ++c)
      if (std::strncmp(p, kNames[c], std::strlen(kNames[c])) == 0) found = c;
    if (found == kChars) {
      text += *p++;
      continue;
    }
    text += Current().chars[found];
    p += std::strlen(kNames[found]);
  }
  return text;
}

bool RoundTrips(const std::string& text) {
  std::wstring wide = hostkit::Widened(text.c_str());
  int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string back(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), back.data(), size, nullptr, nullptr);
  return back == text;
}

PageEndText::PageEndText(const std::string& text) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const std::size_t page = system.dwPageSize;
  if (text.size() >= page) throw std::length_error("PageEndText: text longer than a page");
  pages_ = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  DWORD old = 0;
  if (!pages_ || !VirtualProtect(pages_ + page, page, PAGE_NOACCESS, &old)) throw std::runtime_error("PageEndText");
  text_ = pages_ + page - (text.size() + 1);
  std::memcpy(text_, text.c_str(), text.size() + 1);
}

PageEndText::~PageEndText() { VirtualFree(pages_, 0, MEM_RELEASE); }

}  // namespace codepage
