// A DLL with a name no system folder holds, built beside the test programs: it stands for one
// that a download planted beside the program.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
