// The C runtime for modules: the library's DOS-style functions and the
// forwarded standard functions, called through OrvexC.dll.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "include/OrvexC.h"

namespace {

// A C runtime export of OrvexC.dll by name.
template <class F>
F Crt(const char* name) {
  auto f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("OrvexC.dll"), name)));
  EXPECT_NE(f, nullptr) << name;
  return f;
}

// A scratch directory of files with chosen attributes and subdirectories.
class Scratch {
 public:
  Scratch() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir_ = std::string(temp) + "orvexc_crt_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(dir_.c_str(), nullptr);
  }
  ~Scratch() {
    for (const auto& f : files_) {
      SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(f.c_str());
    }
    for (auto it = dirs_.rbegin(); it != dirs_.rend(); ++it) RemoveDirectoryA(it->c_str());
    RemoveDirectoryA(dir_.c_str());
  }
  std::string File(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE, int size = 3) {
    std::string path = dir_ + "\\" + name;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string bytes(size, 'x');
    DWORD written = 0;
    WriteFile(h, bytes.data(), size, &written, nullptr);
    CloseHandle(h);
    SetFileAttributesA(path.c_str(), attributes);
    files_.push_back(path);
    return path;
  }
  std::string Dir(const std::string& name) {
    std::string path = dir_ + "\\" + name;
    CreateDirectoryA(path.c_str(), nullptr);
    dirs_.push_back(path);
    return path;
  }
  std::string Pattern(const std::string& p) const { return dir_ + "\\" + p; }
  const std::string& path() const { return dir_; }

 private:
  std::string dir_;
  std::vector<std::string> files_, dirs_;
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

TEST(DosFind, BlockLayoutIsFixed) {
  if (sizeof(void*) != 4) GTEST_SKIP() << "the 276-byte layout is the 32-bit library's";
  EXPECT_EQ(sizeof(struct ffblk), 276u);
  EXPECT_EQ(offsetof(struct ffblk, ff_fsize), 4u);
  EXPECT_EQ(offsetof(struct ffblk, ff_attrib), 8u);
  EXPECT_EQ(offsetof(struct ffblk, ff_ftime), 12u);
  EXPECT_EQ(offsetof(struct ffblk, ff_fdate), 14u);
  EXPECT_EQ(offsetof(struct ffblk, ff_name), 16u);
  EXPECT_EQ(sizeof(struct dfree), 16u);
}

TEST(DosFind, MasksChooseTheEntries) {
  Scratch s;
  s.File("a.txt");
  s.File("r.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  s.File("h.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  s.File("t.txt", FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_ARCHIVE);
  s.Dir("d1");
  s.Dir("d2");
  // Mask 0: no hidden files or directories; findnext also passes over the
  // temporary file, whose attributes carry a bit beyond read-only/archive/normal
  // (where the file system keeps that bit).
  std::string plain = FindAll(s.Pattern("*"), 0);
  EXPECT_NE(plain.find("a.txt"), std::string::npos);
  EXPECT_NE(plain.find("r.txt"), std::string::npos);
  EXPECT_EQ(plain.find("h.txt"), std::string::npos);
  EXPECT_EQ(plain.find("d1"), std::string::npos);
  if (GetFileAttributesA(s.Pattern("t.txt").c_str()) & FILE_ATTRIBUTE_TEMPORARY)
    EXPECT_EQ(plain.find("t.txt"), std::string::npos);
  // Mask 0x10: directories only.
  std::string dirs = FindAll(s.Pattern("*"), 0x10);
  for (const char* file : {"a.txt", "r.txt", "h.txt"}) EXPECT_EQ(dirs.find(file), std::string::npos) << dirs;
  EXPECT_NE(dirs.find("d1"), std::string::npos);
  EXPECT_NE(dirs.find("d2"), std::string::npos);
  // Mask 0x20: everything carrying the archive bit, hidden files included.
  std::string archived = FindAll(s.Pattern("*.txt"), 0x20);
  for (const char* file : {"a.txt", "r.txt", "h.txt", "t.txt"}) EXPECT_NE(archived.find(file), std::string::npos);
  // Mask 1: read-only only.
  EXPECT_EQ(FindAll(s.Pattern("*.txt"), 0x01), "r.txt ");
}

TEST(DosFind, DirectoriesOnlyPatternWithMaskZeroLeavesNothingOpen) {
  Scratch s;
  s.Dir("d1");
  struct ffblk block;
  block.ff_reserved = &block;
  EXPECT_EQ(findfirst(s.Pattern("d*").c_str(), &block, 0), -1);
  EXPECT_EQ(block.ff_reserved, nullptr);
  EXPECT_EQ(findclose(&block), -1);
  EXPECT_EQ(findfirst(s.Pattern("nothing*").c_str(), &block, 0), -1);
  EXPECT_EQ(findfirst("x", nullptr, 0), -1);
  EXPECT_EQ(findnext(nullptr), -1);
  EXPECT_EQ(findclose(nullptr), -1);
}

TEST(DosFind, AfterTheLastMatchTheBlockShowsTheLastFileAndClosesOnce) {
  Scratch s;
  s.File("only.dat", FILE_ATTRIBUTE_ARCHIVE, 1234);
  struct ffblk block;
  ASSERT_EQ(findfirst(s.Pattern("*.dat").c_str(), &block, 0), 0);
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

TEST(DosPaths, SplitMergeAndSearch) {
  char drive[3], dir[256], name[256], ext[256], path[260];
  EXPECT_EQ(fnsplit("", drive, dir, name, ext), 0);
  EXPECT_EQ(fnsplit("C:\\a\\b.txt", drive, dir, name, ext), 0);
  EXPECT_STREQ(drive, "C:");
  EXPECT_STREQ(dir, "\\a\\");
  EXPECT_STREQ(name, "b");
  EXPECT_STREQ(ext, ".txt");
  fnmerge(path, "D:", "\\x", "y", "z");
  EXPECT_STREQ(path, "D:\\x\\y.z");

  Scratch s;
  s.File("orvexc_on_path.txt");
  auto crtPutenv = Crt<int(__cdecl*)(const char*)>("putenv");
  ASSERT_EQ(crtPutenv(("PATH=" + s.path()).c_str()), 0);
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

TEST(DosMisc, StpcpyAndPow10) {
  char buffer[8];
  EXPECT_EQ(stpcpy(buffer, "abc"), buffer);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_DOUBLE_EQ(pow10(-2), 0.01);
  EXPECT_DOUBLE_EQ(pow10(0), 1.0);
  EXPECT_DOUBLE_EQ(pow10(3), 1000.0);
}

// ---- the forwarded functions share msvcrt's heap, errno, descriptors, streams

TEST(Forwarded, HeapIsShared) {
  auto crtMalloc = Crt<void*(__cdecl*)(size_t)>("malloc");
  auto crtFree = Crt<void(__cdecl*)(void*)>("free");
  auto crtStrdup = Crt<char*(__cdecl*)(const char*)>("strdup");
  HMODULE msvcrt = GetModuleHandleA("msvcrt.dll");
  auto realFree = reinterpret_cast<void(__cdecl*)(void*)>(reinterpret_cast<void*>(GetProcAddress(msvcrt, "free")));
  void* block = crtMalloc(64);
  ASSERT_NE(block, nullptr);
  realFree(block);  // freed by msvcrt itself
  char* copy = crtStrdup("shared");
  EXPECT_STREQ(copy, "shared");
  crtFree(copy);
}

TEST(Forwarded, DescriptorsAndLocking) {
  Scratch s;
  std::string path = s.Pattern("fd.bin");
  auto crtOpen = Crt<int(__cdecl*)(const char*, int, ...)>("open");
  auto crtWrite = Crt<int(__cdecl*)(int, const void*, unsigned)>("write");
  auto crtRead = Crt<int(__cdecl*)(int, void*, unsigned)>("read");
  auto crtLseek = Crt<long(__cdecl*)(int, long, int)>("lseek");
  auto crtTell = Crt<long(__cdecl*)(int)>("tell");
  auto crtEof = Crt<int(__cdecl*)(int)>("eof");
  auto crtLength = Crt<long(__cdecl*)(int)>("filelength");
  auto crtClose = Crt<int(__cdecl*)(int)>("close");
  const int kCreate = 0x0100 | 0x0002 | 0x8000;  // _O_CREAT | _O_RDWR | _O_BINARY
  int fd = crtOpen(path.c_str(), kCreate, 0x0180);
  ASSERT_GE(fd, 0);
  char data[100];
  std::memset(data, 'd', sizeof data);
  EXPECT_EQ(crtWrite(fd, data, sizeof data), 100);
  EXPECT_EQ(crtLength(fd), 100);
  EXPECT_EQ(crtEof(fd), 1);
  EXPECT_EQ(crtLseek(fd, 10, SEEK_SET), 10);
  EXPECT_EQ(crtTell(fd), 10);
  char back[5];
  EXPECT_EQ(crtRead(fd, back, 5), 5);
  EXPECT_EQ(crtLseek(fd, 0, SEEK_SET), 0);

  // lock: 20 bytes from the current position (the offset argument is not used).
  EXPECT_EQ(lock(fd, 999, 20), 0);
  HANDLE other = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(LockFile(other, 5, 0, 1, 0)) << "the range should be locked for another handle";
  EXPECT_EQ(crtLseek(fd, 0, SEEK_SET), 0);
  EXPECT_EQ(unlock(fd, 0, 20), 0);
  EXPECT_TRUE(LockFile(other, 5, 0, 1, 0));
  UnlockFile(other, 5, 0, 1, 0);
  CloseHandle(other);
  EXPECT_EQ(crtClose(fd), 0);
  EXPECT_EQ(crtClose(fd), -1);
}

TEST(Forwarded, StreamsAndErrno) {
  Scratch s;
  std::string path = s.Pattern("stream.txt");
  using File = FILE;
  auto crtFopen = Crt<File*(__cdecl*)(const char*, const char*)>("fopen");
  auto crtFprintf = Crt<int(__cdecl*)(File*, const char*, ...)>("fprintf");
  auto crtFputs = Crt<int(__cdecl*)(const char*, File*)>("fputs");
  auto crtFputc = Crt<int(__cdecl*)(int, File*)>("fputc");
  auto crtFwrite = Crt<size_t(__cdecl*)(const void*, size_t, size_t, File*)>("fwrite");
  auto crtFflush = Crt<int(__cdecl*)(File*)>("fflush");
  auto crtRewind = Crt<void(__cdecl*)(File*)>("rewind");
  auto crtFscanf = Crt<int(__cdecl*)(File*, const char*, ...)>("fscanf");
  auto crtFgetc = Crt<int(__cdecl*)(File*)>("fgetc");
  auto crtUngetc = Crt<int(__cdecl*)(int, File*)>("ungetc");
  auto crtFgets = Crt<char*(__cdecl*)(char*, int, File*)>("fgets");
  auto crtFread = Crt<size_t(__cdecl*)(void*, size_t, size_t, File*)>("fread");
  auto crtFseek = Crt<int(__cdecl*)(File*, long, int)>("fseek");
  auto crtFtell = Crt<long(__cdecl*)(File*)>("ftell");
  auto crtFeof = Crt<int(__cdecl*)(File*)>("feof");
  auto crtFerror = Crt<int(__cdecl*)(File*)>("ferror");
  auto crtFclose = Crt<int(__cdecl*)(File*)>("fclose");
  File* f = crtFopen(path.c_str(), "w+");
  ASSERT_NE(f, nullptr);
  crtFprintf(f, "%d ", 42);
  crtFputs("line\n", f);
  crtFputc('z', f);
  crtFwrite("END", 1, 3, f);
  EXPECT_EQ(crtFflush(f), 0);
  EXPECT_EQ(crtFtell(f), 13);  // text mode: the line break is written as CR LF
  crtRewind(f);
  int value = 0;
  EXPECT_EQ(crtFscanf(f, "%d", &value), 1);
  EXPECT_EQ(value, 42);
  EXPECT_EQ(crtFgetc(f), ' ');
  EXPECT_EQ(crtUngetc(' ', f), ' ');
  char text[16];
  EXPECT_NE(crtFgets(text, sizeof text, f), nullptr);
  EXPECT_STREQ(text, " line\n");
  EXPECT_EQ(crtFseek(f, -3, SEEK_END), 0);
  char end[4] = {};
  EXPECT_EQ(crtFread(end, 1, 3, f), 3u);
  EXPECT_STREQ(end, "END");
  EXPECT_EQ(crtFgetc(f), EOF);
  EXPECT_NE(crtFeof(f), 0);
  EXPECT_EQ(crtFerror(f), 0);
  EXPECT_EQ(crtFclose(f), 0);

  // errno is msvcrt's own.
  auto msvcrtErrno = reinterpret_cast<int*(__cdecl*)()>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("msvcrt.dll"), "_errno")));
  *msvcrtErrno() = 0;
  EXPECT_EQ(crtFopen(s.Pattern("missing\\nothing.txt").c_str(), "r"), nullptr);
  EXPECT_EQ(*msvcrtErrno(), 2);  // ENOENT
}

}  // namespace
