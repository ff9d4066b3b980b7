#include "ModuleFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "frame/CharText.h"

namespace demo {

namespace {

// Bounds-checked reads of a file's bytes at file offsets and at RVAs.
class ImageBytes {
 public:
  explicit ImageBytes(std::vector<char> bytes) : bytes_(std::move(bytes)) {}

  template <class T>
  bool Read(size_t offset, T& out) const {
    if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T)) return false;
    std::memcpy(&out, bytes_.data() + offset, sizeof(T));
    return true;
  }
  // A NUL-terminated text at `offset`; empty when it runs off the file.
  std::string Text(size_t offset) const {
    if (offset >= bytes_.size()) return "";
    const char* begin = bytes_.data() + offset;
    const char* end = static_cast<const char*>(std::memchr(begin, 0, bytes_.size() - offset));
    return end ? std::string(begin, end) : "";
  }
  void SetSections(std::vector<IMAGE_SECTION_HEADER> sections) { sections_ = std::move(sections); }
  // The file offset of `rva`, or 0 when no section holds it.
  size_t Offset(DWORD rva) const {
    for (const auto& s : sections_) {
      DWORD size = std::max(s.Misc.VirtualSize, s.SizeOfRawData);
      if (rva >= s.VirtualAddress && rva - s.VirtualAddress < size)
        return rva - s.VirtualAddress + s.PointerToRawData;
    }
    return 0;
  }
  std::string TextAt(DWORD rva) const { return Offset(rva) ? Text(Offset(rva)) : ""; }

 private:
  std::vector<char> bytes_;
  std::vector<IMAGE_SECTION_HEADER> sections_;
};

void ReadImports(const ImageBytes& file, DWORD rva, PeImage& image) {
  IMAGE_IMPORT_DESCRIPTOR entry;
  for (size_t at = file.Offset(rva); at && file.Read(at, entry) && entry.Name; at += sizeof entry) {
    auto& names = image.imports[file.TextAt(entry.Name)];
    DWORD thunk;
    size_t list = file.Offset(entry.OriginalFirstThunk ? entry.OriginalFirstThunk : entry.FirstThunk);
    for (; list && file.Read(list, thunk) && thunk; list += sizeof thunk)
      if (!(thunk & IMAGE_ORDINAL_FLAG32)) names.push_back(file.TextAt(thunk + 2));
  }
}

void ReadExports(const ImageBytes& file, DWORD rva, PeImage& image) {
  IMAGE_EXPORT_DIRECTORY directory;
  if (!file.Offset(rva) || !file.Read(file.Offset(rva), directory)) return;
  size_t names = file.Offset(directory.AddressOfNames);
  for (DWORD i = 0; names && i < directory.NumberOfNames && i < 100000; ++i) {
    DWORD name;
    if (!file.Read(names + 4 * i, name)) break;
    image.exports.push_back(file.TextAt(name));
  }
}

const char* MachineName(WORD machine) {
  switch (machine) {
    case IMAGE_FILE_MACHINE_I386: return "32-bit x86";
    case IMAGE_FILE_MACHINE_AMD64: return "x86-64 (64-bit)";
    case 0xAA64: return "ARM64";
    case IMAGE_FILE_MACHINE_ARMNT:
    case IMAGE_FILE_MACHINE_ARM: return "32-bit ARM";
    case IMAGE_FILE_MACHINE_IA64: return "Itanium";
    default: return nullptr;
  }
}

// The parts of a full path, read by characters.
std::string FileName(const std::string& path) {
  const char* separator = orvex::LastSeparator(path.c_str());
  return separator ? separator + 1 : path;
}
std::string Folder(const std::string& path) { return path.substr(0, path.size() - FileName(path).size()); }

bool SameText(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

bool Contains(std::string text, std::string part) {
  CharLowerA(&text[0]);
  CharLowerA(&part[0]);
  return text.find(part) != std::string::npos;
}

// Whether the loader can find `dll` for a module in `folder`, in the order
// it searches with the module's folder first: that folder, the current one,
// the system's folders, PATH.
bool DllFindable(const std::string& dll, const std::string& folder) {
  char system[MAX_PATH] = "", windows[MAX_PATH] = "", found[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  GetWindowsDirectoryA(windows, MAX_PATH);
  std::string path = folder + ";.;" + system + ";" + windows;
  if (const char* variable = std::getenv("PATH")) path += std::string(";") + variable;
  return SearchPathA(path.c_str(), dll.c_str(), nullptr, MAX_PATH, found, nullptr) != 0;
}

std::string SystemMessage(DWORD error) {
  char text[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                 sizeof text, nullptr);
  std::string message = text;
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
    message.pop_back();
  return message;
}

// Why `path` (the module, or one of the DLLs beside it) cannot load: the
// first DLL it names that cannot be found, looking one level into DLLs that
// lie in the module's folder. Empty when every one is there.
std::string MissingDll(const std::string& path, const std::string& folder, int depth = 0) {
  PeImage image = ReadPeImage(path);
  for (const auto& [dll, functions] : image.imports) {
    if (!DllFindable(dll, folder)) return dll;
    if (depth == 0 && GetFileAttributesA((folder + dll).c_str()) != INVALID_FILE_ATTRIBUTES) {
      std::string deeper = MissingDll(folder + dll, folder, 1);
      if (!deeper.empty()) return deeper + " (needed by " + dll + ")";
    }
  }
  return "";
}

// "OrvexC.dll has no GetTitleNames": the first function imported by name
// that its DLL (the one loaded for the module, or else the one beside it)
// does not export. Windows refuses such a module; Wine loads it with a stub
// that faults when called, so a loaded module is checked too.
std::string MissingFunction(const PeImage& image, const std::string& folder) {
  for (const auto& [dll, functions] : image.imports) {
    std::string beside = folder + dll;
    bool isBeside = GetFileAttributesA(beside.c_str()) != INVALID_FILE_ATTRIBUTES;
    HMODULE loaded = LoadLibraryExA((isBeside ? beside : dll).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (!loaded) continue;
    std::string missing;
    for (const std::string& f : functions)
      if (missing.empty() && !GetProcAddress(loaded, f.c_str())) missing = dll + " has no function " + f;
    FreeLibrary(loaded);
    if (!missing.empty()) return missing;
  }
  return "";
}

std::string LoadFailure(const std::string& path, DWORD error) {
  std::string name = FileName(path), folder = Folder(path);
  if (error == ERROR_MOD_NOT_FOUND) {
    std::string dll = MissingDll(path, folder);
    if (!dll.empty())
      return name + " needs " + dll + ", which is neither beside it (in " + folder +
             ") nor on the DLL search path: put it beside the module";
  }
  char code[16];
  std::snprintf(code, sizeof code, "%lu", error);
  // The system's text for it names its file as "%1".
  std::string why = error == ERROR_BAD_EXE_FORMAT ? "a truncated or damaged DLL: build it again, or copy it whole"
                                                  : SystemMessage(error);
  return "cannot load " + path + ": " + why + " (error " + code + ")";
}

// The function name a C++ compiler's export name holds: QuizMain in
// _Z8QuizMainP12IHostContext (GCC, Clang) or ?QuizMain@@YAHPAUIHostContext@@@Z
// (Microsoft's); the whole name for any other.
std::string SourceName(const std::string& exported) {
  if (exported.compare(0, 2, "_Z") == 0) {
    size_t digits = exported.find_first_not_of("0123456789", 2);
    size_t length = std::strtoul(exported.c_str() + 2, nullptr, 10);
    if (digits != 2 && digits != std::string::npos && digits + length <= exported.size())
      return exported.substr(digits, length);
  }
  if (exported.compare(0, 1, "?") == 0) return exported.substr(1, exported.find('@') - 1);
  return exported;
}

// The module does not export `entry`: the exports that look like it, and
// what to change in the source.
std::string MissingEntry(const std::string& path, const PeImage& image, const std::string& entry) {
  std::string name = FileName(path);
  std::string message = name + " does not export " + entry + ".";
  std::vector<std::string> alike;
  std::copy_if(image.exports.begin(), image.exports.end(), std::back_inserter(alike),
               [&](const std::string& e) { return Contains(e, entry); });
  for (const std::string& e : alike) {
    if (e.compare(0, 2, "_Z") == 0 || e.compare(0, 1, "?") == 0)
      return message + " It exports the C++ name " + e + ": declare the entry extern \"C\" (and __cdecl)," +
             " e.g. extern \"C\" __declspec(dllexport) int __cdecl " + SourceName(e) + "(IHostContext* context)";
    if (e.find('@') != std::string::npos)
      return message + " It exports " + e + ", a __stdcall name: declare the entry __cdecl";
  }
  const std::vector<std::string>& listed = alike.empty() ? image.exports : alike;
  if (listed.empty()) return message + " It exports nothing: mark the entry __declspec(dllexport)";
  message += alike.empty() ? " Its exports:" : " Exports that look like it (names are case-sensitive):";
  for (size_t i = 0; i < listed.size() && i < 20; ++i) message += " " + listed[i];
  return message + ". Name the entry with --entry NAME";
}

// Loads the module as the runtime does, its own folder searched first for
// its DLLs. DLLs installed beside the demo host (OrvexC.dll) stand in for
// ones that folder lacks; LibraryElsewhere warns of it.
HMODULE LoadBesideModule(const std::string& path, DWORD& error) {
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  error = module ? 0 : GetLastError();
  char self[MAX_PATH];
  if (error != ERROR_MOD_NOT_FOUND || !GetModuleFileNameA(nullptr, self, MAX_PATH) ||
      !SetDllDirectoryA(Folder(self).c_str()))
    return module;
  module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  error = module ? 0 : GetLastError();
  SetDllDirectoryA(nullptr);
  return module;
}

// The warning when the OrvexC.dll loaded is not the one beside the module.
std::string LibraryElsewhere(const std::string& path) {
  HMODULE library = GetModuleHandleA("OrvexC.dll");
  char libraryPath[MAX_PATH] = "";
  if (!library || !GetModuleFileNameA(library, libraryPath, MAX_PATH) ||
      SameText(Folder(libraryPath), Folder(path)))
    return "";
  return "OrvexC.dll was loaded from " + std::string(libraryPath) + ", not from the module's folder " +
         Folder(path) + ": ship OrvexC.dll beside your module, as the runtime loads it from there";
}

// The warning when no resource manager lies beside this program: the
// library creates storages with the one beside the application.
std::string ResourceManagerMissing() {
  char self[MAX_PATH];
  if (!GetModuleFileNameA(nullptr, self, MAX_PATH)) return "";
  std::string manager = Folder(self) + "ResourceManager.dll";
  if (GetFileAttributesA(manager.c_str()) != INVALID_FILE_ATTRIBUTES) return "";
  return "no " + manager + ": SetResourceStorage cannot create storages (the library looks for the resource"
         " manager beside the program); keep ResourceManager.dll beside orvexc-demo-host.exe";
}

}  // namespace

PeImage ReadPeImage(const std::string& path) {
  PeImage image;
  std::ifstream in(path, std::ios::binary);
  ImageBytes file(std::vector<char>(std::istreambuf_iterator<char>(in), {}));
  IMAGE_DOS_HEADER dos;
  DWORD signature = 0;
  IMAGE_FILE_HEADER header;
  WORD magic = 0;
  if (!file.Read(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE || !file.Read(dos.e_lfanew, signature) ||
      signature != IMAGE_NT_SIGNATURE || !file.Read(dos.e_lfanew + 4, header)) {
    image.problem = "is not a Windows DLL (no PE header)";
    return image;
  }
  image.machine = header.Machine;
  image.isDll = header.Characteristics & IMAGE_FILE_DLL;
  size_t optional = dos.e_lfanew + 4 + sizeof header;
  if (header.Machine != IMAGE_FILE_MACHINE_I386) {
    const char* machine = MachineName(header.Machine);
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", header.Machine);
    image.problem = std::string("is built for ") + (machine ? machine : "machine " + std::string(code)) +
                    "; the runtime loads 32-bit x86 DLLs only: build it with i686-w64-mingw32-gcc," +
                    " clang --target=i686-w64-windows-gnu or clang-cl --target=i686-pc-windows-msvc";
    return image;
  }
  IMAGE_OPTIONAL_HEADER32 opt;
  if (!file.Read(optional, magic) || magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC || !file.Read(optional, opt)) {
    image.problem = "has no 32-bit optional header";
    return image;
  }
  std::vector<IMAGE_SECTION_HEADER> sections(header.NumberOfSections);
  for (size_t i = 0; i < sections.size(); ++i)
    file.Read(optional + header.SizeOfOptionalHeader + i * sizeof(IMAGE_SECTION_HEADER), sections[i]);
  file.SetSections(std::move(sections));
  if (opt.NumberOfRvaAndSizes > IMAGE_DIRECTORY_ENTRY_IMPORT) {
    ReadExports(file, opt.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress, image);
    ReadImports(file, opt.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress, image);
  }
  if (!image.isDll) image.problem = "is a program, not a DLL: link it with -shared (or /dll)";
  return image;
}

LoadedModule LoadModule(const std::string& given, const std::string& entryName) {
  LoadedModule loaded;
  char full[MAX_PATH];
  DWORD length = GetFullPathNameA(given.c_str(), MAX_PATH, full, nullptr);
  std::string path = length && length < MAX_PATH ? full : given;
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || attributes & FILE_ATTRIBUTE_DIRECTORY) {
    loaded.error = (attributes == INVALID_FILE_ATTRIBUTES ? "no module file " + path : path + " is a folder, not a DLL") +
                   ": give the path of your module's DLL";
    return loaded;
  }
  PeImage image = ReadPeImage(path);
  if (!image.problem.empty()) {
    loaded.error = path + " " + image.problem;
    return loaded;
  }
  DWORD error = 0;
  loaded.handle = LoadBesideModule(path, error);
  std::string missing =
      loaded.handle || error == ERROR_PROC_NOT_FOUND ? MissingFunction(image, Folder(path)) : "";
  if (!missing.empty()) {
    loaded.error = FileName(path) + " imports a function that is missing: " + missing +
                   " (is the DLL beside the module older than the one it was built against?)";
    return loaded;
  }
  if (!loaded.handle) {
    loaded.error = LoadFailure(path, error);
    return loaded;
  }
  loaded.entry = GetProcAddress(loaded.handle, entryName.c_str());
  if (!loaded.entry) loaded.error = MissingEntry(path, image, entryName);
  for (const std::string& warning : {LibraryElsewhere(path), ResourceManagerMissing()})
    if (!warning.empty()) loaded.warnings.push_back(warning);
  return loaded;
}

}  // namespace demo
