// What the checker says beyond the parser's own answer: warnings about a
// script the library reads, and the likely mistake behind a script it
// refuses. Nothing here changes what the parser accepts or builds.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "menu/MenuScript.h"
#include "tools/menu-check/RcDifferences.h"

namespace orvex {

// Where the parser found each text and identifier of a script.
class ScriptRecord : public MenuParseObserver {
 public:
  struct Identifier {
    const MenuNode* node;
    std::size_t at, length;
  };
  void OnText(const MenuNode&, std::size_t quote) override { quotes.push_back(quote); }
  void OnIdentifier(const MenuNode& node, std::size_t at, std::size_t length) override {
    identifiers.push_back({&node, at, length});
  }

  std::vector<std::size_t> quotes;  // each text's opening quote
  std::vector<Identifier> identifiers;
};

struct Finding {
  std::size_t offset;  // into the text
  std::string what;
  // The kind, as "N more KIND" names more of it: "ids given twice".
  const char* kind = "findings";
};

// Identifiers that do not give the item the number they show (names, hex,
// numbers beyond 16 bits), and numbers given to two items. `positions` are
// those of `text`.
std::vector<Finding> Warnings(const std::string& text, const ScriptRecord& record,
                              const TextPositions& positions);

// The parser's own answer where it stopped: found "102", expected ... .
Finding ParserFinding(const std::string& text, const MenuParseError& error);

// The likely mistake where the parser stopped with `error`: a comment, MENUEX,
// an empty text, a missing comma, a name for an identifier. Empty `what` when
// none of them fits.
Finding LikelyMistake(const std::string& text, const MenuParseError& error, const ScriptRecord& record);

}  // namespace orvex
