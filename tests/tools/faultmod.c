/* Entries that end badly, one way each, for the demo host's sandbox; each
 * first says on the status bar what it is about to do. */
#include <OrvexC.h>

#include <stdlib.h>
#include <unknwn.h>

#define ENTRY __declspec(dllexport) int __cdecl

volatile int zero = 0;

static int Recurse(volatile int depth) {
  volatile char frame[256];
  frame[0] = (char)depth;
  return Recurse(depth + 1) + frame[0];
}

ENTRY Crash(IHostContext* c) { SetStatusBarText(c, "about to crash"); *(volatile int*)0 = 1; return 1; }
ENTRY Divide(IHostContext* c) { SetStatusBarText(c, "about to divide"); return 7 / zero; }
ENTRY Overflow(IHostContext* c) { SetStatusBarText(c, "about to recurse"); return Recurse(0); }
ENTRY Abort(IHostContext* c) { SetStatusBarText(c, "about to abort"); abort(); return 1; }
ENTRY Raise(IHostContext* c) { SetStatusBarText(c, "about to raise"); RaiseException(0xE0000001, 0, 0, NULL); return 1; }
ENTRY Quit(IHostContext* c) { SetStatusBarText(c, "about to quit"); ExitProcess(7); return 1; }
ENTRY Hang(IHostContext* c) { SetStatusBarText(c, "about to hang"); for (;;) zero = zero; return 1; }

/* Returns while a thread it started still calls the runtime. */
static DWORD WINAPI LateCall(void* c)
{
    Sleep(150);
    SetStatusBarText((IHostContext*)c, "still here");
    return 0;
}
ENTRY Linger(IHostContext* c) { CloseHandle(CreateThread(NULL, 0, LateCall, c, 0, NULL)); return 1; }

/* Gives back a reference to the context it never had. */
ENTRY Release(IHostContext* c) { ((IUnknown*)c)->lpVtbl->Release((IUnknown*)c); return 1; }

/* Has another process end this one, as a user's task manager would. */
ENTRY Killed(IHostContext* c)
{
    char line[64];
    STARTUPINFOA startup = { sizeof startup };
    PROCESS_INFORMATION killer;
    SetStatusBarText(c, "about to be killed");
    wsprintfA(line, "taskkill /F /PID %lu", GetCurrentProcessId());
    if (CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &killer))
        WaitForSingleObject(killer.hProcess, INFINITE);
    return 1;
}

/* Reports the title it was given: its name, a thread, an object and a
 * storage of it, a thread it starts, and the storage it creates. */
ENTRY Fine(IHostContext* c)
{
    char text[MAX_PATH];
    int left, top, right, bottom;
    GetTitleName(c, text, sizeof text);
    SetStatusBarText(c, text);
    SetStatusBarText(c, IsThreadRunning(c, "quiz") ? "quiz running" : "quiz stopped");
    StartThread(c, "quiz");
    SetStatusBarText(c, IsThreadRunning(c, "quiz") ? "quiz started" : "quiz not started");
    GetObjectRect(c, NULL, "AnswerBox", &left, &top, &right, &bottom);
    GetResourceStorage(c, "media", text, sizeof text);
    SetStatusBarText(c, text);
    SetResourceStorage(c, "scores", "scores\\");
    GetResourceStorage(c, "scores", text, sizeof text);
    SetStatusBarText(c, text);
    return right == 200;
}

/* Asks for an object by a misspelt name, which the title does not have: 1
 * when the lookup failed as it should. */
ENTRY Lookup(IHostContext* c)
{
    char name[8];
    GetTitleName(c, name, sizeof name);
    return GetObjectX(c, NULL, "Buton") == 0;
}
