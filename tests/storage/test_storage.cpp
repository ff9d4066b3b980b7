// GetResourceStorage and SetResourceStorage against the fake runtime and the
// tests' resource manager component, loaded with the real CoLoadLibrary.
#include <objbase.h>

#include "HostTest.h"

using hosttest::Calls;
using hosttest::GuardedBuffer;

namespace {

class Storage : public hosttest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    releaseOrder = false;  // the storage exports release the runtime before the resources
    CoInitialize(nullptr);
    rt.app.instance = GetModuleHandleA(nullptr);  // ResourceManager.dll lies beside this program
  }
  void TearDown() override {
    HostTest::TearDown();
    CoUninitialize();
  }
  // The log of the storage the runtime received last.
  std::string AddedLog() {
    if (rt.resources.added.empty()) return "(none)";
    using Log = const char*(__cdecl*)(IResourceStorage*);
    auto log = reinterpret_cast<Log>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ResourceManager.dll"), "StorageLog")));
    return log ? log(rt.resources.added.back()) : "(no log)";
  }
};

TEST_F(Storage, LocationsReadBackWithAFinalBackslash) {
  auto& res = rt.AddStorage("res");
  const std::pair<const wchar_t*, const char*> cases[] = {
      {L"C:\\res", "C:\\res\\"}, {L"C:\\res\\", "C:\\res\\"}, {L"http://h/x/", "http://h/x/\\"}, {L"", "\\"}};
  for (const auto& c : cases) {
    res.location = c.first;
    GuardedBuffer buffer(32);
    GetResourceStorage(rt.ctx(), "res", buffer.Data(), 32);
    EXPECT_EQ(buffer.Text(), c.second);
    EXPECT_TRUE(buffer.GuardsIntact());
  }
  res.hasLocation = false;
  GuardedBuffer none(8);
  GetResourceStorage(rt.ctx(), "res", none.Data(), 8);
  EXPECT_EQ(none.Text(), "\\");
}

TEST_F(Storage, CopyRuleCutsWithoutTerminator) {
  rt.AddStorage("res").location = L"C:\\res\\";
  GuardedBuffer buffer(5);
  GetResourceStorage(rt.ctx(), "res", buffer.Data(), 5);
  EXPECT_EQ(buffer.Bytes(), "C:\\re");
  EXPECT_TRUE(buffer.GuardsIntact());
}

TEST_F(Storage, RefusalsAndFailures) {
  GuardedBuffer buffer(8);
  for (int length : {0, -1}) GetResourceStorage(rt.ctx(), "res", buffer.Data(), length);
  GetResourceStorage(rt.ctx(), nullptr, buffer.Data(), 8);
  GetResourceStorage(rt.ctx(), "res", nullptr, 8);
  SetResourceStorage(rt.ctx(), nullptr, "x");
  SetResourceStorage(rt.ctx(), "res", nullptr);
  EXPECT_EQ(Journal(), Calls{});
  EXPECT_EQ(buffer.Bytes(), std::string(8, '\x5A'));
  GetResourceStorage(rt.ctx(), "unknown", buffer.Data(), 8);
  EXPECT_EQ(buffer.Bytes(), std::string(1, '\0') + std::string(7, '\x5A'));
  EXPECT_EQ(rt.journal.Methods(), (Calls{"context.3", "runtime.4", "runtime.2", "resources.14", "resources.2"}));
  rt.runtime.status[4] = 1;
  ResetJournal();
  GetResourceStorage(rt.ctx(), "unknown", buffer.Data(), 8);
  EXPECT_EQ(rt.journal.Methods(), (Calls{"context.3", "runtime.4", "runtime.2"}));
}

TEST_F(Storage, AnExistingStorageGetsTheLocationUnchanged) {
  auto& res = rt.AddStorage("res");
  SetResourceStorage(rt.ctx(), "res", "..\\relative\\");
  EXPECT_EQ(res.locationsSet, std::vector<std::string>{"..\\relative\\"});
  EXPECT_EQ(rt.journal.Methods(), (Calls{"context.3", "runtime.4", "runtime.2", "resources.14", "storage:res.14",
                              "storage:res.2", "resources.2"}));
}

TEST_F(Storage, NewStoragesAreResolvedAgainstTheTitlesDirectory) {
  rt.app.location = L"C:\\titles\\t1\\main.dat";
  SetResourceStorage(rt.ctx(), "res", "res\\");
  EXPECT_EQ(AddedLog(), "name=res;location=C:\\titles\\t1\\res\\;");
  SetResourceStorage(rt.ctx(), "shared", "..\\shared\\");
  EXPECT_EQ(AddedLog(), "name=shared;location=C:\\titles\\shared\\;");
  GuardedBuffer buffer(64);
  rt.resources.storages.clear();
  ASSERT_EQ(rt.resources.added.size(), 2u);
}

TEST_F(Storage, WithoutATitleLocationTheApplicationsDirectoryIsTheBase) {
  rt.app.status[11] = E_FAIL;
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
  EXPECT_FALSE(rt.journal.Has("resources.8"));
  GuardedBuffer buffer(8);
  GetResourceStorage(rt.ctx(), "res", buffer.Data(), 8);
  EXPECT_EQ(buffer.Text(), "");
}

}  // namespace
