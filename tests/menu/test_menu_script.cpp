// The menu script parser and builder over the golden corpus: each
// tests/fuzz/corpus/NN-name.mnu (also the fuzzer's seeds) beside
// NN-name.tree, the menu USER32 holds after the script is built ("empty
// menu", "no menu"). A missing .tree is written from the build and the test fails,
// so that a new script's tree is reviewed before it is committed.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "menu/MenuScript.h"

namespace {

// One line per item, nested items indented: kind, identifier (0 for a popup, whose
// identifier is its handle), type and
// state flags, and the text with tabs shown as \t.
void Describe(HMENU menu, int depth, std::string& out) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[256] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfoA(menu, i, TRUE, &info);
    std::string shown;
    for (const char* c = text; *c; ++c) shown += *c == '\t' ? std::string("\\t") : std::string(1, *c);
    char line[400];
    std::snprintf(line, sizeof line, "%*s%s %u type=%X state=%X \"%s\"\n", depth * 2, "",
                  info.hSubMenu ? "popup" : "item", info.hSubMenu ? 0 : info.wID, info.fType, info.fState,
                  shown.c_str());
    out += line;
    if (info.hSubMenu) Describe(info.hSubMenu, depth + 1, out);
  }
}

std::string Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

TEST(MenuCorpus, EveryScriptBuildsItsTree) {
  const std::string dir = ORVEXC_MENU_CORPUS;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "/*.mnu").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE) << dir;
  int scripts = 0;
  do {
    std::string name = found.cFileName, base = dir + "/" + name.substr(0, name.size() - 4);
    orvex::CMenuScript script;
    HMENU menu = static_cast<HMENU>(script.Parse(Read(dir + "/" + name).c_str()));
    std::string tree;
    if (menu) Describe(menu, 0, tree);
    if (tree.empty()) tree = menu ? "empty menu\n" : "no menu\n";
    if (menu) DestroyMenu(menu);
    std::string expected = Read(base + ".tree");
    if (expected.empty()) {
      std::ofstream(base + ".tree", std::ios::binary) << tree;
      ADD_FAILURE() << name << ": no tree yet; written from this build, review it";
    }
    EXPECT_EQ(tree, expected) << name;
    ++scripts;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::printf("menu corpus: %d scripts\n", scripts);
}

TEST(MenuParser, DeepNestingIsRefusedRatherThanOverflowingTheStack) {
  std::string text = "M MENU BEGIN ";
  for (int i = 0; i < 100000; ++i) text += "POPUP \"p\" BEGIN ";
  orvex::CMenuScript script;
  EXPECT_FALSE(script.ParseNodes(text.c_str()));
}

}  // namespace
