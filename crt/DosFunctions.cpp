// The DOS-style file, directory and disk functions of the modules' C runtime.
// They keep no state but a find block's search record and the shared
// searchpath buffer, and enter no module state. Exported under their DOS
// names through the export definition.
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <cmath>
#include <direct.h>
#include <io.h>
#include <sys/locking.h>

#include "frame/PathParts.h"
#include "frame/Trace.h"
#include "include/OrvexCRT.h"

namespace {

// The library-owned record behind a find block: the search handle and the
// attribute mask, five bytes from malloc.
#pragma pack(push, 1)
struct SearchRecord {
  HANDLE handle;
  unsigned char mask;
};
#pragma pack(pop)
static_assert(sizeof(SearchRecord) == sizeof(HANDLE) + 1, "the search record is five bytes (32-bit)");

constexpr DWORD kSkippedWithoutMask = 0x5E;           // hidden, system, volume label, directory, device
constexpr DWORD kPlainFileBits = 0x01 | 0x20 | 0x80;  // read-only, archive, normal

bool FirstMatches(const WIN32_FIND_DATAA& entry, unsigned char mask) {
  unsigned char low = static_cast<unsigned char>(entry.dwFileAttributes);
  return mask == 0 ? (low & kSkippedWithoutMask) == 0 : (low & mask) != 0;
}

bool NextMatches(const WIN32_FIND_DATAA& entry, unsigned char mask) {
  if (mask != 0) return FirstMatches(entry, mask);
  return (entry.dwFileAttributes & ~kPlainFileBits) == 0;
}

SearchRecord* RecordOf(struct ffblk* block) { return static_cast<SearchRecord*>(block->ff_reserved); }

void Fill(struct ffblk* block, SearchRecord* record, const WIN32_FIND_DATAA& entry) {
  block->ff_reserved = record;
  block->ff_attrib = entry.dwFileAttributes & 0xFF;
  block->ff_fsize = entry.nFileSizeLow;
  WORD date = 0, time = 0;
  FileTimeToDosDateTime(&entry.ftLastWriteTime, &date, &time);
  block->ff_ftime = time;
  block->ff_fdate = date;
  std::strcpy(block->ff_name, entry.cFileName);  // cFileName holds at most MAX_PATH bytes
}

char g_searchPath[MAX_PATH];  // shared by every searchpath caller

}  // namespace

extern "C" {

char* __cdecl OrvexCrt_stpcpy(char* dest, const char* src) {
  ORVEX_EXPORT(dest, src);
  std::strcpy(dest, src);
  return ORVEX_RESULT(dest);
}

int __cdecl OrvexCrt_findfirst(const char* pattern, struct ffblk* block, int attrib) {
  ORVEX_EXPORT(pattern, block, attrib);
  if (!block) return ORVEX_RESULT(-1);
  block->ff_reserved = nullptr;
  WIN32_FIND_DATAA entry;
  HANDLE handle = FindFirstFileA(pattern, &entry);
  if (handle == INVALID_HANDLE_VALUE) return ORVEX_RESULT(-1);
  auto* record = static_cast<SearchRecord*>(std::malloc(sizeof(SearchRecord)));
  if (!record) {
    FindClose(handle);
    return ORVEX_RESULT(-1);
  }
  record->handle = handle;
  record->mask = static_cast<unsigned char>(attrib);
  while (!FirstMatches(entry, record->mask)) {
    if (!FindNextFileA(handle, &entry)) {
      std::free(record);
      FindClose(handle);
      return ORVEX_RESULT(-1);
    }
  }
  Fill(block, record, entry);
  return ORVEX_RESULT(0);
}

int __cdecl OrvexCrt_findnext(struct ffblk* block) {
  ORVEX_EXPORT(block);
  if (!block || !RecordOf(block)) return ORVEX_RESULT(-1);
  SearchRecord* record = RecordOf(block);
  WIN32_FIND_DATAA entry;
  do {
    if (!FindNextFileA(record->handle, &entry)) return ORVEX_RESULT(-1);
  } while (!NextMatches(entry, record->mask));
  Fill(block, record, entry);
  return ORVEX_RESULT(0);
}

int __cdecl OrvexCrt_findclose(struct ffblk* block) {
  ORVEX_EXPORT(block);
  if (!block || !RecordOf(block)) return ORVEX_RESULT(-1);
  SearchRecord* record = RecordOf(block);
  int closed = FindClose(record->handle);
  std::free(record);
  block->ff_reserved = nullptr;
  return ORVEX_RESULT(closed);
}

// _makepath and _splitpath by characters, with the library's own path parts:
// some C runtimes' _makepath (Wine's) compares bytes and takes the trail byte
// 5C of a double-byte character for a '\'; and the parts are bounded.
void __cdecl OrvexCrt_fnmerge(char* path, const char* drive, const char* dir, const char* name,
                              const char* ext) {
  ORVEX_EXPORT(path, drive, dir, name, ext);
  orvex::MakePath(path, MAX_PATH, drive, dir, name, ext);
}

int __cdecl OrvexCrt_fnsplit(const char* path, char* drive, char* dir, char* name, char* ext) {
  ORVEX_EXPORT(path, drive, dir, name, ext);
  orvex::PathParts parts;
  orvex::SplitPath(path, parts);
  const std::pair<char*, const char*> outputs[] = {
      {drive, parts.drive}, {dir, parts.dir}, {name, parts.name}, {ext, parts.ext}};
  for (const auto& [out, part] : outputs)
    if (out) std::strcpy(out, part);
  return ORVEX_RESULT(0);
}

char* __cdecl OrvexCrt_searchpath(const char* file) {
  ORVEX_EXPORT(file);
  g_searchPath[0] = '\0';
  if (!file)
    return ORVEX_RESULT(static_cast<char*>(nullptr));  // the runtime's search would fault on a null name
  _searchenv(file, "PATH", g_searchPath);
  return ORVEX_RESULT(g_searchPath[0] ? g_searchPath : nullptr);
}

int __cdecl OrvexCrt_getcurdir(int drive, char* directory) {
  ORVEX_EXPORT(drive, directory);
  // Given no buffer, the runtime would allocate one that nobody frees and
  // report success with the text lost.
  if (!directory) return ORVEX_RESULT(-1);
  return ORVEX_RESULT(_getdcwd(drive, directory, MAX_PATH) ? 0 : -1);
}

void __cdecl OrvexCrt_getdfree(unsigned char drive, struct dfree* record) {
  ORVEX_EXPORT(drive, record);
  if (!record) return;
  struct _diskfree_t free = {0, 0, 0, 0};  // zeros when the query fails
  if (_getdiskfree(drive, &free) != 0) free = {0, 0, 0, 0};
  record->df_avail = free.avail_clusters;
  record->df_total = free.total_clusters;
  record->df_bsec = free.bytes_per_sector;
  record->df_sclus = free.sectors_per_cluster;
}

int __cdecl OrvexCrt_getdisk(void) {
  ORVEX_EXPORT();
  return ORVEX_RESULT(_getdrive());
}

int __cdecl OrvexCrt_setdisk(int drive) {
  ORVEX_EXPORT(drive);
  return ORVEX_RESULT(_chdrive(drive));
}

// The range starts at the handle's current position; `offset` is not used.
int __cdecl OrvexCrt_lock(int handle, [[maybe_unused]] long offset, long length) {
  ORVEX_EXPORT(handle, offset, length);
  return ORVEX_RESULT(_locking(handle, _LK_LOCK, length));
}

int __cdecl OrvexCrt_unlock(int handle, [[maybe_unused]] long offset, long length) {
  ORVEX_EXPORT(handle, offset, length);
  return ORVEX_RESULT(_locking(handle, _LK_UNLCK, length));
}

double __cdecl OrvexCrt_pow10(int p) {
  ORVEX_EXPORT(p);
  return ORVEX_RESULT(std::pow(10.0, static_cast<double>(p)));
}

}  // extern "C"
