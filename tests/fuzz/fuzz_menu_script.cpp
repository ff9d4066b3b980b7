// libFuzzer target: the menu script parser and builder on arbitrary bytes.
// The bytes are handed over as the loader hands a file over (a NUL-terminated
// copy in a block of exactly that size, so AddressSanitizer sees any read past
// the end); the node list is walked and checked, the menu built through the
// stand-in USER32 must be the one the node list describes, and everything is
// freed so that LeakSanitizer sees what the parser or builder keeps.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "MenuDescription.h"
#include "NativeMenu.h"

namespace {

[[noreturn]] void Fault(const std::string& what) {
  std::fprintf(stderr, "menu script fault: %s\n", what.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  char* text = static_cast<char*>(std::malloc(size + 1));
  if (!text) return 0;
  if (size) std::memcpy(text, data, size);
  text[size] = '\0';

  std::string fault;
  std::string first = nativemenu::ParseBuildAndCheck(text, &fault);
  if (!fault.empty()) Fault(fault);

  // One object parsing twice frees the first list and gives the same answer.
  orvex::CMenuScript script;
  bool once = script.ParseNodes(text);
  bool twice = script.ParseNodes(text);
  if (once != twice || twice != (first.rfind(menudesc::kMenu, 0) == 0)) Fault("a second parse decided otherwise");
  if (twice && nativemenu::DescribeNodes(script.Head()) != first.substr(std::strlen(menudesc::kMenu)))
    Fault("a second parse made other nodes");

  std::free(text);
  return 0;
}
