#include "Sandbox.h"

#include <OrvexC/hostkit/FaultReport.h>

#include "Handles.h"
#include "frame/CharText.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace demo {

namespace {

// The environment variable that hands the child the shared state's mapping
// (an inherited handle, in decimal).
const char kStateVariable[] = "ORVEXC_DEMO_SANDBOX";
// How long past --timeout the parent waits for the child's own timeout
// report before it ends the child without one.
const unsigned kGraceSeconds = 10;

enum Phase : LONG { kStarting, kHeld, kRunning, kReturned };

// What the child tells its parent. Written by the child only; every change
// of phase counts in `sequence`, which restarts the parent's clock.
struct SharedState {
  volatile LONG phase;
  volatile LONG sequence;
  volatile LONG reported;  // 1 once `status` is the child's verdict
  volatile LONG status;
  char running[512];  // the module code running or last run
};

using StateView = UniqueView<SharedState>;

StateView MapState(HANDLE mapping) {
  return StateView(static_cast<SharedState*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(SharedState))));
}

// The child's end of the shared state; none with --no-sandbox run by hand.
// It lives until the process ends: the fault reporter writes to it last.
SharedState* g_state = nullptr;
unsigned g_timeout = 0;

void Tell(Phase phase, const std::string& what) {
  if (!g_state) return;
  if (!what.empty()) lstrcpynA(g_state->running, what.c_str(), sizeof g_state->running);
  g_state->phase = phase;
  InterlockedIncrement(&g_state->sequence);
}

void TellFaultReported() { ReportStatus(3); }

// "exit code 7", "exit code 0xC0000409: stack buffer overrun".
std::string ExitCodeText(DWORD code) {
  char text[96];
  if (const char* name = hostkit::ExitCodeName(code))
    std::snprintf(text, sizeof text, "exit code 0x%08lX: %s", code, name);
  else
    std::snprintf(text, sizeof text, "exit code %lu", code);
  return text;
}

class Watcher {
 public:
  explicit Watcher(unsigned timeoutSeconds) : timeout_(timeoutSeconds) {}
  int Run(char* commandLine);

 private:
  unsigned timeout_;
  UniqueHandle process_;
  StateView state_;

  bool Overdue(LONG& seen, DWORD& since) const;
  int Verdict(DWORD exitCode) const;
};

int Watcher::Run(char* commandLine) {
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  UniqueHandle mapping(
      CreateFileMappingA(INVALID_HANDLE_VALUE, &inherited, PAGE_READWRITE, 0, sizeof(SharedState), nullptr));
  if (mapping) state_ = MapState(mapping.get());
  if (!state_) {
    std::fprintf(stderr, "orvexc-demo-host: cannot make the sandbox's shared state (error %lu)\n", GetLastError());
    return 2;
  }
  SetEnvironmentVariableA(kStateVariable, std::to_string(reinterpret_cast<UINT_PTR>(mapping.get())).c_str());
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  BOOL started = CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child);
  SetEnvironmentVariableA(kStateVariable, nullptr);
  if (!started) {
    std::fprintf(stderr, "orvexc-demo-host: cannot start the sandbox process (error %lu)\n", GetLastError());
    return 2;
  }
  process_.reset(child.hProcess);
  CloseHandle(child.hThread);
  LONG seen = -1;
  DWORD since = 0;
  while (WaitForSingleObject(process_.get(), 100) == WAIT_TIMEOUT) {
    if (!Overdue(seen, since)) continue;
    TerminateProcess(process_.get(), 3);
    WaitForSingleObject(process_.get(), 5000);
    if (state_->reported)
      std::printf("\nthe title's process did not end within %u seconds after it gave its status (--timeout):"
                  " is the module's DllMain stuck as the process ends?\n",
                  timeout_ + kGraceSeconds);
    else
      std::printf("\n%s did not return within %u seconds (--timeout); where it was is not known (the title's"
                  " process did not report it)\n",
                  state_->running, timeout_);
    return 3;
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(process_.get(), &exitCode);
  return Verdict(exitCode);
}

// Whether module code has run well past the timeout without the child's own
// report. A debugger's stop is not the module's time.
bool Watcher::Overdue(LONG& seen, DWORD& since) const {
  if (state_->sequence != seen) {
    seen = state_->sequence;
    since = GetTickCount();
  }
  BOOL debugged = FALSE;
  CheckRemoteDebuggerPresent(process_.get(), &debugged);
  // The module's code runs while it is noted as running, and after the
  // verdict while the process ends (its DllMain).
  if (debugged || (state_->phase != kRunning && !state_->reported)) {
    since = GetTickCount();
    return false;
  }
  return GetTickCount() - since > (timeout_ + kGraceSeconds) * 1000;
}

// The child's verdict, or what is known of a child that ended without one.
int Watcher::Verdict(DWORD exitCode) const {
  std::fflush(stdout);
  if (state_->reported) {
    if (static_cast<DWORD>(state_->status) == exitCode) return static_cast<int>(exitCode);
    std::printf("\nthe title's process gave status %ld but ended with %s\n", state_->status,
                ExitCodeText(exitCode).c_str());
    return 3;
  }
  std::string how = ExitCodeText(exitCode);
  switch (state_->phase) {
    case kStarting:
      std::printf("\nthe title's process ended (%s) before it loaded the module\n", how.c_str());
      break;
    case kHeld:
      std::printf("\nthe title's process ended (%s) while it waited for a debugger, before it loaded the module\n",
                  how.c_str());
      break;
    case kRunning:
      std::printf("\n%s ended the process (%s) before it returned\n", state_->running, how.c_str());
      break;
    default:
      std::printf("\nthe title's process ended (%s) after %s returned, before it gave its status\n", how.c_str(),
                  state_->running);
  }
  return 3;
}

// The command line after the program's own name, as it was given; read by
// characters of the ANSI code page.
const char* Arguments(const char* line) {
  bool quoted = false;
  for (; *line && (quoted || (*line != ' ' && *line != '\t')); line = orvex::NextChar(line))
    if (*line == '"') quoted = !quoted;
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

}  // namespace

int RunSandboxed(unsigned timeoutSeconds) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string line = "\"" + std::string(self) + "\" " + kNoSandboxFlag + " " + Arguments(GetCommandLineA());
  std::fflush(stdout);
  return Watcher(timeoutSeconds).Run(&line[0]);
}

void EnterSandbox(unsigned timeoutSeconds) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  g_timeout = timeoutSeconds;
  hostkit::InstallFaultReporter();
  hostkit::SetProcessLabel("the title");
  char value[32];
  DWORD length = GetEnvironmentVariableA(kStateVariable, value, sizeof value);
  if (!length || length >= sizeof value) return;
  SetEnvironmentVariableA(kStateVariable, nullptr);  // not for the module's own child processes
  HANDLE mapping = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(std::strtoul(value, nullptr, 10)));
  g_state = MapState(mapping).release();
  CloseHandle(mapping);
  hostkit::OnReported(TellFaultReported);
}

void NoteModuleRunning(const std::string& what) {
  Tell(kRunning, what);
  hostkit::NoteRunning(what, g_timeout);
}

void NoteModuleDone() {
  hostkit::NoteDone();
  Tell(kReturned, "");
}

void HoldForDebugger(const std::string& module) {
  Tell(kHeld, "");
  DWORD id = GetCurrentProcessId();
  std::printf("orvexc-demo-host: process %lu (0x%lX) waits before loading %s until a debugger attaches to it"
              " (winedbg %lu; in Visual Studio, Debug > Attach to Process)\n",
              id, id, module.c_str(), id);
  while (!IsDebuggerPresent()) Sleep(100);
  std::printf("orvexc-demo-host: a debugger is attached; loading %s\n", module.c_str());
}

void ReportStatus(int status) {
  if (!g_state) return;
  g_state->status = status;
  g_state->reported = 1;
  InterlockedIncrement(&g_state->sequence);
}

}  // namespace demo
