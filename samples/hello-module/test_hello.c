/*
 * hello-module's unit test on the OrvexC host kit: a described title with a
 * thread, an object and a menu script, one call of RunModule, and checks of
 * the runtime calls the module made and of the menu its frame window got.
 * Built and run by orvexc_add_module_test (ctest); exit status 0 passes.
 */
#include <OrvexC/hostkit.h>

#include <stdio.h>
#include <string.h>

static const char* const expectedCalls[] = {
    "window.SetStatusText(\"title: lesson\")",
    "window.SetStatusText(\"directory: C:\\Courses\\Intro\\\")",
    "thread:narration.BranchByPathName(\"intro\")",
    "object:StartButton.SetRect({40,300,120,324},1)",
    "object:StartButton.SetVisible(1,1)",
    "resource:MainMenu.Start(0,0)",
};

static const char expectedMenu[] =
    "popup 0 type=0 state=0 \"&File\"\n"
    "  item 101 type=0 state=0 \"&Open\\tCtrl+O\"\n"
    "  item 0 type=800 state=3 \"\"\n"
    "  item 102 type=0 state=0 \"E&xit\"\n";

/* The title, with the menu script its "MainMenu" resource delivers. */
static void DescribeTitle(HostKitTitle* title)
{
    char dir[MAX_PATH], script[MAX_PATH], description[2 * MAX_PATH];
    FILE* file;
    GetTempPathA(MAX_PATH, dir);
    sprintf(script, "%shello-test.mnu", dir);
    file = fopen(script, "wb");
    if (file) {
        fputs("MainMenu MENU\nBEGIN\n  POPUP \"&File\"\n  BEGIN\n    MENUITEM \"&Open\\tCtrl+O\", 101\n"
              "    MENUITEM SEPARATOR\n    MENUITEM \"E&xit\", 102\n  END\nEND\n", file);
        fclose(file);
    }
    sprintf(description, "[title]\npath = C:\\Courses\\Intro\\lesson.ovx\n[thread narration]\n"
                         "[object StartButton]\nrect = 0, 0, 80, 24\n[resource MainMenu]\nfile = %s\n", script);
    HostKit_Check(HostKit_Describe(title, description)[0] == '\0', "the title is described");
}

int main(void)
{
    HWND window = CreateWindowA("STATIC", "frame", WS_OVERLAPPEDWINDOW, 0, 0, 320, 240, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    HostKitTitle* title = HostKit_NewTitle();
    int result = 0;
    size_t i;
    DescribeTitle(title);
    HostKit_SetFrameWindow(title, window);
    HostKit_Check(HostKit_CallEntry(title, "hello-module.dll", "RunModule", &result),
                  "hello-module.dll loads and exports RunModule");
    HostKit_Check(result == 1, "RunModule reports the menu loaded and attached");
    for (i = 0; i < sizeof expectedCalls / sizeof *expectedCalls; ++i)
        HostKit_Check(HostKit_JournalFind(title, expectedCalls[i], 0) >= 0, expectedCalls[i]);
    HostKit_Check(HostKit_UnbalancedObjects(title)[0] == '\0', "every reference the module was given came back");
    HostKit_Check(strcmp(HostKit_DescribeMenu(title, GetMenu(window)), expectedMenu) == 0,
                  "the frame window got the script's menu");
    HostKit_FreeTitle(title);
    DestroyWindow(window); /* destroys the menu with it */
    return HostKit_Summary();
}
