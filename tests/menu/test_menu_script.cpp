// The menu script parser and builder over the golden corpus: each
// tests/menu/corpus/NN-name.mnu (also the fuzzer's seeds) beside
// NN-name.tree, the menu USER32 holds after the script is built ("empty
// menu", "no menu"). A missing .tree is written from the build and the test fails,
// so that a new script's tree is reviewed before it is committed.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <OrvexC/hostkit/MenuTree.h>

#include "HostTest.h"
#include "menu/MenuBuilder.h"

namespace {

TEST(MenuCorpus, EveryScriptBuildsItsTree) {
  const std::string dir = ORVEXC_MENU_CORPUS;
  const std::vector<std::string> names = hosttest::MenuScripts(dir);
  ASSERT_FALSE(names.empty()) << dir;
  for (const std::string& stem : names) {
    std::string name = stem + ".mnu", base = dir + "/" + stem;
    orvex::CMenuScript script;
    orvex::Expected<const orvex::MenuNode*> nodes = script.Parse(hosttest::ReadFile(base + ".mnu").c_str());
    std::string tree = hostkit::DescribeAndDestroyMenu(nodes ? orvex::BuildMenu(*nodes) : nullptr);
    std::string expected = hosttest::ReadFile(base + ".tree");
    if (expected.empty()) {
      std::ofstream(base + ".tree", std::ios::binary) << tree;
      ADD_FAILURE() << name << ": no tree yet; written from this build, review it";
    }
    EXPECT_EQ(tree, expected) << name;
  }
  std::printf("menu corpus: %d scripts\n", static_cast<int>(names.size()));
}

TEST(MenuParser, DeepNestingIsRefusedRatherThanOverflowingTheStack) {
  std::string text = "M MENU BEGIN ";
  for (int i = 0; i < 100000; ++i) text += "POPUP \"p\" BEGIN ";
  orvex::CMenuScript script;
  EXPECT_FALSE(script.Parse(text.c_str()));
}

// The parser names what it expected, at the point of failure.
TEST(MenuParseErrors, EachFailurePointNamesItsExpectation) {
  namespace expect = orvex::expect;
  const struct {
    const char* text;
    std::size_t offset;
    const char* expected;
  } cases[] = {
      {"", 0, expect::kName},
      {"M", 1, expect::kBlankAfterName},
      {"M MENX BEGIN END", 2, expect::kMenu},
      {"M MENU BEGIX END", 7, expect::kBegin},
      {"M MENU BEGIN X", 13, expect::kStatement},
      {"M MENU BEGIN \vEND", 13, expect::kStatement},  // no white space
      {"M MENU BEGIN POPUP x", 19, expect::kQuoted},
      {"M MENU BEGIN POPUP \"x", 21, expect::kClosingQuote},
      {"M MENU BEGIN POPUP \"x\" END", 23, expect::kPopupBegin},
      {"M MENU BEGIN MENUITEM x", 22, expect::kItemText},
      {"M MENU BEGIN MENUITEM \"x\", ", 27, expect::kIdentifier},
      {"M MENU BEGIN MENUITEM \"x\", 12345678 END", 27, expect::kShortIdentifier},
      {"M MENU BEGIN MENUITEM \"x\", 1", 28, expect::kAfterIdentifier},
      {"M MENU BEGIN MENUITEM \"x\", 1, BOLD END", 30, expect::kOption},
      {"M MENU BEGIN MENUITEM \"x\", 1, MENUXX END", 30, expect::kMarkLetter},
      {"M MENU BEGIN MENUITEM \"x\", 1, GRAYED", 36, expect::kAfterOption},
  };
  for (const auto& c : cases) {
    orvex::CMenuScript script;
    orvex::Expected<const orvex::MenuNode*> nodes = script.Parse(c.text);
    EXPECT_FALSE(nodes) << c.text;
    EXPECT_EQ(nodes.Error().offset, c.offset) << c.text;
    EXPECT_STREQ(nodes.Error().expected, c.expected) << c.text;
  }
  orvex::CMenuScript script;
  EXPECT_TRUE(script.Parse("M MENU BEGIN END"));
}

}  // namespace
