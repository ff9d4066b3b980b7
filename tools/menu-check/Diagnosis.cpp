#include "Diagnosis.h"

#include <cstdlib>
#include <cstring>
#include <map>

#include "RcDifferences.h"
#include "frame/CharText.h"

namespace orvex {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The token at `at`: up to white space or a comma.
std::string TokenAt(const std::string& text, std::size_t at) {
  const char* start = text.c_str() + at;
  const char* end = start;
  while (*end && !IsScriptWhite(*end) && *end != ',') end = NextChar(end);
  return std::string(start, end);
}

std::string Where(TextPosition at) { return std::to_string(at.line) + ":" + std::to_string(at.column); }

// A token as a message quotes it: cut when it is long.
std::string Quote(const std::string& token) {
  return Echo(token.c_str(), token.c_str() + token.size(), kEchoChars);
}

bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }

bool IsOptionWord(const std::string& token) {
  for (const MenuOption& option : kMenuOptions)
    if (token == option.word) return true;
  return false;
}

// Why an identifier token does not give the number it shows; empty when it does.
std::string NotAsWritten(const std::string& token, unsigned id) {
  const std::string gets = "the item gets id " + std::to_string(id);
  if (IsOptionWord(token))
    return token + " stands where the identifier goes: " + gets + " and no " + token + "; write the id first";
  if (IsNameStart(token[0])) return "identifier " + token + " is a name: names are not looked up, " + gets;
  char* end = nullptr;
  long value = std::strtol(token.c_str(), &end, 10);
  if (*end == '\0' && value == static_cast<long>(id)) return "";
  return "identifier " + token + ": " + gets + " (only decimal numbers from 0 to 65535 are read as written)";
}

// The likely mistakes, each a test of the text where the parse stopped.
using Rule = Finding (*)(const std::string& text, const MenuParseError& error, const ScriptRecord& record);

// A comment before the point of failure: "//" or "/*" opening a word outside a text.
Finding Comment(const std::string& text, const MenuParseError& error, const ScriptRecord&) {
  bool inText = false, wordStart = true;
  for (const char* p = text.c_str(); *p && static_cast<std::size_t>(p - text.c_str()) <= error.offset;
       p = NextChar(p)) {
    if (!inText && wordStart && p[0] == '/' && (p[1] == '/' || p[1] == '*'))
      return {static_cast<std::size_t>(p - text.c_str()), "comments are not part of a menu script"};
    if (*p == '"') inText = !inText;
    wordStart = IsScriptWhite(*p);
  }
  return {};
}

// The extended form's header: NAME MENUEX.
Finding MenuEx(const std::string& text, const MenuParseError&, const ScriptRecord&) {
  const char* p = text.c_str();
  while (IsScriptWhite(*p)) ++p;
  while (*p && !IsScriptWhite(*p)) p = NextChar(p);
  while (IsScriptWhite(*p)) ++p;
  if (std::strncmp(p, "MENUEX", 6) != 0 || (p[6] && !IsScriptWhite(p[6]))) return {};
  return {static_cast<std::size_t>(p - text.c_str()),
          "MENUEX is not supported: write MENU, with items MENUITEM \"text\", id"};
}

// "" for an empty text: the second quote is the text's first character, and
// the text runs on to the next quote, lines later.
Finding EmptyText(const std::string& text, const MenuParseError& error, const ScriptRecord& record) {
  std::size_t quote = std::string::npos;
  for (std::size_t at : record.quotes)
    if (at < error.offset) quote = at;
  if (error.expected ==
      expect::kClosingQuote) {  // the text that did not close opened at the last quote or the one before it
    const char* last = FindLastChar(text.c_str(), '"');
    const char* before = last ? PreviousChar(text.c_str(), last) : nullptr;
    if (before && *before == '"') quote = static_cast<std::size_t>(before - text.c_str());
  }
  if (quote == std::string::npos || text.compare(quote, 2, "\"\"") != 0) return {};
  if (PositionOf(text, quote).line == PositionOf(text, error.offset).line) return {};
  return {quote,
          "an empty text \"\" is not possible: the second quote is read as the text's first character, "
          "and the text runs on to the next quote"};
}

// A text that runs on past its line: its closing quote is missing, and the
// text ends at the next quote (or at the end of the script).
Finding UnclosedText(const std::string& text, const MenuParseError& error, const ScriptRecord& record) {
  const char* start = text.c_str();
  if (error.expected == expect::kClosingQuote) {  // no quote after the opening one but its first character
    const char* last = FindLastChar(start, '"');
    const char* before = last ? PreviousChar(start, last) : nullptr;
    if (before && *before == '"') last = before;
    return last ? Finding{static_cast<std::size_t>(last - start), "this text has no closing quote"}
                : Finding{};
  }
  std::size_t quote = std::string::npos;
  for (std::size_t at : record.quotes)
    if (at < error.offset) quote = at;
  if (quote == std::string::npos) return {};
  const char* close = FindChar(NextChar(start + quote + 1), '"');
  const char* lineBreak = FindChar(start + quote, '\n');
  if (!close || !lineBreak || lineBreak > close) return {};
  return {quote, "this text has no closing quote"};
}

// A lead byte of the code page before a quote, a comma or white space: the
// two make one character, and the script reads on past what was swallowed.
Finding SwallowedByLeadByte(const std::string& text, const MenuParseError& error, const ScriptRecord&) {
  const char* start = text.c_str();
  for (const char* p = start; *p && static_cast<std::size_t>(p - start) <= error.offset; p = NextChar(p)) {
    if (NextChar(p) - p != 2) continue;
    const char* what = p[1] == '"'                    ? "the quote"
                       : p[1] == ','                  ? "the comma"
                       : p[1] == '\n' || p[1] == '\r' ? "the line break"
                       : IsScriptWhite(p[1])          ? "the blank"
                                                      : nullptr;
    if (what)
      return {static_cast<std::size_t>(p - start),
              std::string("a lead byte with no second byte: ") + what + " is swallowed"};
  }
  return {};
}

// A number or an option where a statement must begin: the comma before it is missing.
Finding MissingComma(const std::string& text, const MenuParseError& error, const ScriptRecord&) {
  if (error.expected != expect::kStatement || error.offset >= text.size()) return {};
  std::string token = TokenAt(text, error.offset);
  bool number =
      IsDigit(token[0]) || ((token[0] == '-' || token[0] == '+') && token.size() > 1 && IsDigit(token[1]));
  if (!number && !IsOptionWord(token)) return {};
  const char* start = text.c_str();
  const char* end = start + error.offset;
  for (const char* previous; (previous = PreviousChar(start, end)) && IsScriptWhite(*previous);)
    end = previous;
  return {static_cast<std::size_t>(end - start), "a comma is missing before \"" + Quote(token) + "\""};
}

// A name of more than seven characters where an identifier must be.
Finding LongName(const std::string& text, const MenuParseError& error, const ScriptRecord&) {
  if (error.expected != expect::kShortIdentifier) return {};
  std::string token = TokenAt(text, error.offset);
  if (!IsNameStart(token[0])) return {};
  return {error.offset, "identifier " + Quote(token) +
                            " is a name: names are not looked up, and an identifier has at most " +
                            std::to_string(kMaxIdentifier) + " characters; write its number"};
}

constexpr Rule kRules[] = {SwallowedByLeadByte, Comment,      MenuEx,  EmptyText,
                           UnclosedText,        MissingComma, LongName};

}  // namespace

// The kind of a warning NotAsWritten gives for `token`.
const char* NotAsWrittenKind(const std::string& token) {
  if (IsOptionWord(token)) return "options in the identifier's place";
  if (IsNameStart(token[0])) return "names as identifiers";
  return "identifiers not read as written";
}

std::vector<Finding> Warnings(const std::string& text, const ScriptRecord& record,
                              const TextPositions& positions) {
  std::vector<Finding> found;
  // id -> where it was first given, and that place as the warnings name it
  // (once found: every repeat of an id names the same place).
  std::map<unsigned, std::pair<std::size_t, std::string>> first;
  for (const ScriptRecord::Identifier& identifier : record.identifiers) {
    if (KindOf(*identifier.node) != MenuNodeKind::kCommand) continue;  // a separator's has no effect
    const std::string token = text.substr(identifier.at, identifier.length);
    std::string why = NotAsWritten(token, identifier.node->id);
    if (!why.empty()) {
      found.push_back({identifier.at, why, NotAsWrittenKind(token)});
      continue;
    }
    auto [given, fresh] = first.emplace(identifier.node->id, std::make_pair(identifier.at, std::string()));
    if (fresh) continue;
    std::string& place = given->second.second;
    if (place.empty()) place = Where(positions.At(given->second.first));
    found.push_back({identifier.at,
                     "id " + std::to_string(identifier.node->id) + " is given twice (first at " + place + ")",
                     "ids given twice"});
  }
  return found;
}

Finding ParserFinding(const std::string& text, const MenuParseError& error) {
  std::size_t at = error.offset < text.size() ? error.offset : text.size();
  std::size_t end = at >= text.size() ? at : text.find_first_of(" \t\r\n", at);
  if (end == std::string::npos) end = text.size();
  std::string found = at >= text.size()
                          ? "the end of the text"
                          : "\"" + Echo(text.c_str() + at, text.c_str() + end, kEchoChars) + "\"";
  return {at, "found " + found + ", expected " + error.expected};
}

Finding LikelyMistake(const std::string& text, const MenuParseError& error, const ScriptRecord& record) {
  for (Rule rule : kRules) {
    Finding finding = rule(text, error, record);
    if (!finding.what.empty()) return finding;
  }
  return {};
}

}  // namespace orvex
