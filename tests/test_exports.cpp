// OrvexC.dll's export table: every name under its ordinal, nothing else, and
// the C runtime's forwarded names landing in msvcrt.dll.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>

namespace {

struct HostExport {
  const char* name;
  int ordinal;
};
const HostExport kHostExports[] = {
#include "host_exports.inc"
};

struct CrtExport {
  const char* name;
  int ordinal;
  const char* target;  // msvcrt's function, or "" for the library's own
};
const CrtExport kCrtExports[] = {
#include "crt_exports.inc"
};

HMODULE Library() { return LoadLibraryA("OrvexC.dll"); }

// The names and ordinals in the PE export directory itself.
std::set<std::pair<std::string, int>> ExportedNames(HMODULE module, std::set<int>* ordinals) {
  auto base = reinterpret_cast<const unsigned char*>(module);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  auto dir = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
      base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
  auto functions = reinterpret_cast<const DWORD*>(base + dir->AddressOfFunctions);
  auto names = reinterpret_cast<const DWORD*>(base + dir->AddressOfNames);
  auto nameOrdinals = reinterpret_cast<const WORD*>(base + dir->AddressOfNameOrdinals);
  for (DWORD i = 0; i < dir->NumberOfFunctions; ++i)
    if (functions[i]) ordinals->insert(static_cast<int>(dir->Base + i));
  std::set<std::pair<std::string, int>> exported;
  for (DWORD i = 0; i < dir->NumberOfNames; ++i)
    exported.insert({reinterpret_cast<const char*>(base + names[i]), static_cast<int>(dir->Base + nameOrdinals[i])});
  return exported;
}

TEST(Exports, TheTableHoldsExactlyTheLibrarysExports) {
  std::set<std::pair<std::string, int>> expected;
  for (const auto& e : kHostExports) expected.insert({e.name, e.ordinal});
  for (const auto& e : kCrtExports) expected.insert({e.name, e.ordinal});
  ASSERT_EQ(expected.size(), 251u);
  std::set<int> ordinals;
  EXPECT_EQ(ExportedNames(Library(), &ordinals), expected);
  EXPECT_EQ(ordinals.size(), 251u) << "an ordinal without a name, or a name without its ordinal";
  for (int unassigned : {1005, 1027, 1094, 1095}) {
    EXPECT_EQ(ordinals.count(unassigned), 0u) << unassigned;
    EXPECT_EQ(GetProcAddress(Library(), MAKEINTRESOURCEA(unassigned)), nullptr) << unassigned;
  }
}

TEST(Exports, EveryNameAndItsOrdinalReachTheSameAddress) {
  HMODULE dll = Library();
  for (const auto& e : kHostExports) {
    FARPROC byName = GetProcAddress(dll, e.name);
    EXPECT_NE(byName, nullptr) << e.name;
    EXPECT_EQ(byName, GetProcAddress(dll, MAKEINTRESOURCEA(e.ordinal))) << e.name;
  }
  for (const auto& e : kCrtExports) {
    FARPROC byName = GetProcAddress(dll, e.name);
    EXPECT_NE(byName, nullptr) << e.name;
    EXPECT_EQ(byName, GetProcAddress(dll, MAKEINTRESOURCEA(e.ordinal))) << e.name;
  }
}

TEST(Exports, ForwardedNamesLandInMsvcrtAtTheirTargets) {
  HMODULE dll = Library();
  HMODULE msvcrt = LoadLibraryA("msvcrt.dll");
  int forwarded = 0, own = 0;
  for (const auto& e : kCrtExports) {
    FARPROC address = GetProcAddress(dll, e.name);
    if (*e.target) {
      ++forwarded;
      FARPROC target = GetProcAddress(msvcrt, e.target);
      ASSERT_NE(target, nullptr) << e.target;
      EXPECT_EQ(address, target) << e.name << " should be msvcrt's " << e.target;
    } else {
      ++own;
      HMODULE owner = nullptr;
      GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(address), &owner);
      EXPECT_EQ(owner, dll) << e.name << " is the library's own";
    }
  }
  EXPECT_EQ(forwarded, 139);
  EXPECT_EQ(own, 14);
}

}  // namespace
