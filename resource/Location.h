// A location: a drive path, relative path, network path or URL, optionally led
// by a credentials prefix "[user:password]". CLocation classifies, splits,
// composes and resolves such texts.
#pragma once

#include <cstdint>
#include <string>

namespace orvex {

constexpr std::uint32_t kServiceFtp = 1;
constexpr std::uint32_t kServiceGopher = 2;
constexpr std::uint32_t kServiceHttp = 3;
constexpr std::uint32_t kServiceFile = 0x1001;
constexpr std::uint32_t kServiceMailto = 0x1002;
constexpr std::uint32_t kServiceNntp = 0x1006;
constexpr std::uint32_t kServiceHttps = 0x100B;

// The URL parser: service type, host, object (the path with its leading
// '/') and port (the explicit one, else the scheme's default). False for an
// empty text or a scheme it does not know.
bool ParseUrl(const char* url, std::uint32_t* service, std::string* server, std::string* object,
              std::uint16_t* port);

class CLocation : public std::string {
 public:
  using std::string::string;
  CLocation() = default;
  CLocation(const std::string& text) : std::string(text) {}

  // The text after a credentials prefix; null for an empty text.
  const char* GetAddress() const;
  void GetCredentials(std::string* user, std::string* password) const;
  bool IsRelative() const;
  bool IsNetworkPath() const;
  bool Crack(std::uint32_t* service, std::string* server, std::string* object, std::uint16_t* port) const;
  bool Split(std::string* root, std::string* server, std::string* drive, std::string* dir, std::string* name,
             std::string* ext, std::string* user, std::string* password) const;
  // False (text unchanged) when the path part would exceed 259 characters.
  bool Make(const char* root, const char* server, const char* drive, const char* dir, const char* name,
            const char* ext, const char* user, const char* password);
  bool MakeAbsolute(const std::string& relative);
};

// The first component of `rest` up to and including its first separator.
bool NextComponent(std::string& rest, std::string& component);
// Drops the last component of a directory.
bool UpOneLevel(std::string& directory);

}  // namespace orvex
