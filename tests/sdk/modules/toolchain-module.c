/*
 * A title module built by each supported toolchain and run in the demo host:
 * it reports on the status bar what a few host functions, the library's own
 * stpcpy and pow10 and a forwarded C function (itoa) answered, as the module
 * saw it at the compiler's optimisation level.
 */
#ifdef ORVEXC_NO_WINDOWS_SDK
/* The Microsoft-ABI build here has no Windows SDK for <OrvexC.h>: the
   declarations of the host functions it uses, as that header has them, and
   the floating-point marker that the absent C runtime would define. */
typedef struct IHostContext IHostContext;
__declspec(dllimport) void __cdecl GetTitleName(IHostContext* context, char* buffer, int length);
__declspec(dllimport) int __cdecl IsThreadRunning(IHostContext* context, const char* thread);
__declspec(dllimport) void __cdecl SetStatusBarText(IHostContext* context, const char* text);
__declspec(dllimport) char* __cdecl itoa(int value, char* buffer, int radix);
int _fltused = 0;
#else
#include <OrvexC.h>
#include <stdlib.h>
#endif
#include <OrvexCRT.h>

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
    char name[33], copy[8];
    GetTitleName(context, name, sizeof name - 1);
    name[sizeof name - 1] = '\0';
    Report(context, "title: ", name);
    ReportNumber(context, "narration running: ", IsThreadRunning(context, "narration"), 10);
    ReportNumber(context, "stpcpy offset: ", (int)(stpcpy(copy, "ab") - copy), 10);
    Report(context, "stpcpy copy: ", copy);
    ReportNumber(context, "pow10(2): ", (int)pow10(2), 10);
    ReportNumber(context, "1/pow10(-2): ", (int)(1.0 / pow10(-2) + 0.5), 10);
    ReportNumber(context, "itoa hex: ", 0xBEEF, 16);
    return 1;
}
