// Stands in for the program registered for a file type in the tests: writes the command line
// it was started with, as UTF-16, to the file named by TALLOW_RECORD_ARGS.
#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

// The narrow entry point only because the test programs link without -municode; the command line
// is read wide.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t target[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableW(L"TALLOW_RECORD_ARGS", target, MAX_PATH * 2);
  if (length == 0 || length >= MAX_PATH * 2) return 2;
  // Written beside the target and renamed, so that the test never reads half a file.
  const std::wstring partial = std::wstring(target) + L".partial";
  {
    const tallow::win32::UniqueHandle file(tallow::win32::NullIfInvalid(
        CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));
    const wchar_t* command_line = GetCommandLineW();
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), command_line, static_cast<DWORD>(lstrlenW(command_line) * sizeof(wchar_t)),
                            &written, nullptr)) {
      return 1;
    }
  }
  return MoveFileExW(partial.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
