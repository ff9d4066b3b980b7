// Paths, locations and menu texts read by characters, in the ANSI code page
// this process runs in: CTest runs this program once per code page (932, 936,
// 949, 950 and the control 1252; ORVEXC_CODE_PAGE names the one expected),
// and every table's rows hold the placeholders of CodePages.h. Each table has
// a row ending in a lead byte right before the NUL; narrow inputs lie at the
// very end of a readable page and outputs between guard bytes.
#include <gtest/gtest.h>

#include <OrvexC/hostkit/MenuTree.h>

#include <cstdlib>
#include <string>

#include "CodePages.h"
#include "LocationCases.h"
#include "StorageTest.h"
#include "include/OrvexC.h"
#include "menu/MenuBuilder.h"
#include "resource/Location.h"

using codepage::Expand;
using codepage::PageEndText;
using hosttest::GuardedBuffer;
using orvex::CLocation;

namespace {

TEST(CodePage, IsTheOneThisRunWasStartedFor) {
  const char* asked = std::getenv("ORVEXC_CODE_PAGE");
  const UINT expected = asked ? static_cast<UINT>(std::strtoul(asked, nullptr, 10)) : 1252;
  ASSERT_EQ(GetACP(), expected) << "the locale did not take (Wine takes the code page from LC_ALL)";
  EXPECT_EQ(codepage::Current().acp, expected) << "no characters for this code page";
}

// Text the runtime hands over comes as wide text: a row that cannot go that
// way must be one with a character cut short.
bool ComesAsWideText(const char* row) {
  if (codepage::RoundTrips(Expand(row))) return true;
  EXPECT_NE(std::string(row).find("{lead}"), std::string::npos) << row << ": not a text of this code page";
  return false;
}

// ---- title path, fnsplit, fnmerge --------------------------------------------

// The title's path; its drive and directory; its name; its extension.
const struct {
  const char *path, *directory, *name, *ext;
} kPaths[] = {
    {"C:\\{plain}\\{5C}{plain}.ovx", "C:\\{plain}\\", "{5C}{plain}", ".ovx"},
    {"C:\\a\\{5C}.dat", "C:\\a\\", "{5C}", ".dat"},
    {"C:\\{5C}\\{5C}\\x", "C:\\{5C}\\{5C}\\", "x", ""},
    {"{5C}\\{5C}", "{5C}\\", "{5C}", ""},
    {"C:{5C}.{5C}", "C:", "{5C}", ".{5C}"},
    {"\\\\srv\\{5D}\\{5B}.{40}.{74}", "\\\\srv\\{5D}\\", "{5B}.{40}", ".{74}"},
    {"C:\\a.b\\{plain}", "C:\\a.b\\", "{plain}", ""},
    {"C:\\a\\b{lead}", "C:\\a\\", "b{lead}", ""},
    {"{5C}/x.{lead}", "{5C}/", "x", ".{lead}"},
};

using TitlePath = hosttest::HostTest;

TEST_F(TitlePath, SplitByCharactersInTheExportsAndFnsplit) {
  for (const auto& row : kPaths) {
    SCOPED_TRACE(row.path);
    const std::string path = Expand(row.path), directory = Expand(row.directory);
    GuardedBuffer drive(3), dir(256), name(256), ext(256), merged(MAX_PATH);
    EXPECT_EQ(fnsplit(PageEndText(path).c_str(), drive.Data(), dir.Data(), name.Data(), ext.Data()), 0);
    EXPECT_EQ(drive.Text() + dir.Text(), directory);
    EXPECT_EQ(name.Text(), Expand(row.name));
    EXPECT_EQ(ext.Text(), Expand(row.ext));
    fnmerge(merged.Data(), drive.Data(), PageEndText(dir.Text()).c_str(), name.Data(), ext.Data());
    EXPECT_EQ(merged.Text(), path);
    for (const GuardedBuffer* b : {&drive, &dir, &name, &ext, &merged}) EXPECT_TRUE(b->GuardsIntact());
    if (!ComesAsWideText(row.path)) continue;
    rt.app.path = hostkit::Widened(path.c_str());
    GuardedBuffer title(MAX_PATH), titleName(MAX_PATH);
    GetTitleDirectory(rt.ctx(), title.Data(), title.Size());
    GetTitleName(rt.ctx(), titleName.Data(), titleName.Size());
    EXPECT_EQ(title.Text(), directory);
    EXPECT_EQ(titleName.Text(), Expand(row.name));
    EXPECT_TRUE(title.GuardsIntact() && titleName.GuardsIntact());
  }
}

// A directory that ends in a trail byte 5C gets its backslash.
TEST(Fnmerge, AddsTheSeparatorAfterTheLastCharacter) {
  const struct {
    const char *drive, *dir, *name, *ext, *path;
  } rows[] = {
      {"C:", "\\{5C}", "f", "txt", "C:\\{5C}\\f.txt"},
      {"", "{plain}/", "{5C}", ".{5C}", "{plain}/{5C}.{5C}"},
      {"", "a{lead}", "f", "", "a{lead}\\f"},
  };
  for (const auto& row : rows) {
    GuardedBuffer merged(MAX_PATH);
    fnmerge(merged.Data(), Expand(row.drive).c_str(), PageEndText(Expand(row.dir)).c_str(), Expand(row.name).c_str(),
            Expand(row.ext).c_str());
    EXPECT_EQ(merged.Text(), Expand(row.path)) << row.path;
    EXPECT_TRUE(merged.GuardsIntact()) << row.path;
  }
}

// ---- storages ----------------------------------------------------------------

// The title's location; the location a new storage is given; where it is
// created (a location that is not relative, as it is); what
// GetResourceStorage reads from a storage there.
const struct {
  const char *title, *location, *created, *readBack;
} kStorages[] = {
    {"C:\\titles\\t1\\main.dat", "{5C}\\{5C}\\", "C:\\titles\\t1\\{5C}\\{5C}\\", "C:\\titles\\t1\\{5C}\\{5C}\\"},
    {"C:\\titles\\t1\\main.dat", ".\\{5C}\\x.res", "C:\\titles\\t1\\{5C}\\x.res", "C:\\titles\\t1\\{5C}\\x.res\\"},
    {"C:\\titles\\t1\\main.dat", "sub\\{5C}", "C:\\titles\\t1\\sub\\{5C}", "C:\\titles\\t1\\sub\\{5C}\\"},
    {"C:\\{5C}\\{5C}\\main.dat", "..\\r\\", "C:\\{5C}\\r\\", "C:\\{5C}\\r\\"},
    {"C:\\{5C}\\t1\\main.dat", "..\\..\\{plain}\\", "C:\\{plain}\\", "C:\\{plain}\\"},
    {"C:\\res\\{5C}.dat", ".\\", "C:\\res\\", "C:\\res\\"},
    {"C:\\res\\{5C}\\{5C}.dat", "{5C}.\\{plain}/", "C:\\res\\{5C}\\{plain}/", "C:\\res\\{5C}\\{plain}/\\"},
    {"[{5D}:p]http://h/{5C}/a/x.htm", "..\\r\\", "/{5C}/r\\", "/{5C}/r\\"},
    {"C:\\titles\\t1\\main.dat", "sub\\x{lead}", "C:\\titles\\t1\\sub\\x{lead}", "C:\\titles\\t1\\sub\\x{lead}\\"},
    {"C:\\titles\\t1\\main.dat", "D:\\{5C}\\m\\", "D:\\{5C}\\m\\", "D:\\{5C}\\m\\"},
    {"C:\\titles\\t1\\main.dat", "\\\\srv\\s\\{5C}", "\\\\srv\\s\\{5C}", "\\\\srv\\s\\{5C}\\"},
    {"C:\\titles\\t1\\main.dat", "http://h/{5C}/r/", "http://h/{5C}/r/", "http://h/{5C}/r/\\"},
};

using Storage = hosttest::StorageTest;

TEST_F(Storage, NewStoragesResolveByCharactersAndReadBackWithTheirBackslash) {
  int n = 0;
  for (const auto& row : kStorages) {
    SCOPED_TRACE(std::string(row.title) + " + " + row.location);
    const std::string name = "s" + std::to_string(n++), created = Expand(row.created);
    rt.app.location = hostkit::Widened(Expand(row.title).c_str());
    SetResourceStorage(rt.ctx(), name.c_str(), PageEndText(Expand(row.location)).c_str());
    EXPECT_EQ(AddedLog(), "name=" + name + ";location=" + created + ";");
    if (!ComesAsWideText(row.created)) continue;
    GuardedBuffer buffer(MAX_PATH);
    GetResourceStorage(rt.ctx(), name.c_str(), buffer.Data(), buffer.Size());
    EXPECT_EQ(buffer.Text(), Expand(row.readBack));
    EXPECT_TRUE(buffer.GuardsIntact());
  }
}

// ---- CLocation ---------------------------------------------------------------

TEST(Location, Kinds) {
  for (const auto& row : cases::kKinds) {
    const CLocation location(Expand(row.text));
    EXPECT_EQ(location.IsRelative(), row.relative) << row.text;
    EXPECT_EQ(location.IsNetworkPath(), row.network) << row.text;
  }
}

TEST(Location, Split) {
  for (const auto& row : cases::kSplits) {
    std::string p[8], joined;
    bool ok = CLocation(Expand(row.text)).Split(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5], &p[6], &p[7]);
    for (int i = 0; i < 8; ++i) joined += (i ? "|" : "") + p[i];
    EXPECT_EQ(ok ? joined : "refused", Expand(row.parts)) << row.text;
  }
}

TEST(Location, CrackDecodesEscapesInThePathAlone) {
  for (const auto& row : cases::kCracks) {
    std::uint32_t service = 0;
    std::uint16_t port = 0;
    std::string server, object;
    EXPECT_TRUE(CLocation(Expand(row.text)).Crack(&service, &server, &object, &port)) << row.text;
    EXPECT_EQ(object, Expand(row.object)) << row.text;
  }
}

TEST(Location, MakeAbsolute) {
  for (const auto& row : cases::kResolves) {
    CLocation base(Expand(row.base));
    EXPECT_TRUE(base.MakeAbsolute(Expand(row.relative))) << row.base << " + " << row.relative;
    EXPECT_EQ(base, Expand(row.resolved)) << row.base << " + " << row.relative;
  }
  CLocation refused("zzz://h/x");
  EXPECT_FALSE(refused.MakeAbsolute("a\\b"));
  EXPECT_EQ(refused, "zzz://h/x");
}

TEST(Location, MakeWritesThePrefixOnlyWhenSomethingIsInIt) {
  CLocation made;
  made.Make(nullptr, nullptr, "C:", "\\t", "a", "b", "", "");
  EXPECT_EQ(made, "C:\\t\\a.b");
  made.Make(nullptr, nullptr, "C:", "\\t\\", "a", ".b", "joe", nullptr);
  EXPECT_EQ(made, "[joe:]C:\\t\\a.b");
  EXPECT_FALSE(made.Make(nullptr, nullptr, "C:", std::string(300, 'd').c_str(), "a", nullptr, nullptr, nullptr));
  EXPECT_EQ(made, "[joe:]C:\\t\\a.b") << "an over-long path is refused, not cut";
  EXPECT_STREQ(CLocation("[joe:secret]http://server/x/y.htm").GetAddress(), "http://server/x/y.htm");
}

// ---- menu scripts ------------------------------------------------------------

// A script and the menu it builds (hostkit::DescribeMenu, exact: each text on
// a line of its own). Keyword windows, texts, identifiers and options are read
// by characters, and the backslash-t pair is found only at a character.
// `control`: the tree in 1252 where it differs (a lead byte is a character there).
const struct {
  const char *script, *tree, *control = nullptr;
} kMenus[] = {
    // a double-byte text in a popup, which keeps its \t as written
    {"M MENU BEGIN POPUP \"{plain}{5D}\\t{74}\" BEGIN MENUITEM \"{plain}\", 1 END END",
     "popup 0 type=0 state=0 \"\"\n{plain}{5D}\\t{74}\n  item 1 type=0 state=0 \"\"\n{plain}\n"},
    {"M MENU BEGIN MENUITEM \"{plain}\\tCtrl+{plain}\", 2 END", "item 2 type=0 state=0 \"\"\n{plain}\tCtrl+{plain}\n"},
    // a trail byte before 't' makes no pair; the first real pair is the TAB
    {"M MENU BEGIN MENUITEM \"{5C}t\", 3 MENUITEM \"{5C}t\\t{74}\", 4 END",
     "item 3 type=0 state=0 \"\"\n{5C}t\nitem 4 type=0 state=0 \"\"\n{5C}t\t{74}\n"},
    // a trail byte before the closing quote
    {"M MENU BEGIN MENUITEM \"{5C}\", 5 MENUITEM \"a{5C}\", 6 END",
     "item 5 type=0 state=0 \"\"\n{5C}\nitem 6 type=0 state=0 \"\"\na{5C}\n"},
    // a trail byte before a keyword: a window holds characters, not bytes
    {"M {5C}MENU BEGIN POPUP \"p\" BEGIN MENUITEM \"a\", 7 END{5C}MENUITEM \"b\", 8 END",
     "popup 0 type=0 state=0 \"\"\np\n  item 7 type=0 state=0 \"\"\na\nitem 8 type=0 state=0 \"\"\nb\n"},
    // an M option's sixth letter is its sixth character
    {"M MENU BEGIN MENUITEM \"a\", 9, M{plain}xxxRxxx END", "item 9 type=40 state=0 \"\"\na\n"},
    // a lead byte right before the NUL: in a text, after a keyword, in an identifier
    {"M MENU BEGIN MENUITEM \"{plain}{lead}", "no menu\n"},
    {"M MENU BEGIN MENUITEM \"a\", 10 END{lead}", "item 10 type=0 state=0 \"\"\na\n"},
    {"M MENU BEGIN MENUITEM \"a\", 11{lead}", "no menu\n"},
    // a lead byte takes the byte after it into its character: a keyword's first
    // letter, a quote, a comma, the blank after the name
    {"M {lead}MENU BEGIN MENUITEM \"a\", 12 END", "no menu\n", "item 12 type=0 state=0 \"\"\na\n"},
    {"M MENU BEGIN MENUITEM \"a{lead}\", 13 MENUITEM \"b\", 14 END", "no menu\n",
     "item 13 type=0 state=0 \"\"\na{lead}\nitem 14 type=0 state=0 \"\"\nb\n"},
    {"M MENU BEGIN MENUITEM \"a\", 15{lead}, GRAYED END", "no menu\n", "item 15 type=0 state=1 \"\"\na\n"},
    {"M{lead} MENU BEGIN MENUITEM \"a\", 16 END", "no menu\n", "item 16 type=0 state=0 \"\"\na\n"},
    // a pair between double-byte characters; trail bytes 5C and 'E' around keywords and options
    {"M MENU BEGIN MENUITEM \"{5C}\\t{5C}\", 1 END", "item 1 type=0 state=0 \"\"\n{5C}\t{5C}\n"},
    {"M MENU BEGIN POPUP \"{5C}\" BEGIN MENUITEM \"{5D}\", 1 END END",
     "popup 0 type=0 state=0 \"\"\n{5C}\n  item 1 type=0 state=0 \"\"\n{5D}\n"},
    {"M MENU BEGIN MENUITEM \"a\", 1 END{5C}", "item 1 type=0 state=0 \"\"\na\n"},
    {"M MENU BEGIN MENUITEM \"a\", 1, {5C}GRAYED END", "no menu\n"},
    {"M MENU BEGIN MENUITEM \"a\", 1 E{45}ND", "no menu\n"},
    {"M MENU BEGIN MENUITEM \"{74}\", 1, GRAYED E{45}ND END", "no menu\n"},
};

TEST(Menu, TextsKeepTheirCharacters) {
  for (const auto& row : kMenus) {
    orvex::CMenuScript script;
    orvex::Expected<const orvex::MenuNode*> nodes = script.Parse(PageEndText(Expand(row.script)).c_str());
    HMENU menu = nodes ? orvex::BuildMenu(*nodes) : nullptr;
    const char* tree = row.control && GetACP() == 1252 ? row.control : row.tree;
    EXPECT_EQ(hostkit::DescribeAndDestroyMenu(menu, true), Expand(tree)) << row.script;
  }
}

}  // namespace
