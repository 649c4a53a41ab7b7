// Starts Tallowmere.exe itself, through its real entry point and message loop: its window must
// show, and closing it must end the program with exit code 0. Usage: start_test PROGRAM.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/handles.h"
#include "window/win32/main_window.h"

namespace {

// Generous: Wine may still be loading its first program when this one starts.
constexpr DWORD kDeadlineMs = 60000;

int Fail(const char* what) {
  std::fprintf(stderr, "start_test: FAILED: %s (error %lu)\n", what, GetLastError());
  return 1;
}

struct Search {
  DWORD process;
  HWND found = nullptr;
};

// The program's main window, by its class and caption, if the process has one open.
HWND MainWindowOf(DWORD process) {
  Search search{process};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (owner != s.process || lstrcmpW(name, tallow::kMainWindowClass) != 0) return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: start_test PROGRAM\n");
    return 2;
  }
  std::wstring command_line = L"\"" + std::wstring(argv[1]) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(argv[1], command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    return Fail("the program did not start");
  }
  const tallow::win32::UniqueHandle process(started.hProcess);
  const tallow::win32::UniqueHandle thread(started.hThread);

  HWND window = nullptr;
  const DWORD start = GetTickCount();
  while (!(window = MainWindowOf(started.dwProcessId)) || !IsWindowVisible(window)) {
    if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0)
      return Fail("the program ended before it showed its window");
    if (GetTickCount() - start > kDeadlineMs) {
      TerminateProcess(process.get(), 1);
      return Fail("no visible main window");
    }
    Sleep(50);
  }
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  if (std::wstring(caption) != tallow::kMainWindowCaption) {
    TerminateProcess(process.get(), 1);
    return Fail("the main window has another caption");
  }

  PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.get(), kDeadlineMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.get(), 1);
    return Fail("the program did not end once its window was closed");
  }
  DWORD exit_code = 1;
  GetExitCodeProcess(process.get(), &exit_code);
  if (exit_code != 0) {
    std::fprintf(stderr, "start_test: FAILED: exit code %lu\n", exit_code);
    return 1;
  }
  std::printf("start_test: the window showed and the program ended with exit code 0\n");
  return 0;
}
