// The same table rows in every ANSI code page: a row names its characters by
// placeholders, which stand for characters of the code page the process runs
// in (GetACP). In 932, 936 and 950 "{5C}" is a double-byte character whose
// trail byte is '\', "{5D}" one whose trail byte is ']', and so on; 949 has no
// trail bytes below 0x41, so there those rows hold plain Hangul and check
// that nothing else changes, and its trail bytes 't' and 'E' ({74}, {45})
// meet the keywords; in 1252, the control, every placeholder is one byte.
// "{lead}" is a lone lead byte: a character cut short before the NUL.
#pragma once

#include <windows.h>

#include <string>

namespace codepage {

// The placeholders a row may hold.
enum Char { k5C, k5D, k5B, k40, k74, k45, kPlain, kLead, kChars };

struct CodePage {
  UINT acp;
  const char* chars[kChars];  // by Char
};

// The entry of GetACP(); the control's (1252) for a code page not listed.
const CodePage& Current();

// `row` with its placeholders replaced by the current code page's characters.
std::string Expand(const char* row);

// True when `text` converts to wide text and back unchanged: only such text
// can come from the runtime, which hands text over as wide strings.
bool RoundTrips(const std::string& text);

// A text copied to the very end of a readable page that is followed by one
// that cannot be read: a read past its terminator faults.
class PageEndText {
 public:
  explicit PageEndText(const std::string& text);
  ~PageEndText();
  PageEndText(const PageEndText&) = delete;
  PageEndText& operator=(const PageEndText&) = delete;
  const char* c_str() const { return text_; }

 private:
  char* pages_ = nullptr;
  char* text_ = nullptr;
};

}  // namespace codepage
