#include "menu/MenuScript.h"

#include <cstdlib>
#include <cstring>

#include "frame/CharText.h"

namespace orvex {
namespace {

using Pos = const char*;

Pos SkipWhite(Pos at) {
  while (IsScriptWhite(*at)) ++at;
  return at;
}

struct Quoted {
  Pos next;
  Pos text;
  std::size_t length;
};

struct Value {
  Pos next;
  std::uint16_t value;  // an identifier, or the flags of an option list
};

// A statement read: where the next one starts, and whether it was the END
// that closes its level.
struct Step {
  Pos next;
  bool closes;
};

}  // namespace

// The productions of the grammar, each a function from a position to its
// result and the position after it, or to the error that ends the parse.
// Nodes go into the script's list as they are read.
class MenuReader {
 public:
  MenuReader(CMenuScript& script, Pos text, MenuParseObserver* observer)
      : script_(script), text_(text), observer_(observer) {}

  // menu script: name MENU BEGIN statements END — what follows is not read.
  Expected<const MenuNode*> Script() {
    if (!Append(MenuNodeKind::kHead, "", 0)) return Fail(text_, expect::kMemory);
    script_.m_pNodes->cursor = script_.m_pNodes->first;
    if (!text_) return Fail(text_, expect::kName);
    Expected<Pos> at = Name(SkipWhite(text_));
    if (at) at = Window(SkipWhite(*at), kKeywordMenu, true, expect::kMenu);
    if (at) at = Window(SkipWhite(*at), kKeywordBegin, true, expect::kBegin);
    if (at) at = Statements(*at, 0);
    if (!at) return at.Error();
    return script_.Head();
  }

 private:
  MenuParseError Fail(Pos at, const char* expected) const {
    return {at && text_ ? static_cast<std::size_t>(at - text_) : 0, expected};
  }

  MenuNode* Append(MenuNodeKind kind, const char* text, std::size_t length) {
    return script_.Append(kind, text, length);
  }

  // A window of the keyword's length plus one characters at `at` must hold
  // the keyword at a character's start; the whole window is then consumed
  // (never past the end).
  Expected<Pos> Window(Pos at, const MenuKeyword& keyword, bool shortFails, const char* expected) const {
    Pos end = at;
    std::size_t count = 0;
    for (; count < keyword.window && *end; ++count) end = NextChar(end);
    if (count < keyword.window && shortFails) return Fail(at, expected);
    if (!FindTextBefore(at, end, keyword.word, keyword.length())) return Fail(at, expected);
    return end;
  }

  // name: its first character and everything up to the next white space,
  // which must follow.
  Expected<Pos> Name(Pos at) const {
    if (!*at) return Fail(at, expect::kName);
    at = NextChar(at);
    while (*at && !IsScriptWhite(*at)) at = NextChar(at);
    if (!*at) return Fail(at, expect::kBlankAfterName);
    return at;
  }

  // quoted text: '"' char { char } '"' — the first character after the
  // opening quote always belongs to the text.
  Expected<Quoted> QuotedText(Pos at, const char* expected) const {
    if (*at != '"') return Fail(at, expected);
    Pos start = at + 1;
    Pos end = *start ? FindChar(NextChar(start), '"') : nullptr;
    if (!end) return Fail(at + std::strlen(at), expect::kClosingQuote);
    return Quoted{end + 1, start, static_cast<std::size_t>(end - start)};
  }

  // identifier: char { char not white, not ',' } — at most seven characters,
  // its atoi value kept in 16 bits.
  Expected<Value> Identifier(Pos at) const {
    if (!*at) return Fail(at, expect::kIdentifier);
    Pos end = NextChar(at);
    while (*end && !IsScriptWhite(*end) && *end != ',') end = NextChar(end);
    std::size_t length = static_cast<std::size_t>(end - at);
    if (length > kMaxIdentifier) return Fail(at, expect::kShortIdentifier);
    if (!*end) return Fail(end, expect::kAfterIdentifier);
    return Value{end, static_cast<std::uint16_t>(IdentifierValue(at, length))};
  }

  // atoi of the token. Plain digits, the common case, are read here: the C
  // runtime's atoi asks the locale about every character, which under Wine
  // costs more than the rest of the item's parse.
  static int IdentifierValue(Pos at, std::size_t length) {
    int value = 0;
    for (std::size_t i = 0; i < length; ++i) {
      if (at[i] < '0' || at[i] > '9') {
        char token[kMaxIdentifier + 1];
        std::memcpy(token, at, length);
        token[length] = '\0';
        return std::atoi(token);
      }
      value = value * 10 + (at[i] - '0');
    }
    return value;
  }

  // option list: { ',' option } — options known by their first letter (and M
  // by its sixth); the position moves past the option's length only.
  Expected<Value> Options(Pos at) const {
    std::uint16_t flags = 0;
    while (*at == ',') {
      at = SkipWhite(at + 1);
      const MenuOption* option = *at ? FindMenuOption(at) : nullptr;
      if (!option) return Fail(at, *at == 'M' && HasMarkLetter(at) ? expect::kMarkLetter : expect::kOption);
      Pos after = CharsOn(at, std::strlen(option->word));
      if (!*after) return Fail(after, expect::kAfterOption);  // the option and one more character
      flags |= option->flag;
      at = SkipWhite(after);
      if (!*at) return Fail(at, expect::kAfterOption);
    }
    return Value{at, flags};
  }

  // statements: { statement } — up to the END that closes the level.
  Expected<Pos> Statements(Pos at, int depth) {
    for (;;) {
      Expected<Step> step = Statement(at, depth);
      if (!step) return step.Error();
      if (step->closes) return step->next;
      at = step->next;
    }
  }

  // statement: END | POPUP ... | MENUITEM ...
  Expected<Step> Statement(Pos at, int depth) {
    at = SkipWhite(at);
    Expected<Pos> next = Fail(at, expect::kStatement);
    switch (*at) {
      case 'E':
        next = Window(at, kKeywordEnd, false, expect::kStatement);
        if (next && !Append(MenuNodeKind::kEnd, "", 0)) return Fail(*next, expect::kMemory);
        if (next) return Step{*next, true};
        break;
      case 'M':
        next = Window(at, kKeywordMenuItem, false, expect::kStatement);
        if (next) next = MenuItem(*next);
        break;
      case 'P':
        next = Window(at, kKeywordPopup, false, expect::kStatement);
        if (next) next = Popup(*next, depth + 1);
        break;
    }
    if (!next) return next.Error();
    return Step{*next, false};
  }

  // POPUP quoted-text option-list BEGIN statements END
  Expected<Pos> Popup(Pos at, int depth) {
    if (depth > kMaxPopupDepth) return Fail(at, expect::kNesting);
    at = SkipWhite(at);
    Expected<Quoted> text = QuotedText(at, expect::kQuoted);
    if (!text) return text.Error();
    MenuNode* node = Append(MenuNodeKind::kPopup, text->text, text->length);
    if (!node) return Fail(text->next, expect::kMemory);
    Tell(*node, at);
    Expected<Value> options = Options(SkipWhite(text->next));
    if (!options) return options.Error();
    node->flags |= options->value;
    Expected<Pos> begin = Window(SkipWhite(options->next), kKeywordBegin, false, expect::kPopupBegin);
    if (!begin) return begin;
    return Statements(*begin, depth);
  }

  // MENUITEM (quoted-text | SEPARATOR) [',' identifier] option-list
  Expected<Pos> MenuItem(Pos at) {
    at = SkipWhite(at);
    MenuNode* node = nullptr;
    if (*at == 'S') {
      Expected<Pos> next = Window(at, kKeywordSeparator, false, expect::kItemText);
      if (!next) return next;
      if (!(node = Append(MenuNodeKind::kSeparator, "", 0))) return Fail(*next, expect::kMemory);
      at = *next;
    } else {
      Expected<Quoted> text = QuotedText(at, expect::kItemText);
      if (!text) return text.Error();
      if (text->length > kMaxCommandText) return Fail(at, expect::kShortText);
      if (!(node = Append(MenuNodeKind::kCommand, text->text, text->length)))
        return Fail(text->next, expect::kMemory);
      Tell(*node, at);
      at = text->next;
    }
    at = SkipWhite(at);
    if (*at == ',') {
      Pos token = SkipWhite(at + 1);
      Expected<Value> id = Identifier(token);
      if (!id) return id.Error();
      node->id = id->value;
      if (observer_)
        observer_->OnIdentifier(*node, Offset(token), static_cast<std::size_t>(id->next - token));
      at = id->next;
    }
    Expected<Value> options = Options(SkipWhite(at));
    if (!options) return options.Error();
    node->flags |= options->value;
    return options->next;
  }

  std::size_t Offset(Pos at) const { return static_cast<std::size_t>(at - text_); }
  void Tell(const MenuNode& node, Pos quote) const {
    if (observer_) observer_->OnText(node, Offset(quote));
  }

  CMenuScript& script_;
  const Pos text_;
  MenuParseObserver* const observer_;
};

void CMenuScript::FreeNodes() {
  if (!m_pNodes) return;
  m_pNodes->cursor = m_pNodes->first;
  while (m_pNodes->cursor) {
    MenuNode* next = m_pNodes->cursor->next;
    std::free(m_pNodes->cursor);
    m_pNodes->cursor = next;
  }
  std::free(m_pNodes);
  m_pNodes = nullptr;
}

MenuNode* CMenuScript::Append(MenuNodeKind kind, const char* text, std::size_t length) {
  auto* node = static_cast<MenuNode*>(std::malloc(offsetof(MenuNode, text) + length + 1));
  if (!node) return nullptr;
  node->next = nullptr;
  node->consumed = 0;
  node->flags = static_cast<std::uint16_t>(kind);
  node->id = 0;
  std::memcpy(node->text, text, length);
  node->text[length] = '\0';
  if (m_pNodes->last)
    m_pNodes->last->next = node;
  else
    m_pNodes->first = node;
  m_pNodes->last = node;
  return node;
}

Expected<const MenuNode*> CMenuScript::Parse(const char* text, MenuParseObserver* observer) {
  FreeNodes();
  m_pNodes = static_cast<MenuNodeList*>(std::malloc(sizeof(MenuNodeList)));
  if (!m_pNodes) return MenuParseError{0, expect::kMemory};
  m_pNodes->first = m_pNodes->cursor = m_pNodes->last = nullptr;
  return MenuReader(*this, text, observer).Script();
}

}  // namespace orvex
