// The host kit's fault reporter: a program that runs a module (a module's
// test, the demo host) reports the module's fault itself and ends with
// status 3, instead of leaving it to the system, which starts a debugger
// (Wine's winedbg --auto waits for a user who is not there) or shows a
// dialog. The report names the exception, its code and the place as
// module+offset (for an access violation also the kind of access and the
// address), and lists the journal's last runtime calls.
//
// The model is a crash reporter's: the unhandled-exception filter and the
// abort() handler only record what happened and wake a thread started when
// the reporter was installed, which writes the report (the faulting
// thread's stack may be all but gone: a stack overflow). The same thread
// ends a module that runs past its time. With a debugger attached, faults
// and time are the debugger's.
//
// Exceptions that end a process without calling any handler in it
// (STATUS_STACK_BUFFER_OVERRUN from __fastfail, some heap corruption) are
// seen only as the exit code, which ExitCodeName() names for a parent.
#pragma once

#include <string>

namespace fake {
class Journal;
}

namespace hostkit {

// Installs the reporter once in this process (later calls do nothing): the
// handlers, the reporting thread and an error mode without the system's
// dialogs. Every fake::Journal calls it, so a test on the kit has it.
void InstallFaultReporter();

// Who a report names while nothing is noted as running ("the title"); the
// program's file name by default.
void SetProcessLabel(const std::string& label);
// The module code about to run ("RunModule", "loading quizmod.dll"): a fault
// names it, and with `timeoutSeconds` above 0 the reporter ends it when it
// runs longer. NoteDone(): that code returned; a later fault is "after" it.
void NoteRunning(const std::string& what, unsigned timeoutSeconds = 0);
void NoteDone();

// Called on the reporting thread after a report is written, just before the
// process ends with status 3 (the demo host tells its parent there).
void OnReported(void (*hook)());

// The journal a report lists the last calls of; null when it is gone. A
// journal that streams its calls (onAdd set) is not listed again.
void ReportJournal(const fake::Journal* journal);
void ForgetJournal(const fake::Journal* journal);

// "access violation", "stack buffer overrun", ... for an exception code or
// an exit code that is one; null for any other value.
const char* ExitCodeName(unsigned long code);

}  // namespace hostkit
