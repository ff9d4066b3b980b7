#include "resource/Location.h"

#include <windows.h>
#include <wininet.h>
#include <mbstring.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "frame/PathParts.h"

namespace orvex {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

struct Scheme {
  const char* name;
  std::uint32_t service;
  std::uint16_t port;
  int winInetScheme;  // for the root
};
const Scheme kSchemes[] = {
    {"ftp", kServiceFtp, 21, INTERNET_SCHEME_FTP},
    {"gopher", kServiceGopher, 70, INTERNET_SCHEME_GOPHER},
    {"http", kServiceHttp, 80, INTERNET_SCHEME_HTTP},
    {"file", kServiceFile, 0, -1},
    {"mailto", kServiceMailto, 0, INTERNET_SCHEME_MAILTO},
    {"nntp", kServiceNntp, 119, INTERNET_SCHEME_NEWS},
    {"https", kServiceHttps, 443, INTERNET_SCHEME_HTTPS},
};

const Scheme* FindScheme(const std::string& name) {
  for (const auto& s : kSchemes)
    if (_stricmp(s.name, name.c_str()) == 0) return &s;
  return nullptr;
}

int WinInetScheme(std::uint32_t service) {
  for (const auto& s : kSchemes)
    if (s.service == service) return s.winInetScheme;
  return -1;
}

// The last separator of a text, multibyte-aware.
const char* LastSeparator(const char* text) {
  const unsigned char* a = _mbsrchr(reinterpret_cast<const unsigned char*>(text), '\\');
  const unsigned char* b = _mbsrchr(reinterpret_cast<const unsigned char*>(text), '/');
  return reinterpret_cast<const char*>(a > b ? a : b);
}

void Give(std::string* out, const char* text) {
  if (out) *out = text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%" escapes of the URL path decoded; the query or fragment is dropped and a
// malformed escape stays as written. Done here rather than by WinINet's
// decoding crack, which mangles file URLs with escapes and under Wine even
// faults on some ('file://h/%20'). False leaves `object` as it was.
bool DecodeObject(std::string& object) {
  constexpr std::size_t kPath = 2049;
  if (object.size() >= kPath) return false;
  std::size_t end = std::min(object.find_first_of("?#"), object.size());
  std::string decoded;
  for (std::size_t i = 0; i < end; ++i) {
    int high = i + 2 < end && object[i] == '%' ? HexDigit(object[i + 1]) : -1;
    int low = high < 0 ? -1 : HexDigit(object[i + 2]);
    if (low < 0) {
      decoded += object[i];
      continue;
    }
    if (high == 0 && low == 0) break;  // "%00" ends the text
    decoded += static_cast<char>(high * 16 + low);
    i += 2;
  }
  object = decoded;
  return true;
}

// A URL with nothing but a scheme, cut at ":0": 'http://'.
std::string Root(std::uint32_t service) {
  URL_COMPONENTSA parts = {};
  parts.dwStructSize = sizeof parts;
  parts.nScheme = static_cast<INTERNET_SCHEME>(WinInetScheme(service));
  char text[20] = {};
  DWORD length = sizeof text;
  if (!InternetCreateUrlA(&parts, 0, text, &length)) text[0] = '\0';
  if (auto* cut = _mbsstr(reinterpret_cast<unsigned char*>(text), reinterpret_cast<const unsigned char*>(":0")))
    *cut = '\0';
  return text;
}

}  // namespace

bool ParseUrl(const char* url, std::uint32_t* service, std::string* server, std::string* object,
              std::uint16_t* port) {
  if (!url || !*url) return false;
  const char* colon = std::strchr(url, ':');
  if (!colon || colon == url) return false;
  const Scheme* scheme = FindScheme(std::string(url, colon));
  if (!scheme) return false;
  *service = scheme->service;
  *port = scheme->port;
  server->clear();
  if (scheme->service == kServiceMailto) {
    *object = colon + 1;
    return true;
  }
  if (std::strncmp(colon, "://", 3) != 0) return false;
  const char* host = colon + 3;
  const char* path = host + std::strcspn(host, "/");
  std::string authority(host, path);
  std::size_t at = authority.rfind('@');  // credentials written into the URL itself
  if (at != std::string::npos) authority.erase(0, at + 1);
  std::size_t portAt = authority.find(':');
  if (portAt != std::string::npos) {
    *port = static_cast<std::uint16_t>(std::atoi(authority.c_str() + portAt + 1));
    authority.erase(portAt);
  }
  if (authority.empty() && scheme->service != kServiceFile) return false;
  *server = authority;
  *object = *path ? path : "/";
  return true;
}

const char* CLocation::GetAddress() const {
  if (empty()) return nullptr;
  if ((*this)[0] == '[') {
    std::size_t close = find(']');
    if (close != npos) return c_str() + close + 1;
  }
  return c_str();
}

void CLocation::GetCredentials(std::string* user, std::string* password) const {
  if (!user && !password) return;
  if (user) user->clear();
  if (password) password->clear();
  if (empty() || (*this)[0] != '[') return;
  std::size_t k = find(':'), m = find(']');
  auto range = [this](std::size_t from, std::size_t to) {
    if (from == npos || from > size() || to == npos || to <= from) return std::string();
    return substr(from, to - from);
  };
  if (user) *user = range(1, k);
  if (password) *password = range(k == npos ? npos : k + 1, m);
}

bool CLocation::IsNetworkPath() const {
  const char* address = GetAddress();
  return address && std::strlen(address) >= 2 && std::strstr(address, "\\\\") != nullptr;
}

bool CLocation::IsRelative() const {
  const char* address = GetAddress();
  if (!address || !*address || std::strchr(address, ':')) return false;
  return !IsNetworkPath();
}

bool CLocation::Crack(std::uint32_t* service, std::string* server, std::string* object,
                      std::uint16_t* port) const {
  // Outputs passed as null are not produced: they go to locals instead.
  std::uint32_t serviceUnused = 0;
  std::string serverUnused, objectUnused;
  std::uint16_t portUnused = 0;
  if (!service) service = &serviceUnused;
  if (!server) server = &serverUnused;
  if (!object) object = &objectUnused;
  if (!port) port = &portUnused;
  if ((size() > 1 && (*this)[1] == ':') || IsRelative() || IsNetworkPath()) {
    *service = kServiceFile;
    server->clear();
    *object = *this;
    *port = 0;
    return true;
  }
  const char* address = GetAddress();
  if (!ParseUrl(address, service, server, object, port)) return false;
  if (*port != 0 && *port != 80) *server += ":" + std::to_string(*port);
  if (object->find('%') != std::string::npos) DecodeObject(*object);
  return true;
}

bool CLocation::Split(std::string* root, std::string* server, std::string* drive, std::string* dir,
                      std::string* name, std::string* ext, std::string* user, std::string* password) const {
  GetCredentials(user, password);
  std::uint32_t service = 0;
  std::string host, object;
  std::uint16_t port = 0;
  if (!Crack(&service, &host, &object, &port)) return false;
  PathParts parts;
  SplitPath(object.c_str(), parts);
  if (service == kServiceFile) {
    Give(root, "");
    Give(server, "");
    Give(drive, parts.drive);
  } else {
    if (root) *root = Root(service);
    Give(server, host.c_str());
    Give(drive, "");  // a URL's path has no drive
  }
  Give(dir, parts.dir);
  Give(name, parts.name);
  Give(ext, parts.ext);
  return true;
}

bool CLocation::Make(const char* root, const char* server, const char* drive, const char* dir,
                     const char* name, const char* ext, const char* user, const char* password) {
  std::string result;
  if (user || password) {
    std::string u = user ? user : "", p = password ? password : "";
    if (!u.empty() || !p.empty()) result = "[" + u + ":" + p + "]";
  }
  if (root) result += root;
  if (server) result += server;
  // The path part must fit its 260-character buffer: refuse rather than cut.
  std::size_t needed = (drive && *drive ? 2 : 0) + (dir ? std::strlen(dir) + 1 : 0) +
                       (name ? std::strlen(name) : 0) + (ext ? std::strlen(ext) + 1 : 0);
  if (needed > MAX_PATH - 1) return false;
  char path[MAX_PATH];
  MakePath(path, sizeof path, drive, dir, name, ext);
  result += path;
  assign(result);
  return true;
}

bool NextComponent(std::string& rest, std::string& component) {
  const unsigned char* text = reinterpret_cast<const unsigned char*>(rest.c_str());
  std::size_t at = _mbscspn(text, reinterpret_cast<const unsigned char*>("\\/"));
  if (at >= rest.size()) return false;
  component = rest.substr(0, at + 1);
  rest.erase(0, at + 1);
  return true;
}

bool UpOneLevel(std::string& directory) {
  const char* s = LastSeparator(directory.c_str());
  if (!s) return false;
  directory.erase(static_cast<std::size_t>(s - directory.c_str()));
  const char* t = LastSeparator(directory.c_str());
  directory.erase(t ? static_cast<std::size_t>(t - directory.c_str()) + 1 : 0);
  return true;
}

bool CLocation::MakeAbsolute(const std::string& relative) {
  CLocation r(relative);
  if (!r.IsRelative()) {
    assign(relative);
    return true;
  }
  std::string root, server, drive, dir, name, ext, user, password;
  if (!Split(&root, &server, &drive, &dir, &name, &ext, &user, &password)) return false;
  std::string rdir, rname, rext;
  if (!r.Split(nullptr, nullptr, nullptr, &rdir, &rname, &rext, nullptr, nullptr)) return false;
  if (!rdir.empty() && IsSeparator(rdir[0])) {
    dir = rdir;
  } else {
    std::string component;
    while (NextComponent(rdir, component)) {
      if (component.compare(0, 2, "..") == 0) UpOneLevel(dir);
      else if (component.size() >= 2 && component[component.size() - 2] == '.') continue;
      else dir += component;
    }
  }
  if (!rname.empty()) {
    name = rname;
    ext = rext;
  }
  return Make(root.c_str(), server.c_str(), drive.c_str(), dir.c_str(), name.c_str(), ext.c_str(), user.c_str(),
              password.c_str());
}

}  // namespace orvex
