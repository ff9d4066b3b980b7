// CLocation: classifying, splitting, composing and resolving locations.
#include <gtest/gtest.h>

#include <string>

#include "resource/Location.h"

using orvex::CLocation;

namespace {

struct KindCase {
  const char* text;
  bool relative;
  bool network;
};

TEST(Location, Kinds) {
  const KindCase cases[] = {
      {"C:", false, false},         {"a", true, false},          {"a:", false, false},
      {"a:b", false, false},        {"dir\\a:b.txt", false, false}, {"\\\\srv\\share\\f.txt", false, true},
      {"x\\\\y", false, true},      {"\\rooted\\f.txt", true, false}, {"sub/pic.bmp", true, false},
      {"//srv/share", true, false}, {"", false, false},           {"[u:p]sub\\x", true, false},
  };
  for (const auto& c : cases) {
    CLocation location(c.text);
    EXPECT_EQ(location.IsRelative(), c.relative) << c.text;
    EXPECT_EQ(location.IsNetworkPath(), c.network) << c.text;
  }
}

// The parts joined by '|': root, server, drive, dir, name, ext; "refused" when Split fails.
TEST(Location, Split) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:", "||C:|||"},
      {"C:\\titles\\a.ttl", "||C:|\\titles\\|a|.ttl"},
      {"\\\\srv\\share\\f.txt", "|||\\\\srv\\share\\|f|.txt"},
      {"http://server/a/b.htm", "http://|server||/a/|b|.htm"},
      {"http://server:80/x", "http://|server||/|x|"},
      {"http://server:81/x", "http://|server:81||/|x|"},
      {"https://server/x", "https://|server:443||/|x|"},
      {"ftp://server/x", "ftp://|server:21||/|x|"},
      {"http://server/a%20b.htm", "http://|server||/|a b|.htm"},
      {"dir\\a:b.txt", "refused"},
      {"", "refused"},
      {"zzz://server/x", "refused"},
  };
  for (const auto& c : cases) {
    std::string p[6];
    bool ok = CLocation(c.first).Split(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5], nullptr, nullptr);
    EXPECT_EQ(ok ? p[0] + "|" + p[1] + "|" + p[2] + "|" + p[3] + "|" + p[4] + "|" + p[5] : "refused", c.second)
        << c.first;
  }
}

// The object as cracked: escapes decoded in the URL path alone (file URLs
// included), a malformed escape kept, the query and fragment dropped.
TEST(Location, CrackDecodesEscapesInThePathAlone) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://server/a%20b.htm?q=1", "/a b.htm"}, {"http://server/plain.htm", "/plain.htm"},
      {"file://h/%20", "/ "},                       {"file:///C:/a%20b.txt", "/C:/a b.txt"},
      {"file://h:1/x/%20", "/x/ "},                 {"http://server/a%20b.htm?q=%41#f", "/a b.htm"},
      {"http://server/a%zz%2", "/a%zz%2"},          {"http://server/a%41%00b", "/aA"},
      {"[u:p]https://server/%7Euser/x%2Ey", "/~user/x.y"},
  };
  for (const auto& c : cases) {
    std::uint32_t service = 0;
    std::uint16_t port = 0;
    std::string server, object;
    EXPECT_TRUE(CLocation(c.first).Crack(&service, &server, &object, &port)) << c.first;
    EXPECT_EQ(object, c.second) << c.first;
  }
}

TEST(Location, CredentialsRoundTrip) {
  CLocation location("[joe:secret]http://server/x/y.htm");
  EXPECT_STREQ(location.GetAddress(), "http://server/x/y.htm");
  std::string root, server, drive, dir, name, ext, user, password;
  ASSERT_TRUE(location.Split(&root, &server, &drive, &dir, &name, &ext, &user, &password));
  EXPECT_EQ(user, "joe");
  EXPECT_EQ(password, "secret");
  CLocation made;
  ASSERT_TRUE(made.Make(root.c_str(), server.c_str(), drive.c_str(), dir.c_str(), name.c_str(), ext.c_str(),
                        user.c_str(), password.c_str()));
  EXPECT_EQ(made, location);
}

TEST(Location, MakeWritesThePrefixOnlyWhenSomethingIsInIt) {
  CLocation made;
  made.Make(nullptr, nullptr, "C:", "\\t", "a", "b", "", "");
  EXPECT_EQ(made, "C:\\t\\a.b");
  made.Make(nullptr, nullptr, "C:", "\\t\\", "a", ".b", "joe", nullptr);
  EXPECT_EQ(made, "[joe:]C:\\t\\a.b");
  EXPECT_FALSE(made.Make(nullptr, nullptr, "C:", std::string(300, 'd').c_str(), "a", nullptr, nullptr, nullptr));
  EXPECT_EQ(made, "[joe:]C:\\t\\a.b") << "an over-long path is refused, not cut";
}

struct ResolveCase {
  const char* base;
  const char* relative;
  const char* expected;
};

TEST(Location, MakeAbsolute) {
  const ResolveCase cases[] = {
      {"C:\\titles\\t1\\", "..\\shared\\res.dat", "C:\\titles\\shared\\res.dat"},
      {"http://server/a/b/x.htm", "../c/y.htm", "http://server/a/c/y.htm"},
      {"C:\\t\\", "sub/pic.bmp", "C:\\t\\sub/pic.bmp"},
      {"C:\\t\\a.ttl", "\\rooted\\f.txt", "C:\\rooted\\f.txt"},
      {"C:\\t\\main.ttl", "sub\\", "C:\\t\\sub\\main.ttl"},
      {"C:\\t\\", ".\\x.bmp", "C:\\t\\x.bmp"},
      {"C:\\t\\", "..\\..\\x.bmp", "C:x.bmp"},
      {"b/x.htm", "../c/y.htm", "c/y.htm"},
      {"C:\\titles\\t1\\", "res\\", "C:\\titles\\t1\\res\\"},
      {"C:\\t\\", "D:\\other\\f", "D:\\other\\f"},
      {"C:\\t\\", "\\\\srv\\s\\f", "\\\\srv\\s\\f"},
      {"C:\\t\\", "http://h/x", "http://h/x"},
      {"C:\\t\\", "", ""},
  };
  for (const auto& c : cases) {
    CLocation base(c.base);
    EXPECT_TRUE(base.MakeAbsolute(c.relative)) << c.base << " + " << c.relative;
    EXPECT_EQ(base, c.expected) << c.base << " + " << c.relative;
  }
  CLocation refused("zzz://h/x");
  EXPECT_FALSE(refused.MakeAbsolute("a\\b"));
  EXPECT_EQ(refused, "zzz://h/x");
}

TEST(Location, UpOneLevelAndNextComponent) {
  const std::pair<const char*, const char*> ups[] = {{"\\a\\b\\", "\\a\\"}, {"\\a\\", "\\"}, {"\\", ""}, {"b/", ""}};
  for (const auto& u : ups) {
    std::string dir = u.first;
    EXPECT_TRUE(orvex::UpOneLevel(dir));
    EXPECT_EQ(dir, u.second) << u.first;
  }
  std::string none = "abc";
  EXPECT_FALSE(orvex::UpOneLevel(none));
  std::string rest = "a/b\\c", component;
  EXPECT_TRUE(orvex::NextComponent(rest, component));
  EXPECT_EQ(component, "a/");
  EXPECT_EQ(rest, "b\\c");
  EXPECT_TRUE(orvex::NextComponent(rest, component));
  EXPECT_FALSE(orvex::NextComponent(rest, component));
  EXPECT_EQ(rest, "c");
}

}  // namespace
