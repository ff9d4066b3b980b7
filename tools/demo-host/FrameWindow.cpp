#include "FrameWindow.h"

#include <OrvexC/hostkit/FakeRuntime.h>
#include <OrvexC/hostkit/Ledger.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace demo {

namespace {

// What the window shows: set once by MakeFrameWindow (one frame window a run).
struct Shown {
  std::string name;
  const fake::Runtime* title = nullptr;
} g_shown;

// Narrow text of the title (the ANSI code page) painted as wide text: the
// DC's font would read the bytes in its own character set.
void Paint(HDC dc, int x, int y, const std::string& text) {
  std::wstring wide = hostkit::Widened(text.c_str());
  TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

void PaintFrame(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  std::string heading = g_shown.name + " - frame " + g_shown.title->frameNode.nodeName;
  Paint(dc, 12, 10, heading);
  {
    for (const auto& [name, object] : g_shown.title->context.objects) {
      if (!object->visible) continue;
      Rectangle(dc, object->rect.left, object->rect.top, object->rect.right, object->rect.bottom);
      Paint(dc, object->rect.left + 6, object->rect.top + 4, name);
    }
  }
  EndPaint(window, &paint);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_PAINT) {
    PaintFrame(window);
    return 0;
  }
  return DefWindowProcA(window, message, w, l);
}

}  // namespace

HWND MakeFrameWindow(const std::string& name, const fake::Runtime& title) {
  g_shown = {name, &title};
  WNDCLASSA type = {};
  type.lpfnWndProc = FrameProc;
  type.hInstance = GetModuleHandleA(nullptr);
  type.hCursor = LoadCursor(nullptr, IDC_ARROW);
  type.lpszClassName = "OrvexDemoFrame";
  RegisterClassA(&type);
  std::string caption = "Orvex demo title - " + name;
  return CreateWindowA("OrvexDemoFrame", caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 480, 400,
                       nullptr, nullptr, type.hInstance, nullptr);
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
namespace {

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

}  // namespace

std::string SavePng(HWND window, const char* path) {
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
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
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
  if (!file) return std::strerror(errno);
  bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  if (std::fclose(file) != 0 || !written) return std::strerror(errno);
  return "";
}

}  // namespace demo
