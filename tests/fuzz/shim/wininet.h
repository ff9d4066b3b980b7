// Native stand-in for the one WinINet call of the locations: a URL that has
// nothing but a scheme, rendered as WinINet renders it ("http://",
// "mailto:"); a scheme it does not know fails.
#pragma once

#include <windows.h>

#include <cstring>

enum INTERNET_SCHEME {
  INTERNET_SCHEME_FTP = 1,
  INTERNET_SCHEME_GOPHER = 2,
  INTERNET_SCHEME_HTTP = 3,
  INTERNET_SCHEME_HTTPS = 4,
  INTERNET_SCHEME_NEWS = 6,
  INTERNET_SCHEME_MAILTO = 7,
};

struct URL_COMPONENTSA {
  DWORD dwStructSize;
  INTERNET_SCHEME nScheme;
};

inline BOOL InternetCreateUrlA(URL_COMPONENTSA* parts, DWORD /*flags*/, char* url, DWORD* length) {
  static const char* const kRendered[] = {nullptr,    "ftp://", "gopher://", "http://",
                                          "https://", nullptr,  "news:",     "mailto:"};
  int scheme = parts->nScheme;
  const char* text = scheme >= 0 && scheme < 8 ? kRendered[scheme] : nullptr;
  if (!text || std::strlen(text) >= *length) return 0;
  std::strcpy(url, text);
  *length = static_cast<DWORD>(std::strlen(text));
  return 1;
}
