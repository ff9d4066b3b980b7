// The canonical description of a menu, written the same way by the native
// side (from the parser's node list, or from the menu the builder makes with
// stand-in USER32 calls) and by the Windows side (from the HMENU that
// LoadMenuFromFile returns, read back through USER32). Header only, no
// platform headers, so that both compilers share it.
//
// One line per item, two blanks of indent per nesting level:
//   POPUP "text" OPTIONS...        its items follow, one level deeper
//   ITEM "text" id=N OPTIONS...
//   SEPARATOR
// Texts are quoted with every byte outside printable ASCII, the quote and the
// backslash written as \xNN, so a TAB shows as \x09 and a backslash as \x5C.
// Option bits that no option word names are shown as +0xNNNN.
#pragma once

#include <cstdio>
#include <string>

namespace menudesc {

// The option bits a script can set on an item (the menu flags AppendMenuA takes).
struct OptionName {
  unsigned bit;
  const char* name;
};
inline constexpr OptionName kOptions[] = {
    {0x0001, "GRAYED"},       {0x0002, "INACTIVE"},  {0x0008, "CHECKED"},
    {0x0020, "MENUBARBREAK"}, {0x0040, "MENUBREAK"}, {0x4000, "HELP"},
};

inline std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out + "\"";
}

inline std::string Options(unsigned flags) {
  std::string out;
  for (const auto& option : kOptions) {
    if (flags & option.bit) {
      out += ' ';
      out += option.name;
      flags &= ~option.bit;
    }
  }
  if (flags) {
    char rest[16];
    std::snprintf(rest, sizeof rest, " +0x%04X", flags);
    out += rest;
  }
  return out;
}

inline std::string Indent(int depth) { return std::string(2 * static_cast<size_t>(depth), ' '); }

inline std::string PopupLine(int depth, const std::string& text, unsigned options) {
  return Indent(depth) + "POPUP " + Quote(text) + Options(options) + "\n";
}

inline std::string ItemLine(int depth, const std::string& text, unsigned id, unsigned options) {
  return Indent(depth) + "ITEM " + Quote(text) + " id=" + std::to_string(id) + Options(options) + "\n";
}

inline std::string SeparatorLine(int depth) { return Indent(depth) + "SEPARATOR\n"; }

// The first line of a file's block: what the loader decided.
inline constexpr const char* kMenu = "MENU\n";
inline constexpr const char* kNoMenu = "NO MENU\n";

// A command item's shown text: the first backslash-t pair becomes a TAB.
inline std::string CommandText(const std::string& written) {
  size_t pair = written.find("\\t");
  if (pair == std::string::npos) return written;
  return written.substr(0, pair) + '\t' + written.substr(pair + 2);
}

}  // namespace menudesc
