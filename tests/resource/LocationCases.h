// CLocation's literal cases, data only: rows with the placeholders of
// CodePages.h, run in every ANSI code page by test_code_pages.
#pragma once

namespace cases {

struct Kind {
  const char* text;
  bool relative, network;
};
const Kind kKinds[] = {
    {"C:", false, false},
    {"a", true, false},
    {"a:", false, false},
    {"a:b", false, false},
    {"dir\\a:b.txt", false, false},
    {"\\\\srv\\share\\f.txt", false, true},
    {"x\\\\y", false, true},
    {"\\rooted\\f.txt", true, false},
    {"sub/pic.bmp", true, false},
    {"//srv/share", true, false},
    {"", false, false},
    {"[u:p]sub\\x", true, false},
    {"{5C}\\", true, false},
    {"a{lead}", true, false},
    {"x{5C}\\y", true, false},        // a trail byte 5C and a backslash are no pair
    {"[{5D}:p]sub\\x", true, false},  // a trail byte ']' closes no prefix
};

// The parts joined by '|': root, server, drive, dir, name, ext, user, password; "refused" when Split fails.
struct Split {
  const char* text;
  const char* parts;
};
const Split kSplits[] = {
    {"C:", "||C:|||||"},
    {"C:\\titles\\a.ttl", "||C:|\\titles\\|a|.ttl||"},
    {"\\\\srv\\share\\f.txt", "|||\\\\srv\\share\\|f|.txt||"},
    {"http://server/a/b.htm", "http://|server||/a/|b|.htm||"},
    {"http://server:80/x", "http://|server||/|x|||"},
    {"http://server:81/x", "http://|server:81||/|x|||"},
    {"https://server/x", "https://|server:443||/|x|||"},
    {"ftp://server/x", "ftp://|server:21||/|x|||"},
    {"http://server/a%20b.htm", "http://|server||/|a b|.htm||"},
    {"[joe:secret]http://server/x/y.htm", "http://|server||/x/|y|.htm|joe|secret"},
    {"dir\\a:b.txt", "refused"},
    {"", "refused"},
    {"zzz://server/x", "refused"},
    {"C:\\{5C}\\{5C}.{5C}", "||C:|\\{5C}\\|{5C}|.{5C}||"},
    {"{5C}\\{plain}{5C}", "|||{5C}\\|{plain}{5C}|||"},
    {"\\\\srv\\{5C}\\{5B}.{40}", "|||\\\\srv\\{5C}\\|{5B}|.{40}||"},
    {"[{5D}{5C}:{5B}]http://h/{5C}/x.htm", "http://|h||/{5C}/|x|.htm|{5D}{5C}|{5B}"},
    {"http://h{40}/x", "http://|h{40}||/|x|||"},  // a trail byte '@' ends no user name
    {"http://h/{5C}%20{5C}", "http://|h||/|{5C} {5C}|||"},
    {"C:\\a\\b{lead}", "||C:|\\a\\|b{lead}|||"},
    {"http://h/x.{lead}", "http://|h||/|x|.{lead}||"},
    {"[u{5D}:{lead}", "refused"},
};

// The object as cracked: escapes decoded in the URL path alone (file URLs
// included), a malformed escape kept, the query and fragment dropped.
struct Crack {
  const char* text;
  const char* object;
};
const Crack kCracks[] = {
    {"http://server/a%20b.htm?q=1", "/a b.htm"},
    {"http://server/plain.htm", "/plain.htm"},
    {"file://h/%20", "/ "},
    {"file:///C:/a%20b.txt", "/C:/a b.txt"},
    {"file://h:1/x/%20", "/x/ "},
    {"http://server/a%20b.htm?q=%41#f", "/a b.htm"},
    {"http://server/a%zz%2", "/a%zz%2"},
    {"http://server/a%41%00b", "/aA"},
    {"[u:p]https://server/%7Euser/x%2Ey", "/~user/x.y"},
    {"http://server/{5C}%41{plain}?{5C}", "/{5C}A{plain}"},
    {"http://server/%41{lead}", "/A{lead}"},
};

struct Resolve {
  const char* base;
  const char* relative;
  const char* resolved;
};
const Resolve kResolves[] = {
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
    {"C:\\{5C}\\{5C}\\", "..\\x", "C:\\{5C}\\x"},
    {"C:\\t\\", "{5C}\\{5C}\\f", "C:\\t\\{5C}\\{5C}\\f"},
    {"C:\\t\\", ".\\{5C}\\x.res", "C:\\t\\{5C}\\x.res"},
    {"C:\\t\\", "{5C}.\\{5C}", "C:\\t\\{5C}"},
    {"[{5D}:p]http://h/{5C}/{5C}/x.htm", "../y.htm", "[{5D}:p]http://h/{5C}/y.htm"},
    {"C:\\t\\", "a\\{lead}", "C:\\t\\a\\{lead}"},
};

}  // namespace cases
