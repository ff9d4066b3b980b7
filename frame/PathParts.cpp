#include "frame/PathParts.h"

#include <cstring>

namespace orvex {
namespace {

void CopyCut(char* out, std::size_t capacity, const char* from, std::size_t count) {
  if (count >= capacity) count = capacity - 1;
  std::memcpy(out, from, count);
  out[count] = '\0';
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Appends to a bounded, terminated text.
class Builder {
 public:
  Builder(char* out, std::size_t capacity) : out_(out), capacity_(capacity) {
    if (capacity_) out_[0] = '\0';
  }
  void Add(char c) {
    if (size_ + 1 < capacity_) {
      out_[size_++] = c;
      out_[size_] = '\0';
    }
  }
  void Add(const char* text) {
    for (; *text; ++text) Add(*text);
  }
  char Last() const { return size_ ? out_[size_ - 1] : '\0'; }

 private:
  char* out_;
  std::size_t capacity_;
  std::size_t size_ = 0;
};

}  // namespace

void SplitPath(const char* path, PathParts& parts) noexcept {
  parts = PathParts{};
  if (!path) return;
  if (path[0] && path[1] == ':') {
    CopyCut(parts.drive, PathParts::kDrive, path, 2);
    path += 2;
  }
  const char* lastSeparator = nullptr;
  const char* lastDot = nullptr;
  for (const char* p = path; *p; ++p) {
    if (IsSeparator(*p)) lastSeparator = p;
    else if (*p == '.') lastDot = p;
  }
  const char* nameStart = lastSeparator ? lastSeparator + 1 : path;
  CopyCut(parts.dir, PathParts::kDir, path, static_cast<std::size_t>(nameStart - path));
  if (lastDot && lastDot < nameStart) lastDot = nullptr;
  const char* end = nameStart + std::strlen(nameStart);
  const char* nameEnd = lastDot ? lastDot : end;
  CopyCut(parts.name, PathParts::kName, nameStart, static_cast<std::size_t>(nameEnd - nameStart));
  CopyCut(parts.ext, PathParts::kExt, nameEnd, static_cast<std::size_t>(end - nameEnd));
}

void MakePath(char* out, std::size_t capacity, const char* drive, const char* dir,
              const char* name, const char* ext) noexcept {
  if (!out || !capacity) return;
  Builder text(out, capacity);
  if (drive && *drive) {
    text.Add(drive[0]);
    text.Add(':');
  }
  if (dir && *dir) {
    text.Add(dir);
    if (!IsSeparator(text.Last())) text.Add('\\');
  }
  if (name) text.Add(name);
  if (ext && *ext) {
    if (*ext != '.') text.Add('.');
    text.Add(ext);
  }
}

}  // namespace orvex
