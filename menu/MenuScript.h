// The menu script parser: a subset of the resource script's MENU statement,
// read in one pass into a flat list of nodes (nesting shown by END nodes).
// This core uses no Windows headers, so it also builds natively; the menu is
// built from the node list beside it (MenuBuilder.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

#include "menu/MenuGrammar.h"

namespace orvex {

// One node, one malloc block, its text stored inline behind the fixed fields.
struct MenuNode {
  MenuNode* next;
  std::int32_t consumed;  // always 0: the builder reads the list and writes nothing into it
  std::uint16_t flags;
  std::uint16_t id;
  char text[1];
};

struct MenuNodeList {
  MenuNode* first;
  MenuNode* cursor;  // scratch, used while the list is freed
  MenuNode* last;    // identifiers and options are stored into this node
};

// Limits that keep every input inside the parser's and builder's buffers.
constexpr std::size_t kMaxIdentifier = 7;     // characters of an identifier token
constexpr std::size_t kMaxCommandText = 127;  // characters of a command item's text
// Popups nest at most this deep. USER32 holds menus up to 25 levels deep, the
// menu bar included: a deeper popup would be placed as a plain command whose
// identifier is its submenu's handle, and that submenu would never be freed.
constexpr int kMaxPopupDepth = 24;

// Where a parse failed and what the grammar expected there: a byte offset
// into the text and one of the texts in `expect`. Recorded at the point of
// failure; a successful parse leaves it empty.
struct MenuParseError {
  std::size_t offset = 0;
  const char* expected = nullptr;
  explicit operator bool() const { return expected != nullptr; }
};

class CMenuScript {
 public:
  CMenuScript() = default;
  ~CMenuScript() { FreeNodes(); }
  CMenuScript(const CMenuScript&) = delete;
  CMenuScript& operator=(const CMenuScript&) = delete;

  // Parses `text` (NUL-terminated, may be null) into the node list, freeing
  // the list of an earlier parse. True when the script closed its menu.
  bool ParseNodes(const char* text);
  // Parses and builds the menu (an HMENU) from the node list; null when the
  // script does not parse. Defined with the builder.
  void* Parse(const char* text);

  const MenuNode* Head() const { return nodes_ ? nodes_->first : nullptr; }
  // Why the last parse failed; empty after a success.
  MenuParseError Error() const { return error_; }

 private:
  void FreeNodes();
  bool Fail(const char* expected);
  bool Append(std::uint16_t flags, const char* text, std::size_t length);
  void SkipWhite();
  bool AtEnd() const { return *position_ == '\0'; }
  bool Window(const MenuKeyword& keyword, bool shortFails, const char* expected);
  bool ReadName();
  bool ReadQuoted(const char** text, std::size_t* length, const char* expected);
  bool ReadIdentifier();
  bool ReadOptions();
  void Statements(int depth);
  bool Statement(int depth);
  bool Popup(int depth);
  bool MenuItem();

  const char* text_ = nullptr;
  const char* position_ = nullptr;  // null: the parse has failed
  int endSeen_ = 1;
  MenuParseError error_;
  MenuNodeList* nodes_ = nullptr;
};

}  // namespace orvex
