// SetResourceStorage creating storages with the tests' resource manager
// component, loaded with the real CoLoadLibrary: where a new storage points.
// (The exports' calls, failures and texts are in the export table and the rules.)
#include "StorageTest.h"

using hosttest::GuardedBuffer;

namespace {

using Storage = hosttest::StorageTest;

TEST_F(Storage, NewStoragesAreResolvedAgainstTheTitlesDirectory) {
  rt.app.location = L"C:\\titles\\t1\\main.dat";
  SetResourceStorage(rt.ctx(), "res", "res\\");
  EXPECT_EQ(AddedLog(), "name=res;location=C:\\titles\\t1\\res\\;");
  SetResourceStorage(rt.ctx(), "shared", "..\\shared\\");
  EXPECT_EQ(AddedLog(), "name=shared;location=C:\\titles\\shared\\;");
  EXPECT_EQ(rt.resources.added.size(), 2u);
}

TEST_F(Storage, WithoutATitleLocationTheApplicationsDirectoryIsTheBase) {
  rt.app.status["GetTitleLocation"] = E_FAIL;
  SetResourceStorage(rt.ctx(), "res", "res\\");
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string dir(exe, std::strrchr(exe, '\\') + 1);
  EXPECT_EQ(AddedLog(), "name=res;location=" + dir + "res\\;");
}

TEST_F(Storage, AMissingComponentChangesNothing) {
  rt.app.instance = GetModuleHandleA("kernel32.dll");  // no ResourceManager.dll beside it
  SetResourceStorage(rt.ctx(), "res", "res\\");
  EXPECT_TRUE(rt.resources.added.empty());
  EXPECT_FALSE(rt.journal.Has("resources.AddStorage"));
  GuardedBuffer buffer(8);
  GetResourceStorage(rt.ctx(), "res", buffer.Data(), 8);
  EXPECT_EQ(buffer.Text(), "");
}

}  // namespace
