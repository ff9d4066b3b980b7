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

/* The version of this header and of the OrvexC.dll it declares. */
#define ORVEXC_VERSION_MAJOR 1
#define ORVEXC_VERSION_MINOR 1
#define ORVEXC_VERSION_PATCH 0
#define ORVEXC_VERSION_STRING "1.1.0"

/* OrvexC.dll is a 32-bit DLL, and a 64-bit module could neither link with
   nor load it. (The library's own 64-bit benchmark build defines
   ORVEXC_BENCHMARK_64BIT.) */
#if (defined(_WIN64) || defined(__LP64__) || defined(_M_X64) || defined(_M_ARM64)) && \
    !defined(ORVEXC_BENCHMARK_64BIT)
#error "OrvexC.dll is a 32-bit Windows DLL: build your module for 32-bit x86 Windows (i686-w64-mingw32, or /machine:x86 with the Microsoft tools)."
#endif

/* Newer Windows headers declare USER32's PrintWindow(HWND, HDC, UINT), which
   would clash with this library's PrintWindow: when OrvexC.h comes before
   <windows.h>, USER32's declaration is renamed out of the way and the
   library's is declared; when <windows.h> came first, the library's
   PrintWindow is not declared. */
#ifndef _WINUSER_
#define PrintWindow User32PrintWindow
#include <windows.h>
#undef PrintWindow
#define ORVEXC_PRINTWINDOW
#else
#include <windows.h>
#endif
#include <unknwn.h>

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
/* File name of the title's path without extension ("lesson"), by the copy
   rule: a name of length bytes or more is not terminated, so give a buffer
   of MAX_PATH (260) bytes, which every name fits. */
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

/* Sets the calling thread's return branch. The value is the runtime's own
   (what the title's branch takes), passed through unchanged and unchecked. */
ORVEXC_API void __cdecl SetReturnBranch(IHostContext* context, int value);
/* The window of the module's drawing surface; 0 when there is none. */
ORVEXC_API HWND __cdecl GetFrameWindow(IHostContext* context);
/* GetMenu of the frame window; 0 without a window or menu. */
ORVEXC_API HMENU __cdecl GetFrameMenu(IHostContext* context);
/* The name (up to 32 characters) of the module's frame into buffer. */
ORVEXC_API void __cdecl GetFrameName(IHostContext* context, char* buffer, int length);
/* The address (up to 260 characters) of the module's frame into buffer. */
ORVEXC_API void __cdecl GetFrameAddress(IHostContext* context, char* buffer, int length);
/* Scrolls the frame window to (x, y), in the runtime's units. */
ORVEXC_API void __cdecl ScrollWindowTo(IHostContext* context, int x, int y);
/* Sets the frame window's horizontal and vertical scroll increments. */
ORVEXC_API void __cdecl SetScrollIncrement(IHostContext* context, int horizontal, int vertical);
/* Branches the calling thread by path value. */
ORVEXC_API void __cdecl BranchByPath(IHostContext* context, int path);
/* Branches the calling thread by path name; nothing happens for null. */
ORVEXC_API void __cdecl BranchByPathName(IHostContext* context, const char* pathName);
/* Branches the calling thread by colour value. */
ORVEXC_API void __cdecl BranchByColor(IHostContext* context, int color);
/* Branches the calling thread to the named frame; nothing happens for null. */
ORVEXC_API void __cdecl BranchToFrame(IHostContext* context, const char* frame);
/* BranchToFrame with "<title name>.<frame>" (just frame when the title cannot
   be reached); nothing happens for null. */
ORVEXC_API void __cdecl BranchToTitleFrame(IHostContext* context, const char* frame);
/* What IsWindowVisible says of the frame window; 0 without a window. */
ORVEXC_API BOOL __cdecl IsFrameVisible(IHostContext* context);
/* Shows the frame window (SW_SHOW), if there is one. */
ORVEXC_API void __cdecl ShowFrameWindow(IHostContext* context);
/* Hides the frame window (SW_HIDE), if there is one. */
ORVEXC_API void __cdecl HideFrameWindow(IHostContext* context);
/* Destroys the frame window at once (DestroyWindow), if there is one. */
ORVEXC_API void __cdecl CloseFrameWindow(IHostContext* context);
/* Sends the calling thread a message of three values, in this order. */
ORVEXC_API void __cdecl SendFrameMessage(IHostContext* context, int value1, int value2, int value3);
/* ---- end of current frame ---------------------------------------------- */

/* ---- Module (201-202) ------------------------------------------------- */

/* The calling module's name (up to 32 characters) into buffer. */
ORVEXC_API void __cdecl GetModuleName(IHostContext* context, char* buffer, int length);
/* The calling module's address in the title (up to 260 characters). */
ORVEXC_API void __cdecl GetModuleAddress(IHostContext* context, char* buffer, int length);

/* ---- Threads (301-324) ------------------------------------------------- */
/* A thread is named by the caller and found afresh by every call; an unknown
   name makes the call do nothing (or return 0 / an empty text). */

/* Asks the runtime to start the named thread. */
ORVEXC_API void __cdecl StartThread(IHostContext* context, const char* thread);
/* Stops the named thread. */
ORVEXC_API void __cdecl StopThread(IHostContext* context, const char* thread);
/* 1 if the runtime reports the thread running, else 0. */
ORVEXC_API BOOL __cdecl IsThreadRunning(IHostContext* context, const char* thread);
/* The window of the thread's drawing surface; 0 when there is none. */
ORVEXC_API HWND __cdecl GetThreadWindow(IHostContext* context, const char* thread);
/* GetMenu of the thread's window; 0 without a window or menu. */
ORVEXC_API HMENU __cdecl GetThreadMenu(IHostContext* context, const char* thread);
/* The name (up to 32 characters) of the thread's frame into buffer. */
ORVEXC_API void __cdecl GetThreadFrameName(IHostContext* context, const char* thread, char* buffer, int length);
/* The address (up to 260 characters) of the thread's frame into buffer. */
ORVEXC_API void __cdecl GetThreadFrameAddress(IHostContext* context, const char* thread, char* buffer, int length);
/* Hides the thread's drawing surface. */
ORVEXC_API void __cdecl HideThreadDrawingSurface(IHostContext* context, const char* thread);
/* Shows the thread's drawing surface, through which its frame is drawn in
   its window; the window itself is left as it is (ShowThreadWindow shows
   that). */
ORVEXC_API void __cdecl ShowThreadDrawingSurface(IHostContext* context, const char* thread);
/* Position (x, y) of the thread's drawing surface; nothing is written if a
   pointer is null, both get 0 on failure. */
ORVEXC_API void __cdecl GetThreadDrawingSurfacePosition(IHostContext* context, const char* thread, int* x, int* y);
/* Size (width, height) of the thread's drawing surface; nothing is written
   if a pointer is null, both get 0 on failure. */
ORVEXC_API void __cdecl GetThreadDrawingSurfaceSize(IHostContext* context, const char* thread, int* width, int* height);
/* Moves the thread's surface to (x, y), keeping its size. */
ORVEXC_API void __cdecl MoveThreadDrawingSurface(IHostContext* context, const char* thread, int x, int y);
/* Sizes the thread's surface, keeping its position. */
ORVEXC_API void __cdecl SizeThreadDrawingSurface(IHostContext* context, const char* thread, int width, int height);
/* Branches the named thread by path value. */
ORVEXC_API void __cdecl BranchThreadByPath(IHostContext* context, const char* thread, int path);
/* Branches the named thread by path name. A null path name does nothing
   (no runtime call); the thread name is passed as it is, and a thread the
   runtime does not know is not branched. */
ORVEXC_API void __cdecl BranchThreadByPathName(IHostContext* context, const char* thread, const char* pathName);
/* Branches the named thread by colour value: the runtime's own value,
   passed through unchanged and unchecked. */
ORVEXC_API void __cdecl BranchThreadByColor(IHostContext* context, const char* thread, int color);
/* Branches the named thread to a frame of the title, named as the runtime
   names it: "frame" or "<title name>.frame", the form BranchToTitleFrame
   makes. A null frame name does nothing (no runtime call); the thread name
   is passed as it is. */
ORVEXC_API void __cdecl BranchThreadToFrame(IHostContext* context, const char* thread, const char* frame);
/* 1 when the thread's surface reports itself visible and its window is
   visible, else 0. */
ORVEXC_API BOOL __cdecl IsThreadVisible(IHostContext* context, const char* thread);
/* Shows the thread's window (SW_SHOW), if there is one. */
ORVEXC_API void __cdecl ShowThreadWindow(IHostContext* context, const char* thread);
/* Hides the thread's window (SW_HIDE), if there is one. */
ORVEXC_API void __cdecl HideThreadWindow(IHostContext* context, const char* thread);
/* Posts WM_CLOSE to the thread's window, if there is one, without waiting. */
ORVEXC_API void __cdecl CloseThreadWindow(IHostContext* context, const char* thread);
/* Places the second thread (null: "") in the stacking order relative to the
   first: the runtime's z-order call is made on the second, with the first
   as its reference (a null first: no reference, the runtime's own place).
   Nothing happens if the first is not found. */
ORVEXC_API void __cdecl SetThreadZOrder(IHostContext* context, const char* first, const char* second);
/* Sends the named thread a message of three values, in this order. */
ORVEXC_API void __cdecl SendThreadMessage(IHostContext* context, const char* thread, int value1, int value2, int value3);
/* Freezes (nonzero) or releases (0) painting of the thread's surface;
   returns 1 if painting was frozen before the call, else 0. */
ORVEXC_API BOOL __cdecl FreezeThreadPainting(IHostContext* context, const char* thread, BOOL freeze);
/* ---- end of threads ---------------------------------------------------- */

/* ---- Drawing surface and output (501-506, 601-604) --------------------- */

/* Hides the module's drawing surface. */
ORVEXC_API void __cdecl HideDrawingSurface(IHostContext* context);
/* Shows the module's drawing surface. */
ORVEXC_API void __cdecl ShowDrawingSurface(IHostContext* context);
/* Position (x, y) of the drawing surface; nothing is written if a pointer is
   null, both get 0 when there is no surface. */
ORVEXC_API void __cdecl GetDrawingSurfacePosition(IHostContext* context, int* x, int* y);
/* Size (width, height) of the drawing surface; nothing is written if a
   pointer is null, both get 0 when there is no surface. */
ORVEXC_API void __cdecl GetDrawingSurfaceSize(IHostContext* context, int* width, int* height);
/* Moves the drawing surface to (x, y), keeping its size. */
ORVEXC_API void __cdecl MoveDrawingSurface(IHostContext* context, int x, int y);
/* Sizes the drawing surface, keeping its position. */
ORVEXC_API void __cdecl SizeDrawingSurface(IHostContext* context, int width, int height);
/* Sets the surface window's status bar text (passed as given, null too). */
ORVEXC_API void __cdecl SetStatusBarText(IHostContext* context, const char* text);
/* Drives the surface window's progress display (values for the runtime). */
ORVEXC_API void __cdecl ShowProgress(IHostContext* context, int value1, int value2, int value3);
/* Prints the drawing surface (values for the runtime). */
ORVEXC_API void __cdecl PrintDrawingSurface(IHostContext* context, int value1, int value2);
#ifdef ORVEXC_PRINTWINDOW
/* Prints the surface's window (values for the runtime). */
ORVEXC_API void __cdecl PrintWindow(IHostContext* context, int value1, int value2);
#endif
/* ---- end of drawing surface and output --------------------------------- */

/* ---- Menus (701) ------------------------------------------------------- */
/* A menu bar built from the menu script that the title's resources hold
   under `name` (a subset of the resource script MENU statement); null when
   there is no such resource, no file, or the script does not parse. The menu
   belongs to the caller (give it to a window or DestroyMenu it). A command
   item's text holds at most 127 characters and an identifier at most 7
   characters; a longer one rejects the script, as do popups nested more
   than 24 deep below the menu bar (USER32 turns deeper ones into plain
   items). */
ORVEXC_API HMENU __cdecl LoadMenuFromFile(IHostContext* context, const char* name);

/* ---- end of menus ------------------------------------------------------ */

/* ---- Objects (801-832) ------------------------------------------------- */
/* Every object function takes the context, a scope object (an interface
   pointer that tells the runtime where to look; may be null; neither held nor
   released) and the object's name. A null name or an object the runtime
   does not know gives the failure result: 0 (-1 for GetObjectZOrder), or
   nothing. Rectangles are left, top, right, bottom. */

/* The left of the object's rectangle. */
ORVEXC_API int __cdecl GetObjectX(IHostContext* context, IUnknown* scope, const char* name);
/* The top of the object's rectangle. */
ORVEXC_API int __cdecl GetObjectY(IHostContext* context, IUnknown* scope, const char* name);
/* The width of the object's rectangle (right - left). */
ORVEXC_API int __cdecl GetObjectWidth(IHostContext* context, IUnknown* scope, const char* name);
/* The height of the object's rectangle (bottom - top). */
ORVEXC_API int __cdecl GetObjectHeight(IHostContext* context, IUnknown* scope, const char* name);
/* The rectangle into four variables; a null name or pointer writes nothing,
   an unknown object writes zeros. */
ORVEXC_API void __cdecl GetObjectRect(IHostContext* context, IUnknown* scope, const char* name, int* left, int* top, int* right, int* bottom);
/* The focus value the runtime reports. */
ORVEXC_API int __cdecl GetObjectFocus(IHostContext* context, IUnknown* scope, const char* name);
/* Moves the object to (x, y), keeping its width and height. */
ORVEXC_API void __cdecl SetObjectXY(IHostContext* context, IUnknown* scope, const char* name, int x, int y);
/* Resizes the object, keeping its left and top. */
ORVEXC_API void __cdecl SetObjectSize(IHostContext* context, IUnknown* scope, const char* name, int width, int height);
/* Sets the whole rectangle. */
ORVEXC_API void __cdecl SetObjectRect(IHostContext* context, IUnknown* scope, const char* name, int left, int top, int right, int bottom);
/* Gives the object the focus. */
ORVEXC_API void __cdecl SetObjectFocus(IHostContext* context, IUnknown* scope, const char* name);
/* Hides the object. */
ORVEXC_API void __cdecl HideObject(IHostContext* context, IUnknown* scope, const char* name);
/* Shows the object. */
ORVEXC_API void __cdecl ShowObject(IHostContext* context, IUnknown* scope, const char* name);
/* The visible value the runtime reports, unchanged (any nonzero is visible). */
ORVEXC_API int __cdecl IsObjectVisible(IHostContext* context, IUnknown* scope, const char* name);
/* Enables the object. */
ORVEXC_API void __cdecl EnableObject(IHostContext* context, IUnknown* scope, const char* name);
/* Disables the object. */
ORVEXC_API void __cdecl DisableObject(IHostContext* context, IUnknown* scope, const char* name);
/* The enabled value the runtime reports, unchanged. */
ORVEXC_API int __cdecl IsObjectEnabled(IHostContext* context, IUnknown* scope, const char* name);
/* The object's place in the stacking order (0 is the back); -1 on failure. */
ORVEXC_API int __cdecl GetObjectZOrder(IHostContext* context, IUnknown* scope, const char* name);
/* Sets the stacking place; -1 asks for the top. */
ORVEXC_API void __cdecl SetObjectZOrder(IHostContext* context, IUnknown* scope, const char* name, int zOrder);
/* Brings the object to the top: SetObjectZOrder with -1. */
ORVEXC_API void __cdecl BringObjectToTop(IHostContext* context, IUnknown* scope, const char* name);
/* Sends the object to the back: SetObjectZOrder with 0. */
ORVEXC_API void __cdecl SendObjectToBack(IHostContext* context, IUnknown* scope, const char* name);
/* Transparency, key colour and anti-aliasing are pairs of values: each
   getter returns the first value and writes the second through `second`
   (nothing written on failure or for a null pointer); each setter takes
   both. */

/* The object's transparency pair. */
ORVEXC_API int __cdecl GetObjectTransparent(IHostContext* context, IUnknown* scope, const char* name, int* second);
/* The object's key colour pair. */
ORVEXC_API int __cdecl GetObjectKeyColor(IHostContext* context, IUnknown* scope, const char* name, int* second);
/* The object's anti-aliasing pair, in SetObjectAntiAlias's order: returns the
   first value (32 bits in the runtime) and writes the second (16 bits in the
   runtime, widened with its sign: 0xFFFF gives -1) to *second. */
ORVEXC_API int __cdecl GetObjectAntiAlias(IHostContext* context, IUnknown* scope, const char* name, int* second);
/* Sets the object's transparency pair. */
ORVEXC_API void __cdecl SetObjectTransparent(IHostContext* context, IUnknown* scope, const char* name, int first, int second);
/* Sets the object's key colour pair. */
ORVEXC_API void __cdecl SetObjectKeyColor(IHostContext* context, IUnknown* scope, const char* name, int first, int second);
/* Sets the object's anti-aliasing pair. */
ORVEXC_API void __cdecl SetObjectAntiAlias(IHostContext* context, IUnknown* scope, const char* name, int first, int second);
/* The object's palette setting: 1 or 0. */
ORVEXC_API int __cdecl GetObjectPaletteSetting(IHostContext* context, IUnknown* scope, const char* name);
/* Sets the palette setting on (any nonzero) or off (0). */
ORVEXC_API void __cdecl SetObjectPaletteSetting(IHostContext* context, IUnknown* scope, const char* name, int on);
/* The object's optimized painting: 1 or 0. */
ORVEXC_API int __cdecl GetObjectOptimizedPainting(IHostContext* context, IUnknown* scope, const char* name);
/* Sets optimized painting on (any nonzero) or off (0). */
ORVEXC_API void __cdecl SetObjectOptimizedPainting(IHostContext* context, IUnknown* scope, const char* name, int on);
/* The object's active state, 0 to 3. */
ORVEXC_API int __cdecl GetObjectActiveState(IHostContext* context, IUnknown* scope, const char* name);
/* Sets the active state; 0 to 3 reads back unchanged, other values set 0. */
ORVEXC_API void __cdecl SetObjectActiveState(IHostContext* context, IUnknown* scope, const char* name, int state);
/* ---- end of objects ---------------------------------------------------- */

/* ---- Resource storage (833-834) ---------------------------------------- */
/* Where the storage `name` keeps its resources, ending in a backslash
   ("C:\res\"); an empty text when there is no such storage. Nothing is
   written for a null name or buffer or a length of 0 or less. */
ORVEXC_API void __cdecl GetResourceStorage(IHostContext* context, const char* name, char* buffer, int length);
/* Moves the storage `name` to `location` (passed as it is), or creates it with
   the resource manager beside the application: a drive path, a network path
   or a URL as it is, a relative location resolved against the title's
   directory (one that cannot be resolved, too long for MAX_PATH, leaves the
   new storage at the title's directory). Failures are silent: ask
   GetResourceStorage afterwards. */
ORVEXC_API void __cdecl SetResourceStorage(IHostContext* context, const char* name, const char* location);

/* ---- end of resource storage ------------------------------------------- */

#ifdef __cplusplus
}
#endif

#include "OrvexCRT.h"

#endif /* ORVEXC_H */
