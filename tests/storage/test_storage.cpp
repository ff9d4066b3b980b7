// SetResourceStorage creating storages with the tests' resource manager
// component, loaded with the real CoLoadLibrary. (Where a new storage points is
// in the code-page tables; the exports' calls, failures and texts in the
// export table and the rules.)
#include "StorageTest.h"

using hosttest::GuardedBuffer;

namespace {

using Storage = hosttest::StorageTest;

// A storage the module creates is the runtime's from then on: found by name
// (listed among the resources' storages), located, and moved, not made again.
TEST_F(Storage, ACreatedStorageIsFoundLocatedAndMovedAfterwards) {
  rt.app.location = L"C:\\titles\\t1\\main.dat";
  auto located = [&] {
    GuardedBuffer buffer(64);
    GetResourceStorage(rt.ctx(), "media", buffer.Data(), buffer.Size());
    return buffer.Text();
  };
  SetResourceStorage(rt.ctx(), "media", "media\\");
  EXPECT_EQ(rt.resources.storages.count("media"), 1u);
  EXPECT_EQ(located(), "C:\\titles\\t1\\media\\");
  SetResourceStorage(rt.ctx(), "media", "D:\\elsewhere\\");
  EXPECT_EQ(located(), "D:\\elsewhere\\");
  EXPECT_EQ(rt.resources.added.size(), 1u);
  EXPECT_EQ(AddedLog(), "name=media;location=C:\\titles\\t1\\media\\;location=D:\\elsewhere\\;");
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
