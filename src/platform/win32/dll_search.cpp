#include "platform/win32/dll_search.h"

#include <windows.h>

namespace tallow {

void RestrictDllSearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const auto set_default_dll_directories = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (!set_default_dll_directories || !set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    SetDllDirectoryW(L"");
  }
}

win32::UniqueHmodule LoadSystemDll(const wchar_t* name) {
  win32::UniqueHmodule module(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  // Windows 7 without its loader update takes no search flags; the system's own copy is found
  // first all the same.
  if (!module) module.reset(LoadLibraryW(name));
  return module;
}

}  // namespace tallow
