// The C runtime for modules: the library's DOS-style functions, called
// through OrvexC.dll (the forwarded names are checked by the export table).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "include/OrvexC.h"

namespace {

// A scratch directory of files with chosen attributes and subdirectories,
// removed again (last made first) at the end.
class Scratch {
 public:
  Scratch() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir_ = temp + std::string("orvexc_crt_") + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir_.c_str(), nullptr);
  }
  ~Scratch() {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it)
      if (SetFileAttributesA(it->c_str(), FILE_ATTRIBUTE_NORMAL), !DeleteFileA(it->c_str()))
        RemoveDirectoryA(it->c_str());
    RemoveDirectoryA(dir_.c_str());
  }
  std::string File(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE, int size = 3) {
    made_.push_back(Path(name));
    std::ofstream(made_.back(), std::ios::binary) << std::string(size, 'x');
    SetFileAttributesA(made_.back().c_str(), attributes);
    return made_.back();
  }
  void Dir(const std::string& name) { made_.push_back(Path(name)), CreateDirectoryA(made_.back().c_str(), nullptr); }
  std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
  const std::string& path() const { return dir_; }

 private:
  std::string dir_;
  std::vector<std::string> made_;
};

// All names a search finds, in order.
std::string FindAll(const std::string& pattern, int attrib) {
  struct ffblk block;
  std::string names;
  if (findfirst(pattern.c_str(), &block, attrib) != 0) return "(none)";
  do names += std::string(block.ff_name) + " ";
  while (findnext(&block) == 0);
  EXPECT_NE(findclose(&block), -1);
  return names;
}

// The block's layout is the 32-bit library's.
static_assert(sizeof(struct ffblk) == 276 && offsetof(struct ffblk, ff_fsize) == 4 &&
                  offsetof(struct ffblk, ff_attrib) == 8 && offsetof(struct ffblk, ff_ftime) == 12 &&
                  offsetof(struct ffblk, ff_fdate) == 14 && offsetof(struct ffblk, ff_name) == 16,
              "ffblk layout");
static_assert(sizeof(struct dfree) == 16, "dfree layout");

// (pattern, mask, names found, names not found). Mask 0: no hidden files or
// directories, and findnext passes over a file with an attribute bit beyond
// read-only/archive/normal (the temporary one, where the file system keeps
// that bit); 0x10: directories only; 0x20: everything with the archive bit.
struct MaskCase {
  const char* pattern;
  int mask;
  std::vector<const char*> found, notFound;
};

TEST(DosFind, MasksChooseTheEntries) {
  Scratch s;
  s.File("a.txt");
  s.File("r.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  s.File("h.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  s.File("t.txt", FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_ARCHIVE);
  s.File("z.txt");
  s.Dir("d1");
  s.Dir("d2");
  bool keepsTemporary = GetFileAttributesA(s.Path("t.txt").c_str()) & FILE_ATTRIBUTE_TEMPORARY;
  const MaskCase cases[] = {
      {"*", 0, {"a.txt", "r.txt", "z.txt"}, {"h.txt", "d1", keepsTemporary ? "t.txt" : "-"}},
      {"*", 0x10, {"d1", "d2"}, {"a.txt", "r.txt", "h.txt"}},
      {"*.txt", 0x20, {"a.txt", "r.txt", "h.txt", "t.txt", "z.txt"}, {}},
      {"*.txt", 0x01, {"r.txt"}, {"a.txt", "h.txt", "t.txt", "z.txt"}},
  };
  for (const auto& c : cases) {
    std::string names = FindAll(s.Path(c.pattern), c.mask);
    for (const char* name : c.found) EXPECT_NE(names.find(name), std::string::npos) << c.mask << ": " << names;
    for (const char* name : c.notFound) EXPECT_EQ(names.find(name), std::string::npos) << c.mask << ": " << names;
  }
}

TEST(DosFind, DirectoriesOnlyPatternWithMaskZeroLeavesNothingOpen) {
  Scratch s;
  s.Dir("d1");
  struct ffblk block;
  block.ff_reserved = &block;
  EXPECT_EQ(findfirst(s.Path("d*").c_str(), &block, 0), -1);
  EXPECT_EQ(block.ff_reserved, nullptr);
  EXPECT_EQ(findclose(&block), -1);
  EXPECT_EQ(findfirst(s.Path("nothing*").c_str(), &block, 0), -1);
  EXPECT_EQ(findfirst("x", nullptr, 0), -1);
  EXPECT_EQ(findnext(nullptr), -1);
  EXPECT_EQ(findclose(nullptr), -1);
}

TEST(DosFind, AfterTheLastMatchTheBlockShowsTheLastFileAndClosesOnce) {
  Scratch s;
  s.File("only.dat", FILE_ATTRIBUTE_ARCHIVE, 1234);
  struct ffblk block;
  ASSERT_EQ(findfirst(s.Path("*.dat").c_str(), &block, 0), 0);
  EXPECT_EQ(findnext(&block), -1);
  EXPECT_STREQ(block.ff_name, "only.dat");
  EXPECT_EQ(block.ff_fsize, 1234u);
  EXPECT_EQ(block.ff_attrib, 0x20u);
  EXPECT_NE(block.ff_reserved, nullptr);
  EXPECT_NE(findclose(&block), -1);
  EXPECT_EQ(block.ff_reserved, nullptr);
  EXPECT_EQ(findclose(&block), -1);
}

TEST(DosFind, TimeAndDateAreTheLastWriteInDosFormat) {
  Scratch s;
  std::string path = s.File("dated.txt");
  SYSTEMTIME when = {2001, 2, 0, 3, 4, 5, 6, 0};  // 2001-02-03 04:05:06 UTC
  FILETIME stamp;
  SystemTimeToFileTime(&when, &stamp);
  HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFileTime(h, nullptr, nullptr, &stamp);
  CloseHandle(h);
  struct ffblk block;
  ASSERT_EQ(findfirst(path.c_str(), &block, 0), 0);
  EXPECT_EQ(block.ff_fdate, ((2001 - 1980) << 9) | (2 << 5) | 3);
  EXPECT_EQ(block.ff_ftime, (4 << 11) | (5 << 5) | (6 / 2));
  findclose(&block);
}

// (fnsplit and fnmerge are in the code-page tables.)
TEST(DosPaths, SearchpathLooksAlongThePath) {
  char drive[3], dir[256], name[256], ext[256];
  EXPECT_EQ(fnsplit("", drive, dir, name, ext), 0);
  Scratch s;
  s.File("orvexc_on_path.txt");
  ASSERT_EQ(_putenv(("PATH=" + s.path()).c_str()), 0);  // the C runtime OrvexC.dll forwards to
  char* found = searchpath("orvexc_on_path.txt");
  ASSERT_NE(found, nullptr);
  EXPECT_NE(std::string(found).find("orvexc_on_path.txt"), std::string::npos);
  EXPECT_EQ(searchpath("orvexc_nowhere_at_all.txt"), nullptr);
  EXPECT_EQ(searchpath(nullptr), nullptr);
}

TEST(DosDisks, DrivesDirectoriesAndFreeSpace) {
  int before = getdisk();
  EXPECT_EQ(setdisk(3), 0);
  EXPECT_EQ(getdisk(), 3);
  DWORD present = GetLogicalDrives();
  int missing = 0;
  for (int d = 26; d >= 4 && !missing; --d)
    if (!(present & (1u << (d - 1)))) missing = d;
  ASSERT_NE(missing, 0);
  EXPECT_EQ(setdisk(missing), -1);
  EXPECT_EQ(getdisk(), 3);

  char directory[260], expected[MAX_PATH];
  EXPECT_EQ(getcurdir(0, directory), 0);
  GetCurrentDirectoryA(MAX_PATH, expected);
  EXPECT_STREQ(directory, expected);
  EXPECT_EQ(getcurdir(missing, directory), -1);

  struct dfree space = {9, 9, 9, 9};
  getdfree(3, &space);
  EXPECT_GT(space.df_total, 0u);
  EXPECT_GT(space.df_bsec, 0u);
  space = {9, 9, 9, 9};
  getdfree(static_cast<unsigned char>(missing), &space);
  EXPECT_EQ(space.df_avail + space.df_total + space.df_bsec + space.df_sclus, 0u);
  getdfree(3, nullptr);
  setdisk(before);
}

}  // namespace
