// A module whose entry was written in C++ without extern "C".
struct IHostContext;
__declspec(dllexport) int __cdecl RunModule(IHostContext*) { return 1; }
