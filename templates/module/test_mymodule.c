/*
 * mymodule's unit test on the OrvexC host kit: a described title, one call
 * of RunModule, and checks of the runtime calls the module made and of the
 * references it gave back. Plain C, for every toolchain; exit status 0 passes.
 */
#include <OrvexC/hostkit.h>

int main(void)
{
    HostKitTitle* title = HostKit_NewTitle();
    int result = 0;
    HostKit_Check(HostKit_Describe(title, "[title]\npath = C:\\Courses\\Intro\\lesson.ovx\n")[0] == '\0',
                  "the title is described");
    HostKit_Check(HostKit_CallEntry(title, "mymodule.dll", "RunModule", &result),
                  "mymodule.dll loads and exports RunModule");
    HostKit_Check(result == 1, "RunModule reports success");
    HostKit_Check(HostKit_JournalFind(title, "window.SetStatusText(\"Hello from lesson\")", 0) >= 0,
                  "the greeting reached the status bar");
    HostKit_Check(HostKit_UnbalancedObjects(title)[0] == '\0', "every reference handed out came back");
    HostKit_Check(HostKit_StringFaults(title)[0] == '\0', "every text handed out was freed once");
    HostKit_FreeTitle(title);
    return HostKit_Summary();
}
