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
    int k = Uniform(0, 99);
    int chosen = k < 22 ? kDrive : k < 44 ? kRelative : k < 56 ? kNetwork : k < 92 ? kUrl : kGarbage;
    if (kind) *kind = chosen;
    switch (chosen) {
      case kDrive: return Prefix(10) + DrivePath();
      case kRelative: return Prefix(10) + RelativePath();
      case kNetwork: return Prefix(10) + NetworkPath();
      case kUrl: return Prefix(35) + Url();
      default: return Garbage();
    }
  }

  // A relative location as a resolution would be given it.
  std::string NextRelative() { return Chance(85) ? RelativePath() : Next(); }

  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
  bool Chance(int percent) { return Uniform(0, 99) < percent; }

 private:
  char OddByte() {
    // Control characters and bytes above ASCII, never NUL.
    return static_cast<char>(Chance(30) ? Uniform(1, 31) : Uniform(0x7F, 0xFF));
  }

  char NameChar() {
    static const char kPlain[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_~ !$&'()+,;=";
    int roll = Uniform(0, 99);
    if (roll < 4) return OddByte();
    if (roll < 8) return '.';
    return kPlain[Uniform(0, sizeof kPlain - 2)];
  }

  std::string Escape() {
    static const char kHex[] = "0123456789ABCDEFabcdef";
    int roll = Uniform(0, 99);
    if (roll < 70) {
      // A printable byte, mostly the usual suspects.
      static const char* const usual[] = {"%20", "%41", "%7E", "%2E", "%2F", "%5C", "%25", "%3A", "%40"};
      if (Chance(60)) return usual[Uniform(0, 8)];
      return std::string("%") + kHex[Uniform(2, 7)] + kHex[Uniform(0, 21)];
    }
    if (roll < 85) return std::string("%") + kHex[Uniform(0, 21)] + kHex[Uniform(0, 21)];  // any byte
    if (roll < 95) return std::string("%") + NameChar() + NameChar();                      // malformed
    return "%";                                                                            // cut short
  }

  std::string Word(int maxLength, bool escapes) {
    std::string word;
    int length = Uniform(0, maxLength);
    while (static_cast<int>(word.size()) < length) {
      if (escapes && Chance(6)) word += Escape();
      else word += NameChar();
    }
    return word;
  }

  // Mostly short, sometimes long, now and then longer than any buffer.
  int PartLength() {
    int roll = Uniform(0, 99);
    if (roll < 80) return 12;
    if (roll < 94) return 60;
    return Uniform(250, 700);
  }

  std::string Component(bool escapes) {
    int roll = Uniform(0, 99);
    if (roll < 12) return "..";
    if (roll < 18) return ".";
    if (roll < 22) return "";
    if (roll < 24) return std::string(Uniform(3, 6), '.');
    if (roll < 26) return Word(8, escapes) + ".";
    return Word(PartLength(), escapes);
  }

  char Separator() { return Chance(55) ? '\\' : '/'; }

  std::string FileName(bool escapes) {
    std::string name = Word(PartLength(), escapes);
    int dots = Chance(70) ? 1 : Uniform(0, 3);
    for (int i = 0; i < dots; ++i) name += "." + Word(i == dots - 1 && Chance(5) ? 300 : 5, escapes);
    return name;
  }

  // Components joined by separators, ending in a file name or a separator.
  std::string PathBody(bool escapes, char separator = 0) {
    std::string body;
    int count = Uniform(0, 6);
    for (int i = 0; i < count; ++i) body += Component(escapes) + (separator ? separator : Separator());
    if (Chance(75)) body += FileName(escapes);
    return body;
  }

  std::string DrivePath() {
    std::string drive(1, Chance(95) ? static_cast<char>('A' + Uniform(0, 25)) : NameChar());
    drive += ':';
    if (Chance(85)) drive += Separator();
    return drive + PathBody(Chance(5));
  }

  std::string RelativePath() {
    std::string path;
    int roll = Uniform(0, 99);
    if (roll < 15) path += Separator();  // rooted, no drive
    else if (roll < 40) {
      int ups = Uniform(1, 5);
      for (int i = 0; i < ups; ++i) path += std::string(Chance(85) ? ".." : ".") + Separator();
    }
    return path + PathBody(Chance(5));
  }

  std::string NetworkPath() {
    if (Chance(20)) return PathBody(false, '\\') + "\\\\" + PathBody(false);  // the pair anywhere
    std::string path = "\\\\" + Word(Chance(5) ? 300 : 15, false) + "\\" + Word(12, false);
    if (Chance(80)) path += Separator() + PathBody(false);
    return path;
  }

  std::string Host() {
    int roll = Uniform(0, 99);
    if (roll < 3) return "";
    if (roll < 8) return std::string(Uniform(250, 270), 'h');  // around the cracker's host limit
    if (roll < 12) return Word(20, false);
    static const char* const hosts[] = {"server", "www.example.test", "127.0.0.1", "h", "media-host"};
    return hosts[Uniform(0, 4)];
  }

  std::string Url() {
    static const char* const schemes[] = {"http", "http", "http", "https", "ftp", "gopher", "file",
                                          "mailto", "nntp", "HTTP", "Ftp", "zzz", ""};
    std::string scheme = schemes[Uniform(0, 12)];
    if (scheme == "mailto") return scheme + ":" + Word(20, true) + "@" + Host();
    std::string url = scheme + (Chance(95) ? "://" : Chance(50) ? ":/" : ":\\\\");
    if (Chance(6)) {
      // User and password written into the URL itself, sometimes past their limits.
      int length = Chance(30) ? Uniform(120, 140) : 8;
      url += Word(length, false) + ":" + Word(length, false) + "@";
    }
    url += Host();
    int port = Uniform(0, 99);
    if (port < 8) url += ":" + std::to_string(Uniform(1, 65535));
    else if (port < 10) url += ":80";
    else if (port < 11) url += ":" + std::to_string(Uniform(65536, 99999));
    else if (port < 12) url += ":";
    if (Chance(92)) {
      url += "/";
      std::string body = PathBody(Chance(40), '/');
      if (Chance(4)) body += std::string(Uniform(2000, 2100), 'p') + "%20";  // around the path limit
      url += body;
    }
    if (Chance(12)) url += "?" + Word(Chance(10) ? 300 : 20, true);
    if (Chance(5)) url += "#" + Word(10, true);
    return url;
  }

  std::string Prefix(int percent) {
    if (!Chance(percent)) return "";
    int roll = Uniform(0, 99);
    int length = Chance(5) ? 200 : 10;
    auto clean = [&] {
      std::string word = Word(length, false);
      for (char& c : word)
        if (c == ':' || c == ']' || c == '[') c = '_';
      return word;
    };
    if (roll < 70) return "[" + clean() + ":" + clean() + "]";
    if (roll < 75) return "[:]";
    if (roll < 80) return "[" + clean() + ":]";
    if (roll < 85) return "[:" + clean() + "]";
    if (roll < 90) return "[" + clean() + "]";  // no colon
    if (roll < 95) return "[" + clean() + ":" + clean();  // no closing bracket
    return "[]";
  }

  std::string Garbage() {
    static const char kSpecial[] = "[]:\\/.%@?#";
    std::string text;
    int length = Chance(90) ? Uniform(0, 40) : Uniform(250, 3000);
    for (int i = 0; i < length; ++i)
      text += Chance(40) ? kSpecial[Uniform(0, sizeof kSpecial - 2)] : Chance(50) ? OddByte() : NameChar();
    return text;
  }

  std::mt19937 rng_;
};

}  // namespace stress
