// Native stand-in for the C runtime's multibyte code page, so that natively
// built sources read text by the same rules as on Windows. Lead bytes of the
// double-byte code pages: 932 (Shift-JIS) 81-9F and E0-FC; 936 (GBK), 949
// (Unified Hangul) and 950 (Big5) 81-FE. Any other code page has none. It
// starts as 1252, or as the code page in ORVEXC_MBCP; _setmbcp changes it.
#pragma once

#include <cstdlib>

namespace shim {

inline int& MultibyteCodePage() {
  static int page = [] {
    const char* text = std::getenv("ORVEXC_MBCP");
    return text && *text ? std::atoi(text) : 1252;
  }();
  return page;
}

}  // namespace shim

inline int _setmbcp(int page) {
  shim::MultibyteCodePage() = page;
  return 0;
}

inline int _getmbcp() { return shim::MultibyteCodePage(); }

inline int _ismbblead(unsigned int c) {
  c &= 0xFF;
  switch (shim::MultibyteCodePage()) {
    case 932: return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    case 936:
    case 949:
    case 950: return c >= 0x81 && c <= 0xFE;
    default: return 0;
  }
}
