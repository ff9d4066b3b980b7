// Native stand-in for the multibyte string search of the C runtime. In the
// single-byte code pages the tests run in, _mbsstr is strstr.
#pragma once

#include <cstring>

inline unsigned char* _mbsstr(const unsigned char* text, const unsigned char* sought) {
  return reinterpret_cast<unsigned char*>(const_cast<char*>(
      std::strstr(reinterpret_cast<const char*>(text), reinterpret_cast<const char*>(sought))));
}
