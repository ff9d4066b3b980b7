// libFuzzer target: the menu checker's diagnosis (tools/menu-check/
// ScriptCheck.cpp, with Diagnosis.cpp and RcDifferences.cpp) on arbitrary
// bytes, as the checker reads them from a file, with and without --rc, under
// AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer. A hang
// shows as libFuzzer's timeout. Beyond what the sanitizers see, the report:
//   - gives the library's verdict: a menu exactly when the parser, reading up
//     to the first NUL byte as the library does, yields one;
//   - says it once: one "a menu" line, or one line that says why there is none;
//   - is short: a bounded number of lines, each one line of bounded length
//     (findings of a kind capped, quoted texts cut), at places in the text;
//   - counts at least the warnings it shows.
// The positions it gives are checked against PositionOf.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/menu-check/RcDifferences.h"
#include "tools/menu-check/ScriptCheck.h"

namespace {

void Check(bool holds, const char* fault, const std::string& detail = "") {
  if (holds) return;
  std::fprintf(stderr, "menu check fault: %s%s%s\n", fault, detail.empty() ? "" : ": ", detail.c_str());
  std::abort();
}

bool StartsWith(const std::string& text, const char* start) { return text.compare(0, std::strlen(start), start) == 0; }

// Lines of a report: a few of each kind of finding, the counts of the rest,
// the verdict and the few lines about the file as a whole.
constexpr std::size_t kMaxLines = 400;
constexpr std::size_t kMaxLineBytes = 400;

void CheckReport(const std::string& bytes, bool rc, bool libraryMenu) {
  orvex::CMenuScript script;
  orvex::ScriptReport report = orvex::CheckScript(bytes, rc, script);
  Check(report.menu == libraryMenu,
        report.menu ? "a menu where the library makes none" : "no menu where the library makes one");
  Check(!report.menu || script.Head(), "a menu without the node list to build it from");
  Check(!report.show || report.menu, "a menu shown where there is none");

  std::size_t lines = 1;
  for (char c : bytes) lines += c == '\n';
  int verdicts = 0, shownWarnings = 0;
  for (const orvex::ReportLine& line : report.lines) {
    const std::string& text = line.text;
    Check(text.find_first_of(std::string("\n\r\0", 3)) == std::string::npos, "a line break or NUL in a line", text);
    Check(text.size() <= kMaxLineBytes, "a line too long", text.substr(0, 200));
    if (line.placed)
      Check(line.where.line >= 1 && static_cast<std::size_t>(line.where.line) <= lines && line.where.column >= 1,
            "a place outside the text", text);
    const bool verdict = report.menu ? text == "a menu"
                                     : StartsWith(text, "no menu: ") || StartsWith(text, "UTF-16 text") ||
                                           StartsWith(text, "binary data");
    verdicts += verdict;
    shownWarnings += StartsWith(text, "warning: ");
    Check(!report.menu || !StartsWith(text, "no menu: "), "\"no menu\" where there is one", text);
  }
  Check(verdicts == 1, "not one verdict", std::to_string(verdicts));
  Check(report.lines.size() <= kMaxLines, "too many lines", std::to_string(report.lines.size()));
  Check(report.warnings >= shownWarnings, "fewer warnings counted than shown");
}

// TextPositions gives what PositionOf gives.
void CheckPositions(const std::string& bytes) {
  const orvex::TextPositions positions(bytes);
  for (std::size_t offset : {std::size_t{0}, bytes.size(), bytes.size() / 2, bytes.find('\0'), bytes.rfind('\n')}) {
    if (offset == std::string::npos) continue;
    orvex::TextPosition slow = orvex::PositionOf(bytes, offset), fast = positions.At(offset);
    Check(slow.line == fast.line && slow.column == fast.column, "TextPositions differs from PositionOf");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  orvex::CMenuScript library;
  const bool libraryMenu = static_cast<bool>(library.Parse(bytes.c_str()));
  CheckReport(bytes, false, libraryMenu);
  CheckReport(bytes, true, libraryMenu);
  CheckPositions(bytes);
  return 0;
}
