// A file opened for reading, closed when the object goes.
#pragma once

#include <windows.h>

namespace orvex::fw {

class CFile {
 public:
  CFile() = default;
  ~CFile() { Close(); }
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // Opens `path` read-only in binary mode, sharing it with other readers and writers.
  bool OpenForReading(const char* path) {
    Close();
    m_hFile = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    return m_hFile != INVALID_HANDLE_VALUE;
  }
  // The file's length, or -1 when it cannot be told.
  LONGLONG GetLength() const {
    LARGE_INTEGER size;
    return GetFileSizeEx(m_hFile, &size) ? size.QuadPart : -1;
  }
  // Reads up to `count` bytes; returns how many were read.
  DWORD Read(void* buffer, DWORD count) {
    DWORD total = 0;
    while (total < count) {
      DWORD got = 0;
      if (!ReadFile(m_hFile, static_cast<char*>(buffer) + total, count - total, &got, nullptr) || !got) break;
      total += got;
    }
    return total;
  }
  void Close() {
    if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE m_hFile = INVALID_HANDLE_VALUE;
};

}  // namespace orvex::fw
