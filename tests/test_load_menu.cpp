// LoadMenuFromFile end to end: the fake resource reports a real file.
#include <cstdio>

#include "HostTest.h"

using hosttest::Calls;

namespace {

class LoadMenu : public hosttest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    char dir[MAX_PATH], file[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    GetTempFileNameA(dir, "mnu", 0, file);
    path = file;
    resource = &rt.AddResource("menu");
    resource->fileName = path;
  }
  void TearDown() override {
    DeleteFileA(path.c_str());
    HostTest::TearDown();
  }
  void Write(const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  std::string path;
  fake::FakeResource* resource = nullptr;
};

const char* kScript = "Main MENU BEGIN POPUP \"&File\" BEGIN MENUITEM \"&Open\", 1 END END";

TEST_F(LoadMenu, BuildsTheMenuAndReleasesInOrder) {
  Write(kScript);
  HMENU menu = LoadMenuFromFile(rt.ctx(), "menu");
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetMenuItemCount(menu), 1);
  DestroyMenu(menu);
  Calls methods = Methods();
  EXPECT_EQ(methods, (Calls{"context.3", "runtime.4", "resources.20", "resource:menu.3", "resource:menu.8",
                            "resource:menu.4", "resource:menu.2", "resources.2", "runtime.2"}));
}

TEST_F(LoadMenu, FailureRowsGiveNull) {
  Write(kScript);
  EXPECT_EQ(LoadMenuFromFile(rt.ctx(), nullptr), nullptr);
  EXPECT_EQ(Journal(), Calls{});
  rt.context.status[3] = 1;
  EXPECT_EQ(LoadMenuFromFile(rt.ctx(), "menu"), nullptr);
  rt.context.status.clear();
  rt.runtime.status[4] = E_FAIL;
  EXPECT_EQ(LoadMenuFromFile(rt.ctx(), "menu"), nullptr);
  rt.runtime.status.clear();
  EXPECT_EQ(LoadMenuFromFile(rt.ctx(), "unknown"), nullptr);  // method 20 answers a negative status
  rt.resources.nullOut.insert(20);
  ResetJournal();
  EXPECT_EQ(LoadMenuFromFile(rt.ctx(), "menu"), nullptr);  // success status, no resource
  EXPECT_EQ(Methods(), (Calls{"context.3", "runtime.4", "resources.20", "resources.2", "runtime.2"}));
}

TEST_F(LoadMenu, PositiveStatusStillCountsAsSuccess) {
  Write(kScript);
  rt.resources.resourceStatus = S_FALSE;
  HMENU menu = LoadMenuFromFile(rt.ctx(), "menu");
  EXPECT_NE(menu, nullptr);
  DestroyMenu(menu);
}

TEST_F(LoadMenu, NoFileNameMissingFileEmptyFileOrBadScriptGiveNull) {
  resource->fileName = "";
  EXPECT_EQ(LoadMenuFromFile(rt.ctx(), "menu"), nullptr);
  resource->fileName = path + ".missing";
  EXPECT_EQ(LoadMenuFromFile(rt.ctx(), "menu"), nullptr);
  resource->fileName = path;
  Write("");
  EXPECT_EQ(LoadMenuFromFile(rt.ctx(), "menu"), nullptr);
  Write("Main MENU BEGIN");
  EXPECT_EQ(LoadMenuFromFile(rt.ctx(), "menu"), nullptr);
}

TEST_F(LoadMenu, FileIsReadUpToANulByte) {
  Write(std::string("M MENU BEGIN END", 16) + std::string(1, '\0') + "garbage that would not parse \"");
  HMENU menu = LoadMenuFromFile(rt.ctx(), "menu");
  EXPECT_NE(menu, nullptr);
  DestroyMenu(menu);
  Write(std::string("M MENU BEGIN ") + std::string(1, '\0') + "END");
  EXPECT_EQ(LoadMenuFromFile(rt.ctx(), "menu"), nullptr);
}

TEST_F(LoadMenu, AListenerThatIsNeverStoppedIsUnadvisedBeforeTheResourceGoes) {
  Write(kScript);
  std::string file = path;
  resource->onStart = [file](IResourceNotify* notify) {
    notify->AddRef();  // a runtime that keeps a reference and never stops
    notify->OnProgress(0, 0, 0, 14, file.c_str());
  };
  HMENU menu = LoadMenuFromFile(rt.ctx(), "menu");
  ASSERT_NE(menu, nullptr);
  DestroyMenu(menu);
  EXPECT_EQ(resource->advised, nullptr);
  Calls methods = Methods();
  EXPECT_EQ(methods, (Calls{"context.3", "runtime.4", "resources.20", "resource:menu.3", "resource:menu.8",
                            "resource:menu.4", "resource:menu.2", "resources.2", "runtime.2"}));
}

}  // namespace
