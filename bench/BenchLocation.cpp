// Locations: CLocation::MakeAbsolute (compiled in: the class is internal to
// the library) over a mix of bases and relative texts, as operations per
// second, with the share of that time spent inside WinINet. The share is
// measured by recording the WinINet calls one pass makes (through this
// program's import table) and timing the same calls, same inputs, alone.
#include <windows.h>
#include <wininet.h>

#include <cstdarg>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "Harness.h"
#include <OrvexC/hostkit/ImportHook.h>
#include "resource/Location.h"

namespace bench {
namespace {

constexpr int kPasses = 2000;

const char* const kBases[] = {
    "C:\\Titles\\Intro\\intro.ttl",
    "\\\\media\\titles\\intro\\intro.ttl",
    "http://media.example.com/titles/intro/intro.ttl",
    "http://media.example.com/titles/my%20intro/intro.ttl",
    "[guest:secret]ftp://files.example.com:2121/titles/intro/intro.ttl",
};
const char* const kRelatives[] = {
    "images\\logo.bmp",      "..\\shared\\sounds\\click.wav", "./local/readme.txt",
    "\\absolute\\movie.avi", "D:\\media\\clip.avi",           "http://cdn.example.com/clips/clip.avi",
};

volatile std::size_t g_sink;

void OnePass() {
  for (const char* base : kBases) {
    for (const char* relative : kRelatives) {
      orvex::CLocation location(base);
      location.MakeAbsolute(relative);
      g_sink = location.size();
    }
  }
}

// The WinINet calls of one pass, as made.
struct Crack {
  std::string url;
  DWORD flags;
  URL_COMPONENTSA lengths;  // the buffer sizes given
};
std::vector<Crack> g_cracks;
std::vector<INTERNET_SCHEME> g_creates;

BOOL(WINAPI* g_realCrack)(LPCSTR, DWORD, DWORD, LPURL_COMPONENTSA);
BOOL(WINAPI* g_realCreate)(LPURL_COMPONENTSA, DWORD, LPSTR, LPDWORD);

BOOL WINAPI RecordCrack(LPCSTR url, DWORD length, DWORD flags, LPURL_COMPONENTSA parts) {
  g_cracks.push_back({url, flags, *parts});
  return g_realCrack(url, length, flags, parts);
}
BOOL WINAPI RecordCreate(LPURL_COMPONENTSA parts, DWORD flags, LPSTR text, LPDWORD length) {
  g_creates.push_back(parts->nScheme);
  return g_realCreate(parts, flags, text, length);
}

// Buffers as large as any the library gives.
char g_scheme[64], g_host[512], g_user[256], g_password[256], g_path[4096], g_extra[512];

void ReplayWinInet() {
  for (const Crack& crack : g_cracks) {
    URL_COMPONENTSA parts = crack.lengths;
    parts.lpszScheme = g_scheme, parts.lpszHostName = g_host, parts.lpszUserName = g_user;
    parts.lpszPassword = g_password, parts.lpszUrlPath = g_path, parts.lpszExtraInfo = g_extra;
    InternetCrackUrlA(crack.url.c_str(), 0, crack.flags, &parts);
  }
  for (INTERNET_SCHEME scheme : g_creates) {
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    parts.nScheme = scheme;
    char text[20] = {};
    DWORD length = sizeof text;
    InternetCreateUrlA(&parts, 0, text, &length);
  }
}

std::string Format(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

}  // namespace

void RunLocations(const Settings& settings, Report& report) {
  HMODULE self = GetModuleHandleA(nullptr);
  // The imports exist only where CLocation calls them: route those there are.
  void* crack =
      hostkit::HookImport(self, "wininet.dll", "InternetCrackUrlA", reinterpret_cast<void*>(RecordCrack));
  void* create =
      hostkit::HookImport(self, "wininet.dll", "InternetCreateUrlA", reinterpret_cast<void*>(RecordCreate));
  g_realCrack = reinterpret_cast<decltype(g_realCrack)>(crack);
  g_realCreate = reinterpret_cast<decltype(g_realCreate)>(create);
  OnePass();
  if (crack) hostkit::HookImport(self, "wininet.dll", "InternetCrackUrlA", crack);
  if (create) hostkit::HookImport(self, "wininet.dll", "InternetCreateUrlA", create);
  if (!crack && !create) report.Add(Note{"location: CLocation imports nothing of WinINet"});

  const int operations = int(std::size(kBases) * std::size(kRelatives));
  Timing t =
      Compare([] { OnePass(); }, [] { ReplayWinInet(); }, settings.Iterations(kPasses), settings.repetitions);
  double perOperation = t.library / operations, winInet = t.floor / operations;
  report.Add(
      Note{Format("location MakeAbsolute %.0f ops/s (%.1f ns/op over %d pairs); inside WinINet %.1f ns/op, "
                  "share %.3f (%zu InternetCrackUrlA + %zu InternetCreateUrlA calls a pass)",
                  1e9 / perOperation, perOperation, operations, winInet, winInet / perOperation,
                  g_cracks.size(), g_creates.size())});
}

}  // namespace bench
