#include "tools/menu-check/ScriptCheck.h"

#include <cstdio>
#include <map>

#include "frame/CharText.h"
#include "tools/menu-check/Diagnosis.h"

namespace orvex {
namespace {

// A finding quotes the script's bytes, where a lead byte can take the line
// break after it for its second byte: its breaks and NULs are escaped so that
// it stays one line. Byte by byte, since no code page's second byte is a
// control character: such a byte is never part of a character.
std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text)
    line += c == '\n' ? std::string("\\n") : c == '\r' ? std::string("\\r") : c == '\0' ? std::string("\\0")
                                                                              : std::string(1, c);
  return line;
}

// The report's lines, placed by the positions of the file's bytes.
class Lines {
 public:
  Lines(ScriptReport& report, const TextPositions& positions) : report_(report), positions_(positions) {}

  void At(std::size_t offset, std::string text) {
    report_.lines.push_back({true, positions_.At(offset), OneLine(text)});
  }
  void Whole(std::string text) { report_.lines.push_back({false, {0, 0}, OneLine(text)}); }

  // Findings given `prefix` ("warning: ", "rc: "), at most kShownOfAKind of
  // each kind; after them, for each kind with more, one line that counts
  // them, at the first not shown.
  template <typename F>
  void Capped(const std::vector<F>& findings, const char* prefix) {
    struct Rest {
      std::size_t count = 0, at = 0;
    };
    std::map<std::string, std::size_t> shown;
    std::vector<std::pair<const char*, Rest>> rest;  // kinds in the order their first unshown one comes
    for (const F& finding : findings) {
      std::size_t& count = shown[finding.kind];
      if (count < kShownOfAKind) {
        ++count;
        At(finding.offset, prefix + finding.what);
        continue;
      }
      std::size_t k = 0;
      while (k < rest.size() && std::string(rest[k].first) != finding.kind) ++k;
      if (k == rest.size()) rest.push_back({finding.kind, Rest{0, finding.offset}});
      ++rest[k].second.count;
    }
    for (const auto& [kind, more] : rest)
      At(more.at, prefix + std::to_string(more.count) + " more " + kind + ", the first of them here");
  }

 private:
  ScriptReport& report_;
  const TextPositions& positions_;
};

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

}  // namespace

ScriptReport CheckScript(const std::string& bytes, bool rc, CMenuScript& script) {
  ScriptReport report;
  const std::string text(bytes.c_str());  // the library reads a script up to its first NUL byte
  ScriptRecord record;
  Expected<const MenuNode*> nodes = script.Parse(text.c_str(), &record);
  report.menu = static_cast<bool>(nodes);
  const TextPositions positions(bytes);
  Lines out(report, positions);

  // A file that is no script in the ANSI code page: one line says so, and
  // what the parser makes of its bytes would only mislead.
  if (!nodes) {
    if (IsUtf16(bytes.data(), bytes.size())) {
      out.Whole("UTF-16 text: save the script in the ANSI code page");
      return report;
    }
    const std::size_t binary = BinaryAt(bytes.data(), bytes.size());
    if (binary != std::string::npos) {
      char byte[8];
      std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(bytes[binary]));
      out.At(binary, std::string("binary data (byte ") + byte +
                         " here): a menu script is text in the ANSI code page");
      return report;
    }
  }

  if (bytes.compare(0, 3, kByteOrderMark) == 0) {
    out.At(0,
           "warning: UTF-8 text with a byte order mark: the runtime reads the mark as part of the menu name "
           "and every text in the ANSI code page; save the script in the ANSI code page");
    ++report.warnings;
  }
  if (text.size() < bytes.size()) {
    out.At(text.size(), "a NUL byte: the script ends here for the runtime");
    ++report.warnings;
  }

  // A resource compiler reads every byte, past a NUL too. With --rc each
  // place is a warning (--strict fails on it); without, one hint names them,
  // after the finding when there is no menu.
  std::vector<RcDifference> differences = FindRcDifferences(bytes);
  if (rc) {
    out.Capped(differences, "rc: ");
    report.warnings += static_cast<int>(differences.size());
  }
  auto hint = [&] {
    if (rc || differences.empty()) return;
    out.At(differences.front().offset, "run with --rc: a resource compiler reads this script otherwise in " +
                                           std::to_string(differences.size()) +
                                           (differences.size() == 1 ? " place" : " places") +
                                           ", the first here");
  };

  std::vector<Finding> warnings = Warnings(text, record, positions);
  out.Capped(warnings, "warning: ");
  report.warnings += static_cast<int>(warnings.size());

  if (nodes) {
    hint();
    out.Whole("a menu");
    std::size_t items = 0;
    for (const MenuNode* node = *nodes; node; node = node->next)
      items += KindOf(*node) != MenuNodeKind::kHead && KindOf(*node) != MenuNodeKind::kEnd;
    report.show = items <= kShownItems;
    if (!report.show)
      out.Whole(std::to_string(items) + " items: not shown (the checker builds and shows menus of at most " +
                std::to_string(kShownItems) + ")");
    return report;
  }
  Finding parser = ParserFinding(text, nodes.Error());
  Finding mistake = LikelyMistake(text, nodes.Error(), record);
  if (mistake.what.empty()) {
    out.At(parser.offset, "no menu: " + parser.what);
  } else {
    out.At(mistake.offset, "no menu: " + mistake.what);
    out.At(parser.offset, "note: " + parser.what);
  }
  hint();
  return report;
}

std::string Printed(const char* path, const ReportLine& line) {
  if (!line.placed) return std::string(path) + ": " + line.text;
  return std::string(path) + ":" + std::to_string(line.where.line) + ":" + std::to_string(line.where.column) +
         ": " + line.text;
}

}  // namespace orvex
