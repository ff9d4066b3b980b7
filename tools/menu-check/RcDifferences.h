// Where a menu script means something else than the same text compiled as a
// resource script's MENU statement (windres, llvm-rc): escapes, identifiers,
// comments, preprocessor lines, case, braces, commas and the like.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace orvex {

struct RcDifference {
  std::size_t offset;  // into the text
  std::string what;    // what the script gives, and what a resource compiler gives
};

std::vector<RcDifference> FindRcDifferences(const std::string& text);

// The line and column, both counted from 1 (columns in characters), of the
// byte at `offset`.
struct TextPosition {
  int line, column;
};
TextPosition PositionOf(const std::string& text, std::size_t offset);

}  // namespace orvex
