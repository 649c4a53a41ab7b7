// Tallowmere: lists the files of the Internet Explorer cache by extension and lets the user
// open, save or delete them.
#include <windows.h>
// The common controls build on <windows.h>.
#include <commctrl.h>

#include "platform/win32/dll_search.h"
#include "platform/win32/win32_platform.h"
#include "window/win32/main_window.h"
#include "window/win32/message_loop.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Done already as the process was loaded (dll_search_tls.cpp); again here for a loader that
  // calls no TLS callback of the program.
  tallow::RestrictDllSearch();

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  tallow::Win32Platform platform;
  tallow::MainWindow window(platform);
  if (!window.Create(true)) return 1;
  platform.SetOwner(window.hwnd());
  return tallow::RunMessageLoop(window.hwnd(), window.accelerators());
}
