__declspec(dllexport) int __cdecl GoneHelper(void) { return 1; }
