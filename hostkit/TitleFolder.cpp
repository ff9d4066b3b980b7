#include "OrvexC/hostkit/TitleFolder.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "OrvexC/hostkit/FakeRuntime.h"
#include "frame/CharText.h"

namespace hostkit {

namespace {

// The section being read and what it made.
struct Target {
  fake::Runtime& title;
  std::string folder;  // with its final backslash
  std::string kind, name;
  std::string path;  // the title's
  fake::FakeThread* thread = nullptr;
  fake::FakeHostObject* object = nullptr;
  fake::FakeStorage* storage = nullptr;
  fake::FakeResource* resource = nullptr;
  int line = 0;                                  // the one being read
  std::map<std::string, int> given;              // "kind name\nkey": the line that gave it
  std::vector<std::string>* warnings = nullptr;  // "LINE: warning: ...", or null
};

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Where `c` (ASCII) is in `text` from `from` on, stepping by characters.
size_t Find(const std::string& text, char c, size_t from = 0) {
  const char* found = orvex::FindChar(text.c_str() + from, c);
  return found ? found - text.c_str() : std::string::npos;
}

std::vector<std::string> List(const std::string& value) {
  std::vector<std::string> items;
  for (size_t at = 0, comma; at <= value.size(); at = comma + 1) {
    comma = Find(value, ',', at);
    if (comma == std::string::npos) comma = value.size();
    std::string item = Trim(value.substr(at, comma - at));
    if (!item.empty()) items.push_back(item);
  }
  return items;
}

// Whether a relative path climbs out of the folder it is relative to with
// "..", read by characters (a trail byte can be '\\').
bool LeavesFolder(const std::string& path) {
  int depth = 0;
  for (const char* part = path.c_str(); *part;) {
    const char* end = orvex::FirstSeparator(part);
    if (!end) end = part + std::strlen(part);
    std::string name(part, end);
    if (name == "..")
      --depth;
    else if (!name.empty() && name != ".")
      ++depth;
    if (depth < 0) return true;
    part = *end ? end + 1 : end;
  }
  return false;
}

// A path of the description: relative ones are in the title folder; one
// that leaves it is taken, with a warning.
std::string InFolder(const Target& t, const std::string& path) {
  bool absolute = path.size() > 1 && (path[1] == ':' || (path[0] == '\\' && path[1] == '\\'));
  if (absolute || path.find("://") != std::string::npos) return path;
  if (t.warnings && LeavesFolder(path))
    t.warnings->push_back(std::to_string(t.line) + ": warning: " + path +
                          " leaves the title folder: the title would read it from outside its own folder");
  return t.folder + path;
}

// Value readers: an empty text when the value reads, else what was expected.
const char kOutOfRange[] = " is out of range: a number is from -2147483648 to 2147483647";

std::string Number(const std::string& value, int& out) {
  char* end = nullptr;
  errno = 0;
  long long number = std::strtoll(value.c_str(), &end, 10);
  if (value.empty() || *end) return "expected a number, found \"" + value + "\"";
  if (errno == ERANGE || number < INT_MIN || number > INT_MAX) return value + kOutOfRange;
  out = static_cast<int>(number);
  return "";
}

std::string Flag(const std::string& value, int& out) {
  if (value == "yes" || value == "1" || value == "no" || value == "0") {
    out = value == "yes" || value == "1";
    return "";
  }
  return "expected yes or no, found \"" + value + "\"";
}

std::string Rect(const std::string& value, RECT& out) {
  std::vector<std::string> parts = List(value);
  int v[4] = {};
  for (size_t i = 0; i < 4 && parts.size() == 4; ++i) {
    std::string error = Number(parts[i], v[i]);
    if (error == parts[i] + kOutOfRange) return error;  // a number, but too large
    if (!error.empty()) parts.clear();
  }
  if (parts.size() != 4) return "expected left, top, right, bottom (four numbers), found \"" + value + "\"";
  out = {v[0], v[1], v[2], v[3]};
  return "";
}

// A text value stored as it stands (or as wide text).
std::string Store(std::string& field, const std::string& value) {
  field = value;
  return "";
}
std::string Store(std::wstring& field, const std::string& value) {
  field = hostkit::Widened(value.c_str());
  return "";
}

using Apply = std::string (*)(Target&, const std::string&);
struct Key {
  const char* section;
  const char* key;
  Apply apply;
};

const Key kKeys[] = {
    {"title", "name", [](Target& t, const std::string& v) { return Store(t.title.titleNode.nodeName, v); }},
    {"title", "path",
     [](Target& t, const std::string& v) {
       Store(t.path, InFolder(t, v));
       return Store(t.title.app.path, t.path);
     }},
    {"title", "location",
     [](Target& t, const std::string& v) { return Store(t.title.app.location, InFolder(t, v)); }},
    {"title", "frame", [](Target& t, const std::string& v) { return Store(t.title.frameNode.nodeName, v); }},
    {"title", "module",
     [](Target& t, const std::string& v) { return Store(t.title.moduleNode.nodeName, v); }},
    {"title", "parameters",
     [](Target& t, const std::string& v) {
       for (const std::string& p : List(v)) t.title.app.parameters.push_back(hostkit::Widened(p.c_str()));
       t.title.app.parameterCount = static_cast<int>(t.title.app.parameters.size());
       return std::string();
     }},
    {"title", "media",
     [](Target& t, const std::string& v) {
       for (const std::string& m : List(v)) t.title.app.media.insert(m);
       return std::string();
     }},
    {"thread", "frame",
     [](Target& t, const std::string& v) {
       t.thread->SetFrame(v);
       return std::string();
     }},
    {"thread", "running",
     [](Target& t, const std::string& v) {
       int running = 1;
       std::string error = Flag(v, running);
       t.thread->running = running != 0;
       return error;
     }},
    {"object", "rect", [](Target& t, const std::string& v) { return Rect(v, t.object->rect); }},
    {"object", "visible", [](Target& t, const std::string& v) { return Flag(v, t.object->visible); }},
    {"object", "enabled", [](Target& t, const std::string& v) { return Flag(v, t.object->enabled); }},
    {"object", "focus", [](Target& t, const std::string& v) { return Flag(v, t.object->focus); }},
    {"object", "state", [](Target& t, const std::string& v) { return Number(v, t.object->state); }},
    {"object", "zorder", [](Target& t, const std::string& v) { return Number(v, t.object->zOrder); }},
    {"storage", "location",
     [](Target& t, const std::string& v) { return Store(t.storage->location, InFolder(t, v)); }},
    {"resource", "file",
     [](Target& t, const std::string& v) { return Store(t.resource->fileName, InFolder(t, v)); }},
};

// "[kind NAME]": starts a section. Empty text, or what is wrong.
std::string StartSection(Target& t, const std::string& header) {
  std::string inner = Trim(header.substr(1, header.size() - 2));
  const char* blank = inner.c_str();
  while (*blank && *blank != ' ' && *blank != '\t') blank = orvex::NextChar(blank);
  size_t space = *blank ? blank - inner.c_str() : std::string::npos;
  t.kind = inner.substr(0, space);
  t.name = space == std::string::npos ? "" : Trim(inner.substr(space));
  const char* expected = "expected [title], [thread NAME], [object NAME], [storage NAME] or [resource NAME]";
  if (header.back() != ']') return std::string(expected) + ", found " + header;
  if (t.kind == "title") return t.name.empty() ? "" : "[title] takes no name";
  bool known = t.kind == "thread" || t.kind == "object" || t.kind == "storage" || t.kind == "resource";
  if (!known) return std::string(expected) + ", found [" + inner + "]";
  if (t.name.empty()) return "expected [" + t.kind + " NAME]: the " + t.kind + " needs a name";
  const auto& app = t.title.app;
  bool twice = (t.kind == "thread" && app.threads.count(t.name)) ||
               (t.kind == "object" && t.title.context.objects.count(t.name)) ||
               (t.kind == "storage" && t.title.resources.storages.count(t.name)) ||
               (t.kind == "resource" && t.title.resources.resources.count(t.name));
  if (twice) return "the " + t.kind + " " + t.name + " is described twice";
  if (t.kind == "thread") t.thread = &t.title.AddThread(t.name);
  if (t.kind == "object") t.object = &t.title.AddObject(t.name);
  if (t.kind == "storage") t.storage = &t.title.AddStorage(t.name);
  if (t.kind == "resource") t.resource = &t.title.AddResource(t.name);
  return "";
}

// "key = value" in the current section.
std::string Setting(Target& t, const std::string& line) {
  size_t equals = Find(line, '=');
  if (t.kind.empty()) return "expected a section such as [title] before \"" + line + "\"";
  if (equals == std::string::npos) return "expected KEY = VALUE, found \"" + line + "\"";
  std::string key = Trim(line.substr(0, equals)), value = Trim(line.substr(equals + 1));
  std::string keys;
  for (const Key& k : kKeys) {
    if (t.kind != k.section) continue;
    if (key == k.key) {
      int& first = t.given[t.kind + " " + t.name + "\n" + key];
      if (first) return key + " is given twice (first at line " + std::to_string(first) + ")";
      first = t.line;
      return k.apply(t, value);
    }
    keys += (keys.empty() ? "" : ", ") + std::string(k.key);
  }
  return "unknown key \"" + key + "\" in [" + t.kind + "]; expected one of: " + keys;
}

// The end of the line that starts at `at` in `bytes`, read by characters
// (NUL bytes among them): its CR, LF, CR LF or the end.
size_t LineEnd(const std::string& bytes, size_t at) {
  const char* p = bytes.c_str() + at;
  const char* end = bytes.c_str() + bytes.size();
  while (p < end && *p != '\r' && *p != '\n') p = *p ? orvex::NextChar(p) : p + 1;
  return p < end ? p - bytes.c_str() : bytes.size();
}

// Reads the description in `bytes` into `t`: empty text, or "LINE: problem".
std::string Read(Target& t, std::string bytes) {
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);  // a UTF-8 mark from an editor
  if (orvex::IsUtf16(bytes.data(), bytes.size()))
    return "1: UTF-16 text: save the description in the ANSI code page";
  const size_t binary = orvex::BinaryAt(bytes.data(), bytes.size());
  for (size_t at = 0; at < bytes.size();) {
    size_t end = LineEnd(bytes, at);
    std::string line = bytes.substr(at, end - at);
    ++t.line;
    if (binary >= at && binary < end) {
      char byte[8];
      std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(bytes[binary]));
      return std::to_string(t.line) + ": binary data (byte " + byte +
             "): the description is text in the ANSI code page";
    }
    // Values are narrow texts up to their first NUL: one past it would be
    // read in part (a path taken for a URL, then stored empty).
    if (line.find('\0') != std::string::npos)
      return std::to_string(t.line) + ": a NUL byte: the description is text in the ANSI code page";
    at = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    line = Trim(line.substr(0, Find(line, ';')));
    if (line.empty()) continue;
    std::string error = line[0] == '[' ? StartSection(t, line) : Setting(t, line);
    if (!error.empty()) return std::to_string(t.line) + ": " + error;
  }
  fake::Runtime& title = t.title;
  if (title.app.location.empty()) title.app.location = title.app.path;
  if (title.titleNode.nodeName.empty() && !t.path.empty()) {
    const char* separator = orvex::LastSeparator(t.path.c_str());
    std::string name = separator ? separator + 1 : t.path;
    const char* dot = orvex::FindLastChar(name.c_str(), '.');
    title.titleNode.nodeName = dot ? name.substr(0, dot - name.c_str()) : name;
  }
  return "";
}

}  // namespace

std::string LoadTitleFolder(fake::Runtime& title, const std::string& folder,
                            std::vector<std::string>* warnings) {
  char full[MAX_PATH];
  DWORD length = GetFullPathNameA(folder.c_str(), MAX_PATH, full, nullptr);
  std::string dir = length && length < MAX_PATH ? full : folder;
  DWORD attributes = GetFileAttributesA(dir.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return "no title folder " + dir;
  if (!orvex::EndsWithSeparator(dir.c_str())) dir += '\\';
  std::string file = dir + "title.ini";
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return "no title description " + file + ": describe the title there ([title] name = ..., path = ...)";
  std::vector<std::string> found;
  Target target{title, dir, "", "", dir + "title.ovx", nullptr, nullptr, nullptr, nullptr, 0, {},
                warnings ? &found : nullptr};
  title.app.path = hostkit::Widened(target.path.c_str());
  std::string error = Read(target, std::string(std::istreambuf_iterator<char>(in), {}));
  for (const std::string& warning : found) warnings->push_back(file + ":" + warning);
  return error.empty() ? "" : file + ":" + error;
}

std::string DescribeTitle(fake::Runtime& title, const std::string& description,
                          std::vector<std::string>* warnings) {
  Target target{title, "", "", "", "", nullptr, nullptr, nullptr, nullptr, 0, {}, warnings};
  return Read(target, description);
}

}  // namespace hostkit
