#include "frame/Text.h"

#include <cstring>
#include <new>

namespace orvex {

void CopyRule(char* buffer, int length, const char* text) noexcept {
  if (!buffer || length <= 0) return;
  // strncpy exactly, with the zero fill as one block: the C runtime's
  // strncpy fills the rest of the buffer one byte at a time, which for the
  // usual MAX_PATH buffer and a short text costs more than the whole chain
  // of runtime calls.
  const char* source = text ? text : "";
  const auto limit = static_cast<std::size_t>(length);
  std::size_t size = 0;
  while (size < limit && (buffer[size] = source[size]) != '\0') ++size;
  if (size < limit) std::memset(buffer + size, 0, limit - size);
}

namespace {

// Too long for the buffer (a failed conversion may have written part of
// it), or empty: the copy rule writes all `length` bytes again. Until then
// the buffer holds the empty text, also when the conversion runs out of memory.
// Never inlined: its conversion buffer would enlarge the frame of every
// export that delivers a wide text.
[[gnu::noinline]] void CopyRuleConverted(char* buffer, int length, const wchar_t* wide) {
  buffer[0] = '\0';
  CopyRule(buffer, length, NarrowText(wide).c_str());
}

}  // namespace

void CopyRuleNarrowed(char* buffer, int length, const wchar_t* wide) {
  if (!buffer || length <= 0) return;
  if (wide && *wide) {
    int written = WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, length, nullptr, nullptr);
    if (written > 0) {  // the text and its terminator fit: zero-fill the rest
      std::memset(buffer + written, 0, static_cast<std::size_t>(length - written));
      return;
    }
  }
  CopyRuleConverted(buffer, length, wide);
}

NarrowText::NarrowText(const wchar_t* wide) {
  inline_[0] = '\0';
  if (!wide || !*wide) return;
  // Most texts fit the inline buffer: convert once, size only when they don't.
  int written = WideCharToMultiByte(CP_ACP, 0, wide, -1, inline_, kInline, nullptr, nullptr);
  if (written <= 0) {
    inline_[0] = '\0';
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return;
    int needed = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return;
    data_ = new char[needed];
    written = WideCharToMultiByte(CP_ACP, 0, wide, -1, data_, needed, nullptr, nullptr);
    if (written <= 0) written = 1;
  }
  data_[written - 1] = '\0';
  size_ = static_cast<std::size_t>(written - 1);
}

NarrowText::~NarrowText() {
  if (data_ != inline_) delete[] data_;
}

}  // namespace orvex
