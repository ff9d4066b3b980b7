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
  if (!nodes) return;
  nodes->cursor = nodes->first;
  while (nodes->cursor) {
    MenuNode* next = nodes->cursor->next;
    std::free(nodes->cursor);
    nodes->cursor = next;
  }
  std::free(nodes);
  nodes = nullptr;
}

bool CMenuScript::Fail() {
  failedAt = position;
  position = nullptr;
  return false;
}

bool CMenuScript::Append(std::uint16_t flags, const char* text, std::size_t length) {
  auto* node = static_cast<MenuNode*>(std::malloc(offsetof(MenuNode, text) + length + 1));
  if (!node) return Fail();
  node->next = nullptr;
  node->consumed = 0;
  node->flags = flags;
  node->id = 0;
  std::memcpy(node->text, text, length);
  node->text[length] = '\0';
  if (nodes->last) nodes->last->next = node;
  else nodes->first = node;
  nodes->last = node;
  return true;
}

void CMenuScript::SkipWhite() {
  while (IsWhite(*position)) ++position;
}

// A window of the keyword's length plus one at the position must hold the
// keyword; the position then moves past the whole window (never past the end).
bool CMenuScript::Window(const char* keyword, std::size_t size, bool shortFails) {
  char window[16];
  std::size_t available = 0;
  while (available < size && position[available]) ++available;
  if (available < size && shortFails) return Fail();
  std::memcpy(window, position, available);
  window[available] = '\0';
  if (!Contains(window, keyword)) return Fail();
  position += available;
  return true;
}

// name: its first character and everything up to the next white space,
// which must follow.
bool CMenuScript::ReadName() {
  if (AtEnd()) return Fail();
  ++position;
  while (*position && !IsWhite(*position)) ++position;
  return AtEnd() ? Fail() : true;
}

// quoted text: '"' char { char } '"' — the first character after the opening
// quote always belongs to the text.
bool CMenuScript::ReadQuoted(const char** text, std::size_t* length) {
  if (*position != '"' || position[1] == '\0') return Fail();
  const char* start = position + 1;
  const char* end = std::strchr(start + 1, '"');
  if (!end) return Fail();
  *text = start;
  *length = static_cast<std::size_t>(end - start);
  position = end + 1;
  return true;
}

// identifier: char { char not white, not ',' } — at most seven characters,
// its atoi value kept in 16 bits.
bool CMenuScript::ReadIdentifier() {
  if (AtEnd()) return Fail();
  const char* end = position + 1;
  while (*end && !IsWhite(*end) && *end != ',') ++end;
  std::size_t length = static_cast<std::size_t>(end - position);
  if (!*end || length > kMaxIdentifier) return Fail();
  char token[kMaxIdentifier + 1];
  std::memcpy(token, position, length);
  token[length] = '\0';
  nodes->last->id = static_cast<std::uint16_t>(std::atoi(token));
  position = end;
  return true;
}

// option list: { ',' option } — options known by their first letter (and M by
// its sixth); the position moves past the option's length only.
bool CMenuScript::ReadOptions() {
  while (*position == ',') {
    ++position;
    SkipWhite();
    if (AtEnd()) return Fail();
    std::size_t length = 0;
    std::uint16_t flag = 0;
    switch (*position) {
      case 'C': length = 7, flag = kMenuChecked; break;
      case 'G': length = 6, flag = kMenuGrayed; break;
      case 'H': length = 4, flag = kMenuHelp; break;
      case 'I': length = 8, flag = kMenuDisabled; break;
      case 'M':
        for (int i = 1; i <= 5; ++i)
          if (!position[i]) return Fail();
        if (position[5] == 'A') length = 12, flag = kMenuBarBreak;
        else if (position[5] == 'R') length = 9, flag = kMenuBreak;
        else return Fail();
        break;
      default:
        return Fail();
    }
    std::size_t available = 0;
    while (available <= length && position[available]) ++available;
    if (available <= length) return Fail();  // the option and one more character
    nodes->last->flags |= flag;
    position += length;
    SkipWhite();
    if (AtEnd()) return Fail();
  }
  return true;
}

// statements: { statement } — until END closes the level or the parse fails.
void CMenuScript::Statements(int depth) {
  endSeen = 0;
  while (position && !endSeen) Statement(depth);
}

// statement: END | POPUP ... | MENUITEM ...
bool CMenuScript::Statement(int depth) {
  SkipWhite();
  switch (*position) {
    case 'E':
      if (!Window("END", 4, false)) return false;
      endSeen = 1;
      return Append(kMenuEndMarker, "", 0);
    case 'M':
      return Window("MENUITEM", 9, false) && MenuItem();
    case 'P':
      return Window("POPUP", 6, false) && Popup(depth + 1);
    default:
      return Fail();
  }
}

// POPUP quoted-text option-list BEGIN statements END
bool CMenuScript::Popup(int depth) {
  if (depth > kMaxPopupDepth) return Fail();
  SkipWhite();
  const char* text = nullptr;
  std::size_t length = 0;
  if (!ReadQuoted(&text, &length) || !Append(kMenuPopup, text, length)) return false;
  SkipWhite();
  if (!ReadOptions()) return false;
  SkipWhite();
  if (!Window("BEGIN", 6, false)) return false;
  Statements(depth);
  endSeen = 0;  // the popup's END does not close the enclosing level
  return position != nullptr;
}

// MENUITEM (quoted-text | SEPARATOR) [',' identifier] option-list
bool CMenuScript::MenuItem() {
  SkipWhite();
  if (*position == '"') {
    const char* text = nullptr;
    std::size_t length = 0;
    if (!ReadQuoted(&text, &length)) return false;
    if (length > kMaxCommandText) return Fail();
    if (!Append(kMenuString, text, length)) return false;
  } else if (*position == 'S') {
    if (!Window("SEPARATOR", 10, false) || !Append(kMenuSeparator, "", 0)) return false;
  } else {
    return Fail();
  }
  SkipWhite();
  if (*position == ',') {
    ++position;
    SkipWhite();
    if (!ReadIdentifier()) return false;
  }
  SkipWhite();
  return ReadOptions();
}

// menu script: name MENU BEGIN statements END — what follows is not read.
bool CMenuScript::ParseNodes(const char* text) {
  FreeNodes();
  menu = nullptr;
  failedAt = nullptr;
  position = text;
  nodes = static_cast<MenuNodeList*>(std::malloc(sizeof(MenuNodeList)));
  if (!nodes) return Fail();
  nodes->first = nodes->cursor = nodes->last = nullptr;
  if (!Append(kMenuHeadMarker, "", 0)) return false;
  nodes->cursor = nodes->first;
  if (!text) return false;

  SkipWhite();
  if (!ReadName()) return false;
  SkipWhite();
  if (!Window("MENU", 5, true)) return false;
  SkipWhite();
  if (!Window("BEGIN", 6, true)) return false;
  Statements(0);
  return position != nullptr && endSeen == 1;
}

}  // namespace orvex
