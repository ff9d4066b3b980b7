#include "frame/Text.h"

#include <cstring>
#include <new>

namespace orvex {

void CopyRule(char* buffer, int length, const char* text) noexcept {
  if (!buffer || length <= 0) return;
  std::strncpy(buffer, text ? text : "", static_cast<std::size_t>(length));
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
