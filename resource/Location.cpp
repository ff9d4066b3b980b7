#include "resource/Location.h"

#include <windows.h>
#include <wininet.h>

#include <cstdlib>
#include <cstring>

#include "frame/CharText.h"
#include "frame/PathParts.h"

namespace orvex {
namespace {

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
  std::string decoded;
  for (const char* p = object.c_str(); *p && *p != '?' && *p != '#';) {
    int high = *p == '%' ? HexDigit(p[1]) : -1;
    int low = high < 0 ? -1 : HexDigit(p[2]);
    if (low < 0) {
      const char* next = NextChar(p);
      decoded.append(p, next);
      p = next;
      continue;
    }
    if (high == 0 && low == 0) break;  // "%00" ends the text
    decoded += static_cast<char>(high * 16 + low);
    p += 3;
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
  if (char* cut = FindText(text, ":0")) *cut = '\0';
  return text;
}

// A component whose last character before its separator is '.': ".\\", 'old.\\'.
bool EndsWithDotStep(const std::string& component) {
  const char* separator = LastChar(component.c_str());
  const char* before = separator ? PreviousChar(component.c_str(), separator) : nullptr;
  return before && *before == '.';
}

}  // namespace

bool ParseUrl(const char* url, std::uint32_t* service, std::string* server, std::string* object,
              std::uint16_t* port) {
  if (!url || !*url) return false;
  const char* colon = FindChar(url, ':');
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
  const char* slash = FindChar(host, '/');
  const char* path = slash ? slash : host + std::strlen(host);
  std::string authority(host, path);
  // credentials written into the URL itself
  if (const char* at = FindLastChar(authority.c_str(), '@')) authority.erase(0, at - authority.c_str() + 1);
  if (const char* portAt = FindChar(authority.c_str(), ':')) {
    *port = static_cast<std::uint16_t>(std::atoi(portAt + 1));
    authority.erase(static_cast<std::size_t>(portAt - authority.c_str()));
  }
  if (authority.empty() && scheme->service != kServiceFile) return false;
  *server = authority;
  *object = *path ? path : "/";
  return true;
}

const char* CLocation::GetAddress() const {
  if (empty()) return nullptr;
  if ((*this)[0] == '[')
    if (const char* close = FindChar(c_str(), ']')) return close + 1;
  return c_str();
}

void CLocation::GetCredentials(std::string* user, std::string* password) const {
  if (!user && !password) return;
  if (user) user->clear();
  if (password) password->clear();
  if (empty() || (*this)[0] != '[') return;
  const char* k = FindChar(c_str(), ':');
  const char* m = FindChar(c_str(), ']');
  auto range = [](const char* from, const char* to) {
    return from && to && to > from ? std::string(from, to) : std::string();
  };
  if (user) *user = range(c_str() + 1, k);
  if (password) *password = range(k ? k + 1 : nullptr, m);
}

bool CLocation::IsNetworkPath() const {
  const char* address = GetAddress();
  return address && FindText(address, "\\\\") != nullptr;  // the pair makes two characters
}

bool CLocation::IsRelative() const {
  const char* address = GetAddress();
  if (!address || !*address || FindChar(address, ':')) return false;
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
  if (HasDrive(c_str()) || IsRelative() || IsNetworkPath()) {
    *service = kServiceFile;
    server->clear();
    *object = *this;
    *port = 0;
    return true;
  }
  const char* address = GetAddress();
  if (!ParseUrl(address, service, server, object, port)) return false;
  if (*port != 0 && *port != 80) *server += ":" + std::to_string(*port);
  if (FindChar(object->c_str(), '%')) DecodeObject(*object);
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
  const char* separator = FirstSeparator(rest.c_str());
  if (!separator) return false;
  const auto end = static_cast<std::size_t>(separator - rest.c_str()) + 1;
  component = rest.substr(0, end);
  rest.erase(0, end);
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
  if (IsSeparator(rdir.c_str())) {
    dir = rdir;
  } else {
    std::string component;
    while (NextComponent(rdir, component)) {
      if (component.compare(0, 2, "..") == 0)
        UpOneLevel(dir);
      else if (EndsWithDotStep(component))
        continue;
      else
        dir += component;
    }
  }
  if (!rname.empty()) {
    name = rname;
    ext = rext;
  }
  return Make(root.c_str(), server.c_str(), drive.c_str(), dir.c_str(), name.c_str(), ext.c_str(),
              user.c_str(), password.c_str());
}

}  // namespace orvex
