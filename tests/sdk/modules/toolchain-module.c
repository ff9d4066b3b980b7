/*
 * A title module built by each supported toolchain and run in the demo host:
 * it reports on the status bar what a few host functions, the library's own
 * stpcpy and pow10 and forwarded C functions (itoa, sprintf) answered, as the
 * module saw it at the compiler's optimisation level; it makes a storage and
 * finds it again, and gives the frame window the title's menu with user32.
 */
#include <OrvexC.h>
#include <stdio.h>
#include <stdlib.h>
#include <OrvexCRT.h>

#ifdef ORVEXC_NO_CRT_MODULE
int _fltused = 0; /* the floating-point marker the absent C runtime would define */
#endif

/* "label value" on the status bar; composed with the library's stpcpy. */
static void Report(IHostContext* context, const char* label, const char* value)
{
    char line[96];
    char* end = stpcpy(line, label);
    while (*end) ++end;
    stpcpy(end, value);
    SetStatusBarText(context, line);
}

static void ReportNumber(IHostContext* context, const char* label, int value, int radix)
{
    char digits[34];
    Report(context, label, itoa(value, digits, radix));
}

__declspec(dllexport) int __cdecl ToolchainCheck(IHostContext* context)
{
    char name[33], copy[8], line[MAX_PATH];
    HMENU menu;
    HWND window;
    GetTitleName(context, name, sizeof name - 1);
    name[sizeof name - 1] = '\0';
    Report(context, "title: ", name);
    ReportNumber(context, "narration running: ", IsThreadRunning(context, "narration"), 10);
    ReportNumber(context, "stpcpy offset: ", (int)(stpcpy(copy, "ab") - copy), 10);
    Report(context, "stpcpy copy: ", copy);
    ReportNumber(context, "pow10(2): ", (int)pow10(2), 10);
    ReportNumber(context, "1/pow10(-2): ", (int)(1.0 / pow10(-2) + 0.5), 10);
    ReportNumber(context, "itoa hex: ", 0xBEEF, 16);
    sprintf(copy, "%03d", 7);
    Report(context, "sprintf: ", copy);
    SetResourceStorage(context, "made", "media");
    GetResourceStorage(context, "made", line, sizeof line);
    Report(context, "storage made: ", line);
    menu = LoadMenuFromFile(context, "MainMenu");
    window = GetFrameWindow(context);
    if (!menu || !window || !SetMenu(window, menu)) {
        if (menu) DestroyMenu(menu);
        return 0;
    }
    DrawMenuBar(window);
    return 1;
}
