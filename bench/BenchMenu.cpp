// Menu loading: LoadMenuFromFile of generated menu scripts against what any
// loader must do: read the script file it is given (open, size, read, close)
// and build the same menu with CreateMenu/AppendMenuA from the list the
// script was generated from (already parsed, its texts already final). Both
// destroy the menu they built inside the timed loop.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <OrvexC/hostkit/MenuTree.h>

#include "Harness.h"
#include "OrvexC.h"

namespace bench {
namespace {

constexpr double kGoal = 1.15;
// The library's time per item against its floor's, at the size where that
// ratio is highest over the size where it is lowest: no step may grow faster
// than the items. Compared with the floor at each size, since the floor's own
// time per item (Wine's menu calls, the machine's load) moves between sizes
// by more than this goal.
constexpr double kGrowthGoal = 1.20;
constexpr int kItemsPerSample = 50000;
constexpr int kRepetitions = 21;

// One statement of a menu script, in script order; END closes a popup (and,
// last of all, the menu).
struct Item {
  enum Kind { kCommand, kSeparator, kPopup, kEnd } kind;
  UINT id;
  std::string script;  // the text as the script writes it
  std::string final;   // the text the menu shows
};

// Items are numbered across the whole menu; every fourth command has an
// accelerator column (the script's backslash-t pair, a TAB in the menu).
class Generator {
 public:
  std::vector<Item> items;
  int count = 0;  // commands, separators and popups

  void Command() {
    ++count;
    std::string text = "Command " + std::to_string(count);
    if (count % 4 == 0) {
      std::string key = "Ctrl+" + std::string(1, char('A' + count % 26));
      items.push_back({Item::kCommand, UINT(count % 60000 + 1), text + "\\t" + key, text + "\t" + key});
    } else {
      items.push_back({Item::kCommand, UINT(count % 60000 + 1), text, text});
    }
  }
  void Separator() {
    ++count;
    items.push_back({Item::kSeparator, 0, "", ""});
  }
  void Popup() {
    ++count;
    std::string text = "&Menu " + std::to_string(count);
    items.push_back({Item::kPopup, 0, text, text});
  }
  void End() { items.push_back({Item::kEnd, 0, "", ""}); }
  void Commands(int n) {
    for (int i = 0; i < n; ++i) (i % 10 == 9) ? Separator() : Command();
  }
};

// Fifty items a block. flat: a popup of 49 commands and separators.
// nested: a popup of 4 commands and 3 popups, each of 4 commands and a popup
// of 9 commands (three levels of popups).
std::vector<Item> Generate(bool nested, int total) {
  Generator g;
  for (int block = 0; block < total / 50; ++block) {
    g.Popup();
    if (!nested) {
      g.Commands(49);
    } else {
      g.Commands(4);
      for (int mid = 0; mid < 3; ++mid) {
        g.Popup();
        g.Commands(4);
        g.Popup();
        g.Commands(9);
        g.End();
        g.End();
      }
    }
    g.End();
  }
  g.End();  // the menu's own
  return g.items;
}

std::string Script(const std::vector<Item>& items) {
  std::string text = "BenchMenu MENU\r\nBEGIN\r\n";
  int depth = 1;
  auto indent = [&] { text.append(2 * depth, ' '); };
  for (const Item& item : items) {
    switch (item.kind) {
      case Item::kCommand:
        indent();
        text += "MENUITEM \"" + item.script + "\", " + std::to_string(item.id) + "\r\n";
        break;
      case Item::kSeparator:
        indent();
        text += "MENUITEM SEPARATOR\r\n";
        break;
      case Item::kPopup:
        indent();
        text += "POPUP \"" + item.script + "\"\r\n";
        indent();
        text += "BEGIN\r\n";
        ++depth;
        break;
      case Item::kEnd:
        --depth;
        indent();
        text += "END\r\n";
        break;
    }
  }
  return text;
}

// The floor: one level from `at` up to its END.
HMENU BuildLevel(const std::vector<Item>& items, std::size_t& at) {
  HMENU menu = CreateMenu();
  while (at < items.size()) {
    const Item& item = items[at++];
    switch (item.kind) {
      case Item::kEnd: return menu;
      case Item::kPopup: {
        HMENU submenu = BuildLevel(items, at);
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), item.final.c_str());
        break;
      }
      case Item::kSeparator: AppendMenuA(menu, MF_SEPARATOR, 0, nullptr); break;
      case Item::kCommand: AppendMenuA(menu, MF_STRING, item.id, item.final.c_str()); break;
    }
  }
  return menu;
}

HMENU BuildFloor(const std::vector<Item>& items) {
  std::size_t at = 0;
  return BuildLevel(items, at);
}

// What the library does to a script file before parsing it, and any loader
// given a file name must: open, size, read into a zero-filled buffer of its
// length plus one, close.
void ReadScriptFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER size;
  if (GetFileSizeEx(file, &size)) {
    std::vector<char> text(static_cast<std::size_t>(size.QuadPart) + 1);
    DWORD got = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(size.QuadPart), &got, nullptr);
  }
  CloseHandle(file);
}

// The floor of a load: the file read, the menu built and destroyed.
void LoadFloor(const std::string& path, const std::vector<Item>& items) {
  ReadScriptFile(path);
  DestroyMenu(BuildFloor(items));
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

std::string MakeTempDirectory(const char* prefix) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string dir = std::string(temp) + prefix + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

// Menu work before the first timed row, so that it does not pay for what
// the first menus of a process cost (and for a Wine session still settling).
void WarmUp(IHostContext* context, const std::string& dir, int rounds) {
  std::vector<Item> items = Generate(false, 1000);
  const char* name = "menu-warm-up.rc";
  const std::string path = dir + name;
  if (!WriteFile(path, Script(items))) return;
  for (int i = 0; i < rounds; ++i) {
    DestroyMenu(LoadMenuFromFile(context, name));
    LoadFloor(path, items);
  }
  DeleteFileA(path.c_str());
}

// Slowest over fastest.
double Spread(const std::vector<double>& values) {
  auto [low, high] = std::minmax_element(values.begin(), values.end());
  return *low > 0 ? *high / *low : 0;
}

// What a load adds whatever the script's size (the resource's delivery, the
// first allocations, the parse and build of one item), from a script of one
// command: spread over 1,000 items it is that row's share of start-up.
void StartUp(IHostContext* context, const std::string& dir, const Settings& settings, Report& report) {
  Generator g;
  g.Command();
  g.End();
  const char* name = "menu-one.rc";
  const std::string path = dir + name;
  if (!WriteFile(path, Script(g.items))) return report.Fail("cannot write " + path);
  const int iterations = settings.Iterations(2000);
  const int repetitions = settings.smoke ? settings.repetitions : kRepetitions;
  Timing t = Compare([&] { DestroyMenu(LoadMenuFromFile(context, name)); }, [&] { LoadFloor(path, g.items); },
                     iterations, repetitions);
  DeleteFileA(path.c_str());
  char text[300];
  std::snprintf(text, sizeof text,
                "menu start-up: LoadMenuFromFile of one command %.0f ns, its floor (the file read, one item"
                " built) %.0f ns: %.0f ns/item over 1,000",
                t.library, t.floor, (t.library - t.floor) / 1000);
  report.Add(Note{text});
}

}  // namespace

void RunMenus(const Settings& settings, Report& report) {
  std::string dir = MakeTempDirectory("orvexc-bench-menu-");
  IHostContext* context = QuietTitle(dir).ctx();
  std::vector<int> sizes =
      settings.smoke ? std::vector<int>{100, 1000} : std::vector<int>{1000, 10000, 50000};
  int repetitions = settings.smoke ? settings.repetitions : kRepetitions;
  WarmUp(context, dir, settings.smoke ? 1 : 20);

  for (bool nested : {false, true}) {
    const char* shape = nested ? "nested" : "flat";
    std::vector<double> perItem, floorPerItem, ratios;
    for (int size : sizes) {
      std::vector<Item> items = Generate(nested, size);
      std::string name = std::string("menu-") + shape + "-" + std::to_string(size) + ".rc";
      std::string row = std::string("LoadMenuFromFile.") + shape + "." + std::to_string(size);
      const std::string path = dir + name;
      if (!WriteFile(path, Script(items))) {
        report.Fail(row + ": cannot write " + path);
        continue;
      }
      // The library's menu must be the floor's, item for item, before either
      // is timed (each item is two lines of the exact description).
      std::string loaded = hostkit::DescribeAndDestroyMenu(LoadMenuFromFile(context, name.c_str()), true);
      std::string built = hostkit::DescribeAndDestroyMenu(BuildFloor(items), true);
      if (loaded != built || std::count(built.begin(), built.end(), '\n') != 2 * size) {
        report.Fail(row + ": the loaded menu differs from the built one (" +
                    std::to_string(std::count(loaded.begin(), loaded.end(), '\n') / 2) + " and " +
                    std::to_string(std::count(built.begin(), built.end(), '\n') / 2) + " items)");
        DeleteFileA(path.c_str());
        continue;
      }
      int iterations = settings.smoke ? 1 : std::max(1, kItemsPerSample / size);
      Timing t = Compare([&] { DestroyMenu(LoadMenuFromFile(context, name.c_str())); },
                         [&] { LoadFloor(path, items); }, iterations, repetitions);
      report.Add(Row{row, "ns/item", t.library / size, t.floor / size, kGoal, t.ratio});
      perItem.push_back(t.library / size);
      floorPerItem.push_back(t.floor / size);
      ratios.push_back(t.ratio);
      DeleteFileA(path.c_str());
    }
    // The row shows the library's spread and, beside it, the floor's (what
    // the runtime's own menu calls do over the same sizes); its goal is on
    // the spread of the ratios.
    if (perItem.size() == sizes.size()) {
      report.Add(Row{std::string("LoadMenuFromFile.") + shape + ".growth", "max/min", Spread(perItem),
                     Spread(floorPerItem), kGrowthGoal, Spread(ratios)});
    }
  }
  StartUp(context, dir, settings, report);
  RemoveDirectoryA(dir.c_str());
}

}  // namespace bench
