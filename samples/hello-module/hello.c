/*
 * hello-module: a sample title module for OrvexC.dll.
 *
 * The runtime (or the demo host) calls RunModule with the context pointer it
 * hands every module. The module looks at the title, moves the narration
 * thread on, places the start button, gives its frame window the menu that
 * the title's "MainMenu" resource describes, and reports what it found on the
 * status bar: the files of the title directory and where notepad.exe lives.
 */
#include <OrvexC.h>
#include <OrvexCRT.h>

#include <string.h>

#define HELLO_EXPORT __declspec(dllexport)

/* One status bar line: `label` then `text`, cut to the line's length. Built
   with functions every module has from OrvexC.dll, with or without a C
   runtime of its own. */
static void Report(IHostContext* context, const char* label, const char* text)
{
    char line[400];
    strncpy(line, label, sizeof line - 1);
    line[sizeof line - 1] = '\0';
    strncat(line, text, sizeof line - 1 - strlen(line));
    SetStatusBarText(context, line);
}

/* How many files in the title directory match `pattern` ("*.mnu"). */
static int CountTitleFiles(IHostContext* context, const char* pattern)
{
    char path[MAX_PATH + 16];
    struct ffblk found;
    int count = 0;
    GetTitleDirectory(context, path, MAX_PATH);
    strcat(path, pattern);
    if (findfirst(path, &found, 0) == 0) {
        do {
            Report(context, "title file: ", found.ff_name);
            ++count;
        } while (findnext(&found) == 0);
        findclose(&found);
    }
    return count;
}

/* The module's entry: 1 when the menu was loaded and attached, else 0. */
HELLO_EXPORT int __cdecl RunModule(IHostContext* context)
{
    char name[64], directory[MAX_PATH];
    const char* notepad;
    HMENU menu;
    HWND window;

    GetTitleName(context, name, sizeof name);
    name[sizeof name - 1] = '\0';  /* a name that fills the buffer is not terminated */
    GetTitleDirectory(context, directory, sizeof directory);
    Report(context, "title: ", name);
    Report(context, "directory: ", directory);

    /* The narration thread goes on along its "intro" path. */
    if (IsThreadRunning(context, "narration"))
        BranchThreadByPathName(context, "narration", "intro");

    /* The start button of the current frame: placed, shown and on top. */
    SetObjectXY(context, NULL, "StartButton", 40, 300);
    ShowObject(context, NULL, "StartButton");
    BringObjectToTop(context, NULL, "StartButton");

    CountTitleFiles(context, "*.mnu");
    notepad = searchpath("notepad.exe");
    Report(context, "notepad.exe: ", notepad ? notepad : "(not found)");

    /* The menu belongs to us until a window has it. */
    menu = LoadMenuFromFile(context, "MainMenu");
    window = GetFrameWindow(context);
    if (!menu) return 0;
    if (!window || !SetMenu(window, menu)) {
        DestroyMenu(menu);
        return 0;
    }
    DrawMenuBar(window);
    return 1;
}
