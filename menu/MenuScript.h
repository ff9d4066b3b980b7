// The menu script parser: a subset of the resource script's MENU statement,
// read in one pass into a flat list of nodes (nesting shown by END nodes).
// This core uses no Windows headers, so it also builds natively; the menu is
// built from the node list beside it (MenuBuilder.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvex {

// Node flags: the menu flags AppendMenuA takes, and two markers.
enum MenuFlag : std::uint16_t {
  kMenuString = 0x0000,
  kMenuGrayed = 0x0001,
  kMenuDisabled = 0x0002,
  kMenuChecked = 0x0008,
  kMenuPopup = 0x0010,
  kMenuBarBreak = 0x0020,
  kMenuBreak = 0x0040,
  kMenuEndMarker = 0x0080,   // the flags of an END node are exactly this
  kMenuHeadMarker = 0x0200,  // the first node of every list
  kMenuSeparator = 0x0800,
  kMenuHelp = 0x4000,
};

// One node, one malloc block, its text stored inline behind the fixed fields.
struct MenuNode {
  MenuNode* next;
  std::int32_t consumed;  // set by the builder once it has placed the node
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

  const MenuNode* Head() const { return nodes ? nodes->first : nullptr; }
  MenuNode* MutableHead() { return nodes ? nodes->first : nullptr; }

  void* menu = nullptr;  // the menu built by the last successful parse
  int endSeen = 1;
  const char* position = nullptr;  // null: the parse has failed
  const char* failedAt = nullptr;  // where the last failed parse stopped (for tools)
  MenuNodeList* nodes = nullptr;

 private:
  void FreeNodes();
  bool Fail();
  bool Append(std::uint16_t flags, const char* text, std::size_t length);
  void SkipWhite();
  bool AtEnd() const { return *position == '\0'; }
  bool Window(const char* keyword, std::size_t size, bool shortFails);
  bool ReadName();
  bool ReadQuoted(const char** text, std::size_t* length);
  bool ReadIdentifier();
  bool ReadOptions();
  void Statements(int depth);
  bool Statement(int depth);
  bool Popup(int depth);
  bool MenuItem();
};

}  // namespace orvex
