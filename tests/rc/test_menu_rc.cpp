// Menu scripts against the resource compilers. On the scripts of the corpus
// that parse and where orvexc-menu-check --rc finds no difference, the menu
// LoadMenuFromFile builds is the one LoadMenuIndirectA builds from the same
// text compiled by windres and llvm-rc. For each difference the checker
// reports, a script where the two sides do differ, and the report there.
// Also: the expectation the parser names at each of its failure points.
//
// test_menu_rc CORPUS_DIR DIFFER_DIR RES_DIR
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include "HostTest.h"
#include "RcDifferences.h"
#include "WindowsMenu.h"
#include "menu/MenuScript.h"

namespace {

std::string g_corpus, g_differ, g_res;

// A Unix path as Wine's DOS name for it.
std::string DosPath(const std::string& path) {
  using ToDos = WCHAR*(CDECL*)(const char*);
  auto toDos = reinterpret_cast<ToDos>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
  if (path.empty() || path[0] != '/' || !toDos) return path;
  std::unique_ptr<WCHAR, void (*)(WCHAR*)> wide(toDos(path.c_str()), [](WCHAR* p) { HeapFree(GetProcessHeap(), 0, p); });
  char narrow[MAX_PATH * 2] = {};
  if (wide) WideCharToMultiByte(CP_ACP, 0, wide.get(), -1, narrow, sizeof narrow - 1, nullptr, nullptr);
  return narrow;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The data of the first MENU resource (type 4) of a .res file; empty when the
// compiler refused the script.
std::string MenuResource(const std::string& res) {
  std::string data = ReadAll(res);
  for (std::size_t at = 0; at + 12 <= data.size();) {
    DWORD size, header;
    WORD type[2];
    std::memcpy(&size, &data[at], 4);
    std::memcpy(&header, &data[at + 4], 4);
    std::memcpy(type, &data[at + 8], 4);
    if (type[0] == 0xFFFF && type[1] == 4) return data.substr(at + header, size);
    at += (header + size + 3) & ~3u;
  }
  return "";
}

std::string Compiled(const std::string& name, const char* compiler) {
  std::string res = MenuResource(g_res + "\\" + name + "." + compiler + ".res");
  HMENU menu = res.empty() ? nullptr : LoadMenuIndirectA(res.data());
  std::string described = menudesc::DescribeMenu(menu);
  if (menu) DestroyMenu(menu);
  return described;
}

class MenuRc : public hosttest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    resource = &rt.AddResource("menu");
    llvmRc = GetFileAttributesA((g_res + "\\01-worked-example.llvm-rc.res").c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  std::string Loaded(const std::string& path) {
    resource->fileName = path;
    HMENU menu = LoadMenuFromFile(rt.ctx(), "menu");
    std::string described = menudesc::DescribeMenu(menu);
    if (menu) DestroyMenu(menu);
    return described;
  }
  fake::FakeResource* resource = nullptr;
  bool llvmRc = false;
};

std::string Name(const std::string& file) { return file.substr(0, file.rfind('.')); }

TEST_F(MenuRc, TheCommonSubsetGivesTheCompilersMenus) {
  int common = 0, outside = 0;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((g_corpus + "\\*.mnu").c_str(), &found);
  ASSERT_NE(find, INVALID_HANDLE_VALUE) << g_corpus;
  do {
    std::string path = g_corpus + "\\" + found.cFileName;
    std::string text = ReadAll(path);
    std::string loaded = Loaded(path);
    if (loaded == menudesc::kNoMenu || !orvex::FindRcDifferences(text).empty()) {
      ++outside;
      continue;
    }
    ++common;
    EXPECT_EQ(loaded, Compiled(Name(found.cFileName), "windres")) << found.cFileName << ": script, windres";
    if (llvmRc) {
      EXPECT_EQ(loaded, Compiled(Name(found.cFileName), "llvm-rc")) << found.cFileName << ": script, llvm-rc";
    }
  } while (FindNextFileA(find, &found));
  FindClose(find);
  std::printf("%d scripts in the common subset, each as windres%s compiles it; %d outside\n", common,
              llvmRc ? " and llvm-rc" : "", outside);
  EXPECT_GE(common, 7);
}

// Each difference the checker reports: its report on a script of differ/,
// and the two sides differing there.
TEST_F(MenuRc, EachReportedDifferenceIsOne) {
  const std::pair<const char*, const char*> kinds[] = {
      {"popup-tab", "3:11: escape \\t"},
      {"second-tab", "3:17: escape \\t"},
      {"escape", "3:14: escape \\\\"},
      {"hex-identifier", "3:17: identifier 0x10 is 0 here; a resource compiler reads 16"},
      {"octal-identifier", "3:17: identifier 010 is 10 here; a resource compiler reads 8"},
      {"symbolic-identifier", "3:17: identifier ID_X is 0 here; a resource compiler needs a #define"},
      {"expression-identifier", "3:17: identifier 1+2 is 1 here; a resource compiler reads 3"},
      {"missing-identifier", "3:15: an item without an identifier"},
      {"doubled-quote", "3:14: a doubled quote"},
      {"empty-text", "3:12: an empty text"},
      {"comment", "1:1: a comment"},
      {"preprocessor", "1:1: a preprocessor line"},
      {"lower-case", "3:3: keyword menuitem in lower case"},
      {"braces", "2:1: a brace"},
      {"no-comma", "3:27: option CHECKED without a comma"},
      {"glued-keyword", "3:3: keyword POPUP against the quote"},
      {"memory-option", "1:8: word DISCARDABLE between MENU and BEGIN"},
      {"option-letter", "3:20: option CXXXXXX is read as CHECKED"},
      {"separator-data", "3:22: an identifier or options after SEPARATOR"},
      {"text-after-end", "5:1: text after the END"},
      {"vertical-tab", "3:1: a vertical tab"},
  };
  for (const auto& [name, report] : kinds) {
    std::string path = g_differ + "\\" + name + ".mnu";
    std::string text = ReadAll(path);
    ASSERT_FALSE(text.empty()) << path;
    std::string reports;
    for (const orvex::RcDifference& difference : orvex::FindRcDifferences(text)) {
      std::size_t line = 1 + std::count(text.begin(), text.begin() + difference.offset, '\n');
      std::size_t column = difference.offset - (text.rfind('\n', difference.offset - 1) + 1) + 1;
      if (difference.offset == 0) column = 1;
      reports += std::to_string(line) + ":" + std::to_string(column) + ": " + difference.what + "\n";
    }
    EXPECT_NE(reports.find(report), std::string::npos) << name << " reports:\n" << reports;
    std::string loaded = Loaded(path);
    bool differs = loaded != Compiled(name, "windres") || (llvmRc && loaded != Compiled(name, "llvm-rc"));
    EXPECT_TRUE(differs) << name << ": the script and the compilers agree:\n" << loaded;
  }
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
    EXPECT_FALSE(script.ParseNodes(c.text)) << c.text;
    EXPECT_EQ(script.Error().offset, c.offset) << c.text;
    EXPECT_STREQ(script.Error().expected, c.expected) << c.text;
  }
  orvex::CMenuScript script;
  EXPECT_TRUE(script.ParseNodes("M MENU BEGIN END"));
  EXPECT_FALSE(script.Error());
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: test_menu_rc CORPUS_DIR DIFFER_DIR RES_DIR\n");
    return 2;
  }
  g_corpus = DosPath(argv[1]);
  g_differ = DosPath(argv[2]);
  g_res = DosPath(argv[3]);
  return RUN_ALL_TESTS();
}
