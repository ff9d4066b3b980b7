#include "RcDifferences.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "frame/CharText.h"
#include "menu/MenuScript.h"

namespace orvex {
namespace {

bool RcWhite(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

struct Token {
  enum Kind { kWord, kText, kComma, kOpen, kClose, kEnd } kind;
  std::size_t at;
  std::string text;
};

// The escapes a resource compiler decodes in a text, and what it reads.
struct Escape {
  char letter;
  const char* reads;
};
constexpr Escape kEscapes[] = {{'t', "a TAB"},
                               {'\\', "one backslash"},
                               {'"', "a quote"},
                               {'a', "0x08"},
                               {'n', "a line feed"},
                               {'r', "a carriage return"},
                               {'x', "a hexadecimal code"},
                               {'0', "an octal code"}};

class Comparison {
 public:
  explicit Comparison(const std::string& text) : t_(text) {}

  std::vector<RcDifference> Run() {
    std::size_t nul = t_.find('\0');
    if (nul != std::string::npos)
      Note(nul, "NUL bytes",
           "a NUL byte: the script ends here; a resource compiler reads on, or refuses the file");
    Token tok = Next();  // the menu name
    tok = Next();
    Keyword(tok, "MENU");
    for (tok = Next(); tok.kind == Token::kWord && !Keyword(tok, "BEGIN"); tok = Next())
      Note(tok.at, "words between MENU and BEGIN",
           "word " + Quote(tok) +
               " between MENU and BEGIN: a resource compiler reads it as a memory option; here the script "
               "fails");
    if (tok.kind == Token::kOpen || tok.kind == Token::kWord) Body();
    return std::move(out_);
  }

 private:
  void Note(std::size_t at, const char* kind, std::string what) {
    out_.push_back({at, std::move(what), kind});
  }

  // A word token as a message quotes it: cut when it is long.
  static std::string Quote(const Token& tok) {
    return Echo(tok.text.c_str(), tok.text.c_str() + tok.text.size(), kEchoChars);
  }

  std::size_t LineEnd(std::size_t i) const {
    std::size_t end = t_.find('\n', i);
    return end == std::string::npos ? t_.size() : end;
  }

  Token Next() {
    for (;;) {
      // A NUL byte (noted once, in Run) is passed over like white space.
      while (i_ < t_.size() && (RcWhite(t_[i_]) || t_[i_] == '\0')) {
        if (t_[i_] == '\v')
          Note(i_, "vertical tabs",
               "a vertical tab: white space to a resource compiler; here part of a token");
        ++i_;
      }
      if (i_ >= t_.size()) return {Token::kEnd, i_, ""};
      if (t_.compare(i_, 2, "//") == 0 || t_.compare(i_, 2, "/*") == 0) {
        Note(i_, "comments", "a comment: a resource compiler skips it; here it is read as script text");
        std::size_t close = t_[i_ + 1] == '*' ? t_.find("*/", i_ + 2) : std::string::npos;
        i_ = t_[i_ + 1] == '*' ? (close == std::string::npos ? t_.size() : close + 2) : LineEnd(i_);
        continue;
      }
      if (t_[i_] == '#' && (i_ == 0 || t_.find_last_not_of(" \t", i_ - 1) == std::string::npos ||
                            t_[t_.find_last_not_of(" \t", i_ - 1)] == '\n')) {
        Note(i_, "preprocessor lines",
             "a preprocessor line: a resource compiler runs it; here it is read as script text");
        i_ = LineEnd(i_);
        continue;
      }
      break;
    }
    std::size_t at = i_;
    char c = t_[i_];
    if (c == ',' || c == '{' || c == '}') {
      ++i_;
      if (c != ',')
        Note(at, "braces",
             std::string("a brace: a resource compiler reads it as ") + (c == '{' ? "BEGIN" : "END") +
                 "; here the script fails");
      return {c == ',' ? Token::kComma : c == '{' ? Token::kOpen : Token::kClose, at, std::string(1, c)};
    }
    if (c == '"') {
      std::size_t j = i_ + 1;
      while (j < t_.size()) {
        if (t_[j] == '\\' && j + 1 < t_.size())
          j += 2;
        else if (t_[j] == '"' && j + 1 < t_.size() && t_[j + 1] == '"')
          j += 2;
        else if (t_[j] == '"')
          break;
        else
          ++j;
      }
      i_ = j < t_.size() ? j + 1 : j;
      return {Token::kText, at, t_.substr(at, i_ - at)};
    }
    // Never empty: what stops a word (white space, a NUL, , " { }) was taken above.
    while (i_ < t_.size() && !RcWhite(t_[i_]) && t_[i_] != '\0' && !std::strchr(",\"{}", t_[i_])) ++i_;
    if (i_ == at) ++i_;
    return {Token::kWord, at, t_.substr(at, i_ - at)};
  }

  static bool SameWord(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (std::size_t k = 0; k < a.size(); ++k)
      if (std::toupper(static_cast<unsigned char>(a[k])) != b[k]) return false;
    return true;
  }

  // The token is `word` to a resource compiler; notes what the script makes of it.
  bool Keyword(const Token& tok, const char* word) {
    if (tok.kind != Token::kWord || !SameWord(tok.text, word)) return false;
    if (tok.text != word)
      Note(tok.at, "keywords in lower case",
           "keyword " + tok.text + " in lower case: a resource compiler reads " + word +
               "; here only upper case is");
    if (t_[tok.at + tok.text.size()] == '"')
      Note(tok.at, "keywords against a quote",
           std::string("keyword ") + word +
               " against the quote: a resource compiler reads both; here the quote is taken as the blank "
               "after " +
               word);
    return true;
  }

  void Text(const Token& tok, bool popup) {
    const std::string& s = tok.text;
    if (s == "\"\"")
      Note(tok.at, "empty texts",
           "an empty text: a resource compiler reads it; here the quote is the text's first character");
    int tabs = popup ? 1 : 0;  // the builder turns the first \t of a command text into a TAB
    for (std::size_t k = 1; k + 1 < s.size(); ++k) {
      if (s[k] == '"' && s[k + 1] == '"') {
        Note(tok.at + k, "doubled quotes",
             "a doubled quote: a resource compiler reads one quote; here the first ends the text");
        ++k;
      } else if (s[k] == '\\') {
        char e = s[k + 1];
        for (const Escape& escape : kEscapes)
          if (escape.letter == e || (escape.letter == '0' && e >= '0' && e <= '7')) {
            if (e != 't' || tabs++ > 0)
              Note(tok.at + k, "escapes kept as written",
                   std::string("escape \\") + e + " is kept as written here; a resource compiler reads " +
                       escape.reads);
            break;
          }
        ++k;
      }
    }
  }

  // A resource compiler's value of an identifier: numbers in C notation,
  // joined by + - | &; false when it is a name or no expression.
  static bool RcValue(const std::string& s, long* value, bool* symbolic) {
    const char* p = s.c_str();
    *value = 0;
    *symbolic = false;
    char op = '+';
    for (;;) {
      bool negate = *p == '-' || *p == '~';
      char unary = *p;
      if (negate) ++p;
      if (std::isalpha(static_cast<unsigned char>(*p)) || *p == '_') return *symbolic = true, false;
      if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
      char* end = nullptr;
      long v = std::strtol(p, &end, 0);
      p = end;
      if (*p == 'L' || *p == 'l') ++p;
      if (negate) v = unary == '-' ? -v : ~v;
      *value = op == '+' ? *value + v : op == '-' ? *value - v : op == '|' ? (*value | v) : (*value & v);
      if (!*p) return true;
      if (!std::strchr("+-|&", *p)) return false;
      op = *p++;
    }
  }

  void Identifier(const Token& tok) {
    if (tok.kind != Token::kWord || tok.text.size() > kMaxIdentifier) return;
    unsigned here = static_cast<std::uint16_t>(std::atoi(tok.text.c_str()));
    long value = 0;
    bool symbolic = false;
    std::string head =
        "identifier " + tok.text + " is " + std::to_string(here) + " here; a resource compiler ";
    if (!RcValue(tok.text, &value, &symbolic))
      Note(tok.at, "identifiers read otherwise", head + (symbolic ? "needs a #define for it" : "refuses it"));
    else if (static_cast<std::uint16_t>(value) != here)
      Note(tok.at, "identifiers read otherwise",
           head + "reads " + std::to_string(static_cast<std::uint16_t>(value)));
  }

  // { [','] option }: returns the token after the list.
  Token Options(Token tok) {
    bool comma = false;
    for (;; tok = Next()) {
      if (tok.kind == Token::kComma) {
        comma = true;
        continue;
      }
      if (tok.kind != Token::kWord) return tok;
      const MenuOption* named = nullptr;
      for (const MenuOption& option : kMenuOptions)
        if (SameWord(tok.text, option.word)) named = &option;
      if (!named && !comma) return tok;
      if (named && !comma)
        Note(tok.at, "options without a comma",
             "option " + tok.text +
                 " without a comma: a resource compiler reads it; here it ends the statement");
      if (named && tok.text != named->word)
        Note(tok.at, "options in lower case",
             "option " + tok.text + " in lower case: a resource compiler reads " + named->word +
                 "; here the script fails");
      const MenuOption* read = named ? nullptr : FindMenuOption(tok.text.c_str());
      if (read)
        Note(tok.at, "options a resource compiler does not know",
             "option " + Quote(tok) + " is read as " + read->word +
                 " here; a resource compiler knows no such option");
      comma = false;
    }
  }

  void Body() {
    int depth = 1;
    Token tok = Next();
    if (tok.kind == Token::kClose || Keyword(tok, "END"))
      Note(tok.at, "empty menus",
           "an empty menu: a menu without items here; compiled, it has no items to make one from");
    while (tok.kind != Token::kEnd) {
      if (tok.kind == Token::kClose || Keyword(tok, "END")) {
        if (--depth == 0) {
          tok = Next();
          if (tok.kind != Token::kEnd)
            Note(tok.at, "texts after the END",
                 "text after the END that closes the menu: ignored here; a resource compiler reads it");
          return;
        }
        tok = Next();
      } else if (Keyword(tok, "POPUP")) {
        tok = Next();
        if (tok.kind == Token::kText) Text(tok, true);
        tok = Options(Next());
        if (tok.kind == Token::kOpen || Keyword(tok, "BEGIN")) ++depth;
        std::size_t begin = tok.at;
        tok = Next();
        if (tok.kind == Token::kClose || Keyword(tok, "END"))
          Note(begin, "empty popups",
               "an empty popup: a submenu here; compiled, it has no items to make one from");
      } else if (Keyword(tok, "MENUITEM")) {
        tok = Next();
        if (Keyword(tok, "SEPARATOR")) {
          tok = Next();
          if (tok.kind == Token::kComma)
            Note(tok.at, "separators with an identifier or options",
                 "an identifier or options after SEPARATOR: ignored here; a resource compiler refuses them");
        } else {
          if (tok.kind == Token::kText) Text(tok, false);
          std::size_t after = tok.at + tok.text.size();
          tok = Next();
          if (tok.kind == Token::kComma) {
            tok = Next();
            Identifier(tok);
            tok = Next();
          } else {
            Note(after, "items without an identifier",
                 "an item without an identifier: 0 here; a resource compiler refuses it");
          }
        }
        tok = Options(tok);
      } else {
        tok = Next();
      }
    }
  }

  const std::string& t_;
  std::size_t i_ = 0;
  std::vector<RcDifference> out_;
};

}  // namespace

std::vector<RcDifference> FindRcDifferences(const std::string& text) { return Comparison(text).Run(); }

TextPosition PositionOf(const std::string& text, std::size_t offset) {
  TextPosition at{1, 1};
  const char* const start = text.c_str();
  const char* const end = start + (offset < text.size() ? offset : text.size());
  for (const char* p = start; p < end; p = *p ? NextChar(p) : p + 1) {  // columns count characters
    if (*p == '\n')
      ++at.line, at.column = 1;
    else
      ++at.column;
  }
  return at;
}

TextPositions::TextPositions(const std::string& text) : text_(text) {
  constexpr std::size_t kStep = 256;  // bytes between marks, at least
  TextPosition at{1, 1};
  marks_.push_back({0, at});
  const char* const start = text.c_str();
  const char* const end = start + text.size();
  for (const char* p = start; p < end; p = *p ? NextChar(p) : p + 1) {
    const std::size_t offset = static_cast<std::size_t>(p - start);
    if (offset >= marks_.back().offset + kStep) marks_.push_back({offset, at});
    if (*p == '\n')
      ++at.line, at.column = 1;
    else
      ++at.column;
  }
}

TextPosition TextPositions::At(std::size_t offset) const {
  if (offset > text_.size()) offset = text_.size();
  auto mark = std::upper_bound(marks_.begin(), marks_.end(), offset,
                               [](std::size_t value, const Mark& m) { return value < m.offset; }) -
              1;
  TextPosition at = mark->at;
  const char* const start = text_.c_str();
  const char* const end = start + offset;
  for (const char* p = start + mark->offset; p < end; p = *p ? NextChar(p) : p + 1) {
    if (*p == '\n')
      ++at.line, at.column = 1;
    else
      ++at.column;
  }
  return at;
}

std::string Echo(const char* begin, const char* end, std::size_t chars) {
  const char* p = begin;
  for (std::size_t n = 0; p < end && n < chars; ++n) p = *p ? NextChar(p) : p + 1;
  if (p >= end) return std::string(begin, end);
  return std::string(begin, p) + "...";
}

}  // namespace orvex
