// Seeded generator of location texts: drive, relative and network paths,
// URLs of several schemes, with and without credentials prefixes, ports,
// "%" escapes, "." and ".." chains, mixed and doubled separators, empty and
// over-long parts (past MAX_PATH and the URL cracker's limits) and odd bytes.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace stress {

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

}  // namespace stress
