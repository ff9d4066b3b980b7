/*
 * OrvexC/hostkit.h - the host kit's C interface: a fake title runtime for a
 * module's unit tests, in OrvexCHostKit.dll (link OrvexCHostKit.lib with the
 * Microsoft linker, libOrvexCHostKit.dll.a with mingw-w64; orvexc_add_module_test
 * does either for a C test).
 *
 * A test makes a title, describes it, calls the module's entry with the
 * title's context, then asks the journal what the module did:
 *
 *   HostKitTitle* title = HostKit_NewTitle();
 *   HostKit_Describe(title, "[title]\n path = C:\\Courses\\Intro\\lesson.ovx\n");
 *   HostKit_CallEntry(title, "mymodule.dll", "RunModule", &result);
 *   HostKit_Check(HostKit_JournalFind(title, "window.SetStatusText(", 0) >= 0, "status set");
 *   HostKit_Check(HostKit_UnbalancedObjects(title)[0] == '\0', "references given back");
 *   HostKit_FreeTitle(title);
 *   return HostKit_Summary();
 *
 * Conventions:
 *  - Every function uses the C calling convention and never throws; a null
 *    title or text is refused with 0, -1, a null pointer or an empty text.
 *  - Texts are narrow, in the ANSI code page. A text result belongs to the
 *    title and stays valid until the title's next call that returns text
 *    (journal entries: until the journal changes) or its end.
 *  - Objects are named as the journal names them: context, runtime, app,
 *    module, frame, surface, window, resources, thread:NAME, object:NAME,
 *    storage:NAME, resource:NAME, node:title, node:frame, node:module.
 *
 * Plain C (C89), usable from C++; the C++ kit (OrvexC/hostkit/FakeRuntime.h)
 * is the same runtime.
 */
#ifndef ORVEXC_HOSTKIT_H
#define ORVEXC_HOSTKIT_H

#include <OrvexC.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifndef ORVEXC_HOSTKIT_API
#define ORVEXC_HOSTKIT_API __declspec(dllimport)
#endif

/* A fake title: its context, runtime, application, module, frame (with
   nodes), surface, window and resources, wired up. */
typedef struct HostKitTitle HostKitTitle;

/* ---- The title ----------------------------------------------------------- */

/* A new title with nothing described yet; null when out of memory. */
ORVEXC_HOSTKIT_API HostKitTitle* __cdecl HostKit_NewTitle(void);
/* Ends the title and every object of it; null is ignored. */
ORVEXC_HOSTKIT_API void __cdecl HostKit_FreeTitle(HostKitTitle* title);
/* Gives the title what `description` says, written as a title folder's
   title.ini is (guide, "Your title in the demo host"): [title] name, path,
   location, frame, module, parameters, media; [thread NAME] frame, running;
   [object NAME] rect, visible, enabled, focus, state, zorder; [storage NAME]
   location; [resource NAME] file (delivered to LoadMenuFromFile). Returns ""
   or "LINE: problem"; what came before the problem stays described. */
ORVEXC_HOSTKIT_API const char* __cdecl HostKit_Describe(HostKitTitle* title, const char* description);
/* HostKit_Describe with FOLDER\title.ini, paths relative to the folder.
   Returns "", or what is wrong ("FILE:LINE: problem", a missing folder). */
ORVEXC_HOSTKIT_API const char* __cdecl HostKit_LoadTitleFolder(HostKitTitle* title, const char* folder);
/* The window of the title's frame (its surface's), for SetMenu and friends. */
ORVEXC_HOSTKIT_API void __cdecl HostKit_SetFrameWindow(HostKitTitle* title, HWND window);

/* ---- Calling the module -------------------------------------------------- */

/* The context to call the module's entries with: the title's own. */
ORVEXC_HOSTKIT_API IHostContext* __cdecl HostKit_Context(HostKitTitle* title);
/* The context of the thread called `thread`; null when there is none. */
ORVEXC_HOSTKIT_API IHostContext* __cdecl HostKit_ThreadContext(HostKitTitle* title, const char* thread);
/* Loads `module` (kept loaded), watches OrvexC.dll's BSTR frees and calls
   int __cdecl ENTRY(IHostContext*) with the title's context, its result in
   *result (when not null). 1 when called; 0 when the module does not load
   or does not export `entry` (the reason is printed). */
ORVEXC_HOSTKIT_API int __cdecl HostKit_CallEntry(HostKitTitle* title, const char* module, const char* entry,
                                                 int* result);

/* ---- Scripting the runtime ----------------------------------------------- */
/* `method` names an object and one of its methods: "app.GetTitlePath",
   "thread:narration.IsRunning". Each returns 1, or 0 when the title has no
   such object or its interface no such method. */

/* The status the method answers from now on (0 unless scripted). */
ORVEXC_HOSTKIT_API int __cdecl HostKit_SetStatus(HostKitTitle* title, const char* method, long status);
/* Nonzero: the method answers with null out-values (whatever its status). */
ORVEXC_HOSTKIT_API int __cdecl HostKit_SetNullOut(HostKitTitle* title, const char* method, int nullOut);
/* The method's script applies to its call numbered `call` (from 0) alone. */
ORVEXC_HOSTKIT_API int __cdecl HostKit_SetOnlyCall(HostKitTitle* title, const char* method, int call);

/* ---- The journal: one entry per runtime call ----------------------------- */
/* Entries read object.Method(arguments): app.FindThread("main"),
   window.SetStatusText("ready"), object:Box.SetRect({40,300,120,324},1),
   window.Release(). */

/* How many entries the journal holds. */
ORVEXC_HOSTKIT_API int __cdecl HostKit_JournalCount(HostKitTitle* title);
/* Entry `index` (from 0, in call order); null past the end. */
ORVEXC_HOSTKIT_API const char* __cdecl HostKit_JournalEntry(HostKitTitle* title, int index);
/* The index of the first entry from `from` on that starts with `prefix` (an
   object, "object.Method", or a whole entry); -1 when none does. */
ORVEXC_HOSTKIT_API int __cdecl HostKit_JournalFind(HostKitTitle* title, const char* prefix, int from);
/* Every entry, one a line, for a failure message. */
ORVEXC_HOSTKIT_API const char* __cdecl HostKit_JournalText(HostKitTitle* title);
/* Empties the journal. */
ORVEXC_HOSTKIT_API void __cdecl HostKit_ClearJournal(HostKitTitle* title);

/* The lines of the tracing edition of OrvexC.dll since the title was made,
   one a line: each export call, its runtime calls and its result, e.g.
   GetObjectX(0x0061F8A0, null, "Buton"), then
     IHostContext::FindObject -> 0x80004005, then GetObjectX -> 0.
   "" with the shipped OrvexC.dll, which reports nothing. */
ORVEXC_HOSTKIT_API const char* __cdecl HostKit_ExportsText(HostKitTitle* title);

/* ---- Balances ------------------------------------------------------------ */

/* The objects whose references the module has not given back, "name=count"
   separated by blanks ("window=2 app=3"); "" when every one came back. */
ORVEXC_HOSTKIT_API const char* __cdecl HostKit_UnbalancedObjects(HostKitTitle* title);
/* The BSTRs the runtime handed OrvexC.dll that were freed twice or not
   freed, one a line; "" when each was freed exactly once. Watched from the
   first HostKit_CallEntry on, for the title made last (one ledger). */
ORVEXC_HOSTKIT_API const char* __cdecl HostKit_StringFaults(HostKitTitle* title);
/* The location the title's storage `storage` has now (one the module made
   included); null when the title has no such storage. */
ORVEXC_HOSTKIT_API const char* __cdecl HostKit_StorageLocation(HostKitTitle* title, const char* storage);
/* A menu as text, one line per item, nested items indented by two spaces:
     popup 0 type=0 state=0 "&File"
       item 101 type=0 state=0 "&Open\tCtrl+O"
   "no menu" for null, "empty menu" without items. */
ORVEXC_HOSTKIT_API const char* __cdecl HostKit_DescribeMenu(HostKitTitle* title, HMENU menu);

/* ---- Reporting ----------------------------------------------------------- */

/* Prints "ok   what" or "FAIL what" on its own line and counts a failure;
   returns `ok`. */
ORVEXC_HOSTKIT_API int __cdecl HostKit_Check(int ok, const char* what);
/* Prints "passed: N checks" or "FAILED: F of N checks"; returns the exit
   status for the test, 0 when every check passed, else 1. */
ORVEXC_HOSTKIT_API int __cdecl HostKit_Summary(void);

#ifdef __cplusplus
}
#endif

#endif /* ORVEXC_HOSTKIT_H */
