// The tracing edition (bin/trace/OrvexC.dll, beside this program): for one
// export of each family, the lines it reports through OutputDebugStringA,
// taken from the host kit's journal of exports. Pointers the test passed are
// written as the words it passed them with (C the context, S the scope, b the
// buffer, o an out variable).
#include <cstdio>
#include <cstring>

#include <OrvexC/hostkit/Journal.h>

#include "HostTest.h"
#include "host/HostCall.h"

namespace {

struct Row {
  const char* call;  // HostCall.h's words, after the context
  int length;        // of the buffer b
  std::vector<std::string> lines;
  const char* first = nullptr;  // the first argument in the context's place, for a C runtime function
};

const Row kRows[] = {
    // A text result, cut short: its length and whether it was terminated.
    {"GetTitleName b l",
     5,
     {"GetTitleName(C, b, 5)", "  IHostContext::GetRuntime -> 0", "  IHostRuntime::GetApplication -> 0",
      "  IHostApplication::GetTitlePath -> 0", "GetTitleName -> \"lesso\" (5 of 5 bytes, not terminated)"}},
    {"GetFrameName b l",
     64,
     {"GetFrameName(C, b, 64)", "  IHostContext::GetFrame -> 0", "  IHostFrame::GetNode -> 0",
      "  IHostNode::GetName -> 0", "GetFrameName -> \"1\" (1 of 64 bytes, terminated)"}},
    // A handle result.
    {"GetFrameWindow",
     0,
     {"GetFrameWindow(C)", "  IHostContext::GetSurface -> 0", "  IHostSurface::GetWindow -> 0",
      "  IHostWindow::GetHandle -> 0", "GetFrameWindow -> 0x00001234"}},
    // A number, from a lookup that fails.
    {"GetObjectX S 'Buton'",
     0,
     {"GetObjectX(C, S, \"Buton\")", "  IHostScope::GetScopeKey -> 0", "  IHostContext::FindObject -> 0x80004005",
      "GetObjectX -> 0"}},
    // A pair getter: the result and the second value.
    {"GetObjectKeyColor null 'Button' o",
     0,
     {"GetObjectKeyColor(C, null, \"Button\", o)", "  IHostContext::FindObject -> 0", "  IHostObject::GetKeyColor -> 0",
      "GetObjectKeyColor -> 7, 9"}},
    // A nested export, indented under its caller.
    {"BringObjectToTop null 'Button'",
     0,
     {"BringObjectToTop(C, null, \"Button\")", "  SetObjectZOrder(C, null, \"Button\", -1)",
      "    IHostContext::FindObject -> 0", "    IHostObject::SetZOrder -> 0", "  SetObjectZOrder -> done",
      "BringObjectToTop -> done"}},
    // A DOS-style function: no runtime, its result.
    {"fnsplit null null b null",
     64,
     {"fnsplit(\"C:\\dir\\file.txt\", null, null, b, null)", "fnsplit -> 0"},
     "C:\\dir\\file.txt"},
};

// `line` with each pointer the test passed written as its word.
std::string Named(std::string line, const std::vector<std::pair<const void*, std::string>>& words) {
  for (const auto& [pointer, word] : words) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(pointer)));
    for (size_t at; (at = line.find(hex)) != std::string::npos;) line.replace(at, std::strlen(hex), word);
  }
  return line;
}

class Trace : public hosttest::HostTest {};

TEST_F(Trace, EachFamilyReportsItsExportItsRuntimeCallsAndItsResult) {
  rt.SetTitle("Intro", L"C:\\Courses\\Intro\\lesson.ovx");
  rt.window.handle = reinterpret_cast<HWND>(0x1234);
  rt.frameNode.nodeName = "1";
  fake::FakeHostObject& button = rt.AddObject("Button");
  button.keyColorFirst = 7;
  button.keyColorSecond = 9;
  fake::FakeScope& scope = rt.AddScope();
  for (const Row& row : kRows) {
    fake::ExportJournal exports;
    ASSERT_TRUE(exports.Tracing()) << "not the tracing edition: " << hosttest::Library();
    char buffer[64] = {};
    int outs[2] = {};
    hosttest::CallArgs with{&scope, buffer, row.length, outs};
    IHostContext* first = row.first ? reinterpret_cast<IHostContext*>(const_cast<char*>(row.first)) : rt.ctx();
    hosttest::CallExport(row.call, first, with);
    std::vector<std::string> lines;
    for (const std::string& line : exports.Entries())
      lines.push_back(Named(line, {{rt.ctx(), "C"}, {&scope, "S"}, {buffer, "b"}, {outs, "o"}}));
    EXPECT_EQ(lines, row.lines) << row.call;
  }
}

}  // namespace
