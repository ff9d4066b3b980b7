// CLocation under many generated locations: rules that hold for every input,
// with no second implementation to compare with. Nothing may crash or write
// past a buffer (this program is built with stack protection, and the path
// helpers write between guard bytes here); Split agrees with Crack; what
// Split gives, Make composes into a text that splits the same; a resolved
// location keeps no '.' or '..' step of its relative part; outputs asked for
// in any subset are those of the full call.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "LocationGenerator.h"
#include "StressSettings.h"
#include "frame/PathParts.h"
#include "resource/Location.h"

using orvex::CLocation;

namespace {

const std::uint32_t kSeed = stress::Seed();
const std::uint32_t kIterations = stress::FromEnvironment("ORVEX_STRESS_ITERATIONS", 25000);

struct Parts {
  std::string s[8];  // root, server, drive, dir, name, ext, user, password
  bool ok = false;
  explicit Parts(const CLocation& location) {
    for (auto& part : s) part = "-";
    ok = location.Split(&s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &s[6], &s[7]);
  }
};

class Faults {
 public:
  void Check(bool ok, const std::string& text, const char* what) {
    if (ok) return;
    if (++count_ <= 25) report_ += std::string("  ") + what + "  <- '" + text.substr(0, 300) + "'\n";
  }
  int count_ = 0;
  std::string report_;
};

bool HasDotStep(const std::string& path) {
  std::string walled = "/" + path + "/";
  for (char& c : walled) c = c == '\\' ? '/' : c;
  return walled.find("/../") != std::string::npos || walled.find("/./") != std::string::npos;
}

void CheckOne(const std::string& text, bool garbage, stress::LocationGenerator& random, Faults& f) {
  CLocation location(text);
  std::uint32_t service = 0, service2 = 0;
  std::uint16_t port = 0, port2 = 0;
  std::string server, object;
  bool cracked = location.Crack(&service, &server, &object, &port);
  f.Check(location.Crack(&service2, nullptr, nullptr, &port2) == cracked &&
              (!cracked || (service2 == service && port2 == port)), text, "Crack without out-strings differs");
  f.Check(!(location.IsRelative() && location.IsNetworkPath()), text, "both relative and a network path");
  Parts all(location);
  f.Check(all.ok == cracked, text, "Split and Crack disagree");
  if (all.ok && service != orvex::kServiceFile) f.Check(all.s[1] == server, text, "Split server is not Crack's");
  if (!all.ok) return;
  f.Check(all.s[2].size() <= 2 && all.s[3].size() < 256 && all.s[4].size() < 256 && all.s[5].size() < 256, text,
          "a split part is longer than its buffer");
  std::string some[8];
  std::string* outs[8];
  for (int i = 0; i < 8; ++i) outs[i] = random.Chance(50) ? &some[i] : nullptr;
  f.Check(location.Split(outs[0], outs[1], outs[2], outs[3], outs[4], outs[5], outs[6], outs[7]), text,
          "Split with fewer outputs failed");
  for (int i = 0; i < 8; ++i) f.Check(!outs[i] || some[i] == all.s[i], text, "Split with fewer outputs differs");
  // Round trip: the composed text splits into the same parts (for a plain
  // location, a local path or a URL of a named scheme without escapes or user).
  bool local = service == orvex::kServiceFile && text.find("://") == std::string::npos;
  bool named = all.s[0] == "http://" || all.s[0] == "https://" || all.s[0] == "ftp://" || all.s[0] == "gopher://";
  if (!(local || (named && text.find_first_of("%@") == std::string::npos)) || text[0] == '[' || garbage) return;
  CLocation made("sentinel");
  const auto& s = all.s;
  if (made.Make(s[0].c_str(), s[1].c_str(), s[2].c_str(), s[3].c_str(), s[4].c_str(), s[5].c_str(), s[6].c_str(),
                s[7].c_str())) {
    Parts again(made);
    f.Check(again.ok && again.s[3] == s[3] && again.s[4] == s[4] && again.s[5] == s[5] && again.s[6] == s[6],
            text, "Split of the composed text differs");
  } else {
    f.Check(made == "sentinel", text, "a refused Make changed the text");
  }
}

void CheckResolve(const std::string& base, const std::string& relative, Faults& f) {
  CLocation resolved(base);
  bool ok = resolved.MakeAbsolute(relative);
  const std::string text = base + "  +  " + relative;
  if (!CLocation(relative).IsRelative()) {
    f.Check(ok && resolved == relative, text, "MakeAbsolute of a non-relative location kept the base");
    return;
  }
  if (!ok) {
    f.Check(resolved == base, text, "a refused MakeAbsolute changed the base");
    return;
  }
  // A relative part that is not rooted is walked step by step.
  Parts parts(resolved);
  bool rooted = relative.find_first_of("\\/") == 0;
  if (!rooted && parts.ok && !HasDotStep(Parts(CLocation(base)).s[3]))
    f.Check(!HasDotStep(parts.s[3]), text, "MakeAbsolute kept a '.' or '..' step");
}

void CheckPathHelpers(const std::string& text, stress::LocationGenerator& random, Faults& f) {
  struct {
    char before[16];
    orvex::PathParts parts;
    char after[16];
  } guarded;
  std::memset(guarded.before, 0xA5, 16);
  std::memset(guarded.after, 0xA5, 16);
  orvex::SplitPath(text.c_str(), guarded.parts);
  const orvex::PathParts& p = guarded.parts;
  const std::string guard(16, '\xA5');
  f.Check(std::string(guarded.before, 16) == guard && std::string(guarded.after, 16) == guard, text,
          "SplitPath wrote outside its parts");
  f.Check(std::memchr(p.drive, 0, sizeof p.drive) && std::memchr(p.dir, 0, sizeof p.dir) &&
              std::memchr(p.name, 0, sizeof p.name) && std::memchr(p.ext, 0, sizeof p.ext), text,
          "SplitPath left a part unterminated");
  int capacity = random.Chance(50) ? random.Uniform(1, 40) : random.Uniform(200, 300);
  std::vector<char> buffer(capacity + 32, '\xA5');
  orvex::MakePath(buffer.data() + 16, capacity, p.drive, p.dir, p.name, p.ext);
  bool intact = std::string(buffer.data(), 16) == guard && std::string(&buffer[16 + capacity], 16) == guard;
  f.Check(intact && strnlen(buffer.data() + 16, capacity) < static_cast<std::size_t>(capacity), text,
          "MakePath wrote outside its buffer or left it unterminated");
  std::string dir = p.dir, before = dir;
  if (orvex::UpOneLevel(dir))
    f.Check(dir.size() < before.size() && before.compare(0, dir.size(), dir) == 0, text, "UpOneLevel is no prefix");
  std::string rest = text, component, joined;
  for (int steps = 0; steps < 5000 && orvex::NextComponent(rest, component); ++steps) joined += component;
  f.Check(joined + rest == text && rest.find_first_of("\\/") == std::string::npos, text,
          "NextComponent lost or kept text");
}

TEST(LocationStress, GeneratedLocationsKeepTheRules) {
  stress::LocationGenerator random(kSeed);
  Faults faults;
  int perKind[stress::LocationGenerator::kKinds] = {};
  std::vector<std::string> bases = {"C:\\titles\\t1\\main.ttl", "http://server/a/b/x.htm",
                                    "[joe:secret]ftp://server:2121/pub/", "\\\\srv\\share\\dir\\", "b/x.htm"};
  for (std::uint32_t i = 0; i < kIterations; ++i) {
    int kind = 0;
    const std::string text = random.Next(&kind);
    ++perKind[kind];
    CheckOne(text, kind == stress::LocationGenerator::kGarbage, random, faults);
    CheckPathHelpers(text, random, faults);
    if (random.Chance(20) && Parts(CLocation(text)).ok) bases[random.Uniform(0, 4)] = text;
    CheckResolve(bases[random.Uniform(0, 4)], random.NextRelative(), faults);
    CheckResolve(text, random.NextRelative(), faults);
  }
  std::printf("[ stress   ] seed=0x%08X (ORVEX_STRESS_SEED) iterations=%u (ORVEX_STRESS_ITERATIONS); kinds:", kSeed,
              kIterations);
  for (int k = 0; k < stress::LocationGenerator::kKinds; ++k)
    std::printf(" %s=%d", stress::LocationGenerator::KindName(k), perKind[k]);
  std::printf("; faults=%d\n", faults.count_);
  EXPECT_EQ(faults.count_, 0) << "seed 0x" << std::hex << kSeed << "\n" << faults.report_;
}

}  // namespace
