#include "menu/MenuScript.h"

#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <mbstring.h>
// Keyword windows are searched with the multibyte-aware search of the C runtime.
static bool Contains(const char* window, const char* keyword) {
  return _mbsstr(reinterpret_cast<const unsigned char*>(window),
                 reinterpret_cast<const unsigned char*>(keyword)) != nullptr;
}
#else
static bool Contains(const char* window, const char* keyword) { return std::strstr(window, keyword) != nullptr; }
#endif

namespace orvex {
namespace {

bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

}  // namespace

void CMenuScript::FreeNodes() {
  if (!nodes_) return;
  nodes_->cursor = nodes_->first;
  while (nodes_->cursor) {
    MenuNode* next = nodes_->cursor->next;
    std::free(nodes_->cursor);
    nodes_->cursor = next;
  }
  std::free(nodes_);
  nodes_ = nullptr;
}

// Every failure point names what it expected; nothing is recorded on the way
// to a success.
bool CMenuScript::Fail(const char* expected) {
  error_.offset = position_ && text_ ? static_cast<std::size_t>(position_ - text_) : 0;
  error_.expected = expected;
  position_ = nullptr;
  return false;
}

bool CMenuScript::Append(std::uint16_t flags, const char* text, std::size_t length) {
  auto* node = static_cast<MenuNode*>(std::malloc(offsetof(MenuNode, text) + length + 1));
  if (!node) return Fail(expect::kMemory);
  node->next = nullptr;
  node->consumed = 0;
  node->flags = flags;
  node->id = 0;
  std::memcpy(node->text, text, length);
  node->text[length] = '\0';
  if (nodes_->last) nodes_->last->next = node;
  else nodes_->first = node;
  nodes_->last = node;
  return true;
}

void CMenuScript::SkipWhite() {
  while (IsWhite(*position_)) ++position_;
}

// A window of the keyword's length plus one at the position must hold the
// keyword; the position then moves past the whole window (never past the end).
bool CMenuScript::Window(const MenuKeyword& keyword, bool shortFails, const char* expected) {
  char window[16];
  std::size_t available = 0;
  while (available < keyword.window && position_[available]) ++available;
  if (available < keyword.window && shortFails) return Fail(expected);
  std::memcpy(window, position_, available);
  window[available] = '\0';
  if (!Contains(window, keyword.word)) return Fail(expected);
  position_ += available;
  return true;
}

// name: its first character and everything up to the next white space,
// which must follow.
bool CMenuScript::ReadName() {
  if (AtEnd()) return Fail(expect::kName);
  ++position_;
  while (*position_ && !IsWhite(*position_)) ++position_;
  return AtEnd() ? Fail(expect::kBlankAfterName) : true;
}

// quoted text: '"' char { char } '"' — the first character after the opening
// quote always belongs to the text.
bool CMenuScript::ReadQuoted(const char** text, std::size_t* length, const char* expected) {
  if (*position_ != '"') return Fail(expected);
  const char* start = position_ + 1;
  const char* end = *start ? std::strchr(start + 1, '"') : nullptr;
  if (!end) {
    position_ += std::strlen(position_);
    return Fail(expect::kClosingQuote);
  }
  *text = start;
  *length = static_cast<std::size_t>(end - start);
  position_ = end + 1;
  return true;
}

// identifier: char { char not white, not ',' } — at most seven characters,
// its atoi value kept in 16 bits.
bool CMenuScript::ReadIdentifier() {
  if (AtEnd()) return Fail(expect::kIdentifier);
  const char* end = position_ + 1;
  while (*end && !IsWhite(*end) && *end != ',') ++end;
  std::size_t length = static_cast<std::size_t>(end - position_);
  if (length > kMaxIdentifier) return Fail(expect::kShortIdentifier);
  if (!*end) {
    position_ = end;
    return Fail(expect::kAfterIdentifier);
  }
  char token[kMaxIdentifier + 1];
  std::memcpy(token, position_, length);
  token[length] = '\0';
  nodes_->last->id = static_cast<std::uint16_t>(std::atoi(token));
  position_ = end;
  return true;
}

// option list: { ',' option } — options known by their first letter (and M by
// its sixth); the position moves past the option's length only.
bool CMenuScript::ReadOptions() {
  while (*position_ == ',') {
    ++position_;
    SkipWhite();
    const MenuOption* option = AtEnd() ? nullptr : FindMenuOption(position_);
    if (!option) return Fail(*position_ == 'M' && HasMarkLetter(position_) ? expect::kMarkLetter : expect::kOption);
    std::size_t length = std::strlen(option->word);
    std::size_t available = 0;
    while (available <= length && position_[available]) ++available;
    if (available <= length) {  // the option and one more character
      position_ += available;
      return Fail(expect::kAfterOption);
    }
    nodes_->last->flags |= option->flag;
    position_ += length;
    SkipWhite();
    if (AtEnd()) return Fail(expect::kAfterOption);
  }
  return true;
}

// statements: { statement } — until END closes the level or the parse fails.
void CMenuScript::Statements(int depth) {
  endSeen_ = 0;
  while (position_ && !endSeen_) Statement(depth);
}

// statement: END | POPUP ... | MENUITEM ...
bool CMenuScript::Statement(int depth) {
  SkipWhite();
  switch (*position_) {
    case 'E':
      if (!Window(kKeywordEnd, false, expect::kStatement)) return false;
      endSeen_ = 1;
      return Append(kMenuEndMarker, "", 0);
    case 'M':
      return Window(kKeywordMenuItem, false, expect::kStatement) && MenuItem();
    case 'P':
      return Window(kKeywordPopup, false, expect::kStatement) && Popup(depth + 1);
    default:
      return Fail(expect::kStatement);
  }
}

// POPUP quoted-text option-list BEGIN statements END
bool CMenuScript::Popup(int depth) {
  if (depth > kMaxPopupDepth) return Fail(expect::kNesting);
  SkipWhite();
  const char* text = nullptr;
  std::size_t length = 0;
  if (!ReadQuoted(&text, &length, expect::kQuoted) || !Append(kMenuPopup, text, length)) return false;
  SkipWhite();
  if (!ReadOptions()) return false;
  SkipWhite();
  if (!Window(kKeywordBegin, false, expect::kPopupBegin)) return false;
  Statements(depth);
  endSeen_ = 0;  // the popup's END does not close the enclosing level
  return position_ != nullptr;
}

// MENUITEM (quoted-text | SEPARATOR) [',' identifier] option-list
bool CMenuScript::MenuItem() {
  SkipWhite();
  if (*position_ == 'S') {
    if (!Window(kKeywordSeparator, false, expect::kItemText) || !Append(kMenuSeparator, "", 0)) return false;
  } else {
    const char* text = nullptr;
    std::size_t length = 0;
    const char* start = position_;
    if (!ReadQuoted(&text, &length, expect::kItemText)) return false;
    if (length > kMaxCommandText) {
      position_ = start;
      return Fail(expect::kShortText);
    }
    if (!Append(kMenuString, text, length)) return false;
  }
  SkipWhite();
  if (*position_ == ',') {
    ++position_;
    SkipWhite();
    if (!ReadIdentifier()) return false;
  }
  SkipWhite();
  return ReadOptions();
}

// menu script: name MENU BEGIN statements END — what follows is not read.
bool CMenuScript::ParseNodes(const char* text) {
  FreeNodes();
  error_ = MenuParseError();
  text_ = position_ = text;
  nodes_ = static_cast<MenuNodeList*>(std::malloc(sizeof(MenuNodeList)));
  if (!nodes_) return Fail(expect::kMemory);
  nodes_->first = nodes_->cursor = nodes_->last = nullptr;
  if (!Append(kMenuHeadMarker, "", 0)) return false;
  nodes_->cursor = nodes_->first;
  if (!text) return Fail(expect::kName);

  SkipWhite();
  if (!ReadName()) return false;
  SkipWhite();
  if (!Window(kKeywordMenu, true, expect::kMenu)) return false;
  SkipWhite();
  if (!Window(kKeywordBegin, true, expect::kBegin)) return false;
  Statements(0);
  if (position_ && endSeen_ == 1) return true;
  if (!error_) Fail(expect::kStatement);
  return false;
}

}  // namespace orvex
