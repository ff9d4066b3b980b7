// CLocation under many generated locations: every text is classified, cracked,
// split, composed again and resolved, and each answer is compared with the
// independent model in LocationModel.h. Nothing may crash or write past a
// buffer (this program is built with stack protection, and the path helpers
// write between guard bytes here).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "LocationGenerator.h"
#include "LocationModel.h"
#include "StressSettings.h"
#include "frame/PathParts.h"
#include "resource/Location.h"

using orvex::CLocation;

namespace {

const std::uint32_t kSeed = stress::Seed();
const std::uint32_t kIterations = stress::FromEnvironment("ORVEX_STRESS_ITERATIONS", 25000);

// A text with its bytes outside printable ASCII written as \xNN.
std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text.substr(0, 400)) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, c == '\\' ? "\\\\" : "\\x%02X", c);
      out += escape;
    }
  }
  return text.size() > 400 ? out + "...(" + std::to_string(text.size()) + " bytes)" : out;
}

// The faults found, counted, the first few kept with the text that showed them.
class Faults {
 public:
  void Add(const std::string& text, const std::string& what) {
    ++count_;
    if (kept_.size() < 25) kept_.push_back(what + "  <- '" + Printable(text) + "'");
  }
  int Count() const { return count_; }
  std::string Report() const {
    std::string report;
    for (const auto& line : kept_) report += "  " + line + "\n";
    return report;
  }

 private:
  int count_ = 0;
  std::vector<std::string> kept_;
};

#define CHECK_THAT(cond, what) \
  do {                         \
    if (!(cond)) faults.Add(text, what); \
  } while (0)

struct Cracked {
  bool ok = false;
  std::uint32_t service = 0;
  std::string server, object;
  std::uint16_t port = 0;
};

bool IsKnownService(std::uint32_t service) {
  for (std::uint32_t known : {orvex::kServiceFtp, orvex::kServiceGopher, orvex::kServiceHttp, orvex::kServiceFile,
                              orvex::kServiceMailto, orvex::kServiceNntp, orvex::kServiceHttps})
    if (service == known) return true;
  return false;
}

const char* SchemeOf(std::uint32_t service) {
  switch (service) {
    case orvex::kServiceFtp: return "ftp";
    case orvex::kServiceGopher: return "gopher";
    case orvex::kServiceHttp: return "http";
    case orvex::kServiceHttps: return "https";
    default: return nullptr;
  }
}

// Classification and GetAddress against the model.
void CheckKinds(const std::string& text, const CLocation& location, Faults& faults) {
  const char* address = location.GetAddress();
  auto expected = model::Address(text);
  CHECK_THAT(!address == !expected, "GetAddress null for a non-empty text, or not null for an empty one");
  if (address && expected) {
    CHECK_THAT(address >= location.c_str() && address <= location.c_str() + location.size(),
               "GetAddress points outside the text");
    CHECK_THAT(address == *expected, "GetAddress");
  }
  bool relative = location.IsRelative(), network = location.IsNetworkPath();
  CHECK_THAT(relative == model::IsRelative(text), "IsRelative");
  CHECK_THAT(network == model::IsNetworkPath(text), "IsNetworkPath");
  CHECK_THAT(!(relative && network), "both relative and a network path");
}

// The URL cracker's answer for a URL the parser accepted, where the model
// can tell it: the object with its escapes decoded, the server with its port suffix.
void CheckUrlCrack(const std::string& text, const Cracked& c, Faults& faults) {
  const std::string address = *model::Address(text);
  const char* scheme = SchemeOf(c.service);
  if (!scheme || address.compare(0, std::strlen(scheme) + 3, std::string(scheme) + "://") != 0) return;
  std::string rest = address.substr(std::strlen(scheme) + 3);
  std::size_t slash = rest.find('/');
  std::string authority = rest.substr(0, slash);
  std::string raw = slash == std::string::npos ? "/" : rest.substr(slash);
  if (raw.find('%') == std::string::npos) CHECK_THAT(c.object == raw, "Crack object without escapes");
  else if (raw.size() <= 2048) CHECK_THAT(c.object == model::Decode(raw), "Crack object decoded");
  else CHECK_THAT(c.object == raw, "Crack decoded an object past the path limit");
  if (authority.find('@') != std::string::npos) return;
  std::size_t colon = authority.find(':');
  std::string host = authority.substr(0, colon);
  std::uint16_t port = colon == std::string::npos ? *model::DefaultPort(scheme)
                                                  : static_cast<std::uint16_t>(std::atoi(authority.c_str() + colon + 1));
  CHECK_THAT(c.port == port, "Crack port");
  std::string server = host + (port != 0 && port != 80 ? ":" + std::to_string(port) : "");
  CHECK_THAT(c.server == server, "Crack server and port suffix");
}

Cracked CheckCrack(const std::string& text, const CLocation& location, Faults& faults) {
  Cracked c;
  c.ok = location.Crack(&c.service, &c.server, &c.object, &c.port);
  if (model::IsLocal(text)) {
    CHECK_THAT(c.ok, "Crack refused a local path");
    CHECK_THAT(c.service == orvex::kServiceFile && c.server.empty() && c.object == text && c.port == 0,
               "Crack of a local path is not (file, '', text, 0)");
  } else if (text.empty()) {
    CHECK_THAT(!c.ok, "Crack took an empty text");
  } else if (c.ok) {
    CHECK_THAT(IsKnownService(c.service), "Crack gave an unknown service type");
    CheckUrlCrack(text, c, faults);
  }
  // Out-strings passed as null are simply not produced.
  std::uint32_t service = 0;
  std::uint16_t port = 0;
  bool again = location.Crack(&service, nullptr, nullptr, &port);
  CHECK_THAT(again == c.ok && (!c.ok || (service == c.service && port == c.port)),
             "Crack without out-strings answers differently");
  return c;
}

model::Components SplitAll(const CLocation& location, bool* ok) {
  model::Components c;
  c.root = c.server = c.drive = c.dir = c.name = c.ext = "-";
  *ok = location.Split(&c.root, &c.server, &c.drive, &c.dir, &c.name, &c.ext, &c.user, &c.password);
  return c;
}

model::Components CheckSplit(const std::string& text, const CLocation& location, const Cracked& cracked,
                             bool* ok, stress::LocationGenerator& random, Faults& faults) {
  model::Components c = SplitAll(location, ok);
  CHECK_THAT(*ok == cracked.ok, "Split and Crack disagree");
  model::Credentials credentials = model::CredentialsOf(text);
  CHECK_THAT(c.user == credentials.user, "Split user");
  if (credentials.passwordKnown) CHECK_THAT(c.password == credentials.password, "Split password");
  if (!*ok) {
    CHECK_THAT(c.root == "-" && c.server == "-" && c.drive == "-" && c.dir == "-" && c.name == "-" && c.ext == "-",
               "a failed Split wrote more than the credentials");
    return c;
  }
  CHECK_THAT(c.drive.size() <= 2 && c.dir.size() <= model::kPartMax && c.name.size() <= model::kPartMax &&
                 c.ext.size() <= model::kPartMax,
             "a split part is longer than its buffer");
  if (cracked.service == orvex::kServiceFile) {
    model::PathParts parts = model::SplitPath(cracked.object);
    CHECK_THAT(c.root.empty() && c.server.empty(), "a local Split gave a root or server");
    CHECK_THAT(c.drive == parts.drive && c.dir == parts.dir && c.name == parts.name && c.ext == parts.ext,
               "local Split parts");
  } else {
    model::PathParts parts = model::SplitPath(cracked.object);
    CHECK_THAT(c.drive.empty(), "a URL Split gave a drive");
    CHECK_THAT(c.server == cracked.server, "URL Split server");
    CHECK_THAT(c.dir == parts.dir && c.name == parts.name && c.ext == parts.ext, "URL Split parts");
    if (const char* scheme = SchemeOf(cracked.service))
      CHECK_THAT(c.root == std::string(scheme) + "://", "URL Split root");
  }
  // Any subset of outputs: the ones asked for, the same as with all of them.
  model::Components some;
  auto pick = [&](std::string& s) { return random.Chance(50) ? &s : nullptr; };
  std::string* outs[8] = {pick(some.root), pick(some.server), pick(some.drive), pick(some.dir),
                          pick(some.name), pick(some.ext),    pick(some.user),  pick(some.password)};
  bool again = location.Split(outs[0], outs[1], outs[2], outs[3], outs[4], outs[5], outs[6], outs[7]);
  CHECK_THAT(again == *ok, "Split with fewer outputs answers differently");
  const std::string* full[8] = {&c.root, &c.server, &c.drive, &c.dir, &c.name, &c.ext, &c.user, &c.password};
  for (int i = 0; i < 8; ++i)
    if (outs[i]) CHECK_THAT(*outs[i] == *full[i], "Split with fewer outputs gave another part");
  return c;
}

// Whether Split then Make must give the text back exactly: a local path
// without prefix, or a URL of a named scheme without escapes whose prefix
// (if any) is the one Make writes; each with nothing cut.
bool RoundTripPromised(const std::string& text, const Cracked& cracked, const model::Components& c) {
  if (model::IsLocal(text)) return text[0] != '[' && !model::SplitPath(text).cut;
  if (!SchemeOf(cracked.service) || text.find('%') != std::string::npos || cracked.object[0] != '/') return false;
  std::string prefix = c.user.empty() && c.password.empty() ? "" : "[" + c.user + ":" + c.password + "]";
  std::string address = *model::Address(text);
  if (text.compare(0, prefix.size(), prefix) != 0 || text.size() != prefix.size() + address.size()) return false;
  std::string root = std::string(SchemeOf(cracked.service)) + "://";
  if (address.compare(0, root.size(), root) != 0) return false;
  std::string authority = address.substr(root.size(), address.find('/', root.size()) - root.size());
  return authority.find_first_of("@:") == std::string::npos && !model::SplitPath(cracked.object).cut;
}

void CheckMake(const std::string& text, const Cracked& cracked, const model::Components& c, Faults& faults) {
  CLocation made("sentinel");
  bool ok = made.Make(c.root.c_str(), c.server.c_str(), c.drive.c_str(), c.dir.c_str(), c.name.c_str(),
                      c.ext.c_str(), c.user.c_str(), c.password.c_str());
  std::size_t pathLength = 0;
  std::string expected = model::Make(c, &pathLength);
  if (pathLength + 2 <= model::kPathMax) CHECK_THAT(ok, "Make refused a path part that fits");
  if (ok) CHECK_THAT(pathLength > model::kPathMax || made == expected, "Make composed another text");
  else CHECK_THAT(made == "sentinel", "a refused Make changed the text");
  if (!ok || pathLength > model::kPathMax || !RoundTripPromised(text, cracked, c)) return;
  std::string back = text;
  if (!model::IsLocal(text)) {
    // Only the port suffix may differ: the server as cracked stands where the host stood.
    std::string prefixAndRoot = text.substr(0, text.size() - model::Address(text)->size()) + c.root;
    std::size_t hostEnd = text.find('/', prefixAndRoot.size());
    back = prefixAndRoot + c.server + (hostEnd == std::string::npos ? "/" : text.substr(hostEnd));
  }
  CHECK_THAT(made == back, "Split then Make did not give the location back");
  // And once more: the composed text splits into the same parts.
  bool again = false;
  model::Components second = SplitAll(CLocation(made), &again);
  CHECK_THAT(again && second.dir == c.dir && second.name == c.name && second.ext == c.ext &&
                 second.user == c.user && second.password == c.password && second.server == c.server,
             "Split of the composed text differs");
}

// MakeAbsolute of `relative` against `base`, checked against the model.
void CheckResolve(const std::string& baseText, const std::string& relative, Faults& faults) {
  const std::string text = baseText + "  +  " + relative;
  CLocation base(baseText);
  bool ok = base.MakeAbsolute(relative);
  if (!model::IsRelative(relative)) {
    CHECK_THAT(ok && base == relative, "MakeAbsolute of a non-relative location did not replace the base");
    CLocation twice(relative);
    CHECK_THAT(twice.MakeAbsolute(relative) && twice == relative, "MakeAbsolute is not idempotent");
    return;
  }
  bool splits = false;
  model::Components c = SplitAll(CLocation(baseText), &splits);
  if (!splits) {
    CHECK_THAT(!ok && base == baseText, "MakeAbsolute against a base that does not split");
    return;
  }
  model::PathParts r = model::SplitPath(relative);
  c.dir = model::WalkDirectory(c.dir, r.dir);
  if (!r.name.empty()) c.name = r.name, c.ext = r.ext;
  std::size_t pathLength = 0;
  std::string expected = model::Make(c, &pathLength);
  if (pathLength + 2 <= model::kPathMax) {
    CHECK_THAT(ok && base == expected, "MakeAbsolute resolved to another text");
  } else if (!ok) {
    CHECK_THAT(base == baseText, "a refused MakeAbsolute changed the base");
  }
}

void CheckPathHelpers(const std::string& text, stress::LocationGenerator& random, Faults& faults) {
  // SplitPath between guard bytes.
  struct Guarded {
    char before[16];
    orvex::PathParts parts;
    char after[16];
  } guarded;
  std::memset(guarded.before, 0xA5, sizeof guarded.before);
  std::memset(guarded.after, 0xA5, sizeof guarded.after);
  orvex::SplitPath(text.c_str(), guarded.parts);
  bool intact = true;
  for (int i = 0; i < 16; ++i) intact = intact && guarded.before[i] == '\xA5' && guarded.after[i] == '\xA5';
  CHECK_THAT(intact, "SplitPath wrote outside its parts");
  const orvex::PathParts& p = guarded.parts;
  CHECK_THAT(std::memchr(p.drive, 0, sizeof p.drive) && std::memchr(p.dir, 0, sizeof p.dir) &&
                 std::memchr(p.name, 0, sizeof p.name) && std::memchr(p.ext, 0, sizeof p.ext),
             "SplitPath left a part unterminated");
  model::PathParts m = model::SplitPath(text);
  CHECK_THAT(m.drive == p.drive && m.dir == p.dir && m.name == p.name && m.ext == p.ext, "SplitPath parts");

  // MakePath into a buffer of any capacity between guard bytes.
  int capacity = random.Chance(50) ? random.Uniform(1, 40) : random.Uniform(200, 300);
  std::vector<char> buffer(capacity + 32, '\xA5');
  orvex::MakePath(buffer.data() + 16, capacity, p.drive, p.dir, p.name, p.ext);
  intact = true;
  for (int i = 0; i < 16; ++i) intact = intact && buffer[i] == '\xA5' && buffer[16 + capacity + i] == '\xA5';
  CHECK_THAT(intact, "MakePath wrote outside its buffer");
  std::string made(buffer.data() + 16, strnlen(buffer.data() + 16, capacity));
  CHECK_THAT(static_cast<int>(made.size()) < capacity, "MakePath left its buffer unterminated");
  CHECK_THAT(made == model::MakePath(m.drive, m.dir, m.name, m.ext).substr(0, capacity - 1), "MakePath text");

  // The directory steps of a resolution keep their shape.
  std::string dir = p.dir, before = dir;
  bool up = orvex::UpOneLevel(dir);
  std::string modelDir = before;
  CHECK_THAT(up == model::UpOneLevel(modelDir) && dir == modelDir, "UpOneLevel");
  std::string rest = text, component, joined;
  int steps = 0;
  while (orvex::NextComponent(rest, component)) {
    CHECK_THAT(!component.empty() && model::IsSeparator(component.back()) &&
                   component.find_first_of("\\/") == component.size() - 1,
               "NextComponent gave a component that is not one part and its separator");
    joined += component;
    if (++steps > 5000) break;
  }
  CHECK_THAT(joined + rest == text && rest.find_first_of("\\/") == std::string::npos,
             "NextComponent lost or kept text");
}

// Found by the generator: Crack dereferenced out-strings passed as null.
TEST(LocationStress, CrackWithoutOutStrings) {
  for (const char* text : {"C:\\t\\a.ttl", "http://server:81/a%20b", "zzz://h/x", ""}) {
    std::uint32_t service = 0;
    std::uint16_t port = 0;
    std::string server, object;
    bool full = CLocation(text).Crack(&service, &server, &object, &port);
    EXPECT_EQ(CLocation(text).Crack(nullptr, nullptr, nullptr, nullptr), full) << text;
    EXPECT_EQ(CLocation(text).Crack(&service, nullptr, nullptr, &port), full) << text;
  }
}

// Found by the generator: escapes of file URLs went through WinINet's decoding
// crack, which answers empty or mangled paths for them and faults on some.
struct DecodeCase {
  const char* text;
  const char* object;
};

TEST(LocationStress, EscapesAreDecodedInTheUrlPathAlone) {
  const DecodeCase cases[] = {
      {"file://h/%20", "/ "},
      {"file://server/a%20b", "/a b"},
      {"file:///C:/a%20b.txt", "/C:/a b.txt"},
      {"file://h:1/x/%20", "/x/ "},
      {"http://server/a%20b.htm?q=%41#f", "/a b.htm"},
      {"http://server/a%zz%2", "/a%zz%2"},
      {"http://server/a%41%00b", "/aA"},
      {"[u:p]https://server/%7Euser/x%2Ey", "/~user/x.y"},
  };
  for (const auto& c : cases) {
    std::uint32_t service = 0;
    std::uint16_t port = 0;
    std::string server, object;
    EXPECT_TRUE(CLocation(c.text).Crack(&service, &server, &object, &port)) << c.text;
    EXPECT_EQ(object, c.object) << c.text;
  }
}

TEST(LocationStress, GeneratedLocationsKeepTheRules) {
  stress::LocationGenerator random(kSeed);
  Faults faults;
  int perKind[stress::LocationGenerator::kKinds] = {};
  int accepted = 0, roundTrips = 0, resolutions = 0;
  std::vector<std::string> bases = {"C:\\titles\\t1\\main.ttl", "http://server/a/b/x.htm",
                                    "[joe:secret]ftp://server:2121/pub/", "\\\\srv\\share\\dir\\", "b/x.htm"};
  for (std::uint32_t i = 0; i < kIterations; ++i) {
    int kind = 0;
    const std::string text = random.Next(&kind);
    ++perKind[kind];
    CLocation location(text);
    CheckKinds(text, location, faults);
    Cracked cracked = CheckCrack(text, location, faults);
    bool ok = false;
    model::Components c = CheckSplit(text, location, cracked, &ok, random, faults);
    if (ok) {
      ++accepted;
      roundTrips += RoundTripPromised(text, cracked, c);
      CheckMake(text, cracked, c, faults);
      if (random.Chance(20)) bases[random.Uniform(0, 4)] = text;  // accepted texts become bases
    }
    CheckPathHelpers(text, random, faults);
    CheckResolve(bases[random.Uniform(0, 4)], random.NextRelative(), faults);
    CheckResolve(text, random.NextRelative(), faults);
    CheckResolve(bases[random.Uniform(0, 4)], text, faults);
    resolutions += 3;
  }
  std::printf("[ stress   ] seed=0x%08X (ORVEX_STRESS_SEED) iterations=%u (ORVEX_STRESS_ITERATIONS)\n", kSeed,
              kIterations);
  std::printf("[ stress   ] kinds:");
  for (int k = 0; k < stress::LocationGenerator::kKinds; ++k)
    std::printf(" %s=%d", stress::LocationGenerator::KindName(k), perKind[k]);
  std::printf("; split=%d round-trips=%d resolutions=%d faults=%d\n", accepted, roundTrips, resolutions,
              faults.Count());
  EXPECT_EQ(faults.Count(), 0) << "seed 0x" << std::hex << kSeed << "\n" << faults.Report();
}

}  // namespace
