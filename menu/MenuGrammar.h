// The words of the menu script: its keywords with the windows they are
// searched in, and its item options. One table for the parser, the checker
// and the tests.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/CharText.h"

namespace orvex {

// White space between tokens: space, TAB, CR, LF and form feed (not the
// vertical tab). None of them is ever a trail byte.
inline bool IsScriptWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// The item options: menu flags as AppendMenuA takes them. A node's flags word
// holds them beside the bits of its kind (MenuNodeKind).
enum MenuOptionFlag : std::uint16_t {
  kMenuGrayed = 0x0001,
  kMenuDisabled = 0x0002,
  kMenuChecked = 0x0008,
  kMenuBarBreak = 0x0020,
  kMenuBreak = 0x0040,
  kMenuHelp = 0x4000,
};

// A keyword is found anywhere in a window of its length plus one characters
// (at a character's start); the whole window is then consumed.
struct MenuKeyword {
  const char* word;
  std::size_t window;
  constexpr std::size_t length() const { return window - 1; }
};
inline constexpr MenuKeyword kKeywordMenu{"MENU", 5};
inline constexpr MenuKeyword kKeywordBegin{"BEGIN", 6};
inline constexpr MenuKeyword kKeywordEnd{"END", 4};
inline constexpr MenuKeyword kKeywordMenuItem{"MENUITEM", 9};
inline constexpr MenuKeyword kKeywordPopup{"POPUP", 6};
inline constexpr MenuKeyword kKeywordSeparator{"SEPARATOR", 10};

// An option is known by its first letter, and an M option also by its sixth;
// the other letters are not compared. Letters are counted by characters.
struct MenuOption {
  const char* word;
  std::uint16_t flag;
};
inline constexpr MenuOption kMenuOptions[] = {
    {"CHECKED", kMenuChecked},   {"GRAYED", kMenuGrayed},         {"HELP", kMenuHelp},
    {"INACTIVE", kMenuDisabled}, {"MENUBARBREAK", kMenuBarBreak}, {"MENUBREAK", kMenuBreak},
};
inline constexpr std::size_t kOptionMarkLetter = 5;  // the sixth letter tells the M options apart

// Whether the text at `at` reaches an M option's sixth letter.
inline bool HasMarkLetter(const char* at) { return *CharsOn(at, kOptionMarkLetter) != '\0'; }

// The option a script reads at `at`: by its first letter and, for an M, its
// sixth; null when there is none (an M too short to have a sixth letter).
inline const MenuOption* FindMenuOption(const char* at) {
  if (*at == 'M' && !HasMarkLetter(at)) return nullptr;
  for (const MenuOption& option : kMenuOptions)
    if (option.word[0] == *at &&
        (*at != 'M' || option.word[kOptionMarkLetter] == *CharsOn(at, kOptionMarkLetter)))
      return &option;
  return nullptr;
}

// What the parser expected where a script fails.
namespace expect {
inline constexpr const char kName[] = "a menu name";
inline constexpr const char kBlankAfterName[] = "white space after the menu name";
inline constexpr const char kMenu[] = "MENU after the menu name";
inline constexpr const char kBegin[] = "BEGIN after MENU";
inline constexpr const char kPopupBegin[] = "BEGIN, or a comma and an option";
inline constexpr const char kStatement[] = "POPUP, MENUITEM or END (upper case)";
inline constexpr const char kQuoted[] = "a quoted text (one blank after the keyword)";
inline constexpr const char kClosingQuote[] = "a closing quote";
inline constexpr const char kItemText[] = "a quoted text or SEPARATOR (one blank after MENUITEM)";
inline constexpr const char kShortText[] = "a command text of at most 127 characters";
inline constexpr const char kIdentifier[] = "an identifier";
inline constexpr const char kShortIdentifier[] = "an identifier of at most 7 characters";
inline constexpr const char kAfterIdentifier[] = "white space or a comma after the identifier";
inline constexpr const char kOption[] =
    "an option: CHECKED, GRAYED, HELP, INACTIVE, MENUBARBREAK or MENUBREAK";
inline constexpr const char kMarkLetter[] = "MENUBARBREAK or MENUBREAK";
inline constexpr const char kAfterOption[] = "a comma, BEGIN or the next statement after the option";
inline constexpr const char kNesting[] = "END: popups nest at most 24 deep";
inline constexpr const char kMemory[] = "memory for the node list";
}  // namespace expect

}  // namespace orvex
