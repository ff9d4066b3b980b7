/*
 * OrvexC.h - the C programming interface of the Orvex title runtime.
 *
 * A title module (a 32-bit Windows DLL) links against OrvexC.dll and passes
 * the context pointer that the runtime handed it as the first argument of
 * every host function. Every function uses the C calling convention; every
 * argument and result is 32 bits wide.
 *
 * Conventions of the host functions:
 *  - Failures are silent: a function reports them only through its result
 *    (0, -1 where stated, an empty text, a null handle, or nothing at all).
 *  - Text results go into the caller's buffer of `length` bytes with strncpy
 *    semantics: a shorter text is zero-filled up to `length` bytes, a text of
 *    `length` bytes or more is cut to `length` bytes WITHOUT a terminator
 *    (GetTitleDirectory alone always terminates). The first byte is cleared
 *    before the runtime is asked, so a failure leaves an empty string. A null
 *    buffer, or a `length` of 0 or less, is never written.
 *  - Texts passed in are borrowed for the call only and go to the runtime
 *    unchanged.
 *
 * Plain C (C89), usable from C++.
 */
#ifndef ORVEXC_H
#define ORVEXC_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifndef ORVEXC_API
#define ORVEXC_API __declspec(dllimport)
#endif

/* The runtime's context interface, opaque to C modules. */
typedef struct IHostContext IHostContext;

/* ---- Application and title (101-110) ---------------------------------- */

/* The application's instance handle; 0 when the runtime cannot be reached. */
ORVEXC_API HINSTANCE __cdecl GetAppInstance(IHostContext* context);
/* How many parameters the application was given; 0 on failure. */
ORVEXC_API int __cdecl GetNumberOfAppParameters(IHostContext* context);
/* Application parameter `index` (numbered by the runtime) into buffer. */
ORVEXC_API void __cdecl GetAppParameter(IHostContext* context, int index, char* buffer, int length);
/* The title's location as the runtime reports it, unchanged. */
ORVEXC_API void __cdecl GetTitleLocation(IHostContext* context, char* buffer, int length);
/* Drive and directory of the title's path, with the final separator
   ("C:\Courses\Intro\"); always terminated, cut to length - 1 bytes. */
ORVEXC_API void __cdecl GetTitleDirectory(IHostContext* context, char* buffer, int length);
/* File name of the title's path without extension ("lesson"). */
ORVEXC_API void __cdecl GetTitleName(IHostContext* context, char* buffer, int length);
/* Shows (nonzero) or hides (0) the mouse cursor; returns the previous setting.
   The setting is shared by every module and thread (1 after loading). */
ORVEXC_API BOOL __cdecl ShowMouseCursor(IHostContext* context, BOOL show);
/* The setting last made by ShowMouseCursor (1 after loading). */
ORVEXC_API BOOL __cdecl IsMouseCursorVisible(IHostContext* context);
/* Freezes (nonzero) or releases (0) painting of the module's drawing surface;
   returns 1 if painting was frozen before the call, else 0. */
ORVEXC_API BOOL __cdecl FreezePainting(IHostContext* context, BOOL freeze);
/* 1 if the runtime reports the medium available, else 0 (0 for null). */
ORVEXC_API BOOL __cdecl IsMediaAvailable(IHostContext* context, const char* media);

/* ---- Current frame (111, 401-416) -------------------------------------- */
/* ---- end of current frame ---------------------------------------------- */

/* ---- Module (201-202) ------------------------------------------------- */

/* The calling module's name (up to 32 characters) into buffer. */
ORVEXC_API void __cdecl GetModuleName(IHostContext* context, char* buffer, int length);
/* The calling module's address in the title (up to 260 characters). */
ORVEXC_API void __cdecl GetModuleAddress(IHostContext* context, char* buffer, int length);

/* ---- Threads (301-324) ------------------------------------------------- */
/* ---- end of threads ---------------------------------------------------- */

/* ---- Drawing surface and output (501-506, 601-604) --------------------- */
/* ---- end of drawing surface and output --------------------------------- */

/* ---- Menus (701) ------------------------------------------------------- */
/* ---- end of menus ------------------------------------------------------ */

/* ---- Objects (801-832) ------------------------------------------------- */
/* ---- end of objects ---------------------------------------------------- */

/* ---- Resource storage (833-834) ---------------------------------------- */
/* ---- end of resource storage ------------------------------------------- */

#ifdef __cplusplus
}
#endif

#endif /* ORVEXC_H */
