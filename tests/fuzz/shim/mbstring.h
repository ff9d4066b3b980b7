// Native stand-in for the multibyte string search of the C runtime: matches
// only at character starts of the stand-in code page (shim/mbctype.h), as
// Windows' _mbsstr does.
#pragma once

#include "frame/CharText.h"

inline unsigned char* _mbsstr(const unsigned char* text, const unsigned char* sought) {
  return reinterpret_cast<unsigned char*>(const_cast<char*>(
      orvex::FindText(reinterpret_cast<const char*>(text), reinterpret_cast<const char*>(sought))));
}
