// The fixture of the tests that create storages with the tests' resource
// manager component (ResourceManager.dll beside the test program, loaded with
// the real CoLoadLibrary); its storages log what they are told.
#pragma once

#include <objbase.h>

#include <string>

#include "HostTest.h"

namespace hosttest {

class StorageTest : public HostTest {
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
  // The log of the storage the runtime received last: "name=...;location=...;".
  std::string AddedLog() {
    if (rt.resources.added.empty()) return "(none)";
    using Log = const char*(__cdecl*)(IResourceStorage*);
    auto log = reinterpret_cast<Log>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ResourceManager.dll"), "StorageLog")));
    return log ? log(rt.resources.added.back()) : "(no log)";
  }
};

}  // namespace hosttest
