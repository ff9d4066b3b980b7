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
// reporting a fault of the module or an entry that ran past `timeoutSeconds`.
int RunSandboxed(unsigned timeoutSeconds, const std::string& entryName);

// In the child: unbuffered output (so the transcript streams) and abort()
// turned into a fault the watcher reports with the module that called it.
void EnterSandbox();
// In the child, around the call of the module's entry: the timeout counts
// only while the entry runs.
void NoteEntryCalled();
void NoteEntryReturned();

}  // namespace demo
