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
  // The kind, as "N more KIND" names more of it: "escapes kept as written".
  const char* kind = "differences";
};

std::vector<RcDifference> FindRcDifferences(const std::string& text);

// The line and column, both counted from 1 (columns in characters), of the
// byte at `offset`.
struct TextPosition {
  int line, column;
};
TextPosition PositionOf(const std::string& text, std::size_t offset);

// The positions of many offsets into one text, each as PositionOf gives it,
// without reading the text from its start for each: the text is read once, and
// an offset is then reached from the nearest character start before it that
// was noted (one every few hundred bytes). The text must outlive the object.
class TextPositions {
 public:
  explicit TextPositions(const std::string& text);
  TextPosition At(std::size_t offset) const;

 private:
  struct Mark {
    std::size_t offset;  // a character start, as PositionOf steps
    TextPosition at;
  };
  const std::string& text_;
  std::vector<Mark> marks_;  // in the text's order, the first at 0
};

// At most `chars` characters of [begin, end), for a message that quotes the
// script: a longer text is cut at a character's start and ends in "...".
std::string Echo(const char* begin, const char* end, std::size_t chars);
constexpr std::size_t kEchoChars = 40;  // of a token or text quoted in a finding

}  // namespace orvex
