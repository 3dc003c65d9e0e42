// Some other DLL, with a function of its own and neither of the skin library's:
// put in the skin library's place by the UI tests.
#include <windows.h>

extern "C" __declspec(dllexport) int __stdcall OtherLibraryVersion() { return 1; }
