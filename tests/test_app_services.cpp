// Application, title and module services against the fake title runtime.
#include <functional>

#include "HostTest.h"

using hosttest::Calls;
using hosttest::GuardedBuffer;

namespace {

class AppServices : public hosttest::HostTest {};

// ---- the copy rule --------------------------------------------------------------

struct CopyCase {
  const char* text;
  int length;
  const char* expected;  // exactly `length` bytes (when length > 0)
  int expectedSize;
};

TEST_F(AppServices, CopyRuleZeroFillsShortTextsAndCutsLongOnesWithoutTerminator) {
  const CopyCase cases[] = {
      {"abc", 6, "abc\0\0\0", 6},
      {"abcdef", 6, "abcdef", 6},        // exactly length: no terminator
      {"abcdefgh", 6, "abcdef", 6},      // longer: cut, no terminator
      {"", 4, "\0\0\0\0", 4},
      {"x", 1, "x", 1},
  };
  for (const auto& c : cases) {
    rt.app.location.assign(c.text, c.text + strlen(c.text));
    GuardedBuffer buffer(c.length);
    GetTitleLocation(rt.ctx(), buffer.Data(), c.length);
    EXPECT_EQ(buffer.Bytes(), std::string(c.expected, c.expectedSize)) << c.text << "/" << c.length;
    EXPECT_TRUE(buffer.GuardsIntact()) << c.text;
  }
}

TEST_F(AppServices, ZeroOrNegativeLengthWritesNothing) {
  rt.app.location = L"C:\\titles";
  rt.app.path = L"C:\\titles\\t.dat";
  for (int length : {0, -1, -100}) {
    GuardedBuffer buffer(8);
    GetTitleLocation(rt.ctx(), buffer.Data(), length);
    GetTitleDirectory(rt.ctx(), buffer.Data(), length);
    GetTitleName(rt.ctx(), buffer.Data(), length);
    GetAppParameter(rt.ctx(), 0, buffer.Data(), length);
    GetModuleName(rt.ctx(), buffer.Data(), length);
    GetModuleAddress(rt.ctx(), buffer.Data(), length);
    EXPECT_EQ(buffer.Bytes(), std::string(8, '\x5A')) << length;
    EXPECT_TRUE(buffer.GuardsIntact());
  }
}

TEST_F(AppServices, NullBufferMakesNoRuntimeCall) {
  GetAppParameter(rt.ctx(), 0, nullptr, 10);
  GetTitleLocation(rt.ctx(), nullptr, 10);
  GetTitleDirectory(rt.ctx(), nullptr, 10);
  GetTitleName(rt.ctx(), nullptr, 10);
  GetModuleName(rt.ctx(), nullptr, 10);
  GetModuleAddress(rt.ctx(), nullptr, 10);
  EXPECT_EQ(Journal(), Calls{});
}

// ---- title directory and name ----------------------------------------------------

struct TitleCase {
  const wchar_t* path;
  const char* directory;
  const char* name;
};

TEST_F(AppServices, TitleDirectoryAndNameSplitThePath) {
  const TitleCase cases[] = {
      {L"C:\\Courses\\Intro\\lesson.dat", "C:\\Courses\\Intro\\", "lesson"},
      {L"lesson.dat", "", "lesson"},
      {L"C:\\a\\b.c\\x.y.z", "C:\\a\\b.c\\", "x.y"},
      {L"C:\\a\\b\\", "C:\\a\\b\\", ""},
      {L"C:/web/site/page", "C:/web/site/", "page"},
      {L"D:name.ext", "D:", "name"},
      {L"", "", ""},
  };
  for (const auto& c : cases) {
    rt.app.path = c.path;
    GuardedBuffer directory(64), name(64);
    GetTitleDirectory(rt.ctx(), directory.Data(), 64);
    GetTitleName(rt.ctx(), name.Data(), 64);
    EXPECT_EQ(directory.Text(), c.directory);
    EXPECT_EQ(name.Text(), c.name);
    EXPECT_TRUE(directory.GuardsIntact() && name.GuardsIntact());
  }
}

TEST_F(AppServices, TitleDirectoryIsAlwaysTerminatedAndTitleNameIsNot) {
  rt.app.path = L"C:\\Courses\\Intro\\lesson.dat";
  GuardedBuffer directory(8), name(4);
  GetTitleDirectory(rt.ctx(), directory.Data(), 8);
  GetTitleName(rt.ctx(), name.Data(), 4);
  EXPECT_EQ(directory.Bytes(), std::string("C:\\Cour\0", 8));
  EXPECT_EQ(name.Bytes(), "less");
  EXPECT_TRUE(directory.GuardsIntact() && name.GuardsIntact());
}

TEST_F(AppServices, OverlongTitlePathComponentsAreCutToFit) {
  std::wstring path = L"C:\\" + std::wstring(600, L'd') + L"\\" + std::wstring(600, L'n') + L".ext";
  rt.app.path = path;
  GuardedBuffer directory(300), name(300);
  GetTitleDirectory(rt.ctx(), directory.Data(), 300);
  GetTitleName(rt.ctx(), name.Data(), 300);
  EXPECT_TRUE(directory.GuardsIntact() && name.GuardsIntact());
  EXPECT_EQ(directory.Text().substr(0, 3), "C:\\");
  EXPECT_LE(directory.Text().size(), 258u);
  EXPECT_EQ(name.Text(), std::string(255, 'n'));
}

// ---- chains and their failures ---------------------------------------------------

// An export of the application chain, run against the fake.
struct AppExport {
  const char* name;
  std::function<void(IHostContext*)> call;
  const char* action;  // the journal entry of the action
};

std::vector<AppExport> AppChainExports() {
  static char buffer[64];
  return {
      {"GetAppInstance", [](IHostContext* c) { GetAppInstance(c); }, "app.7()"},
      {"GetNumberOfAppParameters", [](IHostContext* c) { GetNumberOfAppParameters(c); }, "app.9()"},
      {"GetAppParameter", [](IHostContext* c) { GetAppParameter(c, 0, buffer, 64); }, "app.10(0)"},
      {"GetTitleLocation", [](IHostContext* c) { GetTitleLocation(c, buffer, 64); }, "app.11()"},
      {"GetTitleDirectory", [](IHostContext* c) { GetTitleDirectory(c, buffer, 64); }, "app.12()"},
      {"GetTitleName", [](IHostContext* c) { GetTitleName(c, buffer, 64); }, "app.12()"},
      {"IsMediaAvailable", [](IHostContext* c) { IsMediaAvailable(c, "CD"); }, "app.6(\"CD\")"},
  };
}

TEST_F(AppServices, ApplicationChainReleasesInReverseOrder) {
  rt.app.parameters = {L"p0"};
  for (const auto& e : AppChainExports()) {
    ResetJournal();
    e.call(rt.ctx());
    EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.9()", e.action, "app.2()", "runtime.2()"}))
        << e.name;
  }
}

TEST_F(AppServices, FailedStepsReleaseOnlyWhatWasObtained) {
  for (HRESULT failure : {HRESULT(1), E_FAIL}) {
    for (const auto& e : AppChainExports()) {
      rt.context.status[3] = failure;
      ResetJournal();
      e.call(rt.ctx());
      EXPECT_EQ(Journal(), Calls{"context.3()"}) << e.name;
      rt.context.status.clear();

      rt.runtime.status[9] = failure;
      ResetJournal();
      e.call(rt.ctx());
      EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.9()", "runtime.2()"})) << e.name;
      rt.runtime.status.clear();
    }
  }
}

TEST_F(AppServices, StatusZeroWithoutAnInterfaceIsAFailedStep) {
  rt.runtime.nullOut.insert(9);
  EXPECT_EQ(GetAppInstance(rt.ctx()), nullptr);
  EXPECT_EQ(Journal(), (Calls{"context.3()", "runtime.9()", "runtime.2()"}));
}

TEST_F(AppServices, ValueResults) {
  rt.app.instance = reinterpret_cast<HINSTANCE>(0x10000000);
  rt.app.parameterCount = 3;
  EXPECT_EQ(GetAppInstance(rt.ctx()), reinterpret_cast<HINSTANCE>(0x10000000));
  EXPECT_EQ(GetNumberOfAppParameters(rt.ctx()), 3);
  rt.runtime.status[9] = 1;
  EXPECT_EQ(GetAppInstance(rt.ctx()), nullptr);
  EXPECT_EQ(GetNumberOfAppParameters(rt.ctx()), 0);
}

TEST_F(AppServices, WideTextIsFreedOnceOnSuccessAndNeverAfterAFailure) {
  rt.app.parameters = {L"first", L"second"};
  GuardedBuffer buffer(16);
  GetAppParameter(rt.ctx(), 1, buffer.Data(), 16);
  EXPECT_EQ(buffer.Text(), "second");
  // A failing method that still writes a string: the string is not the library's.
  rt.app.status[11] = E_FAIL;
  rt.app.writeOnFailure.insert(11);
  rt.app.location = L"kept";
  GuardedBuffer location(16);
  GetTitleLocation(rt.ctx(), location.Data(), 16);
  EXPECT_EQ(location.Bytes(), std::string(1, '\0') + std::string(15, '\x5A'));
  ASSERT_EQ(rt.failedStrings.size(), 1u);
}

TEST_F(AppServices, FailedTextCallsLeaveOnlyTheClearedFirstByte) {
  const std::string cleared = std::string(1, '\0') + std::string(7, '\x5A');
  GuardedBuffer parameter(8);
  GetAppParameter(rt.ctx(), 5, parameter.Data(), 8);  // unknown index: the runtime fails
  EXPECT_EQ(parameter.Bytes(), cleared);
  rt.app.status[12] = 1;
  GuardedBuffer directory(8), name(8);
  GetTitleDirectory(rt.ctx(), directory.Data(), 8);  // no terminator at the end either
  GetTitleName(rt.ctx(), name.Data(), 8);
  EXPECT_EQ(directory.Bytes(), cleared);
  EXPECT_EQ(name.Bytes(), cleared);
  EXPECT_TRUE(parameter.GuardsIntact() && directory.GuardsIntact() && name.GuardsIntact());
}

TEST_F(AppServices, IsMediaAvailable) {
  rt.app.media = {"CD"};
  EXPECT_EQ(IsMediaAvailable(rt.ctx(), "CD"), 1);
  EXPECT_EQ(IsMediaAvailable(rt.ctx(), "DVD"), 0);
  ResetJournal();
  EXPECT_EQ(IsMediaAvailable(rt.ctx(), nullptr), 0);
  EXPECT_EQ(Journal(), Calls{});
}

TEST_F(AppServices, FreezePaintingAsksThenFreezesWhateverTheAnswer) {
  EXPECT_EQ(FreezePainting(rt.ctx(), 7), 1);
  EXPECT_EQ(Journal(), (Calls{"context.6()", "surface.13()", "surface.14(7)", "surface.2()"}));
  rt.surface.status[13] = 1;
  ResetJournal();
  EXPECT_EQ(FreezePainting(rt.ctx(), 0), 0);
  EXPECT_EQ(Journal(), (Calls{"context.6()", "surface.13()", "surface.14(0)", "surface.2()"}));
  rt.context.status[6] = E_FAIL;
  ResetJournal();
  EXPECT_EQ(FreezePainting(rt.ctx(), 1), 0);
  EXPECT_EQ(Journal(), Calls{"context.6()"});
}

// ---- module name and address (buffer text) ------------------------------------------

TEST_F(AppServices, ModuleNameAndAddressUseFixedCapacities) {
  rt.moduleNode.nodeName = "quiz";
  rt.moduleNode.address = "Course/Intro/quiz";
  GuardedBuffer name(3), address(64);
  GetModuleName(rt.ctx(), name.Data(), 3);
  GetModuleAddress(rt.ctx(), address.Data(), 64);
  EXPECT_EQ(name.Bytes(), "qui");
  EXPECT_EQ(address.Text(), "Course/Intro/quiz");
  EXPECT_EQ(Journal(), (Calls{"context.4()", "module.3()", "node:module.9(32)", "node:module.2()", "module.2()",
                              "context.4()", "module.3()", "node:module.10(260)", "node:module.2()", "module.2()"}));
}

TEST_F(AppServices, BufferTextIsReadNoFurtherThanTheLibrarysBuffer) {
  rt.moduleNode.nodeName = std::string(40, 'N');  // fills all 32 bytes, no terminator
  GuardedBuffer name(64);
  GetModuleName(rt.ctx(), name.Data(), 64);
  EXPECT_EQ(name.Text(), std::string(32, 'N'));
  EXPECT_TRUE(name.GuardsIntact());
}

TEST_F(AppServices, ModuleChainFailures) {
  GuardedBuffer name(8);
  rt.module.status[3] = -1;
  GetModuleName(rt.ctx(), name.Data(), 8);
  EXPECT_EQ(Journal(), (Calls{"context.4()", "module.3()", "module.2()"}));
  EXPECT_EQ(name.Bytes(), std::string(1, '\0') + std::string(7, '\x5A'));
}

// ---- the cursor flag -------------------------------------------------------------

TEST_F(AppServices, CursorFlagRecordsTheLastSetting) {
  // (The flag's value after a fresh load is covered by the load tests.)
  BOOL before = IsMouseCursorVisible(rt.ctx());
  EXPECT_EQ(ShowMouseCursor(rt.ctx(), FALSE), before);
  EXPECT_EQ(IsMouseCursorVisible(rt.ctx()), FALSE);
  EXPECT_EQ(ShowMouseCursor(rt.ctx(), 5), FALSE);
  EXPECT_EQ(IsMouseCursorVisible(rt.ctx()), 5);
  EXPECT_EQ(ShowMouseCursor(rt.ctx(), TRUE), 5);
  EXPECT_EQ(Journal(), Calls{});
}

}  // namespace
