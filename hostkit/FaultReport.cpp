// The fault reporter (FaultReport.h). Everything a fault or a timeout runs
// avoids the loader lock, the heap and the C runtime's stream locks where it
// can: the thread that stopped may hold any of them (a DllMain that never
// returns holds the loader lock). Places are named from the address's
// mapping, not from the loader's module list, for that reason.
#define PSAPI_VERSION 2  // GetMappedFileNameW from kernel32, no psapi.dll
#include "OrvexC/hostkit/FaultReport.h"

#include <windows.h>
#include <psapi.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "FaultDecode.h"
#include "OrvexC/hostkit/Journal.h"

namespace hostkit {

namespace {

const DWORD kAbortCode = 0x40000015;  // STATUS_FATAL_APP_EXIT: abort(), reported as a fault
const UINT kFaultStatus = 3;
const size_t kListedCalls = 8;
const DWORD kReportWaitMs = 10000;  // a faulting thread's wait for the report before it ends the process

enum State : LONG { kNothingRun, kRunning, kReturned };

// What a faulting thread leaves for the reporting thread.
struct Fault {
  DWORD code = 0;
  ULONG_PTR address = 0;
  ULONG_PTR access = ~ULONG_PTR(0);  // an access violation's kind (0 read, 1 write, 8 execute)
  ULONG_PTR target = 0;              // and the address it touched
  ULONG_PTR caller = 0;              // the author's call that led there, when the place is not in it
};

// The process's one reporter. Its events and the watched thread's handle
// live as long as the process: a fault can come at any time until it ends.
struct Reporter {
  HANDLE wake = nullptr;     // auto-reset: a fault was recorded, or the watch changed
  HANDLE written = nullptr;  // manual-reset: the report is out
  HANDLE thread = nullptr;   // the reporting thread, until the program exits
  DWORD threadId = 0;
  volatile bool stopping = false;
  volatile LONG claimed = 0;
  Fault fault;
  volatile LONG state = kNothingRun;
  char process[MAX_PATH] = "";
  char running[512] = "";
  HANDLE watched = nullptr;  // the thread that runs the noted code
  DWORD watchedId = 0;
  volatile DWORD deadline = 0;
  volatile unsigned timeout = 0;
  const void* program = nullptr;  // the program's own image
  wchar_t windows[MAX_PATH] = L"";  // the Windows folder without its drive: "\windows\"
  const fake::Journal* volatile journal = nullptr;
  volatile bool hadJournal = false;
  void (*hook)() = nullptr;
};
Reporter g;

const struct {
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
    {STATUS_NO_MEMORY, "out of memory"},
    {STATUS_CONTROL_C_EXIT, "ended by Ctrl+C"},
    {kAbortCode, "abort() called"},
    {0xE06D7363, "C++ exception not caught"},
};

// The file name part of a wide path, in the ANSI code page.
void NarrowFileName(const wchar_t* path, char* out, int size) {
  const wchar_t* name = std::wcsrchr(path, L'\\');
  if (!WideCharToMultiByte(CP_ACP, 0, name ? name + 1 : path, -1, out, size, nullptr, nullptr)) *out = '\0';
}

// "quizmod.dll+0x1234", or the bare address outside every image.
void Place(ULONG_PTR address, char* out, size_t size) {
  MEMORY_BASIC_INFORMATION info;
  wchar_t path[MAX_PATH];
  char name[MAX_PATH];
  if (VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof info) && info.Type == MEM_IMAGE &&
      GetMappedFileNameW(GetCurrentProcess(), info.AllocationBase, path, MAX_PATH)) {
    NarrowFileName(path, name, sizeof name);
    std::snprintf(out, size, "%s+0x%llX", name,
                  static_cast<unsigned long long>(address - reinterpret_cast<ULONG_PTR>(info.AllocationBase)));
  } else {
    std::snprintf(out, size, "0x%08llX (in no module)", static_cast<unsigned long long>(address));
  }
}

// Whether a mapped file's path ("\??\C:\windows\system32\x.dll" under Wine,
// "\Device\HarddiskVolume3\Windows\SysWOW64\x.dll") is in the Windows
// folder: after its volume (two components), the folder's path.
bool UnderWindowsFolder(const wchar_t* path) {
  const wchar_t* p = path;
  for (int n = 0; n < 3 && p; ++n) p = std::wcschr(n ? p + 1 : p, L'\\');
  return p && *g.windows && _wcsnicmp(p, g.windows, std::wcslen(g.windows)) == 0;
}

// Whether `address` is in the code of an image of the author's: neither the
// program's own, nor OrvexC.dll, nor one in the Windows folder (the system's
// DLLs). `cache` holds the last image asked about and its answer.
struct ImageCache {
  const void* base = nullptr;
  bool authors = false;
};
bool InAuthorsCode(ULONG_PTR address, ImageCache& cache) {
  MEMORY_BASIC_INFORMATION info;
  const DWORD executable = PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  if (!VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof info) || info.Type != MEM_IMAGE ||
      info.State != MEM_COMMIT || !(info.Protect & executable))
    return false;
  if (info.AllocationBase == cache.base) return cache.authors;
  wchar_t path[MAX_PATH];
  cache.base = info.AllocationBase;
  cache.authors = info.AllocationBase != g.program &&
                  GetMappedFileNameW(GetCurrentProcess(), info.AllocationBase, path, MAX_PATH) &&
                  !UnderWindowsFolder(path);
  const wchar_t* name = cache.authors ? std::wcsrchr(path, L'\\') : nullptr;
  if (name && _wcsicmp(name + 1, L"OrvexC.dll") == 0) cache.authors = false;
  return cache.authors;
}

#ifndef _WIN64
// The end of the committed, readable memory that starts at `at`, up to
// `limit` at most; `at` when there is none.
ULONG_PTR ReadableUpTo(ULONG_PTR at, ULONG_PTR limit) {
  MEMORY_BASIC_INFORMATION info;
  while (at < limit && VirtualQuery(reinterpret_cast<void*>(at), &info, sizeof info) &&
         info.State == MEM_COMMIT && !(info.Protect & (PAGE_NOACCESS | PAGE_GUARD)))
    at = reinterpret_cast<ULONG_PTR>(info.BaseAddress) + info.RegionSize;
  return at < limit ? at : limit;
}

#endif

// The first call on the faulting thread's stack made from the author's code:
// along the frame-pointer chain from the context's, the first frame whose
// return address is in such code right after a call instruction; failing
// that (code without frame pointers), the first such word from the stack
// pointer up (within the thread's stack, at most 256 KB), which can
// be one a call left there before. Only the thread's stack and what
// VirtualQuery shows committed is read. 0 when none is found. Run on the
// faulting thread.
ULONG_PTR FirstAuthorsCall(const CONTEXT& context) {
#ifdef _WIN64
  (void)context;
  return 0;
#else
  // The thread's information block, read as NtCurrentTeb does (whose
  // inlined form GCC takes for an access through a null pointer).
  const NT_TIB* tib = nullptr;
  __asm__("movl %%fs:0x18, %0" : "=r"(tib));
  const ULONG_PTR top = reinterpret_cast<ULONG_PTR>(tib->StackBase), sp = context.Esp & ~ULONG_PTR(3);
  if (sp >= top || top - sp > 256 * 1024 * 1024) return 0;  // not this thread's stack
  const ULONG_PTR stack = ReadableUpTo(sp, top);  // [sp, stack) can be read
  ImageCache cache;
  ULONG_PTR frame = context.Ebp;
  for (int n = 0; n < 256 && frame >= sp && frame + 2 * sizeof(ULONG_PTR) <= stack && !(frame & 3); ++n) {
    const ULONG_PTR* words = reinterpret_cast<const ULONG_PTR*>(frame);
    if (InAuthorsCode(words[1], cache))
      if (ULONG_PTR call = CallBefore(words[1])) return call;
    if (words[0] <= frame) break;
    frame = words[0];
  }
  const ULONG_PTR kScannedBytes = 256 * 1024;
  const ULONG_PTR end = stack - sp > kScannedBytes ? sp + kScannedBytes : stack;
  for (ULONG_PTR at = sp; at + sizeof(ULONG_PTR) <= end; at += sizeof(ULONG_PTR)) {
    const ULONG_PTR value = *reinterpret_cast<const ULONG_PTR*>(at);
    if (!InAuthorsCode(value, cache)) continue;
    if (ULONG_PTR call = CallBefore(value)) return call;
  }
  return 0;
#endif
}

// Whom a report names: the code running, the code that ran, or the program.
void Who(char* out, size_t size) {
  const char* what = const_cast<const char*>(g.running);
  if (g.state == kRunning)
    std::snprintf(out, size, "%s", what);
  else if (g.state == kReturned)
    std::snprintf(out, size, "%s, after %s,", g.process, what);
  else
    std::snprintf(out, size, "%s", g.process);
}

void Write(const char* text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

// What the runtime was asked last: the journal's tail, or where to find it.
void WriteCalls() {
  const fake::Journal* journal = g.journal;
  if (journal && journal->onAdd) {
    Write("the run ends here: the transcript above is every runtime call made until then\n");
  } else if (journal) {
    const std::vector<std::string>& entries = journal->Entries();
    size_t first = entries.size() > kListedCalls ? entries.size() - kListedCalls : 0;
    char line[640];
    std::snprintf(line, sizeof line, "the last runtime calls (%u of %u):\n", unsigned(entries.size() - first),
                  unsigned(entries.size()));
    Write(entries.empty() ? "no runtime call was made\n" : line);
    for (size_t i = first; i < entries.size(); ++i) {
      std::snprintf(line, sizeof line, "  %.600s\n", entries[i].c_str());
      Write(line);
    }
  } else if (g.hadJournal) {
    Write("no host-kit title exists any more: was a context used after its fake::Runtime was gone?\n");
  }
}

void WriteFaultReport() {
  const Fault& f = g.fault;
  char who[700], place[MAX_PATH + 32], line[1600];
  Who(who, sizeof who);
  Place(f.address, place, sizeof place);
  const char* name = ExitCodeName(f.code);
  int n = std::snprintf(line, sizeof line, "\n%s stopped: %s (0x%08lX) at %s", who, name ? name : "exception",
                        static_cast<unsigned long>(f.code), place);
  if (f.access != ~ULONG_PTR(0) && n > 0 && size_t(n) < sizeof line) {
    const char* kind = f.access == 0 ? "reading" : f.access == 1 ? "writing" : f.access == 8 ? "executing" : "at";
    n += std::snprintf(line + n, sizeof line - n, ", %s address 0x%08llX", kind,
                       static_cast<unsigned long long>(f.target));
  }
  if (f.caller && n > 0 && size_t(n) < sizeof line) {
    Place(f.caller, place, sizeof place);
    std::snprintf(line + n, sizeof line - n, "; called from the module's code at %s", place);
  }
  std::fflush(stdout);  // what the program printed first (the faulting thread may hold the lock: see Raise)
  Write(line);
  Write("\n");
  WriteCalls();
}

// The watched thread's place, when the system can tell it.
bool WatchedPlace(char* out, size_t size) {
  if (!g.watched || SuspendThread(g.watched) == DWORD(-1)) return false;
  alignas(16) CONTEXT registers = {};
  registers.ContextFlags = CONTEXT_CONTROL;
  bool read = GetThreadContext(g.watched, &registers);
  // Running again before the place is named: stopped, it may hold a lock
  // that naming takes (the loader's, the address space's).
  ResumeThread(g.watched);
  if (!read) return false;
#ifdef _WIN64
  ULONG_PTR at = registers.Rip;
#else
  ULONG_PTR at = registers.Eip;
#endif
  if (!at) return false;
  Place(at, out, size);
  return true;
}

// No stream flush here: the stopped thread may be inside printf.
void WriteTimeoutReport() {
  char place[MAX_PATH + 32], line[1400];
  bool known = WatchedPlace(place, sizeof place);
  std::snprintf(line, sizeof line, "\n%s did not return within %u seconds (--timeout); %s%s\n", g.running,
                g.timeout, known ? "it was at " : "where it was is not known", known ? place : "");
  Write(line);
  WriteCalls();
}

[[noreturn]] void Finish() {
  if (g.hook) g.hook();
  SetEvent(g.written);
  TerminateProcess(GetCurrentProcess(), kFaultStatus);
  for (;;) Sleep(INFINITE);
}

bool TimeIsUp() {
  return g.state == kRunning && g.timeout && static_cast<LONG>(GetTickCount() - g.deadline) >= 0;
}

DWORD WINAPI ReporterMain(void* started) {
  SetEvent(started);
  for (;;) {
    DWORD wait = INFINITE;
    if (g.state == kRunning && g.timeout) {
      LONG left = static_cast<LONG>(g.deadline - GetTickCount());
      wait = left > 0 ? DWORD(left) : 0;
    }
    DWORD woke = WaitForSingleObject(g.wake, wait);
    if (g.claimed) {
      WriteFaultReport();
      Finish();
    }
    if (g.stopping) return 0;
    if (woke != WAIT_TIMEOUT || !TimeIsUp()) continue;
    if (IsDebuggerPresent()) {  // the author is stepping through it
      g.deadline = GetTickCount() + g.timeout * 1000;
      continue;
    }
    if (InterlockedExchange(&g.claimed, 1)) continue;  // a fault came first: reported next time round
    WriteTimeoutReport();
    Finish();
  }
}

// Hands a fault to the reporting thread and waits for the end. Only the
// first fault is reported; a later one, on another thread, waits with it.
[[noreturn]] void Raise(const Fault& fault) {
  if (GetCurrentThreadId() == g.threadId) TerminateProcess(GetCurrentProcess(), kFaultStatus);
  if (!g.thread && InterlockedExchange(&g.claimed, 1) == 0) {  // the program is exiting: report here
    g.fault = fault;
    WriteFaultReport();
    Finish();
  }
  if (InterlockedExchange(&g.claimed, 1) == 0) {
    g.fault = fault;
    SetEvent(g.wake);
  }
  WaitForSingleObject(g.written, kReportWaitMs);
  TerminateProcess(GetCurrentProcess(), kFaultStatus);
  for (;;) Sleep(INFINITE);
}

LONG WINAPI OnUnhandled(EXCEPTION_POINTERS* info) {
  if (IsDebuggerPresent()) return EXCEPTION_CONTINUE_SEARCH;
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  Fault fault;
  fault.code = record.ExceptionCode;
  fault.address = reinterpret_cast<ULONG_PTR>(record.ExceptionAddress);
  if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2) {
    fault.access = record.ExceptionInformation[0];
    fault.target = record.ExceptionInformation[1];
  }
  if (info->ContextRecord) CorrectFault(*info->ContextRecord, fault.code, fault.access, fault.target);
  // Where the place says little of the author's code (a system DLL's
  // RaiseException, the compiler's stack probe of an overflow), the call
  // that led there.
  ImageCache cache;
  if (info->ContextRecord && (fault.code == EXCEPTION_STACK_OVERFLOW || !InAuthorsCode(fault.address, cache)))
    fault.caller = FirstAuthorsCall(*info->ContextRecord);
  Raise(fault);
}

// Whether `module` is one of the system's DLLs (msvcrt's abort and raise).
bool IsSystemModule(HMODULE module) {
  wchar_t path[MAX_PATH], system[MAX_PATH];
  UINT length = GetSystemDirectoryW(system, MAX_PATH);
  return length && length < MAX_PATH && GetModuleFileNameW(module, path, MAX_PATH) &&
         _wcsnicmp(path, system, length) == 0 && path[length] == L'\\';
}

// abort(): the first caller outside this program and the system's DLLs,
// which is where the module gave up.
void OnAbort(int) {
  void* frames[62];
  USHORT count = RtlCaptureStackBackTrace(0, 62, frames, nullptr);
  Fault fault;
  fault.code = kAbortCode;
  for (USHORT i = 0; i < count && !fault.address; ++i) {
    HMODULE owner = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<const wchar_t*>(frames[i]), &owner) &&
        owner != GetModuleHandleW(nullptr) && !IsSystemModule(owner))
      fault.address = reinterpret_cast<ULONG_PTR>(frames[i]);
  }
  if (!fault.address && count) fault.address = reinterpret_cast<ULONG_PTR>(frames[0]);
  Raise(fault);
}

// At exit: the reporting thread ends first, so that the process ends with
// its own threads only (Wine, under load, now and then crashed ending one
// that was waiting). A fault after this is reported on its own thread.
void StopReporter() {
  g.stopping = true;
  SetEvent(g.wake);
  if (WaitForSingleObject(g.thread, 2000) != WAIT_OBJECT_0) return;
  CloseHandle(g.thread);
  g.thread = nullptr;
}

}  // namespace

void InstallFaultReporter() {
  static volatile LONG installed = 0;
  if (InterlockedExchange(&installed, 1)) return;
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  ULONG guarantee = 32 * 1024;  // room for the filter when the stack overflows
  SetThreadStackGuarantee(&guarantee);
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  NarrowFileName(path, g.process, sizeof g.process);
  g.program = GetModuleHandleW(nullptr);
  wchar_t windows[MAX_PATH];
  UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
  if (length > 2 && length + 1 < MAX_PATH && windows[1] == L':') {
    std::wcscpy(g.windows, windows + 2);
    if (g.windows[std::wcslen(g.windows) - 1] != L'\\') std::wcscat(g.windows, L"\\");
  }
  g.wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  g.written = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  // Running before the caller goes on: a new thread's start takes the
  // loader lock, which a module's DllMain that never returns holds for good.
  // (The event lives on with the process: the thread may set it late.)
  HANDLE started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  g.thread = CreateThread(nullptr, 64 * 1024, ReporterMain, started, 0, &g.threadId);
  if (g.thread) WaitForSingleObject(started, 5000);
  SetUnhandledExceptionFilter(OnUnhandled);
  std::signal(SIGABRT, OnAbort);
  if (g.thread) std::atexit(StopReporter);
}

void SetProcessLabel(const std::string& label) { lstrcpynA(g.process, label.c_str(), sizeof g.process); }

void NoteRunning(const std::string& what, unsigned timeoutSeconds) {
  InstallFaultReporter();
  if (g.watchedId != GetCurrentThreadId()) {
    HANDLE self = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    if (g.watched) CloseHandle(g.watched);
    g.watched = self;
    g.watchedId = GetCurrentThreadId();
  }
  lstrcpynA(g.running, what.c_str(), sizeof g.running);
  g.timeout = timeoutSeconds;
  g.deadline = GetTickCount() + timeoutSeconds * 1000;
  g.state = kRunning;
  SetEvent(g.wake);
}

void NoteDone() {
  g.state = kReturned;
  SetEvent(g.wake);
}

void OnReported(void (*hook)()) { g.hook = hook; }

void ReportJournal(const fake::Journal* journal) {
  InstallFaultReporter();
  g.journal = journal;
  g.hadJournal = true;
}

void ForgetJournal(const fake::Journal* journal) {
  if (g.journal == journal) g.journal = nullptr;
}

const char* ExitCodeName(unsigned long code) {
  for (const auto& n : kNames)
    if (n.code == code) return n.name;
  return nullptr;
}

}  // namespace hostkit
