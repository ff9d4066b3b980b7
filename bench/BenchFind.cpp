// Directory search: findfirst/findnext/findclose over a directory of
// generated files against FindFirstFileA/FindNextFileA/FindClose alone.
#include <windows.h>

#include <cstdio>
#include <string>

#include "Harness.h"
#include "OrvexCRT.h"

namespace bench {
namespace {

constexpr double kGoal = 1.05;
constexpr int kRepetitions = 21;  // one search a sample

volatile int g_found;

int LibrarySearch(const char* pattern) {
  struct ffblk block;
  int found = 0;
  if (findfirst(pattern, &block, 0) == 0) {
    do ++found;
    while (findnext(&block) == 0);
    findclose(&block);
  }
  return found;
}

int FloorSearch(const char* pattern) {
  WIN32_FIND_DATAA entry;
  int found = 0;
  HANDLE search = FindFirstFileA(pattern, &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do ++found;
    while (FindNextFileA(search, &entry));
    FindClose(search);
  }
  return found;
}

std::string FileName(const std::string& dir, int i) {
  char name[32];
  std::snprintf(name, sizeof name, "file%05d.dat", i);
  return dir + name;
}

}  // namespace

void RunDirectorySearch(const Settings& settings, Report& report) {
  const int files = settings.smoke ? 200 : 10000;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string dir = std::string(temp) + "orvexc-bench-find-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  int made = 0;
  for (int i = 0; i < files; ++i) {
    HANDLE file = CreateFileA(FileName(dir, i).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) break;
    CloseHandle(file);
    ++made;
  }
  std::string pattern = dir + "*.*";
  std::string row = "findfirst/findnext." + std::to_string(files);
  int found = LibrarySearch(pattern.c_str());
  if (made != files || found != files) {
    report.Fail(row + ": made " + std::to_string(made) + " files, the search found " + std::to_string(found));
  } else {
    Timing t = Compare([&] { g_found = LibrarySearch(pattern.c_str()); },
                       [&] { g_found = FloorSearch(pattern.c_str()); }, 1,
                       settings.smoke ? settings.repetitions : kRepetitions);
    report.Add(Row{row, "ns/entry", t.library / files, t.floor / files, kGoal, t.ratio});
  }
  for (int i = 0; i < made; ++i) DeleteFileA(FileName(dir, i).c_str());
  RemoveDirectoryA(dir.c_str());
}

}  // namespace bench
