// orvexc-demo-host: a small title host of our own, to try a module without
// the runtime. It plays a sample title on the host kit's runtime objects (a
// real frame window, two named threads, objects on the frame, menu script
// resources), loads a module beside OrvexC.dll, calls its entry with the
// title's context and shows what the module did: a transcript of every
// runtime call, the entry's result, any reference the module kept, and the
// frame window with the menu the module gave it.
//   orvexc-demo-host [--title DIR] [--entry NAME] [--screenshot FILE.png] [--wait]
//                    [MODULE.dll]
// The module is hello-module.dll by default, the entry RunModule. The title
// is a built-in one with a "MainMenu" resource, or the folder DIR: its first
// *.ovx file is the title's path (DIR\title.ovx when there is none), each
// NAME.mnu the resource NAME, each subfolder the storage of its name there.
// Exit status 0 when the entry returned nonzero and every reference came back.
#include <OrvexC/hostkit/FakeRuntime.h>
#include <OrvexC/hostkit/MenuTree.h>

#include "../ToolOptions.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kMenuScript[] =
    "MainMenu MENU\r\nBEGIN\r\n"
    "  POPUP \"&File\"\r\n  BEGIN\r\n"
    "    MENUITEM \"&Open\\tCtrl+O\", 101\r\n    MENUITEM \"&Save\", 102, GRAYED\r\n"
    "    MENUITEM SEPARATOR\r\n    MENUITEM \"E&xit\", 103\r\n  END\r\n"
    "  POPUP \"&Lesson\"\r\n  BEGIN\r\n    MENUITEM \"&Next frame\", 201\r\n"
    "    MENUITEM \"&Narration\", 202, CHECKED\r\n  END\r\n"
    "  POPUP \"&Help\", HELP\r\n  BEGIN\r\n    MENUITEM \"&About\", 301\r\n  END\r\nEND\r\n";

fake::Runtime* g_title = nullptr;

void PaintFrame(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  TextOutA(dc, 12, 10, "Intro lesson - frame 1", 22);
  if (g_title) {
    for (const auto& [name, object] : g_title->context.objects) {
      if (!object->visible) continue;
      Rectangle(dc, object->rect.left, object->rect.top, object->rect.right, object->rect.bottom);
      TextOutA(dc, object->rect.left + 6, object->rect.top + 4, name.c_str(), static_cast<int>(name.size()));
    }
  }
  EndPaint(window, &paint);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_PAINT) { PaintFrame(window); return 0; }
  return DefWindowProcA(window, message, w, l);
}

HWND MakeFrameWindow() {
  WNDCLASSA type = {};
  type.lpfnWndProc = FrameProc;
  type.hInstance = GetModuleHandleA(nullptr);
  type.hCursor = LoadCursor(nullptr, IDC_ARROW);
  type.lpszClassName = "OrvexDemoFrame";
  RegisterClassA(&type);
  return CreateWindowA("OrvexDemoFrame", "Orvex demo title - Intro", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                       40, 40, 480, 400, nullptr, nullptr, type.hInstance, nullptr);
}

void Pump(int milliseconds) {
  DWORD until = GetTickCount() + milliseconds;
  MSG message;
  while (GetTickCount() < until) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(20);
  }
}

// ---- PNG of the window: stored deflate blocks, no compression needed --------
unsigned long Crc(const unsigned char* data, size_t size, unsigned long crc = 0xFFFFFFFFul) {
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320ul & (0 - (crc & 1)));
  }
  return crc;
}

void Chunk(std::string& png, const char* type, const std::string& data) {
  auto be32 = [](std::string& s, unsigned long v) {
    for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 0xFF);
  };
  be32(png, data.size());
  std::string body = std::string(type, 4) + data;
  png += body;
  be32(png, Crc(reinterpret_cast<const unsigned char*>(body.data()), body.size()) ^ 0xFFFFFFFFul);
}

bool SavePng(HWND window, const char* path) {
  RECT r;
  GetWindowRect(window, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  std::string raw;
  for (int y = 0; y < h; ++y) {
    raw += '\0';
    const unsigned char* row = static_cast<unsigned char*>(bits) + size_t(y) * w * 4;
    for (int x = 0; x < w; ++x) raw += {char(row[4 * x + 2]), char(row[4 * x + 1]), char(row[4 * x])};
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  std::string z = "\x78\x01";
  unsigned long a = 1, b = 0;
  for (unsigned char c : raw) { a = (a + c) % 65521; b = (b + a) % 65521; }
  for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    size_t n = std::min<size_t>(65535, raw.size() - at);
    z += static_cast<char>(at + n >= raw.size() ? 1 : 0);
    z += {char(n & 0xFF), char(n >> 8), char(~n & 0xFF), char((~n >> 8) & 0xFF)};
    z.append(raw, at, n);
  }
  unsigned long adler = (b << 16) | a;
  for (int shift = 24; shift >= 0; shift -= 8) z += static_cast<char>((adler >> shift) & 0xFF);
  std::string png = "\x89PNG\r\n\x1a\n", header;
  for (unsigned long v : {(unsigned long)w, (unsigned long)h})
    for (int shift = 24; shift >= 0; shift -= 8) header += static_cast<char>((v >> shift) & 0xFF);
  header += {8, 2, 0, 0, 0};
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", "");
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  std::fwrite(png.data(), 1, png.size(), file);
  return std::fclose(file) == 0;
}

// The built-in title's files: its folder and the menu script its resource holds.
std::string MakeTitleDirectory() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string dir = std::string(temp) + "OrvexDemo\\Intro\\";
  CreateDirectoryA((std::string(temp) + "OrvexDemo").c_str(), nullptr);
  CreateDirectoryA(dir.c_str(), nullptr);
  if (FILE* f = std::fopen((dir + "mainmenu.mnu").c_str(), "wb")) {
    std::fputs(kMenuScript, f);
    std::fclose(f);
  }
  return dir;
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

template <class Visit>
void ForEachEntry(const std::string& pattern, Visit visit) {
  WIN32_FIND_DATAA entry;
  std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> search(FindFirstFileA(pattern.c_str(), &entry), FindClose);
  if (search.get() == INVALID_HANDLE_VALUE) {
    search.release();
    return;
  }
  do visit(entry); while (FindNextFileA(search.get(), &entry));
}

// A title folder of the author's: the first *.ovx is the title's path,
// NAME.mnu the resource NAME, each subfolder the storage of its name located
// there. Returns the title's path.
std::string LoadTitleFolder(fake::Runtime& title, const char* folder) {
  char full[MAX_PATH];
  if (!GetFullPathNameA(folder, MAX_PATH, full, nullptr)) return "";
  std::string dir = full;
  if (dir.back() != '\\') dir += '\\';
  std::string path;
  ForEachEntry(dir + "*", [&](const WIN32_FIND_DATAA& entry) {
    std::string name = entry.cFileName;
    size_t dot = name.rfind('.');
    std::string stem = name.substr(0, dot), ext = dot == std::string::npos ? "" : name.substr(dot);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name != "." && name != "..") title.AddStorage(name).location = Wide(dir + name);
    } else if (!lstrcmpiA(ext.c_str(), ".mnu")) {
      title.AddResource(stem).fileName = dir + name;
    } else if (!lstrcmpiA(ext.c_str(), ".ovx") && path.empty()) {
      path = dir + name;
    }
  });
  return path.empty() ? dir + "title.ovx" : path;
}

}  // namespace

constexpr char kUsage[] =
    "usage: orvexc-demo-host [--title DIR] [--entry NAME] [--screenshot FILE.png] [--wait] [MODULE.dll]\n"
    "Runs the module's entry (default RunModule) on a built-in title or the title folder DIR\n"
    "and prints the module's runtime calls. --help, --version: this text, the version.\n";

int main(int argc, char** argv) {
  if (int status = orvexc_tools::AnswerStandardOption(argc, argv, "orvexc-demo-host", kUsage); status >= 0)
    return status;
  const char *screenshot = nullptr, *titleFolder = nullptr;
  const char *modulePath = "hello-module.dll", *entryName = "RunModule";
  bool wait = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool valued = i + 1 < argc;
    if (arg == "--screenshot" && valued) screenshot = argv[++i];
    else if (arg == "--title" && valued) titleFolder = argv[++i];
    else if (arg == "--entry" && valued) entryName = argv[++i];
    else if (arg == "--wait") wait = true;
    else if (arg.compare(0, 2, "--") != 0) modulePath = argv[i];
    else {
      std::printf("%s", kUsage);
      return 2;
    }
  }
  HWND window = MakeFrameWindow();
  int result = 0;
  size_t kept = 0;
  {
    fake::Runtime title;
    g_title = &title;
    std::string titlePath;
    if (titleFolder) {
      titlePath = LoadTitleFolder(title, titleFolder);
    } else {
      std::string dir = MakeTitleDirectory();
      titlePath = dir + "lesson.ovx";
      title.AddResource("MainMenu").fileName = dir + "mainmenu.mnu";
    }
    title.app.path = Wide(titlePath);
    title.app.location = title.app.path;
    title.window.handle = window;
    title.AddThread("narration");
    title.AddThread("quiz").running = false;
    auto& start = title.AddObject("StartButton");
    start.rect = {20, 60, 140, 90};
    auto& picture = title.AddObject("Picture");
    picture.rect = {180, 60, 440, 240};
    picture.visible = 1;

    std::printf("Orvex demo host: title %s, frame window %p\n", titlePath.c_str(), static_cast<void*>(window));
    HMODULE module = LoadLibraryA(modulePath);
    auto run = module ? reinterpret_cast<int(__cdecl*)(IHostContext*)>(
                            reinterpret_cast<void*>(GetProcAddress(module, entryName))) : nullptr;
    if (!run) {
      std::printf("cannot load %s or find its %s (error %lu)\n", modulePath, entryName, GetLastError());
      return 2;
    }
    std::printf("calling %s %s(context)\n\ntranscript of the module's runtime calls:\n", modulePath, entryName);
    result = run(title.ctx());
    for (const fake::JournalCall& call : title.journal.Calls())
      std::printf("  %-52s %s\n", call.Text().c_str(), call.Note());
    std::printf("\n%s returned %d\n", entryName, result);
    std::vector<std::string> unreleased = title.UnbalancedObjects();
    kept = unreleased.size();
    std::printf("references handed out and not given back: %u\n", static_cast<unsigned>(kept));
    for (const std::string& name : unreleased) std::printf("  %s\n", name.c_str());
    std::printf("the frame window's menu:\n");
    std::printf("%s", hostkit::DescribeMenu(GetMenu(window)).c_str());
    InvalidateRect(window, nullptr, TRUE);
    Pump(wait ? 0 : 700);
    if (screenshot) std::printf("screenshot %s: %s\n", screenshot, SavePng(window, screenshot) ? "saved" : "failed");
    if (wait) {
      MSG message;
      while (IsWindow(window) && GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    }
    g_title = nullptr;
  }
  if (IsWindow(window)) DestroyWindow(window);
  return result != 0 && kept == 0 ? 0 : 1;
}
