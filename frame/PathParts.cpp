#include "frame/PathParts.h"

#include <cstring>

#include "frame/CharText.h"

namespace orvex {
namespace {

// The whole characters of [from, from + count) that fit `capacity` - 1 bytes,
// terminated: a cut never leaves half a character behind.
void CopyCut(char* out, std::size_t capacity, const char* from, std::size_t count) {
  const char* end = from;
  while (static_cast<std::size_t>(end - from) < count) {
    const char* next = NextChar(end);
    if (static_cast<std::size_t>(next - from) >= capacity) break;
    end = next;
  }
  const auto size = static_cast<std::size_t>(end - from);
  std::memcpy(out, from, size);
  out[size] = '\0';
}

// Appends whole characters to a bounded, terminated text.
class Builder {
 public:
  Builder(char* out, std::size_t capacity) : out_(out), capacity_(capacity) {
    if (capacity_) out_[0] = '\0';
  }
  void Add(const char* text) {
    for (const char* p = text; *p;) {
      const char* next = NextChar(p);
      const auto width = static_cast<std::size_t>(next - p);
      if (size_ + width >= capacity_) return;
      std::memcpy(out_ + size_, p, width);
      size_ += width;
      out_[size_] = '\0';
      p = next;
    }
  }

 private:
  char* out_;
  std::size_t capacity_;
  std::size_t size_ = 0;
};

}  // namespace

bool HasDrive(const char* path) noexcept { return *path && NextChar(path) == path + 1 && path[1] == ':'; }

void SplitPath(const char* path, PathParts& parts) noexcept {
  parts = PathParts{};
  if (!path) return;
  if (HasDrive(path)) {
    CopyCut(parts.drive, PathParts::kDrive, path, 2);
    path += 2;
  }
  const char* lastSeparator = nullptr;
  const char* lastDot = nullptr;
  for (const char* p = path; *p; p = NextChar(p)) {
    if (IsSeparator(p))
      lastSeparator = p;
    else if (*p == '.')
      lastDot = p;
  }
  const char* nameStart = lastSeparator ? lastSeparator + 1 : path;
  CopyCut(parts.dir, PathParts::kDir, path, static_cast<std::size_t>(nameStart - path));
  if (lastDot && lastDot < nameStart) lastDot = nullptr;
  const char* end = nameStart + std::strlen(nameStart);
  const char* nameEnd = lastDot ? lastDot : end;
  CopyCut(parts.name, PathParts::kName, nameStart, static_cast<std::size_t>(nameEnd - nameStart));
  CopyCut(parts.ext, PathParts::kExt, nameEnd, static_cast<std::size_t>(end - nameEnd));
}

void MakePath(char* out, std::size_t capacity, const char* drive, const char* dir, const char* name,
              const char* ext) noexcept {
  if (!out || !capacity) return;
  Builder text(out, capacity);
  if (drive && *drive) {
    const char letter[] = {drive[0], ':', '\0'};
    text.Add(letter);
  }
  if (dir && *dir) {
    text.Add(dir);
    if (!EndsWithSeparator(dir)) text.Add("\\");
  }
  if (name) text.Add(name);
  if (ext && *ext) {
    if (*ext != '.') text.Add(".");
    text.Add(ext);
  }
}

}  // namespace orvex
