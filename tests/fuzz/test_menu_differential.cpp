// The differential check of the menu script loader: for every seed script of
// the fuzzing corpus, the menu LoadMenuFromFile builds in the DLL (read back
// through USER32) must be the one the native parser described
// (scripts/fuzz-menu.sh writes that description; MenuDescription.h is the
// shared form). A script the native parser rejects must give no menu.
//
// test_menu_differential NATIVE_DESCRIPTION CORPUS_DIR
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "HostTest.h"
#include "MenuDescription.h"
#include "WindowsMenu.h"

namespace {

std::string g_description;
std::string g_corpus;

// A Unix path as Wine's DOS name for it (Wine maps the Unix root to a drive);
// any other path as it stands.
std::string DosPath(const std::string& path) {
  using ToDos = WCHAR*(CDECL*)(const char*);
  auto toDos = reinterpret_cast<ToDos>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
  if (path.empty() || path[0] != '/' || !toDos) return path;
  std::unique_ptr<WCHAR, void (*)(WCHAR*)> wide(toDos(path.c_str()),
                                                [](WCHAR* p) { HeapFree(GetProcessHeap(), 0, p); });
  if (!wide) return path;
  char narrow[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, wide.get(), -1, narrow, sizeof narrow - 1, nullptr, nullptr);
  return narrow;
}

// The native description, by file name: the block after each "FILE name" line.
std::map<std::string, std::string> ReadDescription(const std::string& path) {
  std::ifstream in(DosPath(path), std::ios::binary);
  std::map<std::string, std::string> blocks;
  std::string line, *block = nullptr;
  while (std::getline(in, line)) {
    if (line.rfind("FILE ", 0) == 0) block = &blocks[line.substr(5)];
    else if (block) *block += line + "\n";
  }
  return blocks;
}

std::set<std::string> CorpusFiles(const std::string& dir) {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(found.cFileName);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

class MenuDifferential : public hosttest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    resource = &rt.AddResource("menu");
  }
  fake::FakeResource* resource = nullptr;
};

TEST_F(MenuDifferential, LoadMenuFromFileDecidesAsTheNativeParser) {
  std::map<std::string, std::string> expected = ReadDescription(g_description);
  ASSERT_FALSE(expected.empty()) << "no native description in " << g_description
                                 << " (scripts/fuzz-menu.sh --describe writes it)";
  std::string corpus = DosPath(g_corpus);
  std::set<std::string> described;
  for (const auto& entry : expected) described.insert(entry.first);
  ASSERT_EQ(described, CorpusFiles(corpus)) << "the native description is not of this corpus";

  int compared = 0, menus = 0, mismatches = 0;
  for (const auto& [name, want] : expected) {
    resource->fileName = corpus + "\\" + name;
    HMENU menu = LoadMenuFromFile(rt.ctx(), "menu");
    std::string got = menudesc::DescribeMenu(menu);
    if (menu) {
      ++menus;
      DestroyMenu(menu);
    }
    ++compared;
    if (got != want) ++mismatches;
    EXPECT_EQ(want, got) << name << ": native parser (left) and LoadMenuFromFile (right) differ";
  }
  std::printf("compared %d menu scripts: %d menus, %d without, %d differing\n", compared, menus, compared - menus,
              mismatches);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: test_menu_differential NATIVE_DESCRIPTION CORPUS_DIR\n");
    return 2;
  }
  g_description = argv[1];
  g_corpus = argv[2];
  return RUN_ALL_TESTS();
}
