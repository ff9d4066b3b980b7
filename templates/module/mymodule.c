/*
 * mymodule: a title module. The runtime calls its entries with the context
 * pointer it hands the module; the demo host calls RunModule.
 */
#include <OrvexC.h>

/* An entry: int __cdecl NAME(IHostContext*), exported undecorated (in C++
   declare it extern "C"). The context is borrowed for the call: pass it to
   the host functions, never keep or release it. Nonzero reports success. */
__declspec(dllexport) int __cdecl RunModule(IHostContext* context)
{
    static const char greeting[] = "Hello from ";
    char line[64];
    int used = 0;
    while (greeting[used] != '\0') {
        line[used] = greeting[used];
        ++used;
    }
    /* Text results follow strncpy: one byte less keeps the end terminated. */
    line[sizeof line - 1] = '\0';
    GetTitleName(context, line + used, (int)sizeof line - used - 1);
    SetStatusBarText(context, line);
    return 1;
}
