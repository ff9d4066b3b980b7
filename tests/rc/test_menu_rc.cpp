// Menu scripts against the resource compilers. On the scripts of the corpus
// that parse and where orvexc-menu-check --rc finds no difference, the menu
// LoadMenuFromFile builds is the one LoadMenuIndirectA builds from the same
// text compiled by windres, and by llvm-rc where it is installed and works.
// For each difference the checker reports (differ/expected.txt), a script
// where the two sides do differ, and the report there.
//
// test_menu_rc CORPUS_DIR DIFFER_DIR RES_DIR
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include <OrvexC/hostkit/MenuTree.h>

#include "HostTest.h"
#include "RcDifferences.h"

namespace {

std::string g_corpus, g_differ, g_res;
bool g_llvmRc = false;  // llvm-rc installed and able to compile the worked example

// windres is required; llvm-rc joins where it is installed and works here. A
// broken llvm-rc (its preprocessor failing, say) is reported, not compared.
bool LlvmRcWorks() {
  std::string worked = g_res + "/01-worked-example.llvm-rc.res";
  if (GetFileAttributesA(worked.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  if (!hosttest::ReadFile(worked).empty()) return true;
  std::string said = hosttest::ReadFile(worked + ".log");
  std::printf("llvm-rc is left out: it refused the worked example: %s\n", said.substr(0, said.find('\n')).c_str());
  return false;
}

// The data of the first MENU resource (type 4) of a .res file; empty when the
// compiler refused the script.
std::string MenuResource(const std::string& res) {
  std::string data = hosttest::ReadFile(res);
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
  std::string res = MenuResource(g_res + "/" + name + "." + compiler + ".res");
  return hostkit::DescribeAndDestroyMenu(res.empty() ? nullptr : LoadMenuIndirectA(res.data()), true);
}

class MenuRc : public hosttest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    resource = &rt.AddResource("menu");
  }
  std::string Loaded(const std::string& path) {
    resource->fileName = path;
    return hostkit::DescribeAndDestroyMenu(LoadMenuFromFile(rt.ctx(), "menu"), true);
  }
  fake::FakeResource* resource = nullptr;
};

TEST_F(MenuRc, TheCommonSubsetGivesTheCompilersMenus) {
  int common = 0, outside = 0;
  const std::vector<std::string> names = hosttest::MenuScripts(g_corpus);
  ASSERT_FALSE(names.empty()) << g_corpus;
  for (const std::string& name : names) {
    std::string file = name + ".mnu", path = g_corpus + "/" + file;
    std::string loaded = Loaded(path);
    if (loaded == "no menu\n" || !orvex::FindRcDifferences(hosttest::ReadFile(path)).empty()) {
      ++outside;
      continue;
    }
    ++common;
    EXPECT_EQ(loaded, Compiled(name, "windres")) << file << ": script, windres";
    EXPECT_TRUE(!g_llvmRc || loaded == Compiled(name, "llvm-rc")) << file << ": script, llvm-rc:\n" << loaded;
  }
  std::printf("%d scripts in the common subset, each as windres%s compiles it; %d outside\n", common,
              g_llvmRc ? " and llvm-rc" : "", outside);
  EXPECT_GE(common, 7);
}

TEST_F(MenuRc, EachReportedDifferenceIsOne) {
  std::ifstream expected(g_differ + "/expected.txt");
  std::string name, report;
  int kinds = 0;
  while (expected >> name && std::getline(expected >> std::ws, report)) {
    if (name[0] == '#') continue;
    ++kinds;
    const std::size_t mark = name.find("/llvm-rc");
    const bool llvmRcOnly = mark != std::string::npos;
    name = name.substr(0, mark);
    std::string path = g_differ + "/" + name + ".mnu", text = hosttest::ReadFile(path), reports;
    ASSERT_FALSE(text.empty()) << path;
    for (const orvex::RcDifference& difference : orvex::FindRcDifferences(text)) {
      orvex::TextPosition where = orvex::PositionOf(text, difference.offset);
      reports += std::to_string(where.line) + ":" + std::to_string(where.column) + ": " + difference.what + "\n";
    }
    EXPECT_NE(reports.find(report), std::string::npos) << name << " reports:\n" << reports;
    std::string loaded = Loaded(path);
    bool differs = loaded != Compiled(name, "windres") || (g_llvmRc && loaded != Compiled(name, "llvm-rc"));
    EXPECT_TRUE(differs || (llvmRcOnly && !g_llvmRc)) << name << ": the script and the compilers agree:\n" << loaded;
  }
  EXPECT_GE(kinds, 21);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: test_menu_rc CORPUS_DIR DIFFER_DIR RES_DIR\n");
    return 2;
  }
  g_corpus = argv[1], g_differ = argv[2], g_res = argv[3];
  g_llvmRc = LlvmRcWorks();
  return RUN_ALL_TESTS();
}
