// An independent model of how locations are classified, split, composed and
// resolved, written straight from the rules CLocation follows. The stress
// test compares CLocation with it on generated texts. Byte-wise: the tests
// run in a single-byte code page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace model {

constexpr std::size_t kPartMax = 255;    // directory, file name, extension
constexpr std::size_t kPathMax = 259;    // the composed path part

inline bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The text after a credentials prefix; nothing for an empty text.
inline std::optional<std::string> Address(const std::string& text) {
  if (text.empty()) return std::nullopt;
  if (text[0] == '[') {
    std::size_t close = text.find(']');
    if (close != std::string::npos) return text.substr(close + 1);
  }
  return text;
}

inline bool IsNetworkPath(const std::string& text) {
  auto address = Address(text);
  return address && address->size() >= 2 && address->find("\\\\") != std::string::npos;
}

inline bool IsRelative(const std::string& text) {
  auto address = Address(text);
  if (!address || address->empty() || address->find(':') != std::string::npos) return false;
  return !IsNetworkPath(text);
}

// Drive, relative and network paths are cracked locally, the rest as URLs.
inline bool IsLocal(const std::string& text) {
  return (text.size() > 1 && text[1] == ':') || IsRelative(text) || IsNetworkPath(text);
}

struct Credentials {
  std::string user;
  std::string password;
  bool passwordKnown = true;  // false when the text holds no ':' at all
};

// k = first ':', m = first ']'; user = the k-1 characters from position 1,
// password = from k+1 up to m; negative counts give nothing.
inline Credentials CredentialsOf(const std::string& text) {
  Credentials result;
  if (text.empty() || text[0] != '[') return result;
  std::size_t k = text.find(':'), m = text.find(']');
  if (k == std::string::npos) {
    result.passwordKnown = false;
    return result;
  }
  result.user = text.substr(1, k - 1);
  if (m != std::string::npos && m > k + 1) result.password = text.substr(k + 1, m - k - 1);
  return result;
}

struct PathParts {
  std::string drive, dir, name, ext;
  bool cut = false;  // some part was longer than it may be
};

inline std::string Cut(const std::string& part, bool& cut) {
  if (part.size() <= kPartMax) return part;
  cut = true;
  return part.substr(0, kPartMax);
}

// Drive: two characters when the second is ':'; directory up to and including
// the last separator; extension from the last '.' after it; name between.
inline PathParts SplitPath(const std::string& path) {
  PathParts parts;
  std::size_t at = 0;
  if (path.size() >= 2 && path[1] == ':') {
    parts.drive = path.substr(0, 2);
    at = 2;
  }
  std::string rest = path.substr(at);
  std::size_t separator = rest.find_last_of("\\/");
  std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  std::string last = rest.substr(nameStart);
  std::size_t dot = last.rfind('.');
  parts.dir = Cut(rest.substr(0, nameStart), parts.cut);
  parts.name = Cut(last.substr(0, dot), parts.cut);
  parts.ext = Cut(dot == std::string::npos ? std::string() : last.substr(dot), parts.cut);
  return parts;
}

inline std::string MakePath(const std::string& drive, const std::string& dir, const std::string& name,
                            const std::string& ext) {
  std::string path;
  if (!drive.empty()) path += std::string(1, drive[0]) + ":";
  if (!dir.empty()) {
    path += dir;
    if (!IsSeparator(dir.back())) path += '\\';
  }
  path += name;
  if (!ext.empty()) path += (ext[0] == '.' ? "" : ".") + ext;
  return path;
}

struct Components {
  std::string root, server, drive, dir, name, ext, user, password;
};

// The composed text, and the length of its path part.
inline std::string Make(const Components& c, std::size_t* pathLength = nullptr) {
  std::string text;
  if (!c.user.empty() || !c.password.empty()) text = "[" + c.user + ":" + c.password + "]";
  std::string path = MakePath(c.drive, c.dir, c.name, c.ext);
  if (pathLength) *pathLength = path.size();
  return text + c.root + c.server + path;
}

inline bool UpOneLevel(std::string& dir) {
  std::size_t s = dir.find_last_of("\\/");
  if (s == std::string::npos) return false;
  dir.erase(s);
  std::size_t t = dir.find_last_of("\\/");
  dir.erase(t == std::string::npos ? 0 : t + 1);
  return true;
}

// The base directory after walking the relative directory's components.
inline std::string WalkDirectory(std::string dir, const std::string& relativeDir) {
  if (!relativeDir.empty() && IsSeparator(relativeDir[0])) return relativeDir;
  std::size_t at = 0;
  for (;;) {
    std::size_t separator = relativeDir.find_first_of("\\/", at);
    if (separator == std::string::npos) break;
    std::string component = relativeDir.substr(at, separator + 1 - at);
    at = separator + 1;
    if (component.compare(0, 2, "..") == 0) UpOneLevel(dir);
    else if (component.size() >= 2 && component[component.size() - 2] == '.') continue;
    else dir += component;
  }
  return dir;
}

// The URL parser's defaults for the schemes it knows.
inline std::optional<std::uint16_t> DefaultPort(const std::string& scheme) {
  if (scheme == "ftp") return 21;
  if (scheme == "gopher") return 70;
  if (scheme == "http") return 80;
  if (scheme == "https") return 443;
  return std::nullopt;
}

inline int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The URL path's "%XX" escapes decoded, up to a query or fragment; a
// malformed escape stays as written and "%00" ends the text.
inline std::string Decode(const std::string& object) {
  std::string path = object.substr(0, object.find_first_of("?#")), out;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '%' && i + 2 < path.size() && HexValue(path[i + 1]) >= 0 && HexValue(path[i + 2]) >= 0) {
      int value = HexValue(path[i + 1]) * 16 + HexValue(path[i + 2]);
      if (value == 0) break;
      out += static_cast<char>(value);
      i += 2;
    } else {
      out += path[i];
    }
  }
  return out;
}

}  // namespace model
