// Narrow text for callers: the copy rule into caller buffers and the
// conversion of the runtime's wide strings to the ANSI code page.
#pragma once

#include <windows.h>

#include <cstddef>

namespace orvex {

// strncpy semantics with count = length: a shorter text is zero-filled up to
// exactly `length` bytes, a longer one is cut to `length` bytes without a
// terminator. A length of 0 or less writes nothing.
void CopyRule(char* buffer, int length, const char* text) noexcept;

// The copy rule applied to a wide string converted to the ANSI code page
// (NarrowText): the same bytes as CopyRule(buffer, length,
// NarrowText(wide).c_str()). A text that fits is converted straight into the
// buffer, with no copy in between.
void CopyRuleNarrowed(char* buffer, int length, const wchar_t* wide);

// A wide string converted to the ANSI code page, up to its first zero
// character. Short texts stay in an inline buffer; longer ones use the heap.
class NarrowText {
 public:
  NarrowText() noexcept { inline_[0] = '\0'; }
  explicit NarrowText(const wchar_t* wide);
  ~NarrowText();
  NarrowText(const NarrowText&) = delete;
  NarrowText& operator=(const NarrowText&) = delete;

  const char* c_str() const noexcept { return data_; }
  std::size_t size() const noexcept { return size_; }

 private:
  static constexpr std::size_t kInline = 520;
  char inline_[kInline];  // only the converted text is ever written
  char* data_ = inline_;
  std::size_t size_ = 0;
};

}  // namespace orvex
