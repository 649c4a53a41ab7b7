// Restricts the DLL search as the loader starts the process, before the C runtime starts up:
// the stack protector's start-up asks the system's crypto provider for its canary, which loads
// rsaenh.dll, and that one's own DLLs would otherwise be looked for beside the program. A TLS
// callback of the program runs before any of that. Linked into the program only, not the tests.
#include <windows.h>

#include "platform/win32/dll_search.h"

namespace {

void NTAPI RestrictDllSearchAtLoad(PVOID, DWORD reason, PVOID) {
  if (reason == DLL_PROCESS_ATTACH) tallow::RestrictDllSearch();
}

}  // namespace

// The loader calls, in name order, the callbacks between the runtime's .CRT$XLA and .CRT$XLZ;
// "B" comes before the runtime's own. The linker keeps the section; Visual Studio's is told to
// by the program's link options.
#if defined(_MSC_VER)
#pragma section(".CRT$XLB", read)
extern "C" __declspec(allocate(".CRT$XLB")) const PIMAGE_TLS_CALLBACK tallow_restrict_dll_search_at_load =
    RestrictDllSearchAtLoad;
#else
extern "C" __attribute__((section(".CRT$XLB"), used)) const PIMAGE_TLS_CALLBACK tallow_restrict_dll_search_at_load =
    RestrictDllSearchAtLoad;
#endif
