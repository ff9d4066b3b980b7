// --help and --version, answered alike by every OrvexC tool.
#pragma once

#include <OrvexC.h>

#include <cstdio>
#include <cstring>

namespace orvexc_tools {

// The exit status for --help (the usage, to standard output) or --version
// anywhere on the command line; -1 when neither is asked for.
inline int AnswerStandardOption(int argc, char** argv, const char* tool, const char* usage) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("%s %s\n", tool, ORVEXC_VERSION_STRING);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0) {
      std::printf("%s", usage);
      return 0;
    }
  }
  return -1;
}

}  // namespace orvexc_tools
