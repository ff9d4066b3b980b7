// A menu script file's bytes, read as the library opens it (frame/File.h:
// read access, shared with readers and writers), for the tools that check
// scripts (the menu checker, the demo host's title).
#pragma once

#include <windows.h>

#include <string>

namespace orvex {

// True with the file's bytes; false with why it cannot be read: "a
// directory", "no such file", "in use by another program", "access denied",
// "too large (N bytes): ..." or "Windows error N".
bool ReadScriptFile(const char* path, std::string* bytes, std::string* why);

}  // namespace orvex
