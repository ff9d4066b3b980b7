/* Built for x86-64: the demo host must refuse it by its machine. */
__declspec(dllexport) int RunModule(void* context) { return context != 0; }
