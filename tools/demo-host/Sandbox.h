// The demo host's sandbox: the title and the module run in a child process
// that the demo host debugs, so that nothing the module does (a fault, a
// stack overflow, abort(), a loop that never ends, ending the process) can
// hang or kill the report, and no system debugger is ever started for it.
#pragma once

#include <string>

namespace demo {

// The option that plays the title in this process, unwatched: the sandbox's
// child gets it, and so does a debugger's run (winedbg --gdb).
constexpr const char kNoSandboxFlag[] = "--no-sandbox";

// Runs this program again with kNoSandboxFlag before the caller's own
// arguments and watches it. Returns the child's exit status, or 3 after
// reporting a fault of the module or module code that ran past `timeoutSeconds`.
int RunSandboxed(unsigned timeoutSeconds);

// In the child: unbuffered output (so the transcript streams) and abort()
// turned into a fault the watcher reports with the module that called it.
void EnterSandbox();
// In the child, around the module's own code (loading it, which runs its
// DllMain; its entry): the timeout counts while it runs, and a report names
// `what` ("RunModule", "loading quizmod.dll").
void NoteModuleRunning(const std::string& what);
void NoteModuleDone();

}  // namespace demo
