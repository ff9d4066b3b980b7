// The rules a location keeps whatever its text, checked by the stress driver
// on generated texts (under Windows) and by the native fuzzer on any bytes (in
// the double-byte code pages): no part written past its end or cut inside a
// character, no text lost by a split, Split agrees with Crack, outputs asked
// for in any subset are those of the full call, a refused change leaves the
// location as it was. Texts made of well-formed pieces keep two rules more:
// what Split gives, Make composes into a text that splits the same, and a
// resolved location keeps no '.' or '..' step of its relative part.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "frame/CharText.h"
#include "frame/PathParts.h"
#include "resource/Location.h"

namespace rules {

// Called with the rule a text broke.
using Fail = std::function<void(const char* rule)>;

// Split's parts (root, server, drive, dir, name, ext, user, password), those
// not asked for in `asked` (a bit each) left "-".
struct Parts {
  std::string s[8];
  bool ok = false;
  explicit Parts(const orvex::CLocation& location, unsigned asked = 0xFF) {
    std::string* out[8];
    for (int i = 0; i < 8; ++i) s[i] = "-", out[i] = (asked >> i & 1) ? &s[i] : nullptr;
    ok = location.Split(out[0], out[1], out[2], out[3], out[4], out[5], out[6], out[7]);
  }
};

inline bool HasDotStep(std::string path) {
  for (char& c : path) c = c == '\\' ? '/' : c;
  path = "/" + path + "/";
  return path.find("/../") != std::string::npos || path.find("/./") != std::string::npos;
}

// The path helpers, their outputs between guard bytes; MakePath writes into `capacity` bytes.
inline void CheckPathParts(const std::string& text, int capacity, const Fail& fail) {
  const std::string guard(16, '\xA5');
  struct {
    char before[16];
    orvex::PathParts parts;
    char after[16];
  } guarded;
  std::memset(guarded.before, 0xA5, 16), std::memset(guarded.after, 0xA5, 16);
  orvex::SplitPath(text.c_str(), guarded.parts);
  const orvex::PathParts& p = guarded.parts;
  if (std::string(guarded.before, 16) != guard || std::string(guarded.after, 16) != guard)
    fail("SplitPath wrote outside its parts");
  if (!std::memchr(p.drive, 0, sizeof p.drive) || !std::memchr(p.dir, 0, sizeof p.dir) ||
      !std::memchr(p.name, 0, sizeof p.name) || !std::memchr(p.ext, 0, sizeof p.ext))
    return fail("SplitPath left a part unterminated");
  if (orvex::FirstSeparator(p.name) || orvex::FirstSeparator(p.ext)) fail("a separator after the directory");
  if (text.size() < 250 && std::string(p.drive) + p.dir + p.name + p.ext != text) fail("SplitPath lost text");
  if (text.size() < 250 && *p.dir && !orvex::EndsWithSeparator(p.dir)) fail("a directory ends in no separator");
  std::vector<char> buffer(capacity + 32, '\xA5');
  orvex::MakePath(buffer.data() + 16, capacity, p.drive, p.dir, p.name, p.ext);
  if (std::string(buffer.data(), 16) != guard || std::string(&buffer[16 + capacity], 16) != guard ||
      !std::memchr(buffer.data() + 16, 0, capacity))
    fail("MakePath wrote outside its buffer or left it unterminated");
  std::string dir = p.dir, before = dir;
  if (orvex::UpOneLevel(dir) && (dir.size() >= before.size() || before.compare(0, dir.size(), dir) != 0))
    fail("UpOneLevel is no prefix");
  std::string rest = text, component, joined;
  for (int steps = 0; steps < 5000 && orvex::NextComponent(rest, component); ++steps) joined += component;
  if (joined + rest != text || orvex::FirstSeparator(rest.c_str())) fail("NextComponent lost or kept text");
}

// `text` alone, then resolved against `relative`; `asked` picks the outputs of a partial Split.
inline void CheckLocation(const std::string& text, const std::string& relative, bool wellFormed, unsigned asked,
                          const Fail& fail) {
  const orvex::CLocation location(text);
  std::uint32_t service = 0, service2 = 0;
  std::uint16_t port = 0, port2 = 0;
  std::string server, object;
  const bool cracked = location.Crack(&service, &server, &object, &port);
  if (location.Crack(&service2, nullptr, nullptr, &port2) != cracked ||
      (cracked && (service2 != service || port2 != port)))
    fail("Crack without out-strings differs");
  if (location.IsRelative() && location.IsNetworkPath()) fail("both relative and a network path");
  const Parts all(location), some(location, asked);
  const auto& s = all.s;
  if (all.ok != cracked) fail("Split and Crack disagree");
  if (all.ok && service != orvex::kServiceFile && s[1] != server) fail("Split server is not Crack's");
  if (all.ok && (s[2].size() > 2 || s[3].size() > 255 || s[4].size() > 255 || s[5].size() > 255))
    fail("a split part is longer than its buffer");
  for (int i = 0; i < 8; ++i)
    if (some.ok != all.ok || ((asked >> i & 1) && some.s[i] != s[i])) fail("Split with fewer outputs differs");
  // Round trip, for a plain location: a local path or a URL of a named scheme without escapes or user.
  const bool local = service == orvex::kServiceFile && text.find("://") == std::string::npos;
  const bool named = s[0] == "http://" || s[0] == "https://" || s[0] == "ftp://" || s[0] == "gopher://";
  const bool plain =
      wellFormed && text[0] != '[' && (local || (named && text.find_first_of("%@") == std::string::npos));
  orvex::CLocation made("sentinel");
  if (all.ok && made.Make(s[0].c_str(), s[1].c_str(), s[2].c_str(), s[3].c_str(), s[4].c_str(), s[5].c_str(),
                          s[6].c_str(), s[7].c_str())) {
    const Parts again(made);
    if (plain && !(again.ok && again.s[3] == s[3] && again.s[4] == s[4] && again.s[5] == s[5] && again.s[6] == s[6]))
      fail("Split of the composed text differs");
  } else if (all.ok && plain && made != "sentinel") {
    fail("a refused Make changed the text");
  }
  orvex::CLocation resolved(location);
  const bool ok = resolved.MakeAbsolute(relative);
  if (!orvex::CLocation(relative).IsRelative()) {
    if (!ok || resolved != relative) fail("MakeAbsolute of a non-relative location kept the base");
  } else if (!ok) {
    if (resolved != location) fail("a refused MakeAbsolute changed the base");
  } else if (wellFormed && relative.find_first_of("\\/") != 0 && !HasDotStep(s[3])) {
    // A relative part that is not rooted is walked step by step.
    const Parts parts(resolved);
    if (parts.ok && HasDotStep(parts.s[3])) fail("MakeAbsolute kept a '.' or '..' step");
  }
}

}  // namespace rules
