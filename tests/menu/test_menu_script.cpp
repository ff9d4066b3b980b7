// The menu script parser's node lists, and the menus built from them as
// real USER32 sees them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "menu/MenuScript.h"

using orvex::CMenuScript;
using orvex::MenuNode;

namespace {

// The node list as text: "flags:id:text" per node, after the head node.
std::vector<std::string> Nodes(const CMenuScript& script) {
  std::vector<std::string> out;
  const MenuNode* node = script.Head();
  EXPECT_TRUE(node && node->flags == 0x0200);
  for (node = node ? node->next : nullptr; node; node = node->next) {
    char row[300];
    wsprintfA(row, "%04X:%u:%s", node->flags, node->id, node->text);
    out.push_back(row);
  }
  return out;
}

const char* kWorkedExample =
    "Main MENU\n"
    "BEGIN\n"
    "  POPUP \"&File\"\n"
    "  BEGIN\n"
    "    MENUITEM \"&Open\\tCtrl+O\", 101\n"
    "    MENUITEM SEPARATOR\n"
    "    MENUITEM \"E&xit\", 102, GRAYED\n"
    "  END\n"
    "  MENUITEM \"&Help\", 200, HELP\n"
    "END\n";

TEST(MenuParser, WorkedExample) {
  CMenuScript script;
  ASSERT_TRUE(script.ParseNodes(kWorkedExample));
  EXPECT_EQ(Nodes(script), (std::vector<std::string>{"0010:0:&File", "0000:101:&Open\\tCtrl+O", "0800:0:",
                                                      "0001:102:E&xit", "0080:0:", "4000:200:&Help", "0080:0:"}));
}

struct ParseCase {
  const char* name;
  const char* text;
  bool parses;
};

TEST(MenuParser, AcceptsAndRejects) {
  const std::string longText = "M MENU BEGIN MENUITEM \"" + std::string(128, 'x') + "\", 1 END";
  const std::string longestText = "M MENU BEGIN MENUITEM \"" + std::string(127, 'x') + "\", 1 END";
  const ParseCase cases[] = {
      {"empty", "", false},
      {"white space only", " \t\r\n\f ", false},
      {"null", nullptr, false},
      {"empty body", "M MENU BEGIN END", true},
      {"END as the last three characters", "M MENU\nBEGIN\nMENUITEM \"a\", 1\nEND", true},
      {"missing menu END", "M MENU BEGIN POPUP \"p\" BEGIN MENUITEM \"a\", 1 END", false},
      {"lower-case keywords", "m menu begin end", false},
      {"comment line", "// menu\nM MENU BEGIN END", false},
      {"extra word between MENU and BEGIN", "M MENU DISCARDABLE BEGIN END", false},
      {"name only", "M", false},
      {"vertical tab is not white space", "M\vMENU BEGIN END", false},
      {"popup with an identifier", "M MENU BEGIN POPUP \"p\", 5 BEGIN END END", false},
      {"keyword glued to its quote", "M MENU BEGIN POPUP\"p\" BEGIN END END", false},
      {"MENUITEM glued to its quote", "M MENU BEGIN MENUITEM\"a\", 1 END", false},
      {"options glued to the next comma", "M MENU BEGIN MENUITEM \"a\", 1, GRAYED,CHECKED END", true},
      {"text after the closing END", "M MENU BEGIN END )))) garbage \"", true},
      {"unterminated text", "M MENU BEGIN MENUITEM \"abc", false},
      {"unknown statement", "M MENU BEGIN XYZ END", false},
      {"M option with another sixth letter", "M MENU BEGIN MENUITEM \"a\", 1, MENUXX END", false},
      {"identifier of eight characters", "M MENU BEGIN MENUITEM \"a\", 12345678 END", false},
      {"command text of 128 characters", longText.c_str(), false},
      {"command text of 127 characters", longestText.c_str(), true},
      {"text ends inside an option", "M MENU BEGIN MENUITEM \"a\", 1, CHECK", false},
  };
  for (const auto& c : cases) {
    CMenuScript script;
    EXPECT_EQ(script.ParseNodes(c.text), c.parses) << c.name;
  }
}

TEST(MenuParser, IdentifiersAndOptions) {
  CMenuScript script;
  ASSERT_TRUE(script.ParseNodes(
      "M MENU BEGIN\n"
      " MENUITEM \"a\", 70000\n"
      " MENUITEM \"b\", -1\n"
      " MENUITEM \"c\", ID_FILE\n"
      " MENUITEM \"d\", GRAYED\n"                       // the first field is the identifier
      " MENUITEM \"e\", 1, CXXXXXX, MENUBARBREAK\n"     // any 7-letter C-word is CHECKED
      " MENUITEM \"f\", 2, MxxxxRxxx, INACTIVE, GRAYED\n"
      " MENUITEM SEPARATOR , 9, HELP\n"  // the window eats the character after SEPARATOR
     
      " MENUITEM \"\"\", 3\n"                            // a quote as the first character
      "END"));
  EXPECT_EQ(Nodes(script), (std::vector<std::string>{"0000:4464:a", "0000:65535:b", "0000:0:c", "0000:0:d",
                                                      "0028:1:e", "0043:2:f", "4800:9:", "0000:3:\"",
                                                      "0080:0:"}));
}

TEST(MenuParser, ASecondParseReplacesTheNodes) {
  CMenuScript script;
  ASSERT_TRUE(script.ParseNodes(kWorkedExample));
  ASSERT_FALSE(script.ParseNodes("M MENU BEGIN MENUITEM \"only\", 1"));
  EXPECT_EQ(Nodes(script), (std::vector<std::string>{"0000:0:only"}));  // the text ended inside the identifier
  ASSERT_TRUE(script.ParseNodes("M MENU BEGIN END"));
  EXPECT_EQ(Nodes(script), (std::vector<std::string>{"0080:0:"}));
}

TEST(MenuParser, DeepNestingIsRefusedRatherThanOverflowingTheStack) {
  std::string text = "M MENU BEGIN ";
  for (int i = 0; i < 100000; ++i) text += "POPUP \"p\" BEGIN ";
  CMenuScript script;
  EXPECT_FALSE(script.ParseNodes(text.c_str()));
}

// `levels` popups, each the only item of the one above, around one command.
std::string NestedPopups(int levels) {
  std::string text = "M MENU BEGIN\n";
  for (int i = 0; i < levels; ++i) text += "POPUP \"p\" BEGIN\n";
  text += "MENUITEM \"bottom\", 7\n";
  for (int i = 0; i <= levels; ++i) text += "END\n";
  return text;
}

TEST(MenuParser, PopupsNestOnlyAsDeepAsUser32HoldsMenus) {
  CMenuScript script;
  EXPECT_TRUE(script.ParseNodes(NestedPopups(orvex::kMaxPopupDepth).c_str()));
  EXPECT_FALSE(script.ParseNodes(NestedPopups(orvex::kMaxPopupDepth + 1).c_str()));
  EXPECT_FALSE(script.ParseNodes(NestedPopups(40).c_str()));  // USER32 drops the 31st level of 40
}

// ---- built menus ----------------------------------------------------------------------

struct Item {
  std::string text;
  UINT state;
  UINT id;
  HMENU sub;
};

Item ItemAt(HMENU menu, int index) {
  char text[256] = {};
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
  info.dwTypeData = text;
  info.cch = sizeof text;
  EXPECT_TRUE(GetMenuItemInfoA(menu, index, TRUE, &info));
  return {text, GetMenuState(menu, index, MF_BYPOSITION), info.wID, info.hSubMenu};
}

class Built {
 public:
  explicit Built(const char* text) : menu_(static_cast<HMENU>(script_.Parse(text))) {}
  ~Built() {
    if (menu_) DestroyMenu(menu_);
  }
  HMENU get() const { return menu_; }

 private:
  CMenuScript script_;
  HMENU menu_;
};

TEST(MenuBuilder, WorkedExampleBar) {
  Built menu(kWorkedExample);
  ASSERT_NE(menu.get(), nullptr);
  ASSERT_EQ(GetMenuItemCount(menu.get()), 2);
  Item file = ItemAt(menu.get(), 0);
  EXPECT_EQ(file.text, "&File");
  ASSERT_NE(file.sub, nullptr);
  ASSERT_EQ(GetMenuItemCount(file.sub), 3);
  Item open = ItemAt(file.sub, 0);
  EXPECT_EQ(open.text, "&Open\tCtrl+O");
  EXPECT_EQ(open.id, 101u);
  EXPECT_TRUE(GetMenuState(file.sub, 1, MF_BYPOSITION) & MF_SEPARATOR);
  Item exit = ItemAt(file.sub, 2);
  EXPECT_EQ(exit.text, "E&xit");
  EXPECT_TRUE(exit.state & MF_GRAYED);
  Item help = ItemAt(menu.get(), 1);
  EXPECT_EQ(help.text, "&Help");
  EXPECT_EQ(help.id, 200u);
  EXPECT_TRUE(help.state & MF_HELP);
}

TEST(MenuBuilder, TabsSeparatorsNestingAndFlags) {
  Built menu(
      "M MENU BEGIN\n"
      " POPUP \"Pop\\tup\" BEGIN\n"
      "  MENUITEM \"a\\tb\\tc\", 1\n"
      "  MENUITEM SEPARATOR , 77, CHECKED\n"
      "  POPUP \"Empty\" BEGIN END\n"
      "  POPUP \"Inner\" BEGIN MENUITEM \"deep\", 2 END\n"
      "  MENUITEM \"after\", 3, CHECKED\n"
      " END\n"
      " MENUITEM \"bar\", 4, MENUBARBREAK\n"
      " MENUITEM \"brk\", 5, MENUBREAK, INACTIVE\n"
      "END");
  ASSERT_NE(menu.get(), nullptr);
  ASSERT_EQ(GetMenuItemCount(menu.get()), 3);
  Item pop = ItemAt(menu.get(), 0);
  EXPECT_EQ(pop.text, "Pop\\tup");  // popup texts keep the pair
  ASSERT_EQ(GetMenuItemCount(pop.sub), 5);
  EXPECT_EQ(ItemAt(pop.sub, 0).text, "a\tb\\tc");  // only the first pair
  Item separator = ItemAt(pop.sub, 1);
  EXPECT_TRUE(separator.state & MF_SEPARATOR);
  EXPECT_FALSE(separator.state & MF_CHECKED);
  EXPECT_EQ(separator.id, 0u);
  Item empty = ItemAt(pop.sub, 2);
  ASSERT_NE(empty.sub, nullptr);
  EXPECT_EQ(GetMenuItemCount(empty.sub), 0);
  Item inner = ItemAt(pop.sub, 3);
  EXPECT_EQ(GetMenuItemCount(inner.sub), 1);
  Item after = ItemAt(pop.sub, 4);
  EXPECT_EQ(after.text, "after");
  EXPECT_TRUE(after.state & MF_CHECKED);
  EXPECT_TRUE(ItemAt(menu.get(), 1).state & MF_MENUBARBREAK);
  Item brk = ItemAt(menu.get(), 2);
  EXPECT_TRUE(brk.state & MF_MENUBREAK);
  EXPECT_TRUE(brk.state & MF_DISABLED);
}

// A popup nested deeper than USER32 allows comes out as a plain command whose
// identifier is the handle of its lost (and leaked) submenu; every popup the
// parser accepts must be placed as a popup.
TEST(MenuBuilder, PopupsNestedToTheLimitAreAllPlacedAsPopups) {
  Built menu(NestedPopups(orvex::kMaxPopupDepth).c_str());
  ASSERT_NE(menu.get(), nullptr);
  HMENU level = menu.get();
  for (int depth = 1; depth <= orvex::kMaxPopupDepth; ++depth) {
    ASSERT_EQ(GetMenuItemCount(level), 1) << "level " << depth;
    Item popup = ItemAt(level, 0);
    ASSERT_NE(popup.sub, nullptr) << "the popup at level " << depth << " was not placed as a popup";
    level = popup.sub;
  }
  ASSERT_EQ(GetMenuItemCount(level), 1);
  Item bottom = ItemAt(level, 0);
  EXPECT_EQ(bottom.text, "bottom");
  EXPECT_EQ(bottom.id, 7u);
  EXPECT_EQ(bottom.sub, nullptr);
}

TEST(MenuBuilder, EmptyScriptGivesAnEmptyMenuAndAFailedOneNone) {
  Built empty("M MENU BEGIN END");
  ASSERT_NE(empty.get(), nullptr);
  EXPECT_EQ(GetMenuItemCount(empty.get()), 0);
  Built broken("M MENU BEGIN");
  EXPECT_EQ(broken.get(), nullptr);
}

}  // namespace
