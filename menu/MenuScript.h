// The menu script parser: a subset of the resource script's MENU statement,
// read in one pass into a flat list of nodes (nesting shown by END nodes).
// This core uses no Windows headers, so it also builds natively; the menu is
// built from the node list by BuildMenu (MenuBuilder.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "menu/MenuGrammar.h"

namespace orvex {

// One node, one malloc block, its text stored inline behind the fixed fields.
struct MenuNode {
  MenuNode* next;
  std::int32_t consumed;  // always 0: the builder reads the list and writes nothing into it
  std::uint16_t flags;    // the bits of its kind, with the item's options
  std::uint16_t id;
  char text[1];
};

struct MenuNodeList {
  MenuNode* first;
  MenuNode* cursor;  // scratch, used while the list is freed
  MenuNode* last;
};

// What a node is, and the bits it puts into the node's flags word: USER32's
// MF_STRING, MF_POPUP and MF_SEPARATOR, or one of two markers of the list.
enum class MenuNodeKind : std::uint16_t {
  kCommand = 0x0000,
  kPopup = 0x0010,
  kEnd = 0x0080,   // the flags of an END node are exactly this
  kHead = 0x0200,  // the first node of every list
  kSeparator = 0x0800,
};

inline bool HasKind(const MenuNode& node, MenuNodeKind kind) {
  return (node.flags & static_cast<std::uint16_t>(kind)) != 0;
}

inline MenuNodeKind KindOf(const MenuNode& node) {
  if (node.flags == static_cast<std::uint16_t>(MenuNodeKind::kEnd)) return MenuNodeKind::kEnd;
  if (HasKind(node, MenuNodeKind::kHead)) return MenuNodeKind::kHead;
  if (HasKind(node, MenuNodeKind::kPopup)) return MenuNodeKind::kPopup;
  if (HasKind(node, MenuNodeKind::kSeparator)) return MenuNodeKind::kSeparator;
  return MenuNodeKind::kCommand;
}

// Limits that keep every input inside the parser's and builder's buffers.
constexpr std::size_t kMaxIdentifier = 7;     // characters of an identifier token
constexpr std::size_t kMaxCommandText = 127;  // characters of a command item's text
// Popups nest at most this deep. USER32 holds menus up to 25 levels deep, the
// menu bar included: a deeper popup would be placed as a plain command whose
// identifier is its submenu's handle, and that submenu would never be freed.
constexpr int kMaxPopupDepth = 24;

// Where a parse failed and what the grammar expected there: a byte offset
// into the text and one of the texts in `expect`.
struct MenuParseError {
  std::size_t offset = 0;
  const char* expected = nullptr;
};

// A production's result: its value, or the error that ended the parse.
template <typename T>
class [[nodiscard]] Expected {
 public:
  Expected(T value) : value_(value) {}
  Expected(MenuParseError error) : value_(), error_(error) {}
  explicit operator bool() const { return error_.expected == nullptr; }
  const T& operator*() const { return value_; }
  const T* operator->() const { return &value_; }
  const MenuParseError& Error() const { return error_; }

 private:
  T value_;
  MenuParseError error_;
};

// Told where the texts and identifiers of the nodes stand in the script, as
// they are read (the checker's diagnosis; the library passes none). Offsets
// are bytes into the text: a text's opening quote, an identifier's first
// character.
class MenuParseObserver {
 public:
  virtual void OnText(const MenuNode& node, std::size_t quote) = 0;
  virtual void OnIdentifier(const MenuNode& node, std::size_t at, std::size_t length) = 0;

 protected:
  ~MenuParseObserver() = default;
};

class CMenuScript {
 public:
  CMenuScript() = default;
  ~CMenuScript() { FreeNodes(); }
  CMenuScript(const CMenuScript&) = delete;
  CMenuScript& operator=(const CMenuScript&) = delete;

  // Reads `text` (NUL-terminated, may be null) into the node list, freeing
  // the list of an earlier parse: the head node when the script closed its
  // menu, else where and why it failed. The nodes made before a failure stay
  // in the list until the next parse.
  Expected<const MenuNode*> Parse(const char* text, MenuParseObserver* observer = nullptr);

  const MenuNode* Head() const { return m_pNodes ? m_pNodes->first : nullptr; }

 private:
  friend class MenuReader;
  void FreeNodes();
  MenuNode* Append(MenuNodeKind kind, const char* text, std::size_t length);

  MenuNodeList* m_pNodes = nullptr;
};

}  // namespace orvex
