#include "Sandbox.h"

#include <windows.h>
#include <psapi.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

namespace demo {

namespace {

// What the child tells its watcher, through OutputDebugString: the module
// code it is about to run ("RunModule", "loading quizmod.dll"), and when
// that is over.
const char kRunning[] = "orvexc-demo-host: running ";
const char kDone[] = "orvexc-demo-host: done";
// abort() in the child, raised as this fault with the caller's address.
const DWORD kAbortCode = 0x40000015;  // STATUS_FATAL_APP_EXIT

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

const char* ExceptionName(DWORD code) {
  static const struct {
    DWORD code;
    const char* name;
  } kNames[] = {
      {EXCEPTION_ACCESS_VIOLATION, "access violation"},
      {EXCEPTION_STACK_OVERFLOW, "stack overflow"},
      {EXCEPTION_INT_DIVIDE_BY_ZERO, "integer divide by zero"},
      {EXCEPTION_INT_OVERFLOW, "integer overflow"},
      {EXCEPTION_FLT_DIVIDE_BY_ZERO, "floating-point divide by zero"},
      {EXCEPTION_FLT_INVALID_OPERATION, "floating-point invalid operation"},
      {EXCEPTION_ILLEGAL_INSTRUCTION, "illegal instruction"},
      {EXCEPTION_PRIV_INSTRUCTION, "privileged instruction"},
      {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, "array bounds exceeded"},
      {EXCEPTION_IN_PAGE_ERROR, "in-page error"},
      {EXCEPTION_BREAKPOINT, "breakpoint"},
      {EXCEPTION_DATATYPE_MISALIGNMENT, "datatype misalignment"},
      {STATUS_HEAP_CORRUPTION, "heap corruption"},
      {STATUS_STACK_BUFFER_OVERRUN, "stack buffer overrun"},
      {kAbortCode, "abort() called"},
      {0xE06D7363, "C++ exception not caught"},
  };
  for (const auto& n : kNames)
    if (n.code == code) return n.name;
  return "exception";
}

// "quizmod.dll+0x1234" for an address of the watched process.
std::string Place(HANDLE process, DWORD address) {
  HMODULE modules[512];
  DWORD bytes = 0;
  char text[MAX_PATH + 32];
  if (EnumProcessModules(process, modules, sizeof modules, &bytes)) {
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
      MODULEINFO info;
      if (!GetModuleInformation(process, modules[i], &info, sizeof info)) continue;
      DWORD base = reinterpret_cast<DWORD>(info.lpBaseOfDll);
      if (address < base || address - base >= info.SizeOfImage) continue;
      char name[MAX_PATH] = "?";
      GetModuleBaseNameA(process, modules[i], name, MAX_PATH);
      std::snprintf(text, sizeof text, "%s+0x%lX", name, address - base);
      return text;
    }
  }
  std::snprintf(text, sizeof text, "0x%08lX (in no module)", address);
  return text;
}

class Watcher {
 public:
  explicit Watcher(unsigned timeoutSeconds) : timeout_(timeoutSeconds) {}

  int Run(char* commandLine);

 private:
  unsigned timeout_;
  std::string running_;  // the module code running, or the last that ran
  UniqueHandle process_, thread_;
  bool moduleRunning_ = false, loaderBreak_ = false;
  DWORD deadline_ = 0;

  // Continue status for one event; sets `ended` with the exit status when the run is over.
  DWORD Handle(const DEBUG_EVENT& event, bool& ended, int& status);
  void NoteMessage(const OUTPUT_DEBUG_STRING_INFO& info);
  int ReportFault(const EXCEPTION_RECORD& record);
  int ReportTimeout();
  int End(int status);
};

int Watcher::Run(char* commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr,
                      &startup, &child)) {
    std::fprintf(stderr, "orvexc-demo-host: cannot start the sandbox process (error %lu)\n", GetLastError());
    return 2;
  }
  process_.reset(child.hProcess);
  thread_.reset(child.hThread);
  for (;;) {
    DEBUG_EVENT event;
    DWORD wait = INFINITE;
    if (moduleRunning_) {
      DWORD now = GetTickCount();
      wait = static_cast<LONG>(deadline_ - now) > 0 ? deadline_ - now : 0;
    }
    if (!WaitForDebugEvent(&event, wait)) return ReportTimeout();
    bool ended = false;
    int status = 0;
    DWORD how = Handle(event, ended, status);
    if (ended) return status;
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, how);
  }
}

DWORD Watcher::Handle(const DEBUG_EVENT& event, bool& ended, int& status) {
  switch (event.dwDebugEventCode) {
    case CREATE_PROCESS_DEBUG_EVENT: HandleCloser()(event.u.CreateProcessInfo.hFile); break;
    case LOAD_DLL_DEBUG_EVENT: HandleCloser()(event.u.LoadDll.hFile); break;
    case OUTPUT_DEBUG_STRING_EVENT: NoteMessage(event.u.DebugString); break;
    case EXCEPTION_DEBUG_EVENT: {
      const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
      if (record.ExceptionCode == EXCEPTION_BREAKPOINT && !loaderBreak_) {
        loaderBreak_ = true;  // the loader's own, before the program starts
        return DBG_CONTINUE;
      }
      // A first chance is the module's to handle; a second chance (or
      // abort) is the end of it.
      if (event.u.Exception.dwFirstChance && record.ExceptionCode != kAbortCode)
        return DBG_EXCEPTION_NOT_HANDLED;
      ended = true;
      status = ReportFault(record);
      break;
    }
    case EXIT_PROCESS_DEBUG_EVENT:
      ended = true;
      status = event.u.ExitProcess.dwExitCode;
      if (moduleRunning_) {
        std::printf("\n%s ended the process (exit code %d) before it returned\n", running_.c_str(), status);
        status = 3;
      }
      break;
  }
  return DBG_CONTINUE;
}

void Watcher::NoteMessage(const OUTPUT_DEBUG_STRING_INFO& info) {
  char text[512] = "";
  SIZE_T read = 0;
  SIZE_T length = info.nDebugStringLength < sizeof text ? info.nDebugStringLength : sizeof text - 1;
  if (info.fUnicode || !ReadProcessMemory(process_.get(), info.lpDebugStringData, text, length, &read))
    return;
  text[read < sizeof text ? read : sizeof text - 1] = '\0';
  if (!std::strncmp(text, kRunning, sizeof kRunning - 1)) {
    running_ = text + sizeof kRunning - 1;
    moduleRunning_ = true;
    deadline_ = GetTickCount() + timeout_ * 1000;
  } else if (!std::strcmp(text, kDone)) {
    moduleRunning_ = false;
  }
}

int Watcher::ReportFault(const EXCEPTION_RECORD& record) {
  DWORD address = reinterpret_cast<DWORD>(record.ExceptionAddress);
  if (record.ExceptionCode == kAbortCode && record.NumberParameters >= 1)
    address = record.ExceptionInformation[0];
  std::string who = moduleRunning_     ? running_
                    : running_.empty() ? "the title"
                                       : "the title, after " + running_ + ",";
  std::printf("\n%s stopped: %s (0x%08lX) at %s", who.c_str(), ExceptionName(record.ExceptionCode),
              record.ExceptionCode, Place(process_.get(), address).c_str());
  if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2) {
    static const char* const kAccess[] = {"reading", "writing", "", "", "", "", "", "", "executing"};
    ULONG_PTR kind = record.ExceptionInformation[0];
    std::printf(", %s address 0x%08lX", kind < 9 ? kAccess[kind] : "at",
                static_cast<unsigned long>(record.ExceptionInformation[1]));
  }
  std::printf("\nthe run ends here: the transcript above is every runtime call made until then\n");
  return End(3);
}

int Watcher::ReportTimeout() {
  SuspendThread(thread_.get());
  CONTEXT registers = {};
  registers.ContextFlags = CONTEXT_CONTROL;
  std::string where =
      GetThreadContext(thread_.get(), &registers) ? Place(process_.get(), registers.Eip) : "?";
  std::printf("\n%s did not return within %u seconds (--timeout); it was at %s\n", running_.c_str(), timeout_,
              where.c_str());
  return End(3);
}

// Ends the child (its exit is awaited so that nothing it printed is lost).
int Watcher::End(int status) {
  TerminateProcess(process_.get(), status);
  DebugActiveProcessStop(GetProcessId(process_.get()));
  WaitForSingleObject(process_.get(), 5000);
  std::fflush(stdout);
  return status;
}

// The command line after the program's own name, as it was given.
const char* Arguments(const char* line) {
  bool quoted = false;
  for (; *line && (quoted || (*line != ' ' && *line != '\t')); ++line)
    if (*line == '"') quoted = !quoted;
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

// abort(): raised as a fault that names the first caller outside this
// program and the system's DLLs, which is where the module gave up.
void OnAbort(int) {
  void* frames[62];
  USHORT count = RtlCaptureStackBackTrace(0, 62, frames, nullptr);
  char system[MAX_PATH] = "";
  UINT systemLength = GetSystemDirectoryA(system, MAX_PATH);
  ULONG_PTR caller = 0;
  for (USHORT i = 0; i < count && !caller; ++i) {
    HMODULE owner = nullptr;
    char path[MAX_PATH] = "";
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<const char*>(frames[i]), &owner) ||
        owner == GetModuleHandleA(nullptr) || !GetModuleFileNameA(owner, path, MAX_PATH))
      continue;
    if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, systemLength, system, systemLength) !=
        CSTR_EQUAL)
      caller = reinterpret_cast<ULONG_PTR>(frames[i]);
  }
  RaiseException(kAbortCode, EXCEPTION_NONCONTINUABLE, 1, &caller);
}

}  // namespace

int RunSandboxed(unsigned timeoutSeconds) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string line = "\"" + std::string(self) + "\" " + kNoSandboxFlag + " " + Arguments(GetCommandLineA());
  std::fflush(stdout);
  return Watcher(timeoutSeconds).Run(&line[0]);
}

void EnterSandbox() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  std::signal(SIGABRT, OnAbort);
}

void NoteModuleRunning(const std::string& what) { OutputDebugStringA((kRunning + what).c_str()); }
void NoteModuleDone() { OutputDebugStringA(kDone); }

}  // namespace demo
