// CLocation and the path helpers on many generated locations, under the rules
// that hold for every input (resource/LocationRules.h; the literal cases are
// in tests/resource/LocationCases.h). This program is built with stack
// protection, so an overrun of a fixed working buffer stops the run.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "StressSettings.h"
#include "resource/LocationRules.h"

namespace {

// Seeded location texts put together from pieces: a beginning (drive,
// relative, rooted and network paths, URLs of several schemes with users and
// ports, the "[user:password]" prefix and its broken shapes), then steps,
// separators, odd bytes and now and then a run long enough to pass MAX_PATH or
// the URL cracker's host, user and path limits; in a rough text also "%"
// escapes well-formed or not, and the bytes that end a user, host or path.
class Generator {
 public:
  explicit Generator(std::uint32_t seed) : rng_(seed) {}
  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
  bool Chance(int percent) { return Uniform(0, 99) < percent; }

  // A location, or (`relative`) one as a resolution would be given it; `rough` tells whether it is rough.
  std::string Next(bool relative, bool& rough) {
    static const char* const kStarts[] = {"C:\\",
                                          "c:",
                                          "D:/",
                                          "a:",
                                          "C:\\\\",
                                          "\\",
                                          "/",
                                          "",
                                          "",
                                          "..\\",
                                          "./",
                                          ".\\..\\",
                                          "\\\\srv\\share\\",
                                          "\\\\",
                                          "x\\\\y",
                                          "http://server/",
                                          "https://www.example.test/",
                                          "ftp://127.0.0.1:21/",
                                          "gopher://h/",
                                          "file://h/",
                                          "nntp://h/",
                                          "HTTP://h:8080/",
                                          "Ftp://h:99999/",
                                          "zzz://h/",
                                          "http://u:p@media-host:65535/"};
    static const char* const kRoughStarts[] = {"http://",    "http:/h/",   "http:\\\\h\\",
                                               "mailto:u@h", "https://h:", "://"};
    static const char* const kPrefixes[] = {"[u:p]", "[u:p]", "[:]", "[u:]", "[:p]", "[u]", "[u:p", "[]", "["};
    static const char* const kPieces[] = {"\\",  "\\",   "/",   "/", "\\\\", "..",   "..", ".",
                                          "...", "name", "a b", "x", ".ext", ".htm", ".",  "-_~!$&'(),;="};
    static const char* const kRough[] = {"%20", "%41", "%7E", "%2E",  "%2F",  "%5C", "%25", "%3A", "%00",
                                         "%fF", "%zz", "%",   "?q=1", "#top", ":",   "@",   "]"};
    rough = Chance(30);
    std::string text = !relative && Chance(12) ? Pick(kPrefixes) : "";
    text += relative ? (Chance(30) ? "..\\" : "") : rough && Chance(20) ? Pick(kRoughStarts) : Pick(kStarts);
    for (int n = Uniform(0, 12); n > 0; --n) {
      const int roll = Uniform(0, 99);
      if (roll < 3)
        text += std::string(Chance(80) ? Uniform(120, 300) : Uniform(2000, 2100), Chance(50) ? 'p' : 'h');
      else if (roll < 8)
        text += static_cast<char>(Chance(30) ? Uniform(1, 31) : Uniform(0x7F, 0xFF));
      else
        text += rough && Chance(30) ? Pick(kRough) : Pick(kPieces);
    }
    return text;
  }

 private:
  template <std::size_t N>
  const char* Pick(const char* const (&choices)[N]) {
    return choices[Uniform(0, N - 1)];
  }

  std::mt19937 rng_;
};

TEST(LocationStress, GeneratedLocationsKeepTheRules) {
  const std::uint32_t seed = stress::Seed();
  const std::uint32_t iterations = stress::FromEnvironment("ORVEX_STRESS_ITERATIONS", 25000);
  Generator random(seed);
  int faults = 0;
  std::string text, relative, report;
  const rules::Fail fail = [&](const char* rule) {
    if (++faults <= 25)
      report += std::string("  ") + rule + "  <- '" + text.substr(0, 300) + "' + '" + relative.substr(0, 300) + "'\n";
  };
  std::string bases[] = {"C:\\titles\\t1\\main.ttl", "http://server/a/b/x.htm", "[joe:secret]ftp://server:2121/pub/",
                         "\\\\srv\\share\\dir\\", "b/x.htm"};
  for (std::uint32_t i = 0; i < iterations; ++i) {
    bool rough = false, roughRelative = false;
    text = random.Next(false, rough), relative = random.Next(random.Chance(85), roughRelative);
    rules::CheckPathParts(text, random.Chance(50) ? random.Uniform(1, 40) : random.Uniform(200, 300), fail);
    rules::CheckLocation(text, relative, !rough && !roughRelative, random.Uniform(0, 255), fail);
    if (random.Chance(20) && !rough && rules::Parts(orvex::CLocation(text)).ok) bases[random.Uniform(0, 4)] = text;
    text = bases[random.Uniform(0, 4)], relative = random.Next(random.Chance(85), roughRelative);
    rules::CheckLocation(text, relative, !roughRelative, 0xFF, fail);
  }
  std::printf("[ stress   ] seed=0x%08X (ORVEX_STRESS_SEED) iterations=%u (ORVEX_STRESS_ITERATIONS); faults=%d\n", seed,
              iterations, faults);
  EXPECT_EQ(faults, 0) << "seed 0x" << std::hex << seed << "\n" << report;
}

}  // namespace
