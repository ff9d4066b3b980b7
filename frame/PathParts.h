// Splitting and composing paths with the C runtime's _splitpath/_makepath
// rules, bounded: every component is cut to fit its fixed buffer.
#pragma once

#include <cstddef>

namespace orvex {

struct PathParts {
  static constexpr std::size_t kDrive = 3;  // "C:" and its terminator
  static constexpr std::size_t kDir = 256;
  static constexpr std::size_t kName = 256;
  static constexpr std::size_t kExt = 256;
  char drive[kDrive] = {};
  char dir[kDir] = {};
  char name[kName] = {};
  char ext[kExt] = {};
};

// True when `path` begins with a drive: a single-byte character and a colon.
bool HasDrive(const char* path) noexcept;

// The drive is a leading letter and colon; the directory runs up to and
// including the last '\' or '/'; the name is the rest up to its last '.', the
// extension that '.' and what follows it. Read by characters (CharText.h); a
// part is cut to whole characters that fit its buffer.
void SplitPath(const char* path, PathParts& parts) noexcept;

// The drive letter and a colon (if a drive is given), the directory with a
// final separator added when it lacks one, the name, and the extension with
// its leading '.' added when it lacks one. Any argument may be null. The
// result is cut to `capacity` - 1 characters and always terminated.
void MakePath(char* out, std::size_t capacity, const char* drive, const char* dir, const char* name,
              const char* ext) noexcept;

}  // namespace orvex
