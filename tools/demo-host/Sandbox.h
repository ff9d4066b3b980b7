// The demo host's sandbox: the title and the module run in a child process,
// an ordinary one (a debugger of the author's can attach to it), so that
// nothing the module does (a fault, a stack overflow, abort(), a loop that
// never ends, ending or killing the process) can hang or kill the report.
// The child reports faults and timeouts itself with the host kit's fault
// reporter; what it is running and its verdict reach the parent through
// memory they share, and a child that ends without a verdict never passes.
#pragma once

#include <string>

namespace demo {

// The option that plays the title in this process: the sandbox's child gets
// it, and so does a debugger's run (winedbg --gdb). Faults and the timeout
// are reported the same way in either.
constexpr const char kNoSandboxFlag[] = "--no-sandbox";

// Runs this program again with kNoSandboxFlag before the caller's own
// arguments and waits for it. Returns the child's verdict; 3 when the child
// ended without one (killed, dead in its start-up, ended by the module) or
// did not answer past `timeoutSeconds`, after saying what is known.
int RunSandboxed(unsigned timeoutSeconds);

// In the child: unbuffered output (so the transcript streams), the fault
// reporter, and the link to the parent when there is one.
void EnterSandbox(unsigned timeoutSeconds);
// Around the module's own code (loading it, which runs its DllMain; its
// entry): the timeout counts while it runs, and a report names `what`
// ("RunModule", "loading quizmod.dll").
void NoteModuleRunning(const std::string& what);
void NoteModuleDone();
// Waits before the module is loaded until a debugger attaches to this
// process, after printing its process id.
void HoldForDebugger(const std::string& module);
// The child's verdict: its exit status, told to the parent just before it ends.
void ReportStatus(int status);

}  // namespace demo
