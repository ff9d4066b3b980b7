// CLocation: many generated locations under rules that hold for every input,
// with no second implementation to compare with (the literal cases are in
// tests/resource/LocationCases.h). Nothing may crash or write past a buffer
// (this program is built with stack protection, and the path helpers write
// between guard bytes here); Split agrees with Crack; what Split gives, Make
// composes into a text that splits the same; a resolved location keeps no
// '.' or '..' step of its relative part; outputs asked for in any subset are
// those of the full call.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "StressSettings.h"
#include "frame/PathParts.h"
#include "resource/Location.h"

using orvex::CLocation;

namespace {

// ---- generated locations ----------------------------------------------------

// Seeded generator of location texts: drive, relative and network paths,
// URLs of several schemes, with and without credentials prefixes, ports,
// "%" escapes, "." and ".." chains, mixed and doubled separators, empty and
// over-long parts (past MAX_PATH and the URL cracker's limits) and odd bytes.
class LocationGenerator {
 public:
  enum Kind { kDrive, kRelative, kNetwork, kUrl, kGarbage, kKinds };
  static const char* KindName(int kind) {
    static const char* const names[] = {"drive", "relative", "network", "url", "garbage"};
    return names[kind];
  }

  explicit LocationGenerator(std::uint32_t seed) : rng_(seed) {}

  // One location text; `kind` tells what it was built as.
  std::string Next(int* kind = nullptr) {
    static const int kShare[kKinds] = {22, 44, 56, 92, 100};  // cumulative percent
    int roll = Uniform(0, 99), k = 0;
    while (roll >= kShare[k]) ++k;
    if (kind) *kind = k;
    switch (k) {
      case kDrive:
        return Prefix() + static_cast<char>('A' + Uniform(0, 25)) + ":" + (Chance(85) ? Sep() : "") + Path();
      case kRelative: return Prefix() + RelativePath();
      case kNetwork:
        if (Chance(20)) return Prefix() + Path('\\') + "\\\\" + Path();  // the pair anywhere
        return Prefix() + "\\\\" + Word(Chance(5) ? 300 : 15) + "\\" + Word(12) + Sep() + Path();
      case kUrl: return Prefix() + Url();
      default: return Garbage();
    }
  }

  // A relative location as a resolution would be given it.
  std::string NextRelative() { return Chance(85) ? RelativePath() : Next(); }

  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
  bool Chance(int percent) { return Uniform(0, 99) < percent; }

 private:
  template <std::size_t N>
  const char* Pick(const char* const (&choices)[N]) { return choices[Uniform(0, N - 1)]; }

  // Control characters and bytes above ASCII, never NUL.
  char OddByte() { return static_cast<char>(Chance(30) ? Uniform(1, 31) : Uniform(0x7F, 0xFF)); }

  // Plain characters, dots, odd bytes and, with `escapes`, well-formed,
  // malformed and cut-short "%" escapes.
  std::string Word(int maxLength, bool escapes = false) {
    static const char kPlain[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_~ !$&'()+,;=.";
    static const char* const kEscapes[] = {"%20", "%41", "%7E", "%2E", "%2F", "%5C",
                                           "%25", "%3A", "%00", "%fF", "%zz", "%"};
    std::string word;
    for (int length = Uniform(0, maxLength); static_cast<int>(word.size()) < length;)
      word += escapes && Chance(6) ? std::string(Pick(kEscapes))
                                   : std::string(1, Chance(4) ? OddByte() : kPlain[Uniform(0, sizeof kPlain - 2)]);
    return word;
  }

  // Mostly short, sometimes long, now and then longer than any buffer.
  int PartLength() { return Chance(80) ? 12 : Chance(70) ? 60 : Uniform(250, 700); }
  std::string Sep() { return Chance(55) ? "\\" : "/"; }

  // Components ("..", ".", "", dots, words) joined by separators, ending in a
  // file name with one or more extensions or in a separator.
  std::string Path(char separator = 0, bool escapes = false) {
    static const char* const kSteps[] = {"..", "..", ".", "", "...", "....."};
    std::string path;
    for (int i = Uniform(0, 6); i > 0; --i)
      path += (Chance(25) ? std::string(Pick(kSteps)) : Word(PartLength(), escapes)) +
              (separator ? std::string(1, separator) : Sep());
    if (Chance(75)) {
      path += Word(PartLength(), escapes);
      for (int dots = Chance(70) ? 1 : Uniform(0, 3); dots > 0; --dots)
        path += "." + Word(Chance(5) ? 300 : 5, escapes);
    }
    return path;
  }

  std::string RelativePath() {
    std::string path = Chance(15) ? Sep() : "";  // rooted, no drive
    if (path.empty() && Chance(30))
      for (int ups = Uniform(1, 5); ups > 0; --ups) path += (Chance(85) ? ".." : ".") + Sep();
    return path + Path(0, Chance(5));
  }

  std::string Url() {
    static const char* const kSchemes[] = {"http", "http", "https", "ftp", "gopher", "file",
                                           "nntp", "HTTP", "Ftp",  "zzz", ""};
    static const char* const kHosts[] = {"server", "www.example.test", "127.0.0.1", "h", "", "media-host"};
    // Around the cracker's host limit, or an ordinary name.
    std::string host = Chance(5) ? std::string(Uniform(250, 270), 'h') : Chance(5) ? Word(20) : Pick(kHosts);
    if (Chance(3)) return "mailto:" + Word(20, true) + "@" + host;
    std::string url = std::string(Pick(kSchemes)) + (Chance(95) ? "://" : Chance(50) ? ":/" : ":\\\\");
    if (Chance(6)) {  // user and password in the URL itself, sometimes past their limits
      int length = Chance(30) ? Uniform(120, 140) : 8;
      url += Word(length) + ":" + Word(length) + "@";
    }
    url += host;
    static const char* const kPorts[] = {":80", ":8080", ":1", ":65535", ":99999", ":"};
    if (Chance(12)) url += Pick(kPorts);
    if (Chance(92))  // sometimes around the path limit
      url += "/" + Path('/', Chance(40)) + (Chance(4) ? std::string(Uniform(2000, 2100), 'p') + "%20" : "");
    if (Chance(12)) url += "?" + Word(Chance(10) ? 300 : 20, true);
    if (Chance(5)) url += "#" + Word(10, true);
    return url;
  }

  // "[user:password]" and its broken shapes, sometimes long.
  std::string Prefix() {
    static const char* const kShapes[] = {"[u:p]", "[u:p]", "[u:p]", "[:]", "[u:]", "[:p]", "[u]", "[u:p", "[]"};
    if (!Chance(12)) return "";
    std::string prefix;
    for (const char* c = Pick(kShapes); *c; ++c) {
      if (*c != 'u' && *c != 'p') prefix += *c;
      else
        for (char w : Word(Chance(5) ? 200 : 10)) prefix += w == ':' || w == '[' || w == ']' ? '_' : w;
    }
    return prefix;
  }

  std::string Garbage() {
    static const char kSpecial[] = "[]:\\/.%@?#";
    std::string text;
    for (int length = Chance(90) ? Uniform(0, 40) : Uniform(250, 3000); length > 0; --length)
      text += Chance(40)   ? kSpecial[Uniform(0, sizeof kSpecial - 2)]
              : Chance(50) ? OddByte()
                           : static_cast<char>('a' + Uniform(0, 25));
    return text;
  }

  std::mt19937 rng_;
};

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

void CheckOne(const std::string& text, bool garbage, LocationGenerator& random, Faults& f) {
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

void CheckPathHelpers(const std::string& text, LocationGenerator& random, Faults& f) {
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
  LocationGenerator random(kSeed);
  Faults faults;
  int perKind[LocationGenerator::kKinds] = {};
  std::vector<std::string> bases = {"C:\\titles\\t1\\main.ttl", "http://server/a/b/x.htm",
                                    "[joe:secret]ftp://server:2121/pub/", "\\\\srv\\share\\dir\\", "b/x.htm"};
  for (std::uint32_t i = 0; i < kIterations; ++i) {
    int kind = 0;
    const std::string text = random.Next(&kind);
    ++perKind[kind];
    CheckOne(text, kind == LocationGenerator::kGarbage, random, faults);
    CheckPathHelpers(text, random, faults);
    if (random.Chance(20) && Parts(CLocation(text)).ok) bases[random.Uniform(0, 4)] = text;
    CheckResolve(bases[random.Uniform(0, 4)], random.NextRelative(), faults);
    CheckResolve(text, random.NextRelative(), faults);
  }
  std::printf("[ stress   ] seed=0x%08X (ORVEX_STRESS_SEED) iterations=%u (ORVEX_STRESS_ITERATIONS); kinds:", kSeed,
              kIterations);
  for (int k = 0; k < LocationGenerator::kKinds; ++k)
    std::printf(" %s=%d", LocationGenerator::KindName(k), perKind[k]);
  std::printf("; faults=%d\n", faults.count_);
  EXPECT_EQ(faults.count_, 0) << "seed 0x" << std::hex << kSeed << "\n" << faults.report_;
}

}  // namespace
