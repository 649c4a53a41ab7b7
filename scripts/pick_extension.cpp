// The run command's helper: picks an extension in the running program's chooser the way a user's
// pick notifies the window, then checks that the names list shows something. Exits non-zero,
// saying why, when the window, the extension or any listed name is missing.
// Usage: pick_extension EXTENSION
#include <windows.h>

#include <cstdio>

#include "res/resource.h"
#include "window/win32/main_window.h"

namespace {

int Fail(const char* what, const wchar_t* extension) {
  std::fprintf(stderr, "pick_extension: %s (%ls)\n", what, extension);
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pick_extension EXTENSION\n");
    return 2;
  }
  const wchar_t* extension = argv[1];
  HWND window = nullptr;
  // The program may still be starting.
  for (int tries = 0; tries < 600 && !window; ++tries) {
    window = FindWindowW(tallow::kMainWindowClass, tallow::kMainWindowCaption);
    if (!window) Sleep(100);
  }
  if (!window) return Fail("no Tallowmere window", extension);

  HWND chooser = GetDlgItem(window, IDC_COMBO1);
  const LRESULT index =
      SendMessageW(chooser, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(extension));
  if (index == CB_ERR) return Fail("the chooser does not hold the extension", extension);
  SendMessageW(chooser, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_COMBO1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(chooser));

  HWND names = GetDlgItem(window, IDC_LIST1);
  if (SendMessageW(names, LB_GETCOUNT, 0, 0) <= 0) return Fail("the window lists nothing for the extension", extension);
  // The first name selected and focused, as a click on it would.
  SendMessageW(names, LB_SETSEL, TRUE, 0);
  SendMessageW(names, LB_SETCARETINDEX, 0, FALSE);
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_LIST1, LBN_SELCHANGE), reinterpret_cast<LPARAM>(names));
  return 0;
}
