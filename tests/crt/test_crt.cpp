// The C runtime for modules: the library's DOS-style functions, called
// through OrvexC.dll (the forwarded names are checked by the export table).
#include <gtest/gtest.h>

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <sys/locking.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "include/OrvexC.h"
#include "include/OrvexC/hostkit/ImportHook.h"

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

// The library's search handles still open: its imports of FindFirstFileA and
// FindClose are routed through a count (a process's handle count or next
// handle value would not do: Wine reports no count, and reuses the slot).
int g_searchesOpen = 0;
HANDLE WINAPI CountedFindFirst(const char* pattern, WIN32_FIND_DATAA* entry) {
  HANDLE handle = FindFirstFileA(pattern, entry);
  if (handle != INVALID_HANDLE_VALUE) ++g_searchesOpen;
  return handle;
}
BOOL WINAPI CountedFindClose(HANDLE handle) {
  BOOL closed = FindClose(handle);
  if (closed) --g_searchesOpen;
  return closed;
}
int SearchesOpen() {
  static const bool routed = [] {
    HMODULE library = GetModuleHandleA("OrvexC.dll");
    return hostkit::HookImport(library, "kernel32.dll", "FindFirstFileA", reinterpret_cast<void*>(&CountedFindFirst)) &&
           hostkit::HookImport(library, "kernel32.dll", "FindClose", reinterpret_cast<void*>(&CountedFindClose));
  }();
  EXPECT_TRUE(routed) << "the library's FindFirstFileA and FindClose imports";
  return g_searchesOpen;
}

// The names a search finds, sorted (the listing's order is the file system's:
// each rule is seen whatever it is); every search leaves no handle open.
std::string FindAll(const std::string& pattern, int attrib) {
  int before = SearchesOpen();
  struct ffblk block;
  std::vector<std::string> names;
  if (findfirst(pattern.c_str(), &block, attrib) == 0) {
    do names.push_back(block.ff_name);
    while (findnext(&block) == 0);
    EXPECT_NE(findclose(&block), -1);
  }
  EXPECT_EQ(SearchesOpen(), before) << pattern << " " << attrib << ": a search handle left open";
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : " ") + name;
  return names.empty() ? "(none)" : joined;
}

// The block's layout is the 32-bit library's.
static_assert(sizeof(struct ffblk) == 276 && offsetof(struct ffblk, ff_fsize) == 4 &&
                  offsetof(struct ffblk, ff_attrib) == 8 && offsetof(struct ffblk, ff_ftime) == 12 &&
                  offsetof(struct ffblk, ff_fdate) == 14 && offsetof(struct ffblk, ff_name) == 16,
              "ffblk layout");
static_assert(sizeof(struct dfree) == 16, "dfree layout");

// (pattern, mask, every name found). A pattern over entries of one kind
// alone lets findfirst's rule judge them: mask 0 takes no hidden, system or
// directory entry; findnext's (of two temporary files, where the file system
// keeps that bit, one is found) takes no attribute bit beyond
// read-only/archive/normal; another mask, the entries with one of its bits.
TEST(DosFind, MasksChooseTheEntries) {
  Scratch s;
  for (const char* name : {"a.txt", "z.txt"}) s.File(name);
  s.File("r.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  s.File("h.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  s.File("s.txt", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  for (const char* name : {"t1.tmp", "t2.tmp"}) s.File(name, FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_ARCHIVE);
  s.Dir("d1"), s.Dir("d2");
  bool keepsTemporary = GetFileAttributesA(s.Path("t1.tmp").c_str()) & FILE_ATTRIBUTE_TEMPORARY;
  const struct {
    const char *pattern, *found;
    int mask;
  } cases[] = {
      {"*.txt", "a.txt r.txt z.txt", 0},
      {"h*", "(none)", 0},
      {"s*", "(none)", 0},
      {"d*", "(none)", 0},
      {"nothing*", "(none)", 0},
      {"d*", "d1 d2", 0x10},
      {"*.txt", "r.txt", 0x01},
      {"*.txt", "h.txt", 0x02},
      {"*.txt", "s.txt", 0x04},
      {"*.txt", "a.txt h.txt r.txt s.txt z.txt", 0x20},
      {"t*", keepsTemporary ? "t?.tmp" : "t1.tmp t2.tmp", 0},
  };
  for (const auto& c : cases) {
    std::string found = FindAll(s.Path(c.pattern), c.mask), want = c.found;
    EXPECT_TRUE(std::equal(want.begin(), want.end(), found.begin(), found.end(),
                           [](char w, char f) { return w == '?' || w == f; }))
        << c.pattern << " " << c.mask << ": " << found;
  }
}

TEST(DosFind, AfterTheLastMatchTheBlockShowsTheLastFileAndClosesOnce) {
  Scratch s;
  s.File("only.dat", FILE_ATTRIBUTE_ARCHIVE, 1234);
  struct ffblk block;
  block.ff_reserved = &block;
  EXPECT_EQ(findfirst(s.Path("*.none").c_str(), &block, 0), -1);
  EXPECT_EQ(block.ff_reserved, nullptr) << "a refused search leaves the block empty";
  EXPECT_EQ(findfirst("x", nullptr, 0) + findnext(nullptr) + findclose(nullptr) + findclose(&block), -4);
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
  SYSTEMTIME when = {2050, 12, 0, 31, 23, 58, 58, 0};  // UTC; the top bit of both 16-bit fields set
  FILETIME stamp;
  SystemTimeToFileTime(&when, &stamp);
  HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFileTime(h, nullptr, nullptr, &stamp);
  CloseHandle(h);
  struct ffblk block;
  ASSERT_EQ(findfirst(path.c_str(), &block, 0), 0);
  EXPECT_EQ(block.ff_fdate, ((2050 - 1980) << 9) | (12 << 5) | 31);
  EXPECT_EQ(block.ff_ftime, (23 << 11) | (58 << 5) | (58 / 2));
  findclose(&block);
}

// (fnsplit and fnmerge are in the code-page tables.)
TEST(DosPaths, SearchpathLooksAlongThePath) {
  char parts[4][8] = {"x", "x", "x", "x"};
  EXPECT_EQ(fnsplit("", parts[0], parts[1], parts[2], parts[3]), 0);
  for (const char* part : parts) EXPECT_STREQ(part, "") << "an empty path has empty parts";
  Scratch s;
  s.File("orvexc_on_path.txt");
  ASSERT_EQ(_putenv(("PATH=" + s.path()).c_str()), 0);  // the C runtime OrvexC.dll forwards to
  char* found = searchpath("orvexc_on_path.txt");
  ASSERT_NE(found, nullptr);
  EXPECT_NE(std::string(found).find("orvexc_on_path.txt"), std::string::npos);
  EXPECT_EQ(searchpath("orvexc_nowhere_at_all.txt"), nullptr);
  EXPECT_EQ(searchpath(nullptr), nullptr);
}

// lock and unlock take the range from the handle's position (not `offset`),
// as another handle of the file sees.
TEST(DosFiles, LockAndUnlockTheRangeAtTheHandlesPosition) {
  Scratch s;
  std::string path = s.File("locked.dat", FILE_ATTRIBUTE_ARCHIVE, 8);
  int mine = _open(path.c_str(), _O_RDWR | _O_BINARY), other = _open(path.c_str(), _O_RDWR | _O_BINARY);
  ASSERT_TRUE(mine >= 0 && other >= 0);
  auto othersLock = [other](long at, long length) {  // locks and unlocks at once when it can
    _lseek(other, at, SEEK_SET);
    return _locking(other, _LK_NBLCK, length) == 0 && _locking(other, _LK_UNLCK, length) == 0;
  };
  _lseek(mine, 2, SEEK_SET);
  EXPECT_EQ(lock(mine, 6, 3), 0);  // bytes 2 to 4
  EXPECT_TRUE(othersLock(0, 2) && othersLock(5, 3));
  EXPECT_FALSE(othersLock(4, 1) || othersLock(2, 1));
  _lseek(mine, 2, SEEK_SET);
  EXPECT_EQ(unlock(mine, 0, 3), 0);
  EXPECT_TRUE(othersLock(2, 3));
  EXPECT_EQ(unlock(mine, 0, 3), -1) << "nothing left locked";
  _close(mine), _close(other);
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
  EXPECT_EQ(getcurdir(0, nullptr), -1) << "no buffer: nothing to report";

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
