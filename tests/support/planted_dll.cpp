// A DLL with a name no system folder holds, built beside the test programs: it stands for one
// that a download planted beside the program. Copies of it take the names of system DLLs. Once
// loaded, it leaves a file by its own path with ".loaded" added, so that a test can tell.
#include <windows.h>

#include "platform/win32/handles.h"

// The entry point itself: the DLL has no C runtime, whose start-up would load DLLs of its own
// while the loader is still busy with whatever imports this one.
extern "C" BOOL WINAPI PlantedEntry(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH + 8] = {};
  const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  lstrcpyW(path + length, L".loaded");
  tallow::win32::UniqueHandle(tallow::win32::NullIfInvalid(
      CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
  return TRUE;
}
