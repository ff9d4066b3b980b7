/* A module that imports from a DLL that is not shipped beside it. */
__declspec(dllimport) int __cdecl GoneHelper(void);
__declspec(dllexport) int __cdecl RunModule(void* context) { (void)context; return GoneHelper(); }
