#include "tools/menu-check/ScriptFile.h"

#include "frame/File.h"
#include "tools/menu-check/ScriptCheck.h"

namespace orvex {

bool ReadScriptFile(const char* path, std::string* bytes, std::string* why) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return *why = "a directory", false;
  fw::CFile file;
  DWORD error = file.OpenForReading(path) ? ERROR_SUCCESS : GetLastError();
  LONGLONG size = error ? 0 : file.GetLength();
  if (size < 0) error = GetLastError();
  if (!error && static_cast<unsigned long long>(size) > kMaxScriptFileBytes)
    return *why = "too large (" + std::to_string(size) +
                  " bytes): the runtime reads menu scripts of at most 64 MB",
           false;
  if (!error) {
    bytes->resize(static_cast<std::size_t>(size));
    bytes->resize(file.Read(&(*bytes)[0], static_cast<DWORD>(size)));  // shorter than it was: what is there
  }
  switch (error) {
    case ERROR_SUCCESS: return true;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH: *why = "no such file"; break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: *why = "in use by another program"; break;
    case ERROR_ACCESS_DENIED: *why = "access denied"; break;
    default: *why = "Windows error " + std::to_string(error); break;
  }
  return false;
}

}  // namespace orvex
