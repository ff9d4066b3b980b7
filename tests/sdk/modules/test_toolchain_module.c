/*
 * The toolchain module on the host kit's C interface, built by the module's
 * own compiler: its title folder loaded, a thread's status scripted by
 * method name, the storage it made found again and the menu it attached
 * described. Exit status 0 passes.
 */
#include <OrvexC/hostkit.h>

#include <string.h>

int main(void)
{
    HWND window = CreateWindowA("STATIC", "frame", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    HostKitTitle* title = HostKit_NewTitle();
    char media[MAX_PATH];
    const char* made;
    int result = 0;
    GetFullPathNameA("title\\media", MAX_PATH, media, NULL);
    HostKit_Check(HostKit_LoadTitleFolder(title, "title")[0] == '\0', "the title folder loads");
    HostKit_Check(HostKit_ThreadContext(title, "narration") && !HostKit_ThreadContext(title, "none"),
                  "a thread's context by its name");
    HostKit_Check(HostKit_SetStatus(title, "thread:narration.IsRunning", 1) &&
                      !HostKit_SetStatus(title, "thread:narration.Running", 1) &&
                      !HostKit_SetStatus(title, "nobody.IsRunning", 1),
                  "a status scripted by object and method name, and unknown names refused");
    HostKit_SetFrameWindow(title, window);
    HostKit_Check(HostKit_CallEntry(title, "toolchain-module.dll", "ToolchainCheck", &result) && result == 1,
                  "ToolchainCheck runs and reports success");
    HostKit_Check(HostKit_JournalFind(title, "window.SetStatusText(\"narration running: 0\")", 0) >= 0,
                  "the scripted status reached the module");
    made = HostKit_StorageLocation(title, "made");
    HostKit_Check(made && strcmp(made, media) == 0, "the storage the module made is found where it was put");
    HostKit_Check(strcmp(HostKit_DescribeMenu(title, GetMenu(window)),
                         "popup 0 type=0 state=0 \"&Course\"\n  item 201 type=0 state=0 \"&Next\"\n") == 0,
                  "the frame window got the title's menu");
    HostKit_Check(HostKit_UnbalancedObjects(title)[0] == '\0', "every reference handed out came back");
    HostKit_Check(!HostKit_JournalEntry(title, HostKit_JournalCount(title)), "the journal ends at its count");
    HostKit_FreeTitle(title);
    DestroyWindow(window);
    return HostKit_Summary();
}
