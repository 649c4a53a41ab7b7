// Where the process looks for the DLLs it loads by name.
#pragma once

#include "platform/win32/handles.h"

namespace tallow {

// From the system folder only: not from the current folder, nor from the program's own, where
// a download could sit beside it. Windows 7 without its loader update cannot do that; there,
// at least the current folder is left out. Called first thing, before anything loads a DLL.
void RestrictDllSearch();

// Loads a DLL of the system's by name, from the system folder.
win32::UniqueHmodule LoadSystemDll(const wchar_t* name);

}  // namespace tallow
